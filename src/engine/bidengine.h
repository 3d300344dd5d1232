#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>

class Item;
class TrayMessenger;

// The scheduler of the sniping engine: keeps the signed-in user's scheduled snipes that end soon, looks at them on
// every clock tick and hands each due one to a new BidThread. Never talks to eBay itself. Owned by the main window,
// which connects the clock's tick to onTimer().
class BidEngine : public QObject {
    Q_OBJECT

public:
    static constexpr int reloadIntervalMs = 300 * 1000;
    static constexpr int lookaheadSeconds = 600;
    // A snipe starts this much before its lead time, so that its first request is answered in time.
    static constexpr int startMarginSeconds = 30;
    // The lead time used for the start decision when the snipe's lead time is automatic.
    static constexpr int automaticStartLeadSeconds = 5;

    explicit BidEngine(TrayMessenger* tray, QObject* parent = nullptr);
    ~BidEngine() override;

    // Whether a snipe ending at end with this stored lead time (0 or less: automatic) is due at now.
    static bool isDue(const QDateTime& now, const QDateTime& end, int leadTime);

    int listedCount() const;
    bool isInFlight(int itemId) const { return m_inFlight.contains(itemId); }

public slots:
    // The tick: reload every 300 s, start what is due.
    void onTimer();
    // The user scheduled, changed or cancelled snipes: read the due ones again now. Left to the periodic reload, a
    // snipe scheduled less than five minutes before its start moment could be started after its end.
    void reload();

signals:
    // A snipe's row was written (status, result, verdict): the watch list re-reads that one row.
    void itemChanged(int itemId);

private:
    void recoverInterruptedSnipes();
    void loadBiddingItems();
    void processBiddingItems();
    void clearItems();

    TrayMessenger* m_tray = nullptr;
    // Ordered as the store returned them: end time descending, so the last ends first.
    QList<Item*> m_items;
    int m_reloadCounter = 0;
    mutable QMutex m_mutex;
    // Items whose bid thread is still running; none of them is started again until it has ended.
    QSet<int> m_inFlight;
};
