#include "itemhelper.h"

#include "browsereader.h"
#include "clockmanager.h"
#include "developerkeys.h"
#include "failurebox.h"
#include "hosts.h"
#include "loginhelper.h"
#include "messages.h"
#include "networkmanager.h"
#include "texthelpers.h"
#include "tollimerapp.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkReply>
#include <QRegExp>
#include <QRegularExpression>

namespace {
const QString networkErrorTitle = QStringLiteral("Network Error");
const QString placed = QStringLiteral("Placed");
const QString networkError = QStringLiteral("Network Error");
const QString unknownResult = QStringLiteral("UNKNOWN");

QVariantMap parseJson(const QByteArray& body, bool* ok) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    *ok = error.error == QJsonParseError::NoError;
    return document.toVariant().toMap();
}

// A key that is missing and a JSON null both count as absent.
bool isAbsent(const QVariant& value) {
    return !value.isValid() || value.isNull() || value.userType() == QMetaType::Nullptr;
}

const int maxItemsPerCall = 20;

QString userDomain() {
    return TollimerApp::instance() ? TollimerApp::instance()->country().value(QStringLiteral("domain")).toString()
                                   : QString();
}

QString isapiPath() {
    return QStringLiteral("/ws/eBayISAPI.dll?");
}
} // namespace

ItemHelper::ItemHelper(QObject* parent)
    : QObject(parent) {}

ItemHelper::~ItemHelper() {
    clearItems();
}

void ItemHelper::clearItems() {
    if (!m_items)
        return;
    qDeleteAll(*m_items);
    delete m_items;
    m_items = nullptr;
}

void ItemHelper::setSnipeMode(QNetworkAccessManager* manager, int transferTimeoutMs) {
    m_snipeMode = true;
    m_manager = manager;
    m_transferTimeoutMs = transferTimeoutMs;
}

void ItemHelper::reportFailure(const QString& title, const QString& text) {
    m_lastFailure = text;
    // Unreadable answers come in bursts like failed requests (a refresh asks for every row): one box per burst,
    // and the result signal never waits for it.
    if (!m_snipeMode)
        FailureBox::instance()->critical(title, text + QStringLiteral("%1"), QString());
}

void ItemHelper::send(const QString& url, void (ItemHelper::*slot)()) {
    m_lastFailure.clear();
    m_lastFailureTimedOut = false;
    m_lastFailureUnanswered = false;
    QNetworkReply* reply = NetworkManager::get(
        m_manager ? m_manager : NetworkManager::instance()->networkAccessManager(), url, m_transferTimeoutMs);
    m_reply = reply;
    // A snipe's requests run on the bid worker and show no box; the box belongs to the GUI thread.
    if (!m_snipeMode)
        FailureBox::instance()->track(reply);
    connect(reply, &QNetworkReply::finished, this, slot);
}

QNetworkReply* ItemHelper::finishedReply(const QString& failureMessage) {
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        reply = m_reply;
    if (!reply)
        return nullptr;
    reply->deleteLater();
    if (reply->error() == QNetworkReply::NoError)
        return reply;
    // Nothing but the transfer time-out cancels a request of this helper.
    m_lastFailureTimedOut = m_transferTimeoutMs > 0 && reply->error() == QNetworkReply::OperationCanceledError;
    m_lastFailureUnanswered = !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    const QString reason =
        m_lastFailureTimedOut ? QStringLiteral("eBay did not answer within %1 seconds.").arg(m_transferTimeoutMs / 1000)
                              : reply->errorString();
    m_lastFailure = failureMessage.arg(reason);
    // A burst of failures (a refresh during an outage) shows one box; a snipe's requests show none.
    if (!m_snipeMode)
        FailureBox::instance()->critical(networkErrorTitle, failureMessage, reason);
    return nullptr;
}

void ItemHelper::parseError(ParseErrorKind kind) {
    if (kind == ItemsParseError) {
        m_itemBatches.clear();
        reportFailure(QStringLiteral("Item Error"), QStringLiteral("Failed to parse item information."));
        emit getItemsFinished(false);
    } else {
        reportFailure(QStringLiteral("Item Status Error"), QStringLiteral("Failed to parse item status information."));
        emit getUserItemRelationFinished(false, QString());
    }
}

