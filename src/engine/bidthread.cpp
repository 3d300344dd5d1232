#include "bidthread.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "itemhelper.h"
#include "networkmanager.h"
#include "notifications.h"
#include "traymessenger.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTimer>

#include <exception>

QSet<int> BidThread::s_awaitingConfirmation;
QMultiMap<qint64, BidThread*> BidThread::s_dueConfirmations;
QHash<int, QList<BidThread::Columns>> BidThread::s_heldWrites;
bool BidThread::s_ownConnections = true;
BidThread::Timeouts BidThread::s_timeouts = {firstStepTimeoutMs, confirmTimeoutMs, relationTimeoutMs};

namespace {
const QString placed = QStringLiteral("Placed");
// What ItemHelper reports for a confirmation answer it cannot read: an unknown page, or JSON that does not parse.
const QString unknownAnswer = QStringLiteral("UNKNOWN");
const QString unparsedAnswer = QStringLiteral("Parse Error");

QDateTime now() {
    return ClockManager::instance()->currentDateTime();
}
} // namespace

BidThread::BidThread(QObject* parent)
    : QObject(parent)
    , m_requester(new ItemHelper(this))
    , m_network(s_ownConnections ? NetworkManager::instance()->createSessionManager(this) : nullptr) {
    m_requester->setSnipeMode(m_network, s_timeouts.firstStepMs);
    connect(m_requester, &ItemHelper::placeBidJsonStep1Finished, this, &BidThread::placeBidJsonStep1Finished);
    connect(m_requester, &ItemHelper::placeBidHtmlStep1Finished, this, &BidThread::placeBidHtmlStep1Finished);
    connect(m_requester, &ItemHelper::placeBidFinished, this, &BidThread::placeBidFinished);
    connect(m_requester, &ItemHelper::getUserItemRelationFinished, this, &BidThread::postBidActions);
}

BidThread::~BidThread() {
    s_awaitingConfirmation.remove(m_itemId);
    for (auto it = s_dueConfirmations.begin(); it != s_dueConfirmations.end();)
        it = it.value() == this ? s_dueConfirmations.erase(it) : it + 1;
}

qint64 BidThread::monotonicMs() {
    static QElapsedTimer elapsed;
    if (!elapsed.isValid())
        elapsed.start();
    return elapsed.elapsed();
}

int BidThread::msUntilQuiet() {
    const qint64 now = monotonicMs();
    // A confirmation a little overdue is about to leave as well.
    const auto next = s_dueConfirmations.lowerBound(now - 20);
    if (next == s_dueConfirmations.end() || next.key() - now > quietBeforeConfirmationMs)
        return 0;
    return int(qMax<qint64>(0, next.key() - now)) + 20;
}

void BidThread::storeWhenQuiet(int itemId, const Columns& columns) {
    // A snipe's writes keep their order: once one is held back, those made after it wait behind it, so that a late
    // Bidding can never overwrite the result.
    const bool holding = s_heldWrites.contains(itemId);
    if (!holding && msUntilQuiet() == 0) {
        updateSnipe(itemId, columns);
        return;
    }
    s_heldWrites[itemId].append(columns);
    if (!holding)
        writeHeld(itemId);
}

void BidThread::writeHeld(int itemId) {
    if (const int wait = msUntilQuiet()) {
        QTimer::singleShot(wait, QCoreApplication::instance(), [itemId] { writeHeld(itemId); });
        return;
    }
    const QList<Columns> writes = s_heldWrites.take(itemId);
    for (const Columns& columns : writes)
        updateSnipe(itemId, columns);
}

void BidThread::store(const Columns& columns) {
    storeWhenQuiet(m_itemId, columns);
}

bool BidThread::usesHtmlFlow(const QString& domain) {
    // Austria, Belgium (Dutch and French), India, Ireland, Italy, the Netherlands, Spain and Switzerland.
    static const QStringList htmlDomains = {
        QStringLiteral("ebay.at"), QStringLiteral("benl.ebay.be"), QStringLiteral("befr.ebay.be"),
        QStringLiteral("ebay.in"), QStringLiteral("ebay.ie"),      QStringLiteral("ebay.it"),
        QStringLiteral("ebay.nl"), QStringLiteral("ebay.es"),      QStringLiteral("ebay.ch")};
    return htmlDomains.contains(domain);
}

