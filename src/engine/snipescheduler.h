#pragma once

#include "bidthread.h"

#include <QHash>
#include <QObject>
#include <QThread>

// What the GUI thread knows of one snipe in the hands of the worker.
struct SnipeTicket {
    int serial = 0;
    int itemId = 0;
    int userId = 0;
    QString itemNumber;
    // eBay ms; 0 until the first request is answered (then the planned moment stands in).
    qint64 momentMs = 0;
    qint64 plannedMomentMs = 0;
    double userBid = 0.0;
    bool awaiting = true;
    bool uncertain = false;
    bool verdictOnly = false;
    // What its confirming request came to (0: not yet), for a newer snipe of the item that fails unsent.
    int resultStatus = 0;
    QString resultMessage;
    std::shared_ptr<SnipeControl> control;
};

// The bid worker and the one record of which snipes are in flight: owns the worker thread (its own event loop, on
// which every BidThread lives), hands snipes to it and passes the user's changes on, and keeps on the GUI thread
// the tickets of the snipes in flight (whether a confirming request is still to leave and when). Owned by the bid
// engine, which alone calls it; the settings set here reach each snipe as a copy.
class SnipeScheduler : public QObject {
    Q_OBJECT

public:
    explicit SnipeScheduler(QObject* parent = nullptr);
    ~SnipeScheduler() override;

    // A process-wide monotonic millisecond counter, readable from any thread.
    static qint64 monotonicMs();

    const SnipeSettings& settings() const { return m_settings; }
    // Tests shorten the time-outs, so that a silent peer costs seconds rather than minutes.
    void setRequestTimeouts(int firstStepMs, int confirmMs, int relationMs);
    void setRelationRetry(int tries, int intervalMs);

    // Hands a snipe to the worker and returns its serial; its signals come back as this object's.
    int start(SnipeOrder order, SnipeTicket ticket);
    // Stops the snipe unless its confirming request has left.
    void stop(int serial, const QString& reason);
    // The confirming request carries the maximum set last before it leaves.
    void setUserBid(int serial, double userBid);
    void setClockOffset(qint64 offsetMs);

    SnipeTicket* ticket(int serial);
    // The newest snipe of an item while it runs, or null: only it may write the item's row.
    SnipeTicket* latest(int itemId);
    bool isInFlight(int itemId) const;
    // The newest older snipe of the item whose confirming request has left and whose verdict is still to come; it
    // carries the row again when a newer snipe fails before its request left.
    SnipeTicket* sentEarlier(int itemId, int serial);
    void setLatest(int itemId, int serial) { m_latest.insert(itemId, serial); }
    bool isAwaitingConfirmation(int itemId) const;
    // Whether the confirming request of the item's newest snipe has left, as the worker claimed it (perhaps not
    // reported yet).
    bool hasSent(int itemId) const;
    void forget(int serial);
    QList<SnipeTicket> tickets() const { return m_tickets.values(); }
    QThread* workerThread() { return &m_thread; }

signals:
    // Emitted by the snipes on the worker thread and queued to the engine, in the order each snipe emitted them.
    // The confirming request will leave delayMs from now, at momentMs (eBay time).
    void confirmationScheduled(int serial, int itemId, int delayMs, qint64 momentMs);
    void confirmationSent(int serial, qint64 sentMs);
    // The confirming request's outcome: Placed or Failed, and whether only the verdict can tell.
    void bidFinished(int serial, int status, const QString& message, bool uncertain, qint64 sentMs);
    // The snipe ended before its confirming request left.
    void snipeFailed(int serial, const QString& message);
    void snipeStopped(int serial);
    // ok false: no verdict came, however often it was asked for.
    void relationReceived(int serial, bool ok, const QString& relation);
    // An answer set cookies; the session's jar takes them on the GUI thread.
    void cookiesReceived(int serial, const QList<QNetworkCookie>& cookies, const QUrl& url);
    void ended(int serial);

private:
    // Runs fn on the worker thread with the snipe, if it still exists there.
    template <typename Fn> void onWorker(int serial, Fn fn);

    SnipeSettings m_settings;
    QThread m_thread;
    // Parent of every BidThread; lives on the worker thread.
    QObject* m_holder = nullptr;
    QHash<int, SnipeTicket> m_tickets;
    QHash<int, int> m_latest;
    int m_nextSerial = 1;
};