// ---- item information ----

void ItemHelper::getItems(const QString& itemNumbers) {
    clearItems();
    m_itemBatches.clear();
    // With the user's developer keys eBay's Browse API answers; its result is handed over as if it were ours.
    if (DeveloperKeys::isSet()) {
        auto* reader = new BrowseReader(this);
        connect(reader, &BrowseReader::getItemsFinished, this, [this, reader](bool ok) {
            reader->deleteLater();
            m_items = ok ? new ItemHash(reader->takeItems()) : nullptr;
            emit getItemsFinished(ok);
        });
        reader->getItems(itemNumbers.split(QLatin1Char(',')), BrowseReader::marketplaceOf(userDomain()));
        return;
    }
    // eBay refuses a call with more than twenty numbers whole: longer lists go in calls of twenty, one after the
    // other, and their answers are merged into one result.
    const QStringList numbers = itemNumbers.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (numbers.size() <= maxItemsPerCall) {
        sendItems(itemNumbers);
        return;
    }
    for (int i = 0; i < numbers.size(); i += maxItemsPerCall)
        m_itemBatches << numbers.mid(i, maxItemsPerCall).join(QLatin1Char(','));
    sendItems(m_itemBatches.takeFirst());
}

void ItemHelper::sendItems(const QString& itemNumbers) {
    const QString url = Hosts::origin(Hosts::ShoppingApi) +
                        QStringLiteral("/shopping?callname=GetMultipleItems&responseencoding=JSON&appid=%1&siteid=3"
                                       "&version=705&IncludeSelector=Details&ItemID=%2")
                            .arg(Hosts::applicationId(), encodeForQuery(itemNumbers, ","));
    send(url, &ItemHelper::getItemsWebFinished);
}

void ItemHelper::getItemsWebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to retrieve item information.\n%1"));
    if (!reply) {
        m_itemBatches.clear();
        emit getItemsFinished(false);
        return;
    }
    // Batches of one call add to the items of the batches before.
    ItemHash* items = m_items ? m_items : new ItemHash;
    if (!readItems(reply->readAll(), items)) {
        if (items != m_items)
            delete items;
        parseError(ItemsParseError);
        return;
    }
    m_items = items;
    if (!m_itemBatches.isEmpty()) {
        sendItems(m_itemBatches.takeFirst());
        return;
    }
    emit getItemsFinished(true);
}

bool ItemHelper::readItems(const QByteArray& body, ItemHash* items) {
    bool ok = false;
    const QVariantMap root = parseJson(body, &ok);
    if (!ok || isAbsent(root.value(QStringLiteral("Timestamp"))))
        return false;
    const QDateTime timestamp = ClockManager::parseEbayTime(root.value(QStringLiteral("Timestamp")).toString());
    if (!timestamp.isValid())
        return false;

    if (root.value(QStringLiteral("Ack")).toString() != QLatin1String("Success")) {
        const QVariantList errors = root.value(QStringLiteral("Errors")).toList();
        const QVariantList parameters = errors.isEmpty()
                                            ? QVariantList()
                                            : errors.first().toMap().value(QStringLiteral("ErrorParameters")).toList();
        const QString invalid =
            parameters.isEmpty() ? QString() : parameters.first().toMap().value(QStringLiteral("Value")).toString();
        const QStringList numbers = invalid.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& number : numbers) {
            delete items->value(number);
            items->insert(number, new Item(Item::invalid(number)));
        }
    }

    const QVariantList list = root.value(QStringLiteral("Item")).toList();
    for (const QVariant& entry : list) {
        const QVariantMap map = entry.toMap();
        auto* item = new Item;
        item->setIsAuction(map.value(QStringLiteral("ListingType"))
                               .toString()
                               .compare(QLatin1String("Chinese"), Qt::CaseInsensitive) == 0);
        item->setItemNumber(map.value(QStringLiteral("ItemID")).toString());
        item->setName(map.value(QStringLiteral("Title")).toString());
        item->setBidCount(map.value(QStringLiteral("BidCount")).toInt());
        const QVariantMap currentPrice = map.value(QStringLiteral("CurrentPrice")).toMap();
        item->setCurrentBid(currentPrice.value(QStringLiteral("Value")).toDouble());
        item->setCurrency(currentPrice.value(QStringLiteral("CurrencyID")).toString());
        item->setNextBid(map.value(QStringLiteral("MinimumToBid")).toMap().value(QStringLiteral("Value")).toDouble());
        item->setEndTime(ClockManager::parseEbayTime(map.value(QStringLiteral("EndTime")).toString()));
        item->setIsEnded(item->endTime() < timestamp);

        const QVariantMap seller = map.value(QStringLiteral("Seller")).toMap();
        item->setSeller(seller.value(QStringLiteral("UserID")).toString());
        item->setSellerScore(Item::sellerScoreText(seller.value(QStringLiteral("FeedbackScore")).toInt(),
                                                   seller.value(QStringLiteral("PositiveFeedbackPercent"))));

        const QVariant reserveMet = map.value(QStringLiteral("ReserveMet"));
        item->setIsReserve(!isAbsent(reserveMet));
        item->setIsReserveMet(isAbsent(reserveMet) || reserveMet.toBool());

        delete items->value(item->itemNumber());
        items->insert(item->itemNumber(), item);
    }
    return true;
}

