#pragma once

#include <QDateTime>
#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <memory>

class ItemHelper;
class QNetworkAccessManager;
class SnipeScheduler;

// How long a snipe's requests may take and how often its verdict is asked for. The scheduler hands a copy to each
// snipe, so that tests can shorten them without anything being shared between threads.
struct SnipeSettings {
    // A request that moves no data for this long has failed.
    int firstStepTimeoutMs = 20 * 1000;
    int confirmTimeoutMs = 15 * 1000;
    int relationTimeoutMs = 20 * 1000;
    // An answer that is not one of eBay's verdicts is asked again this often, this long apart.
    int relationTries = 3;
    int relationRetryMs = 30 * 1000;
};

// Shared by a snipe's ticket on the GUI thread and its BidThread on the worker. The user's stop and the confirming
// request each claim the snipe with one atomic step, so exactly one of them wins: a stop the engine has handed over
// is never overtaken by a confirming timer already due on the worker, and the request carries the maximum the row
// held when it left, not one still queued.
struct SnipeControl {
    enum State { Open, Sent, Stopped };
    std::atomic<int> state{Open};
    std::atomic<double> userBid{0.0};

    // Whichever comes first of the two takes the snipe; false: the other one had.
    bool claim(State to) {
        int open = Open;
        return state.compare_exchange_strong(open, to);
    }
};

// Everything a snipe needs from the GUI thread, copied at hand-over: the worker never reads the store or the
// session's cookie jar.
struct SnipeOrder {
    int serial = 0;
    int itemId = 0;
    QString itemNumber;
    QString domain;
    QString username;
    int leadTime = 0;
    // eBay time in milliseconds since the epoch, and what to add to SnipeScheduler::monotonicMs() to get it.
    qint64 endMs = 0;
    qint64 clockOffsetMs = 0;
    // The session's cookies for the snipe's hosts.
    QList<QNetworkCookie> cookies;
    // Only ask for the verdict after the end (a snipe whose confirming request may have left before a crash).
    bool verdictOnly = false;
    SnipeSettings settings;
    // Created by the scheduler; holds the maximum the user set last.
    std::shared_ptr<SnipeControl> control;
};

// Carries one snipe from its first request to its verdict on the bid worker thread: sends the first request of the
// quick-bid or the page flow, waits until lead time before the end on a precise timer, sends the confirming
// request with its own network manager and asks for the viewer relation after the end. It never touches the store
// or a widget: every outcome leaves as a signal of the scheduler, queued to the bid engine on the GUI thread.
// Created on the worker thread by the SnipeScheduler; deletes itself when the snipe ends.
class BidThread : public QObject {
    Q_OBJECT

public:
    // The viewer relation is asked no earlier than this after the end (eBay time), so the verdict is final.
    static constexpr int relationAfterEndMs = 2000;
    // Automatic lead time is the first request's duration, but at least this.
    static constexpr int minimumAutomaticLeadSeconds = 3;

    BidThread(const SnipeOrder& order, SnipeScheduler* scheduler, QObject* parent);
    ~BidThread() override;

    void run();
    // Ends the snipe unless its confirming request has left: silently (the row was cancelled) or as failed with
    // the reason given.
    void stop(const QString& reason);
    // eBay time moved against the monotonic counter (the computer slept, or the clock was set again).
    void setClockOffset(qint64 offsetMs);

    // The page flow serves these sites; every other site uses the quick-bid flow.
    static bool usesHtmlFlow(const QString& domain);
    // Whole seconds to wait after the first request before the confirming one.
    static int secondsUntilBid(const QDateTime& now, const QDateTime& end, int leadTime, int step1Secs);
    // Milliseconds to wait after the confirming request's result before asking for the viewer relation.
    static qint64 relationDelayMs(const QDateTime& now, const QDateTime& end, int leadTime);
    // The confirming moment before any first request is answered: lead time, or the automatic minimum, before the end.
    static QDateTime plannedMoment(const QDateTime& end, int leadTime);
    // Whether eBay gave this as a verdict; anything else (an error page, an empty answer) is asked again.
    static bool isVerdict(const QString& relation);

private slots:
    void placeBidJsonStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& key,
                                   const QString& uiid);
    void placeBidHtmlStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& uiid);
    void placeBidFinished(bool ok, const QString& errorMsg);
    void placeBidJsonStep2();
    void placeBidHtmlStep2();
    void getUserItemRelation();
    void postBidActions(bool ok, const QString& relation);

private:
    enum Phase { FirstStep, Waiting, Confirming, Verdict, Done };

    double userBid() const { return m_order.control->userBid.load(); }
    qint64 nowMs() const;
    QDateTime now() const;
    QDateTime end() const;
    void startHtmlStep1();
    void scheduleConfirmation(void (BidThread::*step)());
    void armFirstStepDeadline();
    bool prepareConfirmation(const char* step);
    bool sleptThrough();
    void fail(const QString& message);
    void finish();
    QString failureText(bool ok, const QString& errorMsg) const;

    SnipeOrder m_order;
    // Emits the outcomes; lives on the GUI thread, so each signal is queued to the engine in the order emitted.
    SnipeScheduler* m_scheduler = nullptr;
    Phase m_phase = FirstStep;
    ItemHelper* m_requester = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    QTimer m_timer;
    void (BidThread::*m_step)() = nullptr;
    QString m_stok;
    QString m_key;
    QString m_uiid;
    qint64 m_step1StartMs = 0;
    qint64 m_momentMs = 0;
    qint64 m_sentMs = 0;
    // Wall clock and monotonic counter when the snipe began waiting: a suspend stops only the counter.
    qint64 m_wallAtWait = 0;
    qint64 m_monotonicAtWait = 0;
    int m_relationTries = 0;
};
