#pragma once

#include "internalclock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QNetworkReply;
class QTimer;

// The program's only "now": eBay's time, fetched from the Shopping API at start-up and carried on by the
// internal clock, and the one-second tick that drives the main window and the bid engine. One per process.
// The tick runs from the first synchronisation attempt on, whatever its outcome: until eBay has answered it
// runs on the computer's UTC time, and the clock keeps asking eBay in the background (every 30 s until an
// answer, then every hour so that a long run does not drift).
class ClockManager : public QObject {
    Q_OBJECT

public:
    static ClockManager* instance();
    // Public so that tests can run a clock of their own; the program uses instance().
    explicit ClockManager(QObject* parent = nullptr);

    QDateTime currentDateTime() const { return m_clock.currentDateTime(); }
    static constexpr int retryIntervalMs = 30 * 1000;
    static constexpr int resyncIntervalMs = 60 * 60 * 1000;
    // A GeteBayTime request that moves no data for this long counts as failed.
    static constexpr int requestTimeoutMs = 15 * 1000;

    // Asks eBay for its time and returns once the answer (or the failure) is in; starts the tick either way.
    // Never shows a box.
    void syncTimeAndWait();
    // The same without waiting: the answer is taken when it arrives. Used by the background retries.
    void syncTime();
    // Whether the clock follows eBay's time (an answer has been taken) rather than the computer's.
    bool isSynchronised() const { return m_synchronised; }
    // Round trip of the last successful GeteBayTime request, in milliseconds (-1 before the first).
    qint64 lastRoundTripMs() const { return m_roundTripMs; }
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

signals:
    // Emitted whenever the clock starts or stops following eBay's time.
    void synchronisationChanged(bool synchronised);

private slots:
    void syncTimeFinished();

private:
    QNetworkReply* sendSyncRequest();
    bool takeAnswer(QNetworkReply* reply, qint64 roundTripMs);
    void setSynchronised(bool synchronised);

    InternalClock m_clock;
    QPointer<QNetworkReply> m_reply;
    QElapsedTimer m_roundTrip;
    QTimer* m_retry = nullptr;
    bool m_synchronised = false;
    qint64 m_roundTripMs = -1;
};