// ---- viewer relation and shipping ----

void ItemHelper::getUserItemRelation(const QString& itemNumber) {
    send(Hosts::origin(Hosts::UkItemPage) + isapiPath() +
             QStringLiteral("ViewItemLite&item=%1&dl=5").arg(encodeForQuery(itemNumber)),
         &ItemHelper::getUserItemRelationWebFinished);
}

void ItemHelper::getUserItemRelationWebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to retrieve item status information.\n%1"));
    if (!reply) {
        emit getUserItemRelationFinished(false, QString());
        return;
    }
    QString relation;
    if (!readUserItemRelation(reply->readAll(), &relation)) {
        parseError(RelationParseError);
        return;
    }
    emit getUserItemRelationFinished(true, relation);
}

bool ItemHelper::readUserItemRelation(const QByteArray& body, QString* relation) {
    bool ok = false;
    const QVariantMap root = parseJson(body, &ok);
    if (!ok)
        return false;
    *relation = QStringLiteral("Unknown");
    const QVariantMap response = root.value(QStringLiteral("ViewItemLiteResponse")).toMap();
    if (isAbsent(response.value(QStringLiteral("Error")))) {
        const QVariantList items = response.value(QStringLiteral("Item")).toList();
        if (!items.isEmpty())
            *relation = items.first().toMap().value(QStringLiteral("ViewerItemRelation")).toString();
    }
    return true;
}

void ItemHelper::getShipping(const QString& itemNumber) {
    send(Hosts::origin(Hosts::UkItemPage) + isapiPath() +
             QStringLiteral("ViewItem&item=%1").arg(encodeForQuery(itemNumber)),
         &ItemHelper::getShippingWebFinished);
}

double ItemHelper::parseShippingCost(const QString& costText, bool* decided) {
    if (decided)
        *decided = true;
    if (costText.contains(QLatin1String("free"), Qt::CaseInsensitive))
        return 0.0;
    return trailingAmount(costText);
}

void ItemHelper::getShippingWebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to get item shipping cost.\n%1"));
    if (!reply) {
        emit getShippingFinished(false, -1.0);
        return;
    }
    emit getShippingFinished(true, readShippingPage(NetworkManager::replyText(reply)));
}

double ItemHelper::readShippingPage(const QString& page) {
    static const QList<QPair<QString, QString>> markers = {
        {QStringLiteral("<span id=\"fshippingCost\" class=\"notranslate sh-cst \"><span>"), QStringLiteral("</span>")},
        {QStringLiteral("<span id=\"fshippingCost\" class=\"notranslate sh-fr-cst \"><span>"),
         QStringLiteral("</span>")},
        {QStringLiteral("<div class=\"sh-ShipDtls sh_Prcpad\">"), QStringLiteral("</div>")},
        {QStringLiteral("<span class=\"vi-is1-sh-srvcCost vi-is1-hideElem vi-is1-showElem\">"),
         QStringLiteral("</span>")},
    };
    for (const auto& marker : markers) {
        const QString costText = extractBetween(page, marker.first, marker.second);
        if (costText.isEmpty())
            continue;
        bool decided = false;
        const double cost = parseShippingCost(costText, &decided);
        if (decided)
            return cost;
    }
    return -1.0;
}

