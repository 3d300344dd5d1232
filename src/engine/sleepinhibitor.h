#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QDateTime>
#include <QObject>

class ClockManager;
class QDBusPendingCallWatcher;

// Keeps the computer awake for a snipe: while the next snipe's confirming moment is less than ten minutes away, a
// systemd-logind sleep inhibitor (mode "block") is held, and it is let go when no snipe is near. logind hands out
// the inhibitor as a file descriptor; holding it open is holding the inhibitor. Owned beside the bid engine by the
// main window; the engine tells it the next snipe, and it looks again on every tick of the clock. Where no logind
// answers, one log line says so and the program runs on as before.
class SleepInhibitor : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 nearMs = 10 * 60 * 1000;
    // A snipe waits for eBay's answer after its moment; sleeping then would leave that answer unread.
    static constexpr qint64 afterMs = 60 * 1000;
    static constexpr int callTimeoutMs = 5000;

    // On the system bus (none in test mode), with the program's clock.
    explicit SleepInhibitor(QObject* parent = nullptr);
    // On the given bus (tests run a private one) with the given clock.
    SleepInhibitor(const QDBusConnection& bus, ClockManager* clock, QObject* parent = nullptr);
    ~SleepInhibitor() override;

    bool isHeld() const { return m_fd.isValid(); }
    // The reason given to logind for the inhibitor held ("Snipe on item 110000000004 at 21:04:07"); empty if none.
    QString why() const { return m_heldWhy; }
    // For the status bar; empty when sleep is not held off.
    QString statusText() const;
    // Why logind last gave no inhibitor (no bus, no logind, a refusal); empty while all went well.
    QString lastError() const { return m_lastError; }

public slots:
    // The next snipe's confirming moment in eBay time and its item; an invalid moment: no snipe.
    void setNextSnipe(const QDateTime& confirmingMoment, const QString& itemNumber);
    // Takes or lets go of the inhibitor as the next snipe is near or not. Run on every tick.
    void check();

signals:
    void heldChanged(bool held, const QString& why);

private slots:
    void inhibitFinished(QDBusPendingCallWatcher* watcher);

private:
    QString wantedWhy() const;
    void refused(const QString& why, const QString& error);
    void release();

    QDBusConnection m_bus;
    ClockManager* m_clock;
    QDateTime m_moment;
    QString m_item;
    QDBusUnixFileDescriptor m_fd;
    QString m_heldWhy;
    QDBusPendingCallWatcher* m_pending = nullptr;
    QString m_pendingWhy;
    // The reason logind last refused or did not answer: not asked again until the next snipe differs.
    QString m_refusedWhy;
    QString m_lastError;
    bool m_logged = false;
};
