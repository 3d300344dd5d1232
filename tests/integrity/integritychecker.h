#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// What the scenario driver did to one snipe and when (milliseconds since the epoch, the sandbox's time base).
struct SnipeHistory {
    int id = 0;
    QString itemNumber;
    int groupId = 0;
    qint64 endMs = 0;
    // Every maximum the row held, from its creation on; an invalid value is a cancellation.
    QList<std::pair<qint64, QVariant>> maxima;
    // When the user cancelled it (-1: never) and whether its confirming request had left by then.
    qint64 cancelledMs = -1;
    bool cancelledAfterConfirmation = false;
    // Seen in Bidding past its end plus the time-outs, while the run went on.
    bool overdue = false;
    // Confirming requests it may send: one more for each new schedule after a confirming request left.
    int allowedBids = 1;
    // The user deleted its row; the refresh stored a stand-in for an item eBay called invalid.
    bool deleted = false;
    bool standIn = false;
    // The moments the whole-second rule gave its confirming requests (the sandbox's time base).
    QList<qint64> moments;
    // What the user did and when, for the report.
    QStringList notes;
};

struct GroupHistory {
    int id = 0;
    QString name;
    int maxWon = 1;
};

// A tray message the engine showed, with its moment.
struct TrayEntry {
    qint64 ms = 0;
    QString title;
};

// Everything one batch leaves behind: the driver's own record, the store's rows at the end (one map per row), the
// sandbox's ledger, request log and auction states, the tray messages and the message boxes that were shown.
struct BatchEvidence {
    QList<SnipeHistory> snipes;
    QList<GroupHistory> groups;
    QList<QVariantMap> rows;
    QVariantList ledger;
    QVariantList requests;
    QVariantList auctions;
    QList<TrayEntry> tray;
    QStringList boxes;
    QString sniper;
};

// Reads a batch's evidence and reports every broken promise of the sniping engine: more than one confirming bid
// per snipe (one more per new schedule after one left), a bid above the maximum stored when it left, a bid after a
// cancellation, a group limit overrun, a snipe left unfinished or failed without a message, a final status that
// disagrees with what eBay accepted, a verdict that disagrees with eBay's high bidder, and any box shown on the way;
// and measures how far each confirming request arrived from the moment the whole-second rule gave it. Owned by the
// integrity driver and tests.
class IntegrityChecker {
public:
    // Allowance for the way from the program to the sandbox and the two processes' clock anchors.
    static constexpr qint64 transitSlackMs = 2000;
    // A confirming request reaches eBay this close to the moment the whole-second rule gives it.
    static constexpr qint64 promiseMs = 50;

    struct Result {
        QStringList violations;
        // placed, failed, cancelled, undecided: how the snipes ended.
        QMap<QString, int> outcomes;
        // The timing promise is measured, not asserted (a loaded machine breaks it): every confirming request's
        // arrival minus its moment, and those that missed the promise.
        QList<qint64> lateness;
        QStringList late;
    };

    static Result check(const BatchEvidence& evidence);

private:
    explicit IntegrityChecker(const BatchEvidence& evidence);
    void checkSnipe(const SnipeHistory& snipe);
    void checkBid(const SnipeHistory& snipe, const QVariantMap& bid);
    void checkFinalState(const SnipeHistory& snipe, const QVariantMap& row, bool accepted);
    void checkVerdict(const SnipeHistory& snipe, const QVariantMap& row);
    void checkGroup(const GroupHistory& group);
    qint64 arrivalOf(const QVariantMap& bid) const;
    qint64 trayMoment(const QString& title) const;
    void report(const SnipeHistory& snipe, const QString& text);

    const BatchEvidence& m_evidence;
    QHash<qint64, qint64> m_arrivals;
    QHash<QString, QVariantList> m_bidsByItem;
    QHash<int, QVariantMap> m_rows;
    QHash<QString, QVariantMap> m_auctions;
    Result m_result;
};
