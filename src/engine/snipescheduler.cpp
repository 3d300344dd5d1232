#include "snipescheduler.h"

#include <QElapsedTimer>

SnipeScheduler::SnipeScheduler(QObject* parent)
    : QObject(parent)
    , m_holder(new QObject) {
    qRegisterMetaType<QList<QNetworkCookie>>();
    m_thread.setObjectName(QStringLiteral("bid worker"));
    m_holder->moveToThread(&m_thread);
    m_thread.start(QThread::HighPriority);
}

SnipeScheduler::~SnipeScheduler() {
    // Snipes still under way go with their worker: their network managers must be deleted on their own thread.
    QObject* holder = m_holder;
    QMetaObject::invokeMethod(
        holder, [holder] { delete holder; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

qint64 SnipeScheduler::monotonicMs() {
    static const QElapsedTimer elapsed = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return elapsed.elapsed();
}

void SnipeScheduler::setRequestTimeouts(int firstStepMs, int confirmMs, int relationMs) {
    m_settings.firstStepTimeoutMs = firstStepMs;
    m_settings.confirmTimeoutMs = confirmMs;
    m_settings.relationTimeoutMs = relationMs;
}

void SnipeScheduler::setRelationRetry(int tries, int intervalMs) {
    m_settings.relationTries = tries;
    m_settings.relationRetryMs = intervalMs;
}

int SnipeScheduler::start(SnipeOrder order, SnipeTicket ticket) {
    const int serial = m_nextSerial++;
    order.serial = ticket.serial = serial;
    order.settings = m_settings;
    order.control = ticket.control = std::make_shared<SnipeControl>();
    order.control->userBid = ticket.userBid;
    m_tickets.insert(serial, ticket);
    m_latest.insert(ticket.itemId, serial);
    QObject* holder = m_holder;
    QMetaObject::invokeMethod(holder, [this, holder, order] {
        auto* thread = new BidThread(order, this, holder);
        thread->setObjectName(QString::number(order.serial));
        thread->run();
    });
    return serial;
}

template <typename Fn> void SnipeScheduler::onWorker(int serial, Fn fn) {
    QObject* holder = m_holder;
    QMetaObject::invokeMethod(holder, [holder, serial, fn] {
        if (auto* thread = holder->findChild<BidThread*>(QString::number(serial), Qt::FindDirectChildrenOnly))
            fn(thread);
    });
}

void SnipeScheduler::stop(int serial, const QString& reason) {
    // Claimed here, before the call is queued: a confirming timer due on the worker meanwhile finds it taken.
    if (SnipeTicket* t = ticket(serial))
        t->control->claim(SnipeControl::Stopped);
    onWorker(serial, [reason](BidThread* thread) { thread->stop(reason); });
}

void SnipeScheduler::setUserBid(int serial, double userBid) {
    if (SnipeTicket* t = ticket(serial)) {
        t->userBid = userBid;
        t->control->userBid = userBid;
    }
}

void SnipeScheduler::setClockOffset(qint64 offsetMs) {
    QObject* holder = m_holder;
    QMetaObject::invokeMethod(holder, [holder, offsetMs] {
        for (BidThread* thread : holder->findChildren<BidThread*>(QString(), Qt::FindDirectChildrenOnly))
            thread->setClockOffset(offsetMs);
    });
}

SnipeTicket* SnipeScheduler::ticket(int serial) {
    auto it = m_tickets.find(serial);
    return it == m_tickets.end() ? nullptr : &it.value();
}

SnipeTicket* SnipeScheduler::latest(int itemId) {
    return m_latest.contains(itemId) ? ticket(m_latest.value(itemId)) : nullptr;
}

bool SnipeScheduler::isAwaitingConfirmation(int itemId) const {
    const auto it = m_latest.find(itemId);
    return it != m_latest.end() && m_tickets.value(it.value()).awaiting;
}

void SnipeScheduler::forget(int serial) {
    const SnipeTicket ticket = m_tickets.take(serial);
    if (m_latest.value(ticket.itemId) == serial)
        m_latest.remove(ticket.itemId);
}

bool SnipeScheduler::hasSent(int itemId) const {
    const auto it = m_tickets.find(m_latest.value(itemId));
    return it != m_tickets.end() && it->control->state == SnipeControl::Sent;
}

bool SnipeScheduler::isInFlight(int itemId) const {
    for (const SnipeTicket& ticket : m_tickets) {
        if (ticket.itemId == itemId)
            return true;
    }
    return false;
}

SnipeTicket* SnipeScheduler::sentEarlier(int itemId, int serial) {
    SnipeTicket* found = nullptr;
    for (SnipeTicket& ticket : m_tickets) {
        if (ticket.itemId == itemId && ticket.serial < serial && !ticket.awaiting &&
            (!found || ticket.serial > found->serial))
            found = &ticket;
    }
    return found;
}