// ---- bids ----

void ItemHelper::placeBidJsonStep1(const QString& domain, const QString& itemNumber, double maxBid) {
    send(Hosts::origin(Hosts::Offer, domain) + isapiPath() +
             QStringLiteral("MakeQuickBid&mode=0&flow=bm&item=%1&maxbid=%2&isbypassjson=1")
                 .arg(encodeForQuery(itemNumber), NetworkManager::formatAmount(maxBid)),
         &ItemHelper::placeBidJsonStep1WebFinished);
}

void ItemHelper::placeBidJsonStep1WebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to place json bid step 1.\n%1"));
    if (!reply) {
        emit placeBidJsonStep1Finished(false, networkError, QString(), QString(), QString());
        return;
    }
    QString stok;
    QString key;
    QString uiid;
    const QString result = readJsonBidStep1(NetworkManager::replyText(reply), &stok, &key, &uiid);
    emit placeBidJsonStep1Finished(true, result, stok, key, uiid);
}

QString ItemHelper::readJsonBidStep1(const QString& page, QString* stok, QString* key, QString* uiid) {
    if (page.contains(QLatin1String("window.parent.location"), Qt::CaseInsensitive) ||
        page.contains(QLatin1String("PageViewBids_MakeBidError\""), Qt::CaseInsensitive)) {
        stok->clear();
        key->clear();
        uiid->clear();
        return QStringLiteral("Redirect");
    }
    const QString end = QStringLiteral("\">");
    *stok = extractBetween(page, QStringLiteral("name=\"stok\" value=\""), end);
    *key = extractBetween(page, QStringLiteral("name=\"key\" value=\""), end);
    *uiid = extractBetween(page, QStringLiteral("name=\"uiid\" value=\""), end);
    return placed;
}

void ItemHelper::placeBidJsonStep2(const QString& domain, const QString& itemNumber, double maxBid, const QString& stok,
                                   const QString& key, const QString& uiid) {
    send(Hosts::origin(Hosts::Offer, domain) + isapiPath() +
             QStringLiteral("MakeQuickBid&mode=1&flow=bm&item=%1&maxbid=%2&stok=%3&key=%4&uiid=%5&f=json")
                 .arg(encodeForQuery(itemNumber), NetworkManager::formatAmount(maxBid), encodeForQuery(stok),
                      encodeForQuery(key), encodeForQuery(uiid)),
         &ItemHelper::placeBidJsonStep2WebFinished);
}

void ItemHelper::placeBidJsonStep2WebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to place json bid step 2.\n%1"));
    if (!reply) {
        emit placeBidFinished(false, networkError);
        return;
    }
    QString result;
    if (!readJsonBidAnswer(reply->readAll(), &result)) {
        reportFailure(networkErrorTitle, QStringLiteral("Failed to parse json bid step 2."));
        emit placeBidFinished(false, QStringLiteral("Parse Error"));
        return;
    }
    emit placeBidFinished(true, result);
}

bool ItemHelper::readJsonBidAnswer(const QByteArray& body, QString* result) {
    bool ok = false;
    const QVariantMap root = parseJson(body, &ok);
    if (!ok)
        return false;
    const QVariant status = root.value(QStringLiteral("Status"));
    if (!isAbsent(status) && status.toString().compare(QLatin1String("CONFIRMBID"), Qt::CaseInsensitive) == 0) {
        *result = placed;
        return true;
    }
    *result = unknownResult;
    const QVariant error = root.value(QStringLiteral("Error"));
    if (!isAbsent(error)) {
        if (error.toString().compare(QLatin1String("REDIRECT"), Qt::CaseInsensitive) == 0) {
            const QVariant debugError = root.value(QStringLiteral("DebugError"));
            const QVariantList debugErrors = isAbsent(debugError) ? QVariantList() : debugError.toList();
            if (!debugErrors.isEmpty())
                *result = debugErrors.first().toString();
        } else {
            *result = error.toString();
        }
    }
    return true;
}

