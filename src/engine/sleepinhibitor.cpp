#include "sleepinhibitor.h"

#include "clockmanager.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>
#include <QStandardPaths>

namespace {
// The machine's logind is never asked by a test: tests run in test mode and hand in a private bus; a window made
// by a test gets a bus that is not connected, and so one log line.
QDBusConnection programBus() {
    return QStandardPaths::isTestModeEnabled() ? QDBusConnection(QStringLiteral("tollimer-no-bus"))
                                               : QDBusConnection::systemBus();
}

// eBay times are held as UTC digits whatever their Qt::TimeSpec says; compared as such, the zone cannot creep in.
QDateTime utcDigits(const QDateTime& time) {
    return QDateTime(time.date(), time.time(), Qt::UTC);
}
} // namespace

SleepInhibitor::SleepInhibitor(QObject* parent)
    : SleepInhibitor(programBus(), ClockManager::instance(), parent) {}

SleepInhibitor::SleepInhibitor(const QDBusConnection& bus, ClockManager* clock, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
    , m_clock(clock) {
    m_clock->connectTick(this, SLOT(check()));
}

SleepInhibitor::~SleepInhibitor() = default;

QString SleepInhibitor::statusText() const {
    return isHeld() ? tr("Sleep held off: %1").arg(m_heldWhy) : QString();
}

void SleepInhibitor::setNextSnipe(const QDateTime& confirmingMoment, const QString& itemNumber) {
    m_moment = confirmingMoment.isValid() ? utcDigits(confirmingMoment) : QDateTime();
    m_item = itemNumber;
    check();
}

QString SleepInhibitor::wantedWhy() const {
    if (!m_moment.isValid())
        return QString();
    const qint64 left = utcDigits(m_clock->currentDateTime()).msecsTo(m_moment);
    if (left >= nearMs || left < -afterMs)
        return QString();
    // In the computer's own time: that is what a person reading the list of inhibitors expects.
    return QStringLiteral("Snipe on item %1 at %2")
        .arg(m_item, m_moment.toLocalTime().toString(QStringLiteral("HH:mm:ss")));
}

void SleepInhibitor::check() {
    const QString why = wantedWhy();
    if (why.isEmpty()) {
        m_refusedWhy.clear();
        release();
        return;
    }
    // Another snipe came nearer than the one held: logind's list should name it, so a new inhibitor replaces the
    // old one once it is granted.
    if (why == m_heldWhy || why == m_refusedWhy || m_pending)
        return;
    if (!m_bus.isConnected()) {
        refused(why, QStringLiteral("no D-Bus system bus: ") + m_bus.lastError().message());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Tollimer") << why << QStringLiteral("block");
    m_pendingWhy = why;
    m_pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call, callTimeoutMs), this);
    connect(m_pending, &QDBusPendingCallWatcher::finished, this, &SleepInhibitor::inhibitFinished);
}

void SleepInhibitor::inhibitFinished(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    m_pending = nullptr;
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
    if (reply.isError() || !reply.value().isValid()) {
        refused(m_pendingWhy, reply.isError() ? reply.error().message() : QStringLiteral("no file descriptor"));
        return;
    }
    if (wantedWhy() != m_pendingWhy) {
        // The snipe went away or changed while logind answered: the descriptor closes with the reply.
        check();
        return;
    }
    m_lastError.clear();
    m_fd = reply.value(); // the one held before, if any, is closed and so released
    m_heldWhy = m_pendingWhy;
    qDebug().noquote() << "Sleep held off: " + m_heldWhy;
    emit heldChanged(true, m_heldWhy);
}

void SleepInhibitor::refused(const QString& why, const QString& error) {
    m_refusedWhy = why;
    m_lastError = error;
    if (!m_logged)
        qWarning().noquote() << "Cannot keep the computer awake for snipes (no systemd-logind inhibitor): " + error;
    m_logged = true;
}

void SleepInhibitor::release() {
    if (!isHeld())
        return;
    m_fd = QDBusUnixFileDescriptor();
    m_heldWhy.clear();
    qDebug() << "Sleep allowed again: no snipe is near";
    emit heldChanged(false, QString());
}
