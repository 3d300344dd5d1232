#include "browsereader.h"

#include "applicationtoken.h"
#include "clockmanager.h"
#include "developerkeys.h"
#include "failurebox.h"
#include "hosts.h"
#include "messages.h"
#include "networkmanager.h"
#include "texthelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QTimer>

#include <memory>

namespace {
const int notFoundError = 11003;
const int itemGroupError = 11006;
const int tooManyRequestsError = 2001;
const int tooManyRequestsStatus = 429;

QString networkErrorTitle() {
    return QStringLiteral("Network Error");
}

QString retrieveFailure() {
    return QStringLiteral("Failed to retrieve item information.\n%1");
}

// eBay writes an amount's value as a string ("12.50"); a number is read as well.
double amountValue(const QVariant& amount) {
    return amount.toMap().value(QStringLiteral("value")).toString().toDouble();
}

// The day the limit's message was last shown: the user hears of it once a day, not once per refresh.
QDate& limitToldOn() {
    static QDate day;
    return day;
}
} // namespace

BrowseReader::BrowseReader(QObject* parent)
    : QObject(parent) {}

BrowseReader::~BrowseReader() {
    qDeleteAll(m_items);
}

BrowseReader::ItemHash BrowseReader::takeItems() {
    ItemHash items;
    items.swap(m_items);
    return items;
}

QString BrowseReader::marketplaceOf(const QString& domain) {
    static const QHash<QString, QString> marketplaces{{QStringLiteral("ebay.co.uk"), QStringLiteral("EBAY_GB")},
                                                      {QStringLiteral("ebay.de"), QStringLiteral("EBAY_DE")},
                                                      {QStringLiteral("ebay.at"), QStringLiteral("EBAY_AT")},
                                                      {QStringLiteral("ebay.ch"), QStringLiteral("EBAY_CH")},
                                                      {QStringLiteral("ebay.fr"), QStringLiteral("EBAY_FR")},
                                                      {QStringLiteral("ebay.it"), QStringLiteral("EBAY_IT")},
                                                      {QStringLiteral("ebay.es"), QStringLiteral("EBAY_ES")},
                                                      {QStringLiteral("ebay.nl"), QStringLiteral("EBAY_NL")},
                                                      {QStringLiteral("benl.ebay.be"), QStringLiteral("EBAY_BE")},
                                                      {QStringLiteral("befr.ebay.be"), QStringLiteral("EBAY_BE")},
                                                      {QStringLiteral("ebay.ie"), QStringLiteral("EBAY_IE")},
                                                      {QStringLiteral("ebay.pl"), QStringLiteral("EBAY_PL")},
                                                      {QStringLiteral("ebay.com.au"), QStringLiteral("EBAY_AU")},
                                                      {QStringLiteral("ebay.ca"), QStringLiteral("EBAY_CA")},
                                                      {QStringLiteral("ebay.com"), QStringLiteral("EBAY_US")},
                                                      {QStringLiteral("ebay.com.hk"), QStringLiteral("EBAY_HK")},
                                                      {QStringLiteral("ebay.com.sg"), QStringLiteral("EBAY_SG")},
                                                      {QStringLiteral("ebay.com.my"), QStringLiteral("EBAY_MY")},
                                                      {QStringLiteral("ebay.ph"), QStringLiteral("EBAY_PH")},
                                                      {QStringLiteral("ebay.in"), QStringLiteral("EBAY_IN")}};
    return marketplaces.value(domain, QStringLiteral("EBAY_GB"));
}

QString BrowseReader::itemUrl(const QString& itemNumber) {
    return Hosts::origin(Hosts::RestApi) + QStringLiteral("/buy/browse/v1/item/get_item_by_legacy_id?legacy_item_id=") +
           encodeForQuery(itemNumber);
}

void BrowseReader::getItems(const QStringList& itemNumbers, const QString& marketplace) {
    m_marketplace = marketplace;
    QSet<QString> seen;
    for (const QString& part : itemNumbers) {
        const QString number = part.trimmed();
        if (!number.isEmpty() && !seen.contains(number)) {
            seen.insert(number);
            m_queue << number;
        }
    }
    if (m_queue.isEmpty()) {
        finishWhenIdle();
        return;
    }
    if (DeveloperKeys::callsLeftToday() == 0) {
        reachLimit();
        return;
    }
    m_waitingForToken = true;
    connect(ApplicationToken::instance(), &ApplicationToken::ready, this, &BrowseReader::tokenReady);
    ApplicationToken::instance()->request();
}

