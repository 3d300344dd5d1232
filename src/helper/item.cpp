#include "item.h"

#include "clockmanager.h"

Item::Item()
    : m_endTime(ClockManager::instance()->currentDateTime())
    , m_actualBidTime(m_endTime) {}

Item Item::invalid(const QString& itemNumber) {
    Item item;
    item.setItemNumber(itemNumber);
    item.setName(QStringLiteral("Invalid or non-existent item"));
    item.setBidCount(-1);
    item.setCurrentBid(-1.0);
    item.setNextBid(-1.0);
    item.setEndTime(ClockManager::parseEbayTime(QStringLiteral("1970-01-01T12:00:00")));
    item.setIsEnded(true);
    item.setIsReserve(false);
    item.setIsReserveMet(true);
    item.setIsAuction(false);
    return item;
}

QString Item::sellerScoreText(int score, const QVariant& positivePercent) {
    QString text = QString::number(score, 10);
    if (positivePercent.toInt() > 0)
        text += QStringLiteral(" | %1%").arg(positivePercent.toString());
    return text;
}