int BidThread::secondsUntilBid(const QDateTime& now, const QDateTime& end, int leadTime, int step1Secs) {
    const qint64 remaining = end.isValid() ? now.msecsTo(end) / 1000 : 0;
    const int lead = leadTime < 1 ? qMax(step1Secs, minimumAutomaticLeadSeconds) : leadTime;
    return int(qMax<qint64>(0, remaining - lead));
}

qint64 BidThread::relationDelayMs(const QDateTime& now, const QDateTime& end, int leadTime) {
    const qint64 afterResult = qint64(qMax(leadTime, 0) + 1) * 1000;
    const qint64 afterEnd = end.isValid() ? now.msecsTo(end) + relationAfterEndMs : 0;
    return qMax(afterResult, afterEnd);
}

bool BidThread::updateSnipe(int itemId, const Columns& columns) {
    QStringList assignments;
    for (const auto& column : columns)
        assignments << column.first + QStringLiteral(" = ?");
    QSqlQuery query;
    query.prepare(QStringLiteral("UPDATE items SET %1 WHERE id = ? AND bid_status IS NOT NULL")
                      .arg(assignments.join(QStringLiteral(", "))));
    for (const auto& column : columns)
        query.addBindValue(column.second);
    query.addBindValue(itemId);
    return query.exec() && query.numRowsAffected() > 0;
}

QString BidThread::itemNumber() const {
    return m_record.value(QStringLiteral("item_number")).toString();
}

double BidThread::userBid() const {
    return m_record.value(QStringLiteral("user_bid")).toDouble();
}

bool BidThread::hasBeenCanceled() {
    QSqlRecord record = QSqlDatabase::database().record(QStringLiteral("items"));
    record.setValue(QStringLiteral("id"), m_itemId);
    DbHelper::getItem(record);
    m_record = record;
    const bool canceled = m_record.value(QStringLiteral("bid_status")).toInt() == 0;
    if (canceled)
        qDebug().noquote() << itemNumber() << "has been canceled";
    return canceled;
}

void BidThread::run() {
    if (hasBeenCanceled()) {
        finish();
        return;
    }
    // A snipe already placed, failed or in the hands of another bid thread is never started again.
    if (m_record.value(QStringLiteral("bid_status")).toInt() != BidStatus::Scheduled) {
        qDebug().noquote() << itemNumber() << "is not scheduled; not started";
        finish();
        return;
    }
    const QDateTime start = now();
    qDebug().noquote() << ClockManager::storeText(start) << itemNumber() << "Run()";
    store({{QStringLiteral("bid_status"), int(BidStatus::Bidding)},
           {QStringLiteral("actual_bid_time"), ClockManager::storeText(start)},
           {QStringLiteral("error_message"), QVariant(QVariant::String)}});
    s_awaitingConfirmation.insert(m_itemId);
    if (usesHtmlFlow(m_domain)) {
        startHtmlStep1();
        return;
    }
    m_step1Start = now();
    m_requester->setTransferTimeout(s_timeouts.firstStepMs);
    m_requester->placeBidJsonStep1(m_domain, itemNumber(), userBid());
}

void BidThread::startHtmlStep1() {
    m_step1Start = now();
    m_requester->setTransferTimeout(s_timeouts.firstStepMs);
    m_requester->placeBidHtmlStep1(itemNumber(), userBid());
}

void BidThread::placeBidJsonStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& key,
                                          const QString& uiid) {
    qDebug().noquote() << ClockManager::storeText(now()) << itemNumber() << "placeBidJsonStep1Finished()";
    qDebug().noquote() << "errorMsg:" << errorMsg;
    if (ok && errorMsg == placed) {
        m_stok = stok;
        m_key = key;
        m_uiid = uiid;
        scheduleConfirmation(SLOT(placeBidJsonStep2()));
        return;
    }
    // The quick bid did not give its form: the page flow gets one try, if the snipe still stands.
    if (hasBeenCanceled()) {
        finish();
        return;
    }
    startHtmlStep1();
}

