#include "watchlisttexts.h"

#include "dbhelper.h"

namespace {
QString twoDecimals(double value) {
    return QString::number(value, 'f', 2);
}

bool usable(const QDateTime& time) {
    return time.isValid() && time.date().year() > 2000;
}
} // namespace

QString WatchListTexts::statusKey(int bidStatus, const QString& relation, bool isReserve, bool isReserveMet) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(bidStatus)
        .arg(relation, isReserve ? QStringLiteral("1") : QStringLiteral("0"),
             isReserveMet ? QStringLiteral("1") : QStringLiteral("0"));
}

QString WatchListTexts::statusText(int bidStatus, const QString& relation, const QDateTime& endTime, bool isReserve,
                                   bool isReserveMet, const QDateTime& now) {
    if (bidStatus == BidStatus::Scheduled)
        return tr("Bid Scheduled");
    if (bidStatus == BidStatus::Bidding)
        return tr("Bidding");
    const bool ended = endTime < now;
    if (relation == QLatin1String(UserRelation::none))
        return bidStatus == BidStatus::Failed ? tr("Didn't Win") : tr("Watching");
    if (relation == QLatin1String(UserRelation::highBidder)) {
        if (!ended)
            return tr("High Bidder");
        return isReserveMet || !isReserve ? tr("Won") : tr("Didn't Win");
    }
    if (relation == QLatin1String(UserRelation::outBidder))
        return ended ? tr("Didn't Win") : tr("Out Bidder");
    return tr("Unknown");
}

QString WatchListTexts::durationText(qint64 seconds) {
    seconds = qMax<qint64>(seconds, 0);
    const qint64 days = seconds / 86400;
    const qint64 hours = (seconds % 86400) / 3600;
    const qint64 rest = (seconds % 86400) % 3600;
    const qint64 minutes = rest / 60;
    const qint64 secs = rest % 60;
    if (days >= 1)
        return QStringLiteral("%1d %2h %3m").arg(days).arg(hours).arg(minutes);
    if (hours >= 1)
        return QStringLiteral("%1h %2m").arg(hours).arg(minutes);
    if (minutes >= 1)
        return QStringLiteral("%1m %2s").arg(minutes).arg(secs);
    return QStringLiteral("%1s").arg(secs);
}

WatchListTexts::TimeLeft WatchListTexts::timeLeft(const QDateTime& endTime, const QDateTime& now) {
    if (!usable(endTime))
        return {tr("Unknown"), QColor()};
    if (endTime < now)
        return {tr("Ended"), QColor(Qt::gray)};
    const qint64 seconds = now.secsTo(endTime);
    return {durationText(seconds), seconds < 3600 ? QColor(Qt::red) : QColor()};
}

QString WatchListTexts::timeLeftHtml(const QDateTime& endTime, const QDateTime& now) {
    const TimeLeft left = timeLeft(endTime, now);
    if (!usable(endTime))
        return left.text;
    if (endTime < now)
        return QStringLiteral("<font color='gray'>%1</font>").arg(left.text);
    if (left.color.isValid())
        return QStringLiteral("<font color='red'>%1</font>").arg(left.text);
    return left.text;
}

QString WatchListTexts::amountText(const QString& currency, double amount) {
    if (amount <= 0)
        return tr("Unknown");
    return currency + QLatin1Char(' ') + twoDecimals(amount);
}

QString WatchListTexts::currentBidText(const QString& currency, double currentBid, int bidCount) {
    const QString count = bidCount < 0 ? tr("Unknown") : QString::number(bidCount);
    return amountText(currency, currentBid).toHtmlEscaped() + QStringLiteral("<br/><font color=\"darkgray\">(") +
           tr("%1 bids").arg(count).toHtmlEscaped() + QStringLiteral(")</font>");
}

QString WatchListTexts::bidText(int id, const QString& currency, double userBid, double nextBid, int bidStatus,
                                int leadTime) {
    if (userBid <= 0)
        return QString();
    QString prefix;
    QString suffix;
    switch (bidStatus) {
    case BidStatus::Scheduled:
        prefix = tr("Scheduled: ");
        if (userBid < nextBid)
            suffix = QStringLiteral("<br/><font color=\"Red\">") + tr("Warning: Bid too low").toHtmlEscaped() +
                     QStringLiteral("</font>");
        break;
    case BidStatus::Bidding:
        prefix = tr("Bidding: ");
        break;
    case BidStatus::Placed:
        prefix = tr("Placed: ");
        break;
    default:
        prefix = tr("Failed: ");
        suffix =
            QStringLiteral("<br/><a href=\"%1\">").arg(id) + tr("View error").toHtmlEscaped() + QStringLiteral("</a>");
        break;
    }
    const QString lead = leadTime <= 0 ? tr("auto") : QStringLiteral("%1s").arg(leadTime);
    return prefix.toHtmlEscaped() + QStringLiteral("<b>") + currency.toHtmlEscaped() + QLatin1Char(' ') +
           twoDecimals(userBid) + QStringLiteral(", ") + lead.toHtmlEscaped() + QStringLiteral("</b>") + suffix;
}

QString WatchListTexts::shippingText(const QString& currency, double shipping) {
    if (shipping < 0)
        return tr("Unkown");
    if (shipping == 0)
        return tr("FREE");
    return QStringLiteral("%1 %2").arg(currency, twoDecimals(shipping));
}

QString WatchListTexts::bidTimingText(int bidStatus, const QDateTime& actualBidTime, const QDateTime& endTime) {
    if ((bidStatus != BidStatus::Placed && bidStatus != BidStatus::Failed) || !usable(actualBidTime) ||
        !usable(endTime))
        return QString();
    const qint64 before = actualBidTime.secsTo(endTime);
    if (before < 0)
        return tr("The last bid request left %1s after the end.").arg(-before);
    return tr("The last bid request left %1s before the end.").arg(before);
}
