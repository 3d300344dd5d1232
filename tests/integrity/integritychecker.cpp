#include "integritychecker.h"

#include <algorithm>

namespace {
constexpr double cent = 0.005;

enum Status { Cancelled = 0, Scheduled = 1, Bidding = 2, Placed = 3, Failed = 4 };

QString wonTitle(const SnipeHistory& snipe) {
    return QStringLiteral("Winning bid on item ") + snipe.itemNumber;
}

QString lostTitle(const SnipeHistory& snipe) {
    return QStringLiteral("Lost bid on item ") + snipe.itemNumber;
}

bool isProgramBid(const QVariantMap& bid) {
    const QString flow = bid.value(QStringLiteral("flow")).toString();
    return flow == QLatin1String("json") || flow == QLatin1String("html");
}

// The sandbox's reason for each confirming bid, in order.
QStringList reasonsOf(const QVariantList& bids) {
    QStringList reasons;
    for (const QVariant& bid : bids)
        reasons << bid.toMap().value(QStringLiteral("reason")).toString();
    return reasons;
}

QString amountText(const QVariant& value) {
    return value.isValid() && !value.isNull() ? QString::number(value.toDouble(), 'f', 2) : QStringLiteral("none");
}
} // namespace

IntegrityChecker::IntegrityChecker(const BatchEvidence& evidence)
    : m_evidence(evidence) {
    for (const QVariant& entry : evidence.requests) {
        const QVariantMap request = entry.toMap();
        m_arrivals.insert(request.value(QStringLiteral("seq")).toLongLong(),
                          qint64(request.value(QStringLiteral("timeMs")).toDouble()));
    }
    for (const QVariant& entry : evidence.ledger) {
        const QVariantMap bid = entry.toMap();
        if (isProgramBid(bid))
            m_bidsByItem[bid.value(QStringLiteral("item")).toString()].append(bid);
    }
    for (const QVariantMap& row : evidence.rows)
        m_rows.insert(row.value(QStringLiteral("id")).toInt(), row);
    for (const QVariant& entry : evidence.auctions) {
        const QVariantMap auction = entry.toMap();
        m_auctions.insert(auction.value(QStringLiteral("itemNumber")).toString(), auction);
    }
}

IntegrityChecker::Result IntegrityChecker::check(const BatchEvidence& evidence) {
    IntegrityChecker checker(evidence);
    for (const QString& box : evidence.boxes)
        checker.m_result.violations << QStringLiteral("a message box was shown during the run: ") + box;
    for (const SnipeHistory& snipe : evidence.snipes)
        checker.checkSnipe(snipe);
    for (const GroupHistory& group : evidence.groups)
        checker.checkGroup(group);
    return checker.m_result;
}

void IntegrityChecker::report(const SnipeHistory& snipe, const QString& text) {
    const QString notes = snipe.notes.isEmpty() ? QString() : QStringLiteral(" [user: %1]").arg(snipe.notes.join("; "));
    m_result.violations
        << QStringLiteral("item %1 (row %2): %3%4").arg(snipe.itemNumber).arg(snipe.id).arg(text, notes);
}

qint64 IntegrityChecker::arrivalOf(const QVariantMap& bid) const {
    return m_arrivals.value(bid.value(QStringLiteral("requestSeq")).toLongLong(),
                            qint64(bid.value(QStringLiteral("timeMs")).toDouble()));
}

qint64 IntegrityChecker::trayMoment(const QString& title) const {
    for (const TrayEntry& entry : m_evidence.tray)
        if (entry.title == title)
            return entry.ms;
    return -1;
}

void IntegrityChecker::checkSnipe(const SnipeHistory& snipe) {
    const QVariantList bids = m_bidsByItem.value(snipe.itemNumber);
    if (bids.size() > snipe.allowedBids)
        report(snipe, QStringLiteral("%1 confirming requests reached eBay (%2)")
                          .arg(bids.size())
                          .arg(reasonsOf(bids).join(QStringLiteral(", "))));
    bool accepted = false;
    for (const QVariant& bid : bids) {
        checkBid(snipe, bid.toMap());
        accepted = accepted || bid.toMap().value(QStringLiteral("accepted")).toBool();
    }
    if (snipe.overdue)
        report(snipe, QStringLiteral("still Bidding past its end plus the time-outs"));
    if (!m_rows.contains(snipe.id)) {
        if (!snipe.deleted)
            report(snipe, QStringLiteral("its row is gone"));
        return;
    }
    if (snipe.standIn) {
        if (!bids.isEmpty())
            report(snipe, QStringLiteral("bid on an item whose stored end is a stand-in"));
        return;
    }
    const QVariantMap row = m_rows.value(snipe.id);
    checkFinalState(snipe, row, accepted);
    checkVerdict(snipe, row);
}

