#include "watchlistrefresh.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "notifications.h"
#include "watchlistmodel.h"

#include <QDebug>
#include <QSqlDatabase>

namespace {
bool isKnownRelation(const QString& relation) {
    return relation == QLatin1String(UserRelation::none) || relation == QLatin1String(UserRelation::highBidder) ||
           relation == QLatin1String(UserRelation::outBidder);
}
} // namespace

WatchListRefresh::WatchListRefresh(WatchListModel* model, TrayMessenger* tray, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_tray(tray) {}

void WatchListRefresh::refresh(const QStringList& itemNumbers) {
    qDebug() << "reload started" << itemNumbers.size() << "items in watch list";
    if (itemNumbers.isEmpty())
        return;
    auto* helper = new ItemHelper(this);
    connect(helper, &ItemHelper::getItemsFinished, this, [this, helper](bool ok) { itemsFinished(helper, ok); });
    helper->getItems(itemNumbers.join(QLatin1Char(',')));
}

void WatchListRefresh::itemsFinished(ItemHelper* helper, bool ok) {
    helper->deleteLater();
    if (!ok || !helper->items())
        return;
    const QSqlRecord user = signedInUser();
    QList<int> changed;
    bool snipeChanged = false;
    // One commit for the whole list instead of one per row: on a long list the commits are most of the time.
    QSqlDatabase store = QSqlDatabase::database();
    const bool batched = store.transaction();
    for (const Item* fresh : qAsConst(*helper->items())) {
        if (storeFacts(*fresh, user, &snipeChanged))
            changed << WatchListModel::storedItem(fresh->itemNumber()).value(QStringLiteral("id")).toInt();
    }
    if (batched && !store.commit())
        store.rollback();
    for (int id : qAsConst(changed))
        m_model->reloadItem(id);
    if (snipeChanged)
        emit snipesChanged();
    for (const Item* fresh : qAsConst(*helper->items())) {
        if (!isStandIn(*fresh))
            requestDetails(fresh->itemNumber());
    }
}

bool WatchListRefresh::isStandIn(const Item& fresh) {
    return !fresh.isAuction() && (!fresh.endTime().isValid() || fresh.endTime().date().year() <= 1970);
}

bool WatchListRefresh::storeFacts(const Item& fresh, const QSqlRecord& user, bool* snipeChanged) {
    QSqlRecord item = WatchListModel::storedItem(fresh.itemNumber());
    // A number no longer in the list must not come back as a row.
    if (item.value(QStringLiteral("id")).toInt() < 1)
        return false;
    const int bidStatus = item.value(QStringLiteral("bid_status")).toInt();
    if (isStandIn(fresh)) {
        // The stand-in's name, amounts and 1970 end would erase what the row knew; the row is marked instead, and a
        // snipe on it can never be placed.
        if (item.value(QStringLiteral("user_relation")).toString() == QLatin1String(unlistedRelation) ||
            bidStatus == BidStatus::Bidding)
            return false;
        item.setValue(QStringLiteral("user_relation"), QString::fromLatin1(unlistedRelation));
        item.setValue(QStringLiteral("is_ended"), true);
        if (bidStatus == BidStatus::Scheduled) {
            item.setValue(QStringLiteral("bid_status"), int(BidStatus::Failed));
            item.setValue(QStringLiteral("error_message"), tr("eBay no longer lists this item."));
            *snipeChanged = true;
        }
        return DbHelper::updateItem(item);
    }
    const double bid = item.value(QStringLiteral("user_bid")).toDouble();
    const bool underBid = bid > 0 && item.value(QStringLiteral("next_bid")).toDouble() <= bid && fresh.nextBid() > bid;
    copyEbayFacts(fresh, item);
    const bool stored = DbHelper::updateItem(item);
    if (underBid && !fresh.isEnded()) {
        if (user.value(QStringLiteral("outbid_notification")).toBool())
            sendNotification(user.value(QStringLiteral("email")).toString(),
                             lowBidNotification(user.value(QStringLiteral("username")).toString(), fresh.itemNumber(),
                                                fresh.name(), fresh.nextBid(), bid));
        m_tray->showTrayMessage(tr("Low scheduled bid on item ") + fresh.itemNumber(),
                                tr("Your scheduled bid is lower than the current bid! You need to raise your bid.\r\n"
                                   "Item Name: ") +
                                    fresh.name(),
                                TrayMessenger::Warning);
    }
    return stored;
}

void WatchListRefresh::copyEbayFacts(const Item& fresh, QSqlRecord& item) {
    item.setValue(QStringLiteral("name"), fresh.name());
    item.setValue(QStringLiteral("is_ended"), fresh.isEnded());
    item.setValue(QStringLiteral("bid_count"), fresh.bidCount());
    item.setValue(QStringLiteral("current_bid"), fresh.currentBid());
    item.setValue(QStringLiteral("next_bid"), fresh.nextBid());
    item.setValue(QStringLiteral("currency"), fresh.currency());
    item.setValue(QStringLiteral("end_time"), ClockManager::storeText(fresh.endTime()));
    item.setValue(QStringLiteral("is_reserve"), fresh.isReserve());
    item.setValue(QStringLiteral("is_reserve_met"), fresh.isReserveMet());
    item.setValue(QStringLiteral("seller"), fresh.seller());
    item.setValue(QStringLiteral("seller_score"), fresh.sellerScore());
}

// The answers are delivered with the item number in hand: asking Qt for the sender walks every connection into
// the receiver, which on a long list costs more than the answer itself.
void WatchListRefresh::requestDetails(const QString& itemNumber) {
    auto* shipping = new ItemHelper(this);
    connect(shipping, &ItemHelper::getShippingFinished, this, [this, shipping, itemNumber](bool ok, double cost) {
        shipping->deleteLater();
        shippingFinished(itemNumber, ok, cost);
    });
    shipping->getShipping(itemNumber);
    auto* relation = new ItemHelper(this);
    connect(relation, &ItemHelper::getUserItemRelationFinished, this,
            [this, relation, itemNumber](bool ok, const QString& text) {
                relation->deleteLater();
                relationFinished(itemNumber, ok, text);
            });
    relation->getUserItemRelation(itemNumber);
}

void WatchListRefresh::relationFinished(const QString& itemNumber, bool ok, const QString& relation) {
    if (!ok)
        return;
    QSqlRecord item = WatchListModel::storedItem(itemNumber);
    const int id = item.value(QStringLiteral("id")).toInt();
    const QString stored = item.value(QStringLiteral("user_relation")).toString();
    const int bidStatus = item.value(QStringLiteral("bid_status")).toInt();
    const bool ended = ClockManager::parseEbayTime(item.value(QStringLiteral("end_time")).toString()) <
                       ClockManager::instance()->currentDateTime();
    // The engine asks for the verdict of its own bids after the end; a late answer here must not overwrite it.
    const bool engineOwns = bidStatus == BidStatus::Bidding ||
                            (ended && (bidStatus == BidStatus::Placed || bidStatus == BidStatus::Failed));
    if (id < 1 || stored == relation || engineOwns || stored == QLatin1String(unlistedRelation) ||
        (!isKnownRelation(relation) && !stored.isEmpty()))
        return;
    item.setValue(QStringLiteral("user_relation"), relation);
    DbHelper::updateUserRelation(item);
    m_model->reloadItem(id);
}

void WatchListRefresh::shippingFinished(const QString& itemNumber, bool ok, double shipping) {
    // A failed or unreadable answer knows nothing about the cost: the stored one stays.
    if (!ok || shipping < 0)
        return;
    QSqlRecord item = WatchListModel::storedItem(itemNumber);
    const int id = item.value(QStringLiteral("id")).toInt();
    const QVariant stored = item.value(QStringLiteral("shipping"));
    if (id < 1 || (!stored.isNull() && stored.toDouble() == shipping))
        return;
    item.setValue(QStringLiteral("shipping"), shipping);
    DbHelper::updateItem(item);
    m_model->reloadItem(id);
}
