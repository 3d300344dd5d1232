#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QNetworkCookie>
#include <QObject>
#include <QSet>
#include <QUrl>

class Item;
class SnipeScheduler;
struct SnipeTicket;
class TrayMessenger;

// The sniping engine's GUI-thread half: keeps the signed-in user's scheduled snipes that end soon, looks at them
// on every clock tick, hands each due one to the bid worker (SnipeScheduler) and writes what the worker reports:
// status, result, verdict, notifications and group limits. The store and the tray are touched here only, so that
// nothing on this thread can delay a confirming request. Owned by the main window, which connects the clock's tick
// to onTimer().
class BidEngine : public QObject {
    Q_OBJECT

public:
    static constexpr int reloadIntervalMs = 300 * 1000;
    static constexpr int lookaheadSeconds = 600;
    // A snipe starts this much before its lead time, so that its first request is answered in time.
    static constexpr int startMarginSeconds = 30;
    // The lead time used for the start decision when the snipe's lead time is automatic.
    static constexpr int automaticStartLeadSeconds = 5;
    // A snipe waiting for its confirming moment has its row read again this long before it, so that a
    // cancellation or a new maximum made meanwhile still counts.
    static constexpr int checkBeforeConfirmationMs = 300;

    explicit BidEngine(TrayMessenger* tray, QObject* parent = nullptr);
    ~BidEngine() override;

    // Whether a snipe ending at end with this stored lead time (0 or less: automatic) is due at now.
    static bool isDue(const QDateTime& now, const QDateTime& end, int leadTime);

    int listedCount() const;
    bool isInFlight(int itemId) const;
    SnipeScheduler* scheduler() const { return m_scheduler; }

public slots:
    // The tick: reload every 300 s, start what is due.
    void onTimer();
    // The user scheduled, changed, cancelled or deleted snipes, or another user signed in: read the due ones and
    // the rows of the snipes under way again now. Left to the periodic reload, a snipe scheduled less than five
    // minutes before its start moment could be started after its end.
    void reload();
    // eBay time jumped ahead against the monotonic counter (the computer slept): a snipe whose confirming moment
    // passed meanwhile has failed; none is sent after the end.
    void clockJumped(qint64 jumpMs);

signals:
    // A snipe's row was written (status, result, verdict): the watch list re-reads that one row.
    void itemChanged(int itemId);
    // The nearest confirming moment among listed and running snipes changed (invalid: none).
    void nextSnipeChanged(const QDateTime& confirmingMoment, const QString& itemNumber);

private slots:
    void onConfirmationScheduled(int serial, int itemId, int delayMs, qint64 momentMs);
    void onConfirmationSent(int serial);
    void onBidFinished(int serial, int status, const QString& message, bool uncertain, qint64 sentMs);
    void onSnipeFailed(int serial, const QString& message);
    void onSnipeStopped(int serial);
    void onRelationReceived(int serial, bool ok, const QString& relation);
    void onCookiesReceived(int serial, const QList<QNetworkCookie>& cookies, const QUrl& url);
    void onEnded(int serial);

private:
    void recoverInterruptedSnipes();
    void loadBiddingItems();
    void processBiddingItems();
    void clearItems();
    void startSnipe(const Item& item, const QDateTime& now, bool verdictOnly = false);
    // Reads a running snipe's row again and passes a cancellation, a deletion or a new maximum on.
    void checkRow(int serial);
    void stopPreviousUser(int userId);
    // Writes the columns of a snipe's row only while its status is one of the given ones, so that what the user
    // or a newer snipe wrote meanwhile stays. Emits itemChanged when a row changed.
    bool writeSnipe(int itemId, const QList<std::pair<QString, QVariant>>& columns, const QList<int>& statuses);
    void failListed(Item* item, const QString& message);
    void handBack(SnipeTicket* earlier, int fromStatus);
    void notifyFailure(const QString& itemNumber, const QString& message);
    void applyGroupLimit(int itemId, const QString& relation);
    void updateNextSnipe();
    qint64 clockOffsetMs() const;
    int currentUserId() const;

    TrayMessenger* m_tray = nullptr;
    SnipeScheduler* m_scheduler = nullptr;
    // Ordered as the store returned them: end time descending, so the last ends first.
    QList<Item*> m_items;
    int m_reloadCounter = 0;
    mutable QMutex m_mutex;
    // Whose snipes the engine runs; another user signing in stops the previous user's snipes.
    int m_userId = -1;
    qint64 m_clockOffsetMs = 0;
    // Snipes the group limit stopped: their rows are cancelled once the worker confirms the stop.
    QSet<int> m_groupStops;
    QDateTime m_nextMoment;
    QString m_nextItem;
};