// The bid must carry a maximum the row held while the request was on its way, and none may leave once the user
// has cancelled.
void IntegrityChecker::checkBid(const SnipeHistory& snipe, const QVariantMap& bid) {
    const qint64 arrival = arrivalOf(bid);
    const double amount = bid.value(QStringLiteral("amount")).toDouble();
    QList<QVariant> inForce;
    for (int i = 0; i < snipe.maxima.size(); ++i) {
        const qint64 from = snipe.maxima.at(i).first;
        const qint64 until = i + 1 < snipe.maxima.size() ? snipe.maxima.at(i + 1).first : arrival + 1;
        if (from <= arrival && until >= arrival - transitSlackMs)
            inForce << snipe.maxima.at(i).second;
    }
    QStringList held;
    double highest = -1.0;
    bool matches = false;
    for (const QVariant& value : qAsConst(inForce)) {
        held << amountText(value);
        if (value.isNull() || !value.isValid())
            continue;
        highest = qMax(highest, value.toDouble());
        matches = matches || qAbs(value.toDouble() - amount) < cent;
    }
    const QString text = bid.value(QStringLiteral("amountText")).toString();
    qint64 nearest = -1;
    for (qint64 moment : snipe.moments)
        if (nearest < 0 || qAbs(arrival - moment) < qAbs(arrival - nearest))
            nearest = moment;
    if (nearest >= 0)
        m_result.lateness << arrival - nearest;
    if (nearest < 0 || qAbs(arrival - nearest) > promiseMs)
        m_result.late << QStringLiteral("item %1: bid %2 arrived %3 ms from the moment the rule gave it")
                             .arg(snipe.itemNumber, text,
                                  nearest < 0 ? QStringLiteral("(no moment)") : QString::number(arrival - nearest));
    if (highest < 0.0)
        report(snipe, QStringLiteral("bid %1 arrived while the snipe was cancelled").arg(text));
    else if (amount > highest + cent)
        report(snipe, QStringLiteral("bid %1 is above the maximum stored when it left (%2)").arg(text, held.join('/')));
    else if (!matches)
        report(snipe, QStringLiteral("bid %1 is not the maximum stored when it left (%2)").arg(text, held.join('/')));
    // The driver sees the worker's progress a moment late: a bid that arrived before the cancellation was sent before
    // it, whatever the driver thought.
    if (snipe.cancelledMs >= 0 && arrival > snipe.cancelledMs + (snipe.cancelledAfterConfirmation ? transitSlackMs : 0))
        report(snipe, QStringLiteral("bid %1 left after the user cancelled the snipe (%2 ms after)")
                          .arg(text)
                          .arg(arrival - snipe.cancelledMs));
}