void BrowseReader::tokenReady(bool ok) {
    if (!m_waitingForToken)
        return;
    m_waitingForToken = false;
    disconnect(ApplicationToken::instance(), nullptr, this, nullptr);
    if (!ok) {
        const ApplicationToken* token = ApplicationToken::instance();
        if (token->failure() == ApplicationToken::KeysRefused)
            fail(QStringLiteral("Item Error"),
                 tr("eBay refused the developer keys. Check the client id and secret in the preferences.\n%1"),
                 token->failureReason());
        else if (token->failure() == ApplicationToken::Unreadable)
            fail(QStringLiteral("Item Error"), QStringLiteral("%1"),
                 QStringLiteral("Failed to parse item information."));
        else
            fail(networkErrorTitle(), retrieveFailure(), token->failureReason());
        return;
    }
    sendMore();
}

void BrowseReader::sendMore() {
    while (!m_failed && m_inFlight < parallelCalls && !m_queue.isEmpty()) {
        if (DeveloperKeys::callsLeftToday() == 0) {
            reachLimit();
            return;
        }
        const QString token = ApplicationToken::instance()->token();
        if (token.isEmpty()) {
            // The token ran out during a long list: the rest waits for a new one.
            if (!m_waitingForToken) {
                m_waitingForToken = true;
                connect(ApplicationToken::instance(), &ApplicationToken::ready, this, &BrowseReader::tokenReady);
                ApplicationToken::instance()->request();
            }
            return;
        }
        const QString number = m_queue.takeFirst();
        QNetworkRequest request = NetworkManager::buildRequest(itemUrl(number));
        request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
        request.setRawHeader("X-EBAY-C-MARKETPLACE-ID", m_marketplace.toLatin1());
        QNetworkReply* reply = NetworkManager::instance()->networkAccessManager()->get(request);
        reply->setProperty("itemNumber", number);
        FailureBox::instance()->track(reply);
        connect(reply, &QNetworkReply::finished, this, &BrowseReader::itemWebFinished);
        ++m_inFlight;
    }
    finishWhenIdle();
}

void BrowseReader::itemWebFinished() {
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    --m_inFlight;
    const QString number = reply->property("itemNumber").toString();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_failed || m_finished) {
        finishWhenIdle();
        return;
    }
    if (!status.isValid()) {
        fail(networkErrorTitle(), retrieveFailure(), reply->errorString());
        return;
    }
    DeveloperKeys::countCall();
    const QByteArray body = reply->readAll();
    QString message;
    const int error = status.toInt() == 200 ? 0 : readError(body, &message);
    if (status.toInt() == tooManyRequestsStatus || error == tooManyRequestsError) {
        reachLimit();
        return;
    }
    if (status.toInt() == 200) {
        auto item = std::make_unique<Item>();
        if (!readItem(body, ClockManager::instance()->currentDateTime(), item.get())) {
            fail(QStringLiteral("Item Error"), QStringLiteral("%1"),
                 QStringLiteral("Failed to parse item information."));
            return;
        }
        if (item->itemNumber().isEmpty())
            item->setItemNumber(number);
        const QString key = item->itemNumber();
        delete m_items.value(key);
        m_items.insert(key, item.release());
    } else if (error == notFoundError || error == itemGroupError) {
        delete m_items.value(number);
        m_items.insert(number, new Item(Item::invalid(number)));
    } else if (status.toInt() == 401 && !m_tokenRenewed) {
        // A token eBay no longer takes (revoked, or the keys changed) is replaced once.
        m_tokenRenewed = true;
        ApplicationToken::instance()->forget();
        m_queue.prepend(number);
    } else {
        fail(networkErrorTitle(), retrieveFailure(), message.isEmpty() ? reply->errorString() : message);
        return;
    }
    sendMore();
}

void BrowseReader::fail(const QString& title, const QString& message, const QString& reason) {
    if (m_failed)
        return;
    m_failed = true;
    m_queue.clear();
    FailureBox::instance()->critical(title, message, reason);
    finishWhenIdle();
}