void BidThread::placeBidHtmlStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& uiid) {
    qDebug().noquote() << ClockManager::storeText(now()) << itemNumber() << "placeBidHtmlStep1Finished()";
    qDebug().noquote() << "errorMsg:" << errorMsg;
    if (ok && errorMsg == placed) {
        m_stok = stok;
        m_uiid = uiid;
        scheduleConfirmation(SLOT(placeBidHtmlStep2()));
        return;
    }
    fail(failureText(ok, errorMsg));
}

int BidThread::secondsUntilBid(int step1Secs) const {
    return secondsUntilBid(now(), ClockManager::parseEbayTime(m_record.value(QStringLiteral("end_time")).toString()),
                           m_record.value(QStringLiteral("lead_time")).toInt(), step1Secs);
}

void BidThread::scheduleConfirmation(const char* slot) {
    const int step1Secs = int(m_step1Start.msecsTo(now()) / 1000);
    const int delayMs = secondsUntilBid(step1Secs) * 1000;
    s_dueConfirmations.insert(monotonicMs() + delayMs, this);
    QTimer::singleShot(delayMs, Qt::PreciseTimer, this, slot);
    emit confirmationScheduled(m_itemId, delayMs);
}

bool BidThread::prepareConfirmation(const char* step) {
    qDebug().noquote() << ClockManager::storeText(now()) << itemNumber() << step;
    for (auto it = s_dueConfirmations.begin(); it != s_dueConfirmations.end();)
        it = it.value() == this ? s_dueConfirmations.erase(it) : it + 1;
    if (hasBeenCanceled()) {
        finish();
        return false;
    }
    s_awaitingConfirmation.remove(m_itemId);
    m_requester->setTransferTimeout(s_timeouts.confirmMs);
    return true;
}

void BidThread::placeBidJsonStep2() {
    if (!prepareConfirmation("placeBidJsonStep2()"))
        return;
    m_record.setValue(QStringLiteral("actual_bid_time"), ClockManager::storeText(now()));
    m_requester->placeBidJsonStep2(m_domain, itemNumber(), userBid(), m_stok, m_key, m_uiid);
}

void BidThread::placeBidHtmlStep2() {
    if (!prepareConfirmation("placeBidHtmlStep2()"))
        return;
    m_record.setValue(QStringLiteral("actual_bid_time"), ClockManager::storeText(now()));
    m_requester->placeBidHtmlStep2(itemNumber(), userBid(), m_username, m_stok, m_uiid);
}

QString BidThread::failureText(bool ok, const QString& errorMsg) const {
    if (ok || m_requester->lastFailure().isEmpty())
        return errorMsg;
    return m_requester->lastFailure();
}

void BidThread::placeBidFinished(bool ok, const QString& errorMsg) {
    const QDateTime answered = now();
    qDebug().noquote() << ClockManager::storeText(answered) << itemNumber() << "placeBidFinished()";
    qDebug().noquote() << "errorMsg:" << errorMsg;
    const bool isPlaced = ok && errorMsg == placed;
    QString message;
    // Without a readable answer eBay may still have taken the bid: the verdict asked after the end decides.
    // An HTTP error status is a refusal.
    m_confirmationUncertain =
        !isPlaced &&
        ((!ok && (m_requester->lastFailureUnanswered() || errorMsg == unparsedAnswer)) || errorMsg == unknownAnswer);
    if (!isPlaced) {
        message = failureText(ok, errorMsg);
        if (m_confirmationUncertain)
            message += QStringLiteral("\nThe bid may or may not have been placed; the result check that follows "
                                      "tells.");
    }
    // The request time is stored with the result, so the store is not written while confirming requests leave.
    store({{QStringLiteral("bid_status"), int(isPlaced ? BidStatus::Placed : BidStatus::Failed)},
           {QStringLiteral("error_message"), isPlaced ? QVariant(QVariant::String) : QVariant(message)},
           {QStringLiteral("actual_bid_time"), m_record.value(QStringLiteral("actual_bid_time"))}});
    if (!isPlaced && m_tray)
        m_tray->showTrayMessage(tr("Bid failed on item ") + itemNumber(), message, TrayMessenger::Warning);
    const qint64 delay =
        relationDelayMs(answered, ClockManager::parseEbayTime(m_record.value(QStringLiteral("end_time")).toString()),
                        m_record.value(QStringLiteral("lead_time")).toInt());
    QTimer::singleShot(int(delay), Qt::PreciseTimer, this, &BidThread::getUserItemRelation);
}