void ItemHelper::placeBidHtmlStep1(const QString& itemNumber, double maxBid) {
    send(Hosts::origin(Hosts::UkOffer) + isapiPath() +
             QStringLiteral("MakeBid&item=%1&maxbid=%2")
                 .arg(encodeForQuery(itemNumber), NetworkManager::formatAmount(maxBid)),
         &ItemHelper::placeBidHtmlStep1WebFinished);
}

void ItemHelper::placeBidHtmlStep1WebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to place html bid step 1.\n%1"));
    if (!reply) {
        emit placeBidHtmlStep1Finished(false, networkError, QString(), QString());
        return;
    }
    const QString page = NetworkManager::replyText(reply);
    emit placeBidHtmlStep1Finished(true, placed, htmlBidToken(page, QStringLiteral("stok")),
                                   htmlBidToken(page, QStringLiteral("uiid")));
}

QString ItemHelper::htmlBidToken(const QString& page, const QString& name) {
    // The form may write the value attribute before the name attribute.
    const QString value = extractBetween(page, QStringLiteral("name=\"%1\" value=\"").arg(name), QStringLiteral("\">"));
    if (!value.isEmpty())
        return value;
    return extractBefore(page, QStringLiteral("\" name=\"%1\"").arg(name), QStringLiteral("\""));
}

void ItemHelper::placeBidHtmlStep2(const QString& itemNumber, double maxBid, const QString& user, const QString& stok,
                                   const QString& uiid) {
    send(Hosts::origin(Hosts::UkOffer) + isapiPath() +
             QStringLiteral("MfcISAPICommand=MakeBid&hmid=&item=%1&maxbid=%2&javascriptenabled=1&stok=%3&mid=&mode=1"
                            "&quant=1&uiid=%4&user=%5")
                 .arg(encodeForQuery(itemNumber), NetworkManager::formatAmount(maxBid), encodeForQuery(stok),
                      encodeForQuery(uiid), encodeForQuery(user)),
         &ItemHelper::placeBidHtmlStep2WebFinished);
}

QString ItemHelper::classifyHtmlBidAnswer(const QString& page) {
    QString result = unknownResult;
    if (containsRegExp(page, QStringLiteral("bid confirmation")))
        result = placed;
    else if (containsRegExp(page, QStringLiteral("enter.*(more than|or more)")))
        result = QStringLiteral("LOW_BIDAMOUNT");
    else if (containsRegExp(page, QStringLiteral("(bidding has ended|auction has ended)")))
        result = QStringLiteral("AUCTION_ENDED");

    QRegExp refusal(QStringLiteral("You are unable to bid on or buy this item because:.+(You.+\\.)"),
                    Qt::CaseInsensitive, QRegExp::RegExp);
    refusal.setMinimal(true);
    if (refusal.indexIn(page) >= 0) {
        result = refusal.cap(1);
        if (result.contains(QLatin1String("primary postage address"), Qt::CaseInsensitive))
            result = QStringLiteral("The seller doesn't post to the country where your primary postage address is "
                                    "located");
    }
    return result;
}

void ItemHelper::placeBidHtmlStep2WebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to place html bid step 2.\n%1"));
    if (!reply) {
        emit placeBidFinished(false, networkError);
        return;
    }
    emit placeBidFinished(true, classifyHtmlBidAnswer(NetworkManager::replyText(reply)));
}

// ---- My eBay ----

// The page-size replies are neither read nor checked: their end alone is announced.
void ItemHelper::sendPageSize(const QString& query, void (ItemHelper::*finished)()) {
    QNetworkReply* reply = NetworkManager::instance()->get(Hosts::origin(Hosts::UkMyEbay) + isapiPath() + query);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, finished);
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

