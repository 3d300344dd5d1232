#include "bidengine.h"

#include "bidthread.h"
#include "clockmanager.h"
#include "dbhelper.h"
#include "item.h"
#include "tollimerapp.h"

#include <QDebug>
#include <QMutexLocker>
#include <QSqlQuery>

#include <exception>

BidEngine::BidEngine(TrayMessenger* tray, QObject* parent)
    : QObject(parent)
    , m_tray(tray) {
    recoverInterruptedSnipes();
    loadBiddingItems();
}

BidEngine::~BidEngine() {
    // Bid threads still running go with the engine; they must not report back into a half-destroyed engine.
    const QList<BidThread*> threads = findChildren<BidThread*>(QString(), Qt::FindDirectChildrenOnly);
    for (BidThread* thread : threads)
        disconnect(thread, nullptr, this, nullptr);
    clearItems();
}

bool BidEngine::isDue(const QDateTime& now, const QDateTime& end, int leadTime) {
    const int lead = leadTime > 0 ? leadTime : automaticStartLeadSeconds;
    return !(now.addSecs(lead + startMarginSeconds) < end);
}

int BidEngine::listedCount() const {
    QMutexLocker locker(&m_mutex);
    return m_items.size();
}

void BidEngine::clearItems() {
    qDeleteAll(m_items);
    m_items.clear();
}

// A snipe found in Bidding at start was interrupted when the program ended: nobody is placing it any more.
void BidEngine::recoverInterruptedSnipes() {
    TollimerApp* app = TollimerApp::instance();
    if (!app)
        return;
    const QDateTime now = ClockManager::instance()->currentDateTime();
    QSqlQuery query;
    DbHelper::getItems(query, now, app->user().value(QStringLiteral("id")).toInt(), 0, ItemFilter::All);
    while (query.next()) {
        if (query.value(QStringLiteral("bid_status")).toInt() != BidStatus::Bidding)
            continue;
        const int id = query.value(QStringLiteral("id")).toInt();
        const QString number = query.value(QStringLiteral("item_number")).toString();
        const QDateTime end = ClockManager::parseEbayTime(query.value(QStringLiteral("end_time")).toString());
        if (end.isValid() && end > now) {
            qDebug().noquote() << number << "was being placed when the program ended; scheduled again";
            BidThread::updateSnipe(id, {{QStringLiteral("bid_status"), int(BidStatus::Scheduled)}});
        } else {
            qDebug().noquote() << number << "was being placed when the program ended; the auction is over";
            BidThread::updateSnipe(
                id, {{QStringLiteral("bid_status"), int(BidStatus::Failed)},
                     {QStringLiteral("error_message"),
                      QStringLiteral("The program was closed while the bid was being placed. Check the result on "
                                     "eBay.")}});
        }
    }
}

void BidEngine::onTimer() {
    try {
        m_reloadCounter += ClockManager::instance()->tickInterval();
        if (m_reloadCounter > reloadIntervalMs - 1) {
            m_reloadCounter = 0;
            loadBiddingItems();
        }
        processBiddingItems();
    } catch (const std::exception& e) {
        qCritical() << "Exception occured in BidEngine onTimer():" << e.what();
    } catch (...) {
        qCritical() << "Unknown exception occured in BidEngine onTimer()";
    }
}

void BidEngine::loadBiddingItems() {
    QMutexLocker locker(&m_mutex);
    clearItems();
    TollimerApp* app = TollimerApp::instance();
    if (!app) {
        qCritical() << "BidEngine: no application object; no snipes loaded";
        return;
    }
    const QDateTime now = ClockManager::instance()->currentDateTime();
    QSqlQuery query;
    DbHelper::getDueItems(query, app->user().value(QStringLiteral("id")).toInt(), lookaheadSeconds, now);
    while (query.next()) {
        auto* item = new Item;
        const auto text = [&query](const char* name) { return query.value(QLatin1String(name)).toString(); };
        const auto integer = [&query](const char* name) { return query.value(QLatin1String(name)).toInt(); };
        const auto real = [&query](const char* name) { return query.value(QLatin1String(name)).toDouble(); };
        const auto flag = [&query](const char* name) { return query.value(QLatin1String(name)).toBool(); };
        item->setId(integer("id"));
        item->setUserId(integer("user_id"));
        item->setBidCount(integer("bid_count"));
        item->setLeadTime(integer("lead_time"));
        item->setBidStatus(integer("bid_status"));
        item->setGroupId(integer("group_id"));
        item->setItemNumber(text("item_number"));
        item->setName(text("name"));
        item->setUserRelation(text("user_relation"));
        item->setCurrency(text("currency"));
        item->setNotes(text("notes"));
        item->setIsEnded(flag("is_ended"));
        item->setIsReserve(flag("is_reserve"));
        item->setIsReserveMet(flag("is_reserve_met"));
        item->setCurrentBid(real("current_bid"));
        item->setNextBid(real("next_bid"));
        item->setUserBid(real("user_bid"));
        item->setShipping(real("shipping"));
        item->setEndTime(ClockManager::parseEbayTime(text("end_time")));
        item->setActualBidTime(ClockManager::parseEbayTime(text("actual_bid_time")));
        m_items.append(item);
    }
    qDebug() << m_items.size() << "items have been loaded.";
}

void BidEngine::processBiddingItems() {
    const QDateTime now = ClockManager::instance()->currentDateTime();
    QMutexLocker locker(&m_mutex);
    TollimerApp* app = TollimerApp::instance();
    if (!app)
        return;
    for (int i = m_items.size() - 1; i >= 0; --i) {
        qDebug() << "inside bidding items loop, i =" << i;
        qDebug() << "found bidding item at" << i;
        Item* item = m_items.at(i);
        if (item->bidStatus() != BidStatus::Scheduled || item->userBid() <= 0)
            continue;
        if (!isDue(now, item->endTime(), item->leadTime()))
            continue;
        const int id = item->id();
        const QString number = item->itemNumber();
        qDebug() << m_items.size() << "items in bidding item list.";
        m_items.removeAt(i);
        delete item;
        if (m_inFlight.contains(id)) {
            // Scheduled again while its bid thread still runs: that thread places the bid with the new values.
            qDebug().noquote() << number << "is still being placed; not started twice";
            continue;
        }
        const QSqlRecord user = app->user();
        auto* thread = new BidThread(this);
        thread->setUsername(user.value(QStringLiteral("username")).toString());
        thread->setItemId(id);
        thread->setDomain(app->country().value(QStringLiteral("domain")).toString());
        thread->setWonNotification(user.value(QStringLiteral("won_notification")).toBool());
        thread->setLostNotification(user.value(QStringLiteral("lost_notification")).toBool());
        thread->setEmail(user.value(QStringLiteral("email")).toString());
        thread->setTrayMessenger(m_tray);
        m_inFlight.insert(id);
        connect(thread, &QObject::destroyed, this, [this, id] { m_inFlight.remove(id); });
        qDebug().noquote() << "Start bidding and remove" << number;
        qDebug() << m_items.size() << "items in bidding item list.";
        thread->run();
    }
}
