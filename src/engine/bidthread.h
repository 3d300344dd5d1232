#pragma once

#include <QDateTime>
#include <QHash>
#include <QMultiMap>
#include <QObject>
#include <QSet>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <functional>
#include <utility>

class ItemHelper;
class QNetworkAccessManager;
class TrayMessenger;

// Carries one snipe from its start to its outcome: re-reads the row, sends the first request of the quick-bid or
// the page flow, waits until lead time before the end, sends the confirming request, stores the result, asks for
// the viewer relation once the auction is over and applies the group limit. Not a thread: a QObject on the GUI
// thread driven by replies and timers. Created and started by the bid engine (its parent); deletes itself when the
// snipe ends.
class BidThread : public QObject {
    Q_OBJECT

public:
    // Time-outs of a snipe's requests: a request that moves no data for this long has failed.
    static constexpr int firstStepTimeoutMs = 20 * 1000;
    static constexpr int confirmTimeoutMs = 15 * 1000;
    static constexpr int relationTimeoutMs = 20 * 1000;
    // The viewer relation is asked no earlier than this after the end (eBay time), so the verdict is final.
    static constexpr int relationAfterEndMs = 2000;
    // The store is not written this shortly before any snipe's confirming request is due: a write on a busy disk
    // holds the GUI thread for up to some 15 ms, and the request would leave that much late.
    static constexpr int quietBeforeConfirmationMs = 60;
    // Automatic lead time is the first request's duration, but at least this.
    static constexpr int minimumAutomaticLeadSeconds = 3;

    using Columns = QList<std::pair<QString, QVariant>>;

    explicit BidThread(QObject* parent = nullptr);
    ~BidThread() override;

    void setUsername(const QString& username) { m_username = username; }
    void setItemId(int itemId) { m_itemId = itemId; }
    void setDomain(const QString& domain) { m_domain = domain; }
    void setWonNotification(bool on) { m_wonNotification = on; }
    void setLostNotification(bool on) { m_lostNotification = on; }
    void setEmail(const QString& email) { m_email = email; }
    // Where outcomes and failures are shown; may be null (nothing is shown).
    void setTrayMessenger(TrayMessenger* tray) { m_tray = tray; }

    int itemId() const { return m_itemId; }

    // Returns as soon as the first request is on its way (or the snipe found not to stand).
    void run();

    // The page flow serves these sites; every other site uses the quick-bid flow.
    static bool usesHtmlFlow(const QString& domain);
    // Whole seconds to wait after the first request before the confirming one.
    static int secondsUntilBid(const QDateTime& now, const QDateTime& end, int leadTime, int step1Secs);
    // Milliseconds to wait after the confirming request's result before asking for the viewer relation.
    static qint64 relationDelayMs(const QDateTime& now, const QDateTime& end, int leadTime);
    // Whether a started snipe of this item has not yet sent its confirming request (a group limit reached
    // meanwhile cancels it).
    static bool isAwaitingConfirmation(int itemId) { return s_awaitingConfirmation.contains(itemId); }
    // Writes just these columns of a snipe's row, and only while the snipe has not been cancelled, so that what
    // the user changed meanwhile stays. Returns whether a row was changed.
    static bool updateSnipe(int itemId, const Columns& columns);
    // Off: every snipe sends through the session's one manager, which opens six connections per host, so that
    // many snipes ending together queue for them. For measuring that design against the default only.
    static void setOwnConnections(bool own) { s_ownConnections = own; }
    // Replaces the time-outs above (tests shorten them so that a silent peer costs seconds, not minutes).
    static void setRequestTimeouts(int firstStepMs, int confirmMs, int relationMs) {
        s_timeouts = {firstStepMs, confirmMs, relationMs};
    }

signals:
    // The confirming request will leave delayMs from now.
    void confirmationScheduled(int itemId, int delayMs);

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
    bool hasBeenCanceled();
    int secondsUntilBid(int step1Secs) const;
    void startHtmlStep1();
    void scheduleConfirmation(const char* slot);
    bool prepareConfirmation(const char* step);
    void fail(const QString& message);
    void finish();
    void notifyResult(const QString& relation);
    // Writes the columns now, or once no confirming request is due in the quiet window. The write does not depend
    // on this object, which may be gone by then.
    void store(const Columns& columns);
    static void storeWhenQuiet(int itemId, const Columns& columns);
    static void writeHeld(int itemId);
    // Milliseconds until the confirming request due next is past (0: none due soon).
    static int msUntilQuiet();
    static qint64 monotonicMs();
    void applyGroupLimit(const QString& relation);
    QString failureText(bool ok, const QString& errorMsg) const;
    QString itemNumber() const;
    double userBid() const;

    static QSet<int> s_awaitingConfirmation;
    // Monotonic moments at which confirming requests are due, and whose they are.
    static QMultiMap<qint64, BidThread*> s_dueConfirmations;
    // Writes held back for the quiet window, per item, in the order they were made.
    static QHash<int, QList<Columns>> s_heldWrites;
    static bool s_ownConnections;
    struct Timeouts {
        int firstStepMs;
        int confirmMs;
        int relationMs;
    };
    static Timeouts s_timeouts;

    ItemHelper* m_requester = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    TrayMessenger* m_tray = nullptr;
    QSqlRecord m_record;
    QString m_username;
    int m_itemId = 0;
    QString m_domain;
    QString m_stok;
    QString m_key;
    QString m_uiid;
    QDateTime m_step1Start;
    bool m_wonNotification = false;
    bool m_lostNotification = false;
    QString m_email;
    bool m_finished = false;
    // The confirming request got no readable answer, so only the verdict tells whether the bid was placed.
    bool m_confirmationUncertain = false;
};