void IntegrityChecker::checkFinalState(const SnipeHistory& snipe, const QVariantMap& row, bool accepted) {
    const int status = row.value(QStringLiteral("bid_status")).toInt();
    const QString message = row.value(QStringLiteral("error_message")).toString();
    switch (status) {
    case Cancelled: {
        m_result.outcomes[QStringLiteral("cancelled")]++;
        if (snipe.cancelledMs >= 0)
            return;
        QString groupName;
        for (const GroupHistory& group : m_evidence.groups)
            if (group.id == snipe.groupId)
                groupName = group.name;
        if (groupName.isEmpty() ||
            trayMoment(QStringLiteral("Remaining bids in group %1 are cancelled").arg(groupName)) < 0)
            report(snipe, QStringLiteral("cancelled, but neither the user nor a group limit cancelled it"));
        return;
    }
    case Scheduled:
    case Bidding: {
        const QStringList reasons = reasonsOf(m_bidsByItem.value(snipe.itemNumber));
        report(snipe, QStringLiteral("still %1 after its end plus the time-outs (eBay: %2; message: %3)")
                          .arg(status == Bidding ? QStringLiteral("Bidding") : QStringLiteral("Scheduled"),
                               reasons.isEmpty() ? QStringLiteral("no bid") : reasons.join(QStringLiteral(", ")),
                               message.simplified()));
        return;
    }
    case Placed:
        m_result.outcomes[QStringLiteral("placed")]++;
        if (!message.isEmpty())
            report(snipe, QStringLiteral("Placed with an error message: ") + message);
        if (!accepted)
            report(snipe, QStringLiteral("Placed, but eBay accepted no confirming bid"));
        return;
    case Failed: {
        if (message.trimmed().isEmpty())
            report(snipe, QStringLiteral("Failed without a message"));
        const bool told = trayMoment(wonTitle(snipe)) >= 0 || trayMoment(lostTitle(snipe)) >= 0;
        // Without an answer to the confirming request and without a verdict, the program cannot know; it must
        // say so.
        if (accepted && !told && message.contains(QLatin1String("may or may not"))) {
            m_result.outcomes[QStringLiteral("undecided")]++;
            return;
        }
        m_result.outcomes[QStringLiteral("failed")]++;
        if (accepted)
            report(snipe, QStringLiteral("Failed, but eBay accepted its confirming bid: ") + message.simplified());
        return;
    }
    default:
        report(snipe, QStringLiteral("unknown bid status %1").arg(status));
    }
}

// The won or lost verdict the user was given must be eBay's.
void IntegrityChecker::checkVerdict(const SnipeHistory& snipe, const QVariantMap& row) {
    const bool toldWon = trayMoment(wonTitle(snipe)) >= 0;
    const bool toldLost = trayMoment(lostTitle(snipe)) >= 0;
    if (!toldWon && !toldLost)
        return;
    if (toldWon && toldLost) {
        report(snipe, QStringLiteral("told both won and lost"));
        return;
    }
    const QString highBidder = m_auctions.value(snipe.itemNumber).value(QStringLiteral("highBidder")).toString();
    const bool high = highBidder.compare(m_evidence.sniper, Qt::CaseInsensitive) == 0;
    if (toldWon != high)
        report(snipe, QStringLiteral("told %1, but eBay's high bidder is \"%2\"")
                          .arg(toldWon ? QStringLiteral("won") : QStringLiteral("lost"), highBidder));
    const bool storedWon =
        row.value(QStringLiteral("user_relation")).toString().compare("HIGHBIDDER", Qt::CaseInsensitive) == 0;
    if (storedWon != toldWon)
        report(snipe, QStringLiteral("stored relation %1 disagrees with the verdict shown")
                          .arg(row.value(QStringLiteral("user_relation")).toString()));
}

// Once the group's limit of wins is known, none of its snipes may still send a confirming request.
void IntegrityChecker::checkGroup(const GroupHistory& group) {
    QList<std::pair<qint64, QString>> wins;
    for (const SnipeHistory& snipe : m_evidence.snipes)
        if (snipe.groupId == group.id && trayMoment(wonTitle(snipe)) >= 0)
            wins.append({trayMoment(wonTitle(snipe)), snipe.itemNumber});
    if (wins.size() < group.maxWon)
        return;
    std::sort(wins.begin(), wins.end());
    const qint64 limitReached = wins.at(group.maxWon - 1).first;
    for (const SnipeHistory& snipe : m_evidence.snipes) {
        if (snipe.groupId != group.id)
            continue;
        for (const QVariant& entry : m_bidsByItem.value(snipe.itemNumber)) {
            const qint64 arrival = arrivalOf(entry.toMap());
            if (arrival > limitReached + transitSlackMs)
                report(snipe, QStringLiteral("group %1 reached its limit of %2 wins (item %3); this snipe still bid "
                                             "%4 ms later")
                                  .arg(group.name)
                                  .arg(group.maxWon)
                                  .arg(wins.at(group.maxWon - 1).second)
                                  .arg(arrival - limitReached));
        }
    }
}
