#include "bidengine.h"

#include "bidthread.h"
#include "clockmanager.h"
#include "dbhelper.h"
#include "hosts.h"
#include "item.h"
#include "networkmanager.h"
#include "notifications.h"
#include "snipescheduler.h"
#include "tollimerapp.h"
#include "traymessenger.h"

#include <QDebug>
#include <QMutexLocker>
#include <QNetworkCookieJar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>

#include <exception>

namespace {
using Columns = QList<std::pair<QString, QVariant>>;

const QString bidStatus = QStringLiteral("bid_status");
const QString errorMessage = QStringLiteral("error_message");
const QString actualBidTime = QStringLiteral("actual_bid_time");
// Written while a snipe waits for its confirming moment, so that a snipe found in Bidding after a crash is never
// sent again once its request may have left.
const QString mayHaveLeft = QStringLiteral("The program was closed while the bid was being placed. The bid may or may "
                                           "not have been placed; the result check after the end tells.");
const QString closedWhilePlacing =
    QStringLiteral("The program was closed while the bid was being placed. Check the result on eBay.");
// The end of a stand-in for an item eBay does not know lies in 1970; no real auction ends before this.
const QDateTime earliestRealEnd(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
// A re-synchronisation moving eBay time by more than this is passed on to the snipes waiting on the worker.
constexpr qint64 offsetChangeMs = 500;

QDateTime clockNow() {
    return ClockManager::instance()->currentDateTime();
}

QDateTime fromMs(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

bool isRealEnd(const QDateTime& end) {
    return end.isValid() && end >= earliestRealEnd;
}
} // namespace

BidEngine::BidEngine(TrayMessenger* tray, QObject* parent)
    : QObject(parent)
    , m_tray(tray)
    , m_scheduler(new SnipeScheduler(this)) {
    connect(m_scheduler, &SnipeScheduler::confirmationScheduled, this, &BidEngine::onConfirmationScheduled);
    connect(m_scheduler, &SnipeScheduler::confirmationSent, this, &BidEngine::onConfirmationSent);
    connect(m_scheduler, &SnipeScheduler::bidFinished, this, &BidEngine::onBidFinished);
    connect(m_scheduler, &SnipeScheduler::snipeFailed, this, &BidEngine::onSnipeFailed);
    connect(m_scheduler, &SnipeScheduler::snipeStopped, this, &BidEngine::onSnipeStopped);
    connect(m_scheduler, &SnipeScheduler::relationReceived, this, &BidEngine::onRelationReceived);
    connect(m_scheduler, &SnipeScheduler::cookiesReceived, this, &BidEngine::onCookiesReceived);
    connect(m_scheduler, &SnipeScheduler::ended, this, &BidEngine::onEnded);
    m_userId = currentUserId();
    m_clockOffsetMs = clockOffsetMs();
    recoverInterruptedSnipes();
    loadBiddingItems();
    updateNextSnipe();
}

BidEngine::~BidEngine() {
    // Snipes still under way go with the engine; they must not report back into a half-destroyed engine.
    disconnect(m_scheduler, nullptr, this, nullptr);
    delete m_scheduler;
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

bool BidEngine::isInFlight(int itemId) const {
    return m_scheduler->isInFlight(itemId);
}

int BidEngine::currentUserId() const {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user().value(QStringLiteral("id")).toInt() : 0;
}

qint64 BidEngine::clockOffsetMs() const {
    return clockNow().toMSecsSinceEpoch() - SnipeScheduler::monotonicMs();
}

void BidEngine::clearItems() {
    qDeleteAll(m_items);
    m_items.clear();
}

bool BidEngine::writeSnipe(int itemId, const Columns& columns, const QList<int>& statuses) {
    QStringList assignments;
    for (const auto& column : columns)
        assignments << column.first + QStringLiteral(" = ?");
    QStringList allowed;
    for (int status : statuses)
        allowed << QString::number(status);
    QSqlQuery query;
    query.prepare(QStringLiteral("UPDATE items SET %1 WHERE id = ? AND bid_status IN (%2)")
                      .arg(assignments.join(QStringLiteral(", ")), allowed.join(QLatin1Char(','))));
    for (const auto& column : columns)
        query.addBindValue(column.second);
    query.addBindValue(itemId);
    const bool changed = query.exec() && query.numRowsAffected() > 0;
    if (changed)
        emit itemChanged(itemId);
    return changed;
}

void BidEngine::notifyFailure(const QString& itemNumber, const QString& message) {
    if (m_tray)
        m_tray->showTrayMessage(tr("Bid failed on item ") + itemNumber, message, TrayMessenger::Warning);
}

void BidEngine::failListed(Item* item, const QString& message) {
    qCritical().noquote() << item->itemNumber() << "bid failed:" << message;
    if (writeSnipe(item->id(), {{bidStatus, int(BidStatus::Failed)}, {errorMessage, message}}, {BidStatus::Scheduled}))
        notifyFailure(item->itemNumber(), message);
}

// A snipe found in Bidding that no snipe of this run carries was interrupted when the program ended. One whose
// confirming request may have left is never sent again: it fails, and the verdict after the end tells.
void BidEngine::recoverInterruptedSnipes() {
    if (!TollimerApp::instance())
        return;
    const QDateTime now = clockNow();
    QSqlQuery query;
    DbHelper::getItems(query, now, m_userId, 0, ItemFilter::All);
    QList<Item*> verdicts;
    while (query.next()) {
        const int id = query.value(QStringLiteral("id")).toInt();
        if (query.value(bidStatus).toInt() != BidStatus::Bidding || m_scheduler->isInFlight(id))
            continue;
        const QString number = query.value(QStringLiteral("item_number")).toString();
        const QDateTime end = ClockManager::parseEbayTime(query.value(QStringLiteral("end_time")).toString());
        const QDateTime moment = ClockManager::parseEbayTime(query.value(actualBidTime).toString());
        const bool mayHaveBeenSent = !query.value(errorMessage).isNull() && !(moment.isValid() && now < moment);
        if (mayHaveBeenSent) {
            qDebug().noquote() << number << "may have been bid on when the program ended; the verdict decides";
            writeSnipe(id, {{bidStatus, int(BidStatus::Failed)}, {errorMessage, mayHaveLeft}}, {BidStatus::Bidding});
            auto* item = new Item;
            item->setId(id);
            item->setItemNumber(number);
            item->setEndTime(end);
            item->setLeadTime(query.value(QStringLiteral("lead_time")).toInt());
            item->setUserBid(query.value(QStringLiteral("user_bid")).toDouble());
            verdicts << item;
        } else if (end.isValid() && end > now) {
            qDebug().noquote() << number << "was being placed when the program ended; scheduled again";
            writeSnipe(id, {{bidStatus, int(BidStatus::Scheduled)}, {errorMessage, QVariant(QVariant::String)}},
                       {BidStatus::Bidding});
        } else {
            qDebug().noquote() << number << "was being placed when the program ended; the auction is over";
            writeSnipe(id, {{bidStatus, int(BidStatus::Failed)}, {errorMessage, closedWhilePlacing}},
                       {BidStatus::Bidding});
        }
    }
    for (Item* item : qAsConst(verdicts))
        startSnipe(*item, now, true);
    qDeleteAll(verdicts);
}

void BidEngine::onTimer() {
    try {
        m_reloadCounter += ClockManager::instance()->tickInterval();
        if (m_reloadCounter > reloadIntervalMs - 1) {
            m_reloadCounter = 0;
            reload();
        }
        const qint64 offset = clockOffsetMs();
        if (qAbs(offset - m_clockOffsetMs) > offsetChangeMs) {
            m_clockOffsetMs = offset;
            m_scheduler->setClockOffset(offset);
        }
        processBiddingItems();
    } catch (const std::exception& e) {
        qCritical() << "Exception occured in BidEngine onTimer():" << e.what();
    } catch (...) {
        qCritical() << "Unknown exception occured in BidEngine onTimer()";
    }
}

void BidEngine::reload() {
    const int user = currentUserId();
    if (user != m_userId) {
        stopPreviousUser(m_userId);
        m_userId = user;
        recoverInterruptedSnipes();
    }
    loadBiddingItems();
    for (const SnipeTicket& ticket : m_scheduler->tickets())
        checkRow(ticket.serial);
    updateNextSnipe();
}

// The previous user's snipes must not bid once another user has signed in; one whose confirming request has
// left keeps its verdict.
void BidEngine::stopPreviousUser(int userId) {
    for (const SnipeTicket& ticket : m_scheduler->tickets()) {
        if (ticket.userId == userId && ticket.awaiting) {
            qDebug().noquote() << ticket.itemNumber << "is stopped: another user signed in";
            m_scheduler->stop(ticket.serial, tr("You signed out before the bid was placed."));
        }
    }
}

void BidEngine::loadBiddingItems() {
    QMutexLocker locker(&m_mutex);
    clearItems();
    if (!TollimerApp::instance()) {
        qCritical() << "BidEngine: no application object; no snipes loaded";
        return;
    }
    const QDateTime now = clockNow();
    QSqlQuery query;
    DbHelper::getDueItems(query, m_userId, lookaheadSeconds, now);
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
    const QDateTime now = clockNow();
    QList<Item*> due;
    {
        QMutexLocker locker(&m_mutex);
        for (int i = m_items.size() - 1; i >= 0; --i) {
            qDebug() << "inside bidding items loop, i =" << i;
            qDebug() << "found bidding item at" << i;
            Item* item = m_items.at(i);
            if (item->bidStatus() != BidStatus::Scheduled || item->userBid() <= 0)
                continue;
            if (!isDue(now, item->endTime(), item->leadTime()))
                continue;
            qDebug() << m_items.size() << "items in bidding item list.";
            qDebug().noquote() << "Start bidding and remove" << item->itemNumber();
            due << m_items.takeAt(i);
            qDebug() << m_items.size() << "items in bidding item list.";
        }
    }
    // Started outside the lock: what a start writes may make the window call back into the engine.
    for (Item* item : qAsConst(due)) {
        SnipeTicket* running = m_scheduler->latest(item->id());
        if (!isRealEnd(item->endTime())) {
            // A stand-in for an item eBay reports as invalid: its end is no moment to bid at.
            qDebug().noquote() << item->itemNumber() << "has no real end time; not started";
        } else if (!(now < item->endTime())) {
            const QString message = tr("The auction had ended before the bid could be sent.");
            if (running && !running->awaiting) {
                notifyFailure(item->itemNumber(), message);
                handBack(running, BidStatus::Scheduled);
            } else {
                failListed(item, message);
            }
        } else if (running && running->awaiting) {
            // Scheduled again before its confirming request left: that snipe places the bid with the new values.
            qDebug().noquote() << item->itemNumber() << "is still being placed; not started twice";
            writeSnipe(item->id(), {{bidStatus, int(BidStatus::Bidding)}}, {BidStatus::Scheduled});
            m_scheduler->setUserBid(running->serial, item->userBid());
        } else {
            startSnipe(*item, now);
        }
    }
    qDeleteAll(due);
    updateNextSnipe();
}

void BidEngine::startSnipe(const Item& item, const QDateTime& now, bool verdictOnly) {
    if (!verdictOnly) {
        // The row as it stands now, not as the last reload saw it: a cancelled snipe sends nothing at all.
        QSqlQuery query;
        query.prepare(QStringLiteral("SELECT bid_status FROM items WHERE id = ?"));
        query.addBindValue(item.id());
        if (!query.exec() || !query.next() || query.value(0).isNull() ||
            query.value(0).toInt() != BidStatus::Scheduled) {
            qDebug().noquote() << item.itemNumber() << "has been canceled";
            return;
        }
    }
    TollimerApp* app = TollimerApp::instance();
    const QSqlRecord user = app->user();
    SnipeOrder order;
    order.itemId = item.id();
    order.itemNumber = item.itemNumber();
    order.domain = app->country().value(QStringLiteral("domain")).toString();
    order.username = user.value(QStringLiteral("username")).toString();
    order.leadTime = item.leadTime();
    order.endMs = item.endTime().toMSecsSinceEpoch();
    order.clockOffsetMs = m_clockOffsetMs = clockOffsetMs();
    order.verdictOnly = verdictOnly;
    // The worker gets copies: the session's jar is not thread-safe. Cookies its answers set come back through
    // onCookiesReceived.
    QNetworkCookieJar* jar = NetworkManager::instance()->cookieJar();
    for (const QString& origin :
         {Hosts::origin(Hosts::Offer, order.domain), Hosts::origin(Hosts::UkOffer), Hosts::origin(Hosts::UkItemPage)}) {
        for (const QNetworkCookie& cookie : jar->cookiesForUrl(QUrl(origin + QLatin1Char('/')))) {
            if (!order.cookies.contains(cookie))
                order.cookies << cookie;
        }
    }
    SnipeTicket ticket;
    ticket.itemId = item.id();
    ticket.userId = m_userId;
    ticket.itemNumber = item.itemNumber();
    ticket.plannedMomentMs = BidThread::plannedMoment(item.endTime(), item.leadTime()).toMSecsSinceEpoch();
    ticket.userBid = item.userBid();
    ticket.awaiting = !verdictOnly;
    ticket.uncertain = ticket.verdictOnly = verdictOnly;
    if (verdictOnly) {
        ticket.resultStatus = BidStatus::Failed;
        ticket.resultMessage = mayHaveLeft;
    }
    const int serial = m_scheduler->start(order, ticket);
    if (verdictOnly)
        return;
    // Written after the hand-over, so that the write does not stand before the first request. The row may have
    // been cancelled since the last reload: then the snipe is stopped before it can bid.
    if (!writeSnipe(item.id(),
                    {{bidStatus, int(BidStatus::Bidding)},
                     {actualBidTime, ClockManager::storeText(now)},
                     {errorMessage, QVariant(QVariant::String)}},
                    {BidStatus::Scheduled})) {
        qDebug().noquote() << item.itemNumber() << "has been canceled";
        m_scheduler->stop(serial, QString());
    }
}

void BidEngine::checkRow(int serial) {
    const SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (!ticket || !ticket->awaiting || m_scheduler->latest(ticket->itemId) != ticket)
        return;
    QSqlQuery query;
    query.prepare(QStringLiteral("SELECT bid_status, user_bid FROM items WHERE id = ?"));
    query.addBindValue(ticket->itemId);
    if (!query.exec())
        return;
    const bool exists = query.next();
    const QVariant status = exists ? query.value(0) : QVariant();
    if (status.isNull()) {
        qDebug().noquote() << ticket->itemNumber << "has been canceled";
        m_scheduler->stop(serial, QString());
        return;
    }
    if (status.toInt() == BidStatus::Scheduled)
        writeSnipe(ticket->itemId, {{bidStatus, int(BidStatus::Bidding)}}, {BidStatus::Scheduled});
    if (status.toInt() == BidStatus::Scheduled || status.toInt() == BidStatus::Bidding)
        m_scheduler->setUserBid(serial, query.value(1).toDouble());
}

void BidEngine::onConfirmationScheduled(int serial, int itemId, int delayMs, qint64 momentMs) {
    Q_UNUSED(delayMs)
    SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (!ticket)
        return;
    ticket->momentMs = momentMs;
    if (m_scheduler->latest(itemId) == ticket)
        writeSnipe(itemId, {{errorMessage, mayHaveLeft}, {actualBidTime, ClockManager::storeText(fromMs(momentMs))}},
                   {BidStatus::Bidding});
    const qint64 untilCheck = momentMs - clockNow().toMSecsSinceEpoch() - checkBeforeConfirmationMs;
    QTimer::singleShot(int(qMax<qint64>(0, untilCheck)), Qt::PreciseTimer, this, [this, serial] { checkRow(serial); });
    updateNextSnipe();
}

void BidEngine::onConfirmationSent(int serial) {
    if (SnipeTicket* ticket = m_scheduler->ticket(serial))
        ticket->awaiting = false;
    updateNextSnipe();
}

void BidEngine::onBidFinished(int serial, int status, const QString& message, bool uncertain, qint64 sentMs) {
    SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (!ticket)
        return;
    ticket->awaiting = false;
    ticket->resultStatus = status;
    ticket->resultMessage = message;
    ticket->uncertain = uncertain;
    // A snipe writes only the Bidding it owns: not a row the user cancelled or scheduled again meanwhile, and not
    // one a newer snipe of the item carries.
    if (m_scheduler->latest(ticket->itemId) != ticket)
        return;
    // A new schedule eBay refused leaves the earlier snipe's placed bid standing.
    SnipeTicket* earlier = m_scheduler->sentEarlier(ticket->itemId, serial);
    if (status != BidStatus::Placed && !uncertain && earlier && earlier->resultStatus == BidStatus::Placed) {
        notifyFailure(ticket->itemNumber, message);
        handBack(earlier, BidStatus::Bidding);
        return;
    }
    const bool written =
        writeSnipe(ticket->itemId,
                   {{bidStatus, status},
                    {errorMessage, status == BidStatus::Placed ? QVariant(QVariant::String) : QVariant(message)},
                    {actualBidTime, ClockManager::storeText(fromMs(sentMs))}},
                   {BidStatus::Bidding});
    if (written && status != BidStatus::Placed)
        notifyFailure(ticket->itemNumber, message);
}

void BidEngine::onSnipeFailed(int serial, const QString& message) {
    const SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (!ticket || m_scheduler->latest(ticket->itemId) != ticket)
        return;
    // A new schedule that could not be sent leaves the bid of the earlier one standing: that one's result (when it
    // has come) and verdict are the row's again.
    if (SnipeTicket* earlier = m_scheduler->sentEarlier(ticket->itemId, serial)) {
        notifyFailure(ticket->itemNumber, message);
        handBack(earlier, BidStatus::Bidding);
        return;
    }
    if (writeSnipe(ticket->itemId, {{bidStatus, int(BidStatus::Failed)}, {errorMessage, message}},
                   {BidStatus::Bidding}))
        notifyFailure(ticket->itemNumber, message);
}

// A new schedule that cannot be sent leaves the bid of the earlier snipe standing: that one's result (when it has
// come) and verdict are the row's again.
void BidEngine::handBack(SnipeTicket* earlier, int fromStatus) {
    m_scheduler->setLatest(earlier->itemId, earlier->serial);
    if (earlier->resultStatus == 0) {
        writeSnipe(earlier->itemId, {{bidStatus, int(BidStatus::Bidding)}}, {fromStatus});
        return;
    }
    writeSnipe(earlier->itemId,
               {{bidStatus, earlier->resultStatus},
                {errorMessage, earlier->resultStatus == BidStatus::Placed ? QVariant(QVariant::String)
                                                                          : QVariant(earlier->resultMessage)}},
               {fromStatus});
}

void BidEngine::onSnipeStopped(int serial) {
    const SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (ticket && m_groupStops.remove(serial)) {
        DbHelper::cancelSnipes(QString::number(ticket->itemId));
        emit itemChanged(ticket->itemId);
    }
}

void BidEngine::onRelationReceived(int serial, bool ok, const QString& relation) {
    const SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (!ticket)
        return;
    if (!ok) {
        qCritical().noquote() << ticket->itemNumber << "eBay gave no verdict; the result stays as stored";
        return;
    }
    if (m_scheduler->latest(ticket->itemId) != ticket) {
        qDebug().noquote() << ticket->itemNumber << "verdict of an earlier snipe; a newer one carries the row";
        return;
    }
    try {
        const int id = ticket->itemId;
        if (ticket->uncertain &&
            (isWinningRelation(relation) || relation.compare(QLatin1String("OUTBIDDER"), Qt::CaseInsensitive) == 0)) {
            qDebug().noquote() << ticket->itemNumber << "the verdict shows the bid was placed";
            writeSnipe(id, {{bidStatus, int(BidStatus::Placed)}, {errorMessage, QVariant(QVariant::String)}},
                       {BidStatus::Failed});
        }
        QSqlRecord record = QSqlDatabase::database().record(QStringLiteral("items"));
        record.setValue(QStringLiteral("id"), id);
        DbHelper::getItem(record);
        record.setValue(QStringLiteral("user_relation"), relation);
        DbHelper::updateUserRelation(record);
        emit itemChanged(id);
        const QSqlRecord user = TollimerApp::instance()->user();
        SnipeResult result;
        result.relation = relation;
        result.username = user.value(QStringLiteral("username")).toString();
        result.itemNumber = ticket->itemNumber;
        result.itemName = record.value(QStringLiteral("name")).toString();
        result.currentBid = record.value(QStringLiteral("current_bid")).toDouble();
        result.userBid = ticket->userBid;
        result.wonNotification = user.value(QStringLiteral("won_notification")).toBool();
        result.lostNotification = user.value(QStringLiteral("lost_notification")).toBool();
        result.email = user.value(QStringLiteral("email")).toString();
        notifyResult(result, m_tray);
        applyGroupLimit(id, relation);
    } catch (const std::exception& e) {
        qCritical() << "Exception occured in BidThread postBidActions():" << e.what();
    } catch (...) {
        qCritical() << "Unknown exception occured in BidThread postBidActions()";
    }
}

void BidEngine::applyGroupLimit(int itemId, const QString& relation) {
    QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
    item.setValue(QStringLiteral("id"), itemId);
    DbHelper::getItem(item);
    const int groupId = item.value(QStringLiteral("group_id")).toInt();
    if (groupId < 1)
        return;
    QSqlRecord group = QSqlDatabase::database().record(QStringLiteral("groups"));
    group.setValue(QStringLiteral("id"), groupId);
    if (!DbHelper::getGroup(group))
        return;
    QSqlQuery query;
    DbHelper::getItems(query, clockNow(), item.value(QStringLiteral("user_id")).toInt(), groupId, ItemFilter::All);
    // Scheduled snipes, and started ones that have not sent their confirming request: either would still bid.
    QStringList scheduled;
    QList<int> awaiting;
    while (query.next()) {
        const int id = query.value(QStringLiteral("id")).toInt();
        const int status = query.value(bidStatus).toInt();
        if (id == itemId)
            continue;
        if (status == BidStatus::Scheduled)
            scheduled << QString::number(id);
        else if (status == BidStatus::Bidding && m_scheduler->isAwaitingConfirmation(id))
            awaiting << id;
    }
    int won = group.value(QStringLiteral("current_won")).toInt();
    if (scheduled.isEmpty() && awaiting.isEmpty()) {
        won = 0;
    } else if (isWinningRelation(relation)) {
        ++won;
        if (group.value(QStringLiteral("max_won")).toInt() <= won) {
            won = 0;
            if (!scheduled.isEmpty())
                DbHelper::cancelSnipes(scheduled.join(QLatin1Char(',')));
            for (const QString& id : qAsConst(scheduled))
                emit itemChanged(id.toInt());
            // Those under way are cancelled once the worker confirms that their confirming request has not left.
            for (int id : qAsConst(awaiting)) {
                const int serial = m_scheduler->latest(id)->serial;
                m_groupStops.insert(serial);
                m_scheduler->stop(serial, QString());
            }
            if (m_tray)
                m_tray->showTrayMessage(
                    QStringLiteral("Remaining bids in group ") + group.value(QStringLiteral("name")).toString() +
                        QStringLiteral(" are cancelled"),
                    QStringLiteral("Since you have won maximum auctions in the bidding group, the remaining scheduled "
                                   "bids have been cancelled."),
                    TrayMessenger::Information);
        }
    } else {
        return;
    }
    group.setValue(QStringLiteral("current_won"), won);
    DbHelper::updateGroupWon(group);
}

void BidEngine::onCookiesReceived(int serial, const QList<QNetworkCookie>& cookies, const QUrl& url) {
    // A previous user's snipe must not put its session back into the jar of the user now signed in.
    const SnipeTicket* ticket = m_scheduler->ticket(serial);
    if (ticket && ticket->userId == m_userId)
        NetworkManager::instance()->cookieJar()->setCookiesFromUrl(cookies, url);
}

void BidEngine::onEnded(int serial) {
    m_scheduler->forget(serial);
    m_groupStops.remove(serial);
    updateNextSnipe();
}

void BidEngine::clockJumped(qint64 jumpMs) {
    const QDateTime now = clockNow();
    m_clockOffsetMs = clockOffsetMs();
    m_scheduler->setClockOffset(m_clockOffsetMs);
    if (jumpMs <= 0)
        return;
    QList<Item*> missed;
    {
        QMutexLocker locker(&m_mutex);
        for (int i = m_items.size() - 1; i >= 0; --i) {
            Item* item = m_items.at(i);
            const QDateTime moment = BidThread::plannedMoment(item->endTime(), item->leadTime());
            if (item->bidStatus() == BidStatus::Scheduled && item->userBid() > 0 && isRealEnd(item->endTime()) &&
                moment <= now && moment > now.addMSecs(-jumpMs))
                missed << m_items.takeAt(i);
        }
    }
    for (Item* item : qAsConst(missed))
        failListed(item, QStringLiteral("The computer was asleep when the bid was due"));
    qDeleteAll(missed);
    updateNextSnipe();
}

void BidEngine::updateNextSnipe() {
    const QDateTime now = clockNow();
    QDateTime moment;
    QString itemNumber;
    const auto consider = [&](const QDateTime& candidate, const QString& number) {
        if (candidate.isValid() && !(candidate < now) && (!moment.isValid() || candidate < moment)) {
            moment = candidate;
            itemNumber = number;
        }
    };
    {
        QMutexLocker locker(&m_mutex);
        for (const Item* item : qAsConst(m_items)) {
            if (item->bidStatus() == BidStatus::Scheduled && item->userBid() > 0 && isRealEnd(item->endTime()))
                consider(BidThread::plannedMoment(item->endTime(), item->leadTime()), item->itemNumber());
        }
    }
    for (const SnipeTicket& ticket : m_scheduler->tickets()) {
        if (ticket.awaiting)
            consider(fromMs(ticket.momentMs ? ticket.momentMs : ticket.plannedMomentMs), ticket.itemNumber);
    }
    if (moment == m_nextMoment && itemNumber == m_nextItem)
        return;
    m_nextMoment = moment;
    m_nextItem = itemNumber;
    emit nextSnipeChanged(moment, itemNumber);
}