void ItemHelper::setWatchingCountPerPage() {
    sendPageSize(QStringLiteral("MyEbayBeta&CurrentPage=MyeBayNextWatching&SubmitAction.ItemsPerPageSave=x"
                                "&CustomizedContainer=240&ItemsPerPage=200&ViewMYEBAY_NEXT_CONTAINER_CUSTOMIZE"
                                "&ssPageName=STRK:MEWAX:COUNT:200&View=WatchingNext#GoTo240"),
                 &ItemHelper::setWatchingCountPerPageFinished);
}

void ItemHelper::setBiddingCountPerPage() {
    sendPageSize(QStringLiteral("MyEbayBeta&CurrentPage=MyeBayNextBidding&SubmitAction.ItemsPerPageSave=x"
                                "&CustomizedContainer=312&ItemsPerPage=200&ViewMYEBAY_NEXT_CONTAINER_CUSTOMIZE"
                                "&ssPageName=STRK:MEBIDX:COUNT:200&View=BiddingNext#GoTo312"),
                 &ItemHelper::setBiddingCountPerPageFinished);
}

void ItemHelper::getMyeBayWatchingItemNumbers() {
    send(Hosts::origin(Hosts::UkMyEbay) + isapiPath() +
             QStringLiteral("MyEbayBeta&WatchingNext.Filter=All&GotoPage=1&View=WatchingNext&Column=EndTime"
                            "&NewFilter=All&CurrentPage=MyeBayNextWatching&ssPageName=STRK:MEWAX:PRINT"
                            "&StoreCatFilter=0&print=true&cid=240&FormatFilter=AllFormat"),
         &ItemHelper::getMyeBayWatchingItemNumbersWebFinished);
}

void ItemHelper::getMyeBayBiddingItemNumbers() {
    send(Hosts::origin(Hosts::UkMyEbay) + isapiPath() +
             QStringLiteral("MyEbayBeta&View=BiddingNext&Column=EndTime&NewFilter=All&BiddingNext.Filter=All"
                            "&CurrentPage=MyeBayNextBidding&ssPageName=STRK:MEBIDX:PRINT&StoreCatFilter=0"
                            "&print=true&cid=312&FormatFilter=AllFormat"),
         &ItemHelper::getMyeBayBiddingItemNumbersWebFinished);
}

QStringList ItemHelper::myEbayItemNumbers(const QString& page) {
    const QString prefix = QStringLiteral("href=\"http://") + Hosts::host(Hosts::UkWeb) + QStringLiteral("/itm/");
    // ASCII digits only: \d would also take the digits of other scripts, which no item number has.
    QRegExp link(QRegExp::escape(prefix) + QStringLiteral("([0-9]+)") + QRegExp::escape(QStringLiteral("?")),
                 Qt::CaseInsensitive, QRegExp::RegExp);
    link.setMinimal(true);
    QStringList numbers;
    int position = 0;
    while ((position = link.indexIn(page, position)) >= 0) {
        numbers.append(link.cap(1));
        position += qMax(1, link.matchedLength());
    }
    return numbers;
}

void ItemHelper::getMyeBayWatchingItemNumbersWebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to import My eBay Watch List.\n%1"));
    m_lastListSignedOut = false;
    if (!reply) {
        emit getMyeBayWatchingItemNumbersFinished(false, QStringList());
        return;
    }
    const QString page = NetworkManager::replyText(reply);
    // A signed-out session gets the sign-in page, which lists nothing; the import must not take that for a list.
    m_lastListSignedOut = LoginHelper::isSignInForm(page);
    QStringList numbers = myEbayItemNumbers(page);
    numbers.removeDuplicates();
    for (const QString& number : qAsConst(numbers))
        qDebug() << number;
    emit getMyeBayWatchingItemNumbersFinished(true, numbers);
}

void ItemHelper::getMyeBayBiddingItemNumbersWebFinished() {
    QNetworkReply* reply = finishedReply(QStringLiteral("Failed to import My eBay Bidding List.\n%1"));
    m_lastListSignedOut = false;
    if (!reply) {
        emit getMyeBayBiddingItemNumbersFinished(false, QStringList());
        return;
    }
    const QString page = NetworkManager::replyText(reply);
    m_lastListSignedOut = LoginHelper::isSignInForm(page);
    emit getMyeBayBiddingItemNumbersFinished(true, myEbayItemNumbers(page));
}
