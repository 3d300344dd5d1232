#pragma once

#include "internalclock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QNetworkReply;
class QTimer;
class SntpClient;

// The program's only "now": eBay's time carried on by the internal clock, and the one-second tick that drives the
// main window and the bid engine. One per process.
// eBay's own time call is asked first; eBay has retired it, so when it fails the clock follows internet time
// servers (SNTP, settings group "Clock", key "timeServers"), and when none answers, the Date header of eBay's
// answer (one-second resolution). The tick runs from the first attempt on, whatever its outcome: until a source
// has answered it runs on the computer's UTC time, and the clock keeps trying in the background (every 30 s until
// an answer, then every hour so that a long run does not drift).
class ClockManager : public QObject {
    Q_OBJECT

public:
    // What the clock follows, best first.
    enum class Source { Computer, Ebay, TimeServer, HttpDate };

    static ClockManager* instance();
    // Public so that tests can run a clock of their own; the program uses instance().
    explicit ClockManager(QObject* parent = nullptr);
    ~ClockManager() override;

    QDateTime currentDateTime() const { return m_clock.currentDateTime(); }
    static constexpr int retryIntervalMs = 30 * 1000;
    static constexpr int resyncIntervalMs = 60 * 60 * 1000;
    // Following only eBay's Date header, a time server is looked for again sooner than the hourly re-sync.
    static constexpr int coarseResyncIntervalMs = 10 * 60 * 1000;
    // A GeteBayTime request that moves no data for this long counts as failed.
    static constexpr int requestTimeoutMs = 15 * 1000;
    // A difference between the monotonic counter and the time since boot beyond this is the computer having slept.
    static constexpr qint64 jumpThresholdMs = 2000;

    // Asks for the time and returns once every source has been tried or one has answered; starts the tick either
    // way. Never shows a box.
    void syncTimeAndWait();
    // The same without waiting. Used by the background retries.
    void syncTime();
    // Whether the clock follows a corrected time (eBay's, a time server's or eBay's Date header) rather than the
    // computer's.
    bool isSynchronised() const { return m_synchronised; }
    Source source() const { return m_source; }
    // For the status bar: "eBay", "time server pool.ntp.org", ...; and the whole line with how far the computer's
    // own clock is off.
    QString sourceText() const;
    QString statusText() const;
    // How far the computer's clock is behind the program's (negative: ahead), in milliseconds.
    qint64 computerOffsetMs() const;
    // Round trip of the request the clock last took its time from, in milliseconds (-1 before the first).
    qint64 lastRoundTripMs() const { return m_roundTripMs; }
    // The time servers to ask: the settings' list, else pool.ntp.org; with TOLLIMER_SANDBOX set only the list.
    static QStringList timeServers();
    SntpClient* sntpClient() { return m_sntp; }

    // Connects the tick to a receiver's slot, given as SLOT(name()).
    void connectTick(const QObject* receiver, const char* slot);
    int tickInterval() const { return m_clock.tickInterval(); }

    InternalClock* internalClock() { return &m_clock; }
    bool isTicking() const { return m_clock.isActive(); }

    static QString timeFormat() { return QStringLiteral("yyyy-MM-ddThh:mm:ss"); }
    // An eBay time text cut to its first 19 characters and read as UTC digits (invalid when it does not parse).
    // This is also how every time is read back from the store.
    static QDateTime parseEbayTime(const QString& text);
    // An eBay time text with its milliseconds kept ("2026-12-06T08:15:30.123Z"); without a fraction the same
    // as parseEbayTime.
    static QDateTime parseEbayTimestamp(const QString& text);
    // The store's text of an eBay time: its digits as held, with no zone conversion. Every time written to the
    // store or into SQL goes through here, so reading it back with parseEbayTime gives the same value.
    static QString storeText(const QDateTime& time);
    // An HTTP Date header ("Sun, 06 Nov 1994 08:49:37 GMT" and the two older forms) as UTC; invalid otherwise.
    static QDateTime parseHttpDate(const QByteArray& text);

public slots:
    // Run on every tick: when the monotonic counter has stood still while the computer slept, the clock is moved
    // on by the time lost, clockJumped() is emitted and a synchronisation starts at once.
    void checkForJump();

signals:
    // Emitted whenever the clock starts or stops following a corrected time.
    void synchronisationChanged(bool synchronised);
    // The source, or the computer's offset from it, has changed.
    void statusChanged();
    // The computer slept (or the counter otherwise lost time): the clock has just moved on by jumpMs.
    void clockJumped(qint64 jumpMs);
    // One synchronisation attempt is over, whatever its outcome.
    void syncAttemptFinished();

private slots:
    void syncTimeFinished();
    void timeServersFinished(bool ok);

private:
    QNetworkReply* sendSyncRequest();
    bool takeAnswer(QNetworkReply* reply, qint64 roundTripMs);
    void takeDateHeader(QNetworkReply* reply, qint64 roundTripMs);
    void adopt(Source source, const QDateTime& time, qint64 roundTripMs);
    void finishAttempt(bool ok);
    void setSynchronised(bool synchronised);

    InternalClock m_clock;
    QPointer<QNetworkReply> m_reply;
    QElapsedTimer m_roundTrip;
    QElapsedTimer m_monotonic;
    QTimer* m_retry = nullptr;
    SntpClient* m_sntp = nullptr;
    bool m_busy = false;
    bool m_synchronised = false;
    Source m_source = Source::Computer;
    QString m_timeServer;
    qint64 m_roundTripMs = -1;
    // eBay's time by its Date header, as it was at m_monotonic's m_dateTakenAt; kept until the time servers
    // have had their turn.
    QDateTime m_dateTime;
    qint64 m_dateTakenAt = 0;
    qint64 m_dateRoundTripMs = -1;
};