void BidThread::fail(const QString& message) {
    qCritical().noquote() << itemNumber() << "bid failed:" << message;
    store({{QStringLiteral("bid_status"), int(BidStatus::Failed)}, {QStringLiteral("error_message"), message}});
    if (m_tray)
        m_tray->showTrayMessage(tr("Bid failed on item ") + itemNumber(), message, TrayMessenger::Warning);
    finish();
}

void BidThread::finish() {
    s_awaitingConfirmation.remove(m_itemId);
    if (m_finished)
        return;
    m_finished = true;
    deleteLater();
}

void BidThread::getUserItemRelation() {
    m_requester->setTransferTimeout(s_timeouts.relationMs);
    m_requester->getUserItemRelation(itemNumber());
}

void BidThread::postBidActions(bool ok, const QString& relation) {
    // Its store writes wait for other snipes' confirming requests due in a moment.
    if (const int wait = msUntilQuiet()) {
        QTimer::singleShot(wait, this, [this, ok, relation] { postBidActions(ok, relation); });
        return;
    }
    if (!ok) {
        qCritical().noquote() << itemNumber() << "viewer relation not received:" << m_requester->lastFailure();
        finish();
        return;
    }
    try {
        if (m_confirmationUncertain &&
            (isWinningRelation(relation) || relation.compare(QLatin1String("OUTBIDDER"), Qt::CaseInsensitive) == 0)) {
            qDebug().noquote() << itemNumber() << "the verdict shows the bid was placed";
            store({{QStringLiteral("bid_status"), int(BidStatus::Placed)},
                   {QStringLiteral("error_message"), QVariant(QVariant::String)}});
        }
        m_record.setValue(QStringLiteral("user_relation"), relation);
        DbHelper::updateUserRelation(m_record);
        notifyResult(relation);
        applyGroupLimit(relation);
    } catch (const std::exception& e) {
        qCritical() << "Exception occured in BidThread postBidActions():" << e.what();
    } catch (...) {
        qCritical() << "Unknown exception occured in BidThread postBidActions()";
    }
    finish();
}

void BidThread::notifyResult(const QString& relation) {
    SnipeResult result;
    result.relation = relation;
    result.username = m_username;
    result.itemNumber = itemNumber();
    result.itemName = m_record.value(QStringLiteral("name")).toString();
    result.currentBid = m_record.value(QStringLiteral("current_bid")).toDouble();
    result.userBid = userBid();
    result.wonNotification = m_wonNotification;
    result.lostNotification = m_lostNotification;
    result.email = m_email;
    ::notifyResult(result, m_tray);
}

void BidThread::applyGroupLimit(const QString& relation) {
    const int groupId = m_record.value(QStringLiteral("group_id")).toInt();
    if (groupId < 1)
        return;
    QSqlRecord group = QSqlDatabase::database().record(QStringLiteral("groups"));
    group.setValue(QStringLiteral("id"), groupId);
    if (!DbHelper::getGroup(group))
        return;
    QSqlQuery query;
    DbHelper::getItems(query, now(), m_record.value(QStringLiteral("user_id")).toInt(), groupId, ItemFilter::All);
    // Scheduled snipes, and started ones that have not sent their confirming request: either would still bid.
    QStringList pending;
    while (query.next()) {
        const int id = query.value(QStringLiteral("id")).toInt();
        const int status = query.value(QStringLiteral("bid_status")).toInt();
        if (id != m_itemId &&
            (status == BidStatus::Scheduled || (status == BidStatus::Bidding && isAwaitingConfirmation(id))))
            pending << QString::number(id);
    }
    int won = group.value(QStringLiteral("current_won")).toInt();
    if (pending.isEmpty()) {
        won = 0;
    } else if (isWinningRelation(relation)) {
        ++won;
        if (group.value(QStringLiteral("max_won")).toInt() <= won) {
            won = 0;
            DbHelper::cancelSnipes(pending.join(QLatin1Char(',')));
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