void BrowseReader::reachLimit() {
    m_queue.clear();
    DeveloperKeys::stopForToday();
    const QDateTime now = ClockManager::instance()->currentDateTime();
    const QDate day = DeveloperKeys::ebayDay(now);
    if (limitToldOn() != day) {
        limitToldOn() = day;
        const QString resumes = DeveloperKeys::nextDayStartsUtc(now).toLocalTime().toString(QStringLiteral("HH:mm"));
        // The answer goes out at once; the box follows it, so no refresh waits for the user.
        QTimer::singleShot(0, [resumes] {
            Messages::warning(nullptr, tr("eBay Daily Limit"),
                              tr("eBay's daily limit of calls for your developer keys is reached, so the watch list "
                                 "is not updated from eBay until eBay's next day begins at %1 (your time). Snipes "
                                 "are placed as usual.")
                                  .arg(resumes));
        });
    }
    finishWhenIdle();
}

void BrowseReader::finishWhenIdle() {
    if (m_finished || m_inFlight > 0 || m_waitingForToken || !m_queue.isEmpty())
        return;
    m_finished = true;
    emit getItemsFinished(!m_failed);
}

bool BrowseReader::readItem(const QByteArray& body, const QDateTime& now, Item* item) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QVariantMap map = document.object().toVariantMap();
    item->setItemNumber(map.value(QStringLiteral("legacyItemId")).toString());
    item->setName(map.value(QStringLiteral("title")).toString());
    item->setIsAuction(map.value(QStringLiteral("buyingOptions")).toStringList().contains(QStringLiteral("AUCTION")));
    // An auction's price is its current bid; a fixed-price listing has only its price.
    const QVariant price = map.contains(QStringLiteral("currentBidPrice"))
                               ? map.value(QStringLiteral("currentBidPrice"))
                               : map.value(QStringLiteral("price"));
    item->setCurrentBid(amountValue(price));
    item->setCurrency(price.toMap().value(QStringLiteral("currency")).toString());
    item->setNextBid(amountValue(map.value(QStringLiteral("minimumPriceToBid"))));
    item->setBidCount(map.value(QStringLiteral("bidCount")).toInt());
    const QDateTime end = ClockManager::parseEbayTime(map.value(QStringLiteral("itemEndDate")).toString());
    if (end.isValid())
        item->setEndTime(end);
    // eBay's own advice: an end in the past, or nothing left to buy, means the listing no longer runs.
    bool soldOut = false;
    for (const QVariant& availability : map.value(QStringLiteral("estimatedAvailabilities")).toList()) {
        const QString state = availability.toMap().value(QStringLiteral("estimatedAvailabilityStatus")).toString();
        soldOut = state == QLatin1String("OUT_OF_STOCK");
        if (!soldOut)
            break;
    }
    item->setIsEnded(soldOut || (end.isValid() && end < now));
    const QVariant reserveMet = map.value(QStringLiteral("reservePriceMet"));
    item->setIsReserve(reserveMet.isValid() && !reserveMet.isNull());
    item->setIsReserveMet(!item->isReserve() || reserveMet.toBool());
    const QVariantMap seller = map.value(QStringLiteral("seller")).toMap();
    item->setSeller(seller.value(QStringLiteral("username")).toString());
    item->setSellerScore(
        Item::sellerScoreText(seller.value(QStringLiteral("feedbackScore")).toInt(),
                              QVariant(seller.value(QStringLiteral("feedbackPercentage")).toString().toDouble())));
    const QVariantList shipping = map.value(QStringLiteral("shippingOptions")).toList();
    const QVariantMap firstOption = shipping.isEmpty() ? QVariantMap() : shipping.first().toMap();
    item->setShipping(firstOption.contains(QStringLiteral("shippingCost"))
                          ? amountValue(firstOption.value(QStringLiteral("shippingCost")))
                          : -1.0);
    item->setPictureUrl(map.value(QStringLiteral("image")).toMap().value(QStringLiteral("imageUrl")).toString());
    return true;
}

int BrowseReader::readError(const QByteArray& body, QString* message) {
    const QJsonArray errors = QJsonDocument::fromJson(body).object().value(QStringLiteral("errors")).toArray();
    if (errors.isEmpty())
        return 0;
    const QJsonObject first = errors.first().toObject();
    *message = first.value(QStringLiteral("longMessage")).toString(first.value(QStringLiteral("message")).toString());
    return first.value(QStringLiteral("errorId")).toInt();
}
