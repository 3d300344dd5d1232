#include "integrityrun.h"
#include "tollimerapp.h"

#include <QtTest>

namespace {
const QString item = QStringLiteral("160000000001");
const QString sibling = QStringLiteral("160000000002");

// A batch in which one snipe placed its bid at 30.00 and won, and nothing went wrong: the base every row of the
// checker's table spoils in one way.
BatchEvidence cleanBatch() {
    BatchEvidence evidence;
    evidence.sniper = QStringLiteral("sniper_uk");
    SnipeHistory snipe;
    snipe.id = 1;
    snipe.itemNumber = item;
    snipe.groupId = 7;
    snipe.endMs = 100000;
    snipe.maxima = {{1000, 30.0}};
    snipe.moments = {94990};
    evidence.snipes << snipe;
    evidence.groups << GroupHistory{7, QStringLiteral("Lamps"), 1};
    evidence.rows << QVariantMap{{"id", 1},       {"item_number", item}, {"bid_status", 3},
                                 {"group_id", 7}, {"error_message", {}}, {"user_relation", "HIGHBIDDER"}};
    evidence.requests << QVariantMap{{"seq", 5}, {"timeMs", 95000.0}};
    evidence.ledger << QVariantMap{{"item", item},     {"flow", "json"},     {"amount", 30.0},  {"amountText", "30.00"},
                                   {"accepted", true}, {"reason", "placed"}, {"requestSeq", 5}, {"timeMs", 95001.0}};
    evidence.auctions << QVariantMap{{"itemNumber", item}, {"highBidder", "sniper_uk"}};
    evidence.tray << TrayEntry{102500, QStringLiteral("Winning bid on item ") + item};
    return evidence;
}
} // namespace

// Random snipes through the real engine against the simulated eBay, with the user's changes and the sandbox's
// faults at random moments, must keep every snipe's promise; and the checker that judges them must see each kind
// of broken promise.
class TestIntegrity : public QObject {
    Q_OBJECT

private slots:
    // Each row breaks the clean batch in one way; the checker must name it (an empty text: nothing to report).
    void checkerSeesBrokenPromises_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("report");
        const std::pair<const char*, const char*> rows[] = {
            {"clean", ""},
            {"second confirming bid", "2 confirming requests"},
            {"second bid after a new schedule", ""},
            {"confirming request late", "arrived 60 ms from the moment"},

            {"bid above the maximum", "above the maximum"},
            {"stale maximum after a raise", "not the maximum stored"},
            {"lowered just before it left", "above the maximum"},
            {"cancelled before it left", "after the user cancelled"},
            {"cancelled after it left", ""},
            {"placed without an accepted bid", "eBay accepted no confirming bid"},
            {"failed although accepted", "Failed, but eBay accepted"},
            {"undecided and said so", ""},
            {"failed without a message", "Failed without a message"},
            {"left in bidding", "still Bidding"},
            {"cancelled by nobody", "neither the user nor a group limit"},
            {"told won while outbid", "told won"},
            {"group limit overrun", "reached its limit"},
            {"box on the bid path", "message box"}};
        for (const auto& row : rows)
            QTest::newRow(row.first) << QString(row.first) << QString(row.second);
    }

    void checkerSeesBrokenPromises() {
        QFETCH(QString, fault);
        QFETCH(QString, report);
        BatchEvidence evidence = cleanBatch();
        SnipeHistory& snipe = evidence.snipes[0];
        QVariantMap& row = evidence.rows[0];
        QVariantMap bid = evidence.ledger.first().toMap();
        const auto setBid = [&](const char* key, const QVariant& value) {
            bid.insert(key, value);
            evidence.ledger[0] = bid;
        };
        if (fault.startsWith("second"))
            evidence.ledger << bid;
        if (fault == "second bid after a new schedule")
            snipe.allowedBids = 2;
        if (fault == "bid above the maximum")
            setBid("amount", 31.0);
        if (fault == "stale maximum after a raise")
            snipe.maxima << std::pair<qint64, QVariant>{80000, 45.0};
        if (fault == "lowered just before it left")
            snipe.maxima << std::pair<qint64, QVariant>{90000, 20.0};
        if (fault.startsWith("cancelled") && fault != "cancelled by nobody") {
            const bool after = fault == "cancelled after it left";
            snipe.cancelledMs = after ? 95200 : 94000;
            snipe.cancelledAfterConfirmation = after;
            snipe.maxima << std::pair<qint64, QVariant>{snipe.cancelledMs, QVariant()};
            row.insert("bid_status", QVariant());
        }
        if (fault == "placed without an accepted bid")
            setBid("accepted", false);
        if (fault == "failed although accepted" || fault == "undecided and said so") {
            row.insert("bid_status", 4);
            row.insert("error_message", "Failed to place json bid step 2.\nThe bid may or may not have been placed");
            if (fault == "undecided and said so")
                evidence.tray.clear();
        }
        if (fault == "failed without a message") {
            row.insert("bid_status", 4);
            setBid("accepted", false);
        }
        if (fault == "left in bidding")
            row.insert("bid_status", 2);
        if (fault == "cancelled by nobody")
            row.insert("bid_status", QVariant());
        if (fault == "told won while outbid")
            evidence.auctions[0] = QVariantMap{{"itemNumber", item}, {"highBidder", "rival1"}};
        if (fault == "group limit overrun") {
            SnipeHistory other = snipe;
            other.id = 2;
            other.itemNumber = sibling;
            evidence.snipes << other;
            evidence.rows << QVariantMap{
                {"id", 2}, {"item_number", sibling}, {"bid_status", 4}, {"error_message", "LOW_BIDAMOUNT"}};
            evidence.requests << QVariantMap{{"seq", 9}, {"timeMs", 110000.0}};
            evidence.ledger << QVariantMap{{"item", sibling},   {"flow", "json"},        {"amount", 30.0},
                                           {"accepted", false}, {"reason", "bidTooLow"}, {"requestSeq", 9}};
        }
        if (fault == "box on the bid path")
            evidence.boxes << "Network Error: Failed to place json bid step 2.";

        if (fault == "confirming request late")
            snipe.moments = {94940};
        const IntegrityChecker::Result result = IntegrityChecker::check(evidence);
        const QStringList violations = result.violations + result.late;
        if (report.isEmpty()) {
            QVERIFY2(violations.isEmpty(), qPrintable(violations.join('\n')));
            return;
        }
        QVERIFY2(violations.filter(report).size() == 1, qPrintable(violations.join('\n')));
    }

    // About a hundred snipes in two batches, one per bid flow, in under two minutes. A failure prints the seed;
    // TOLLIMER_INTEGRITY_SEED replays its plan.
    void randomSnipesKeepThePromise() {
        IntegrityRun::Options options;
        options.seed = IntegrityRun::seedFromEnvironment(20261206);
        IntegrityRun run(options);
        QString error;
        QVERIFY2(run.setUp(&error), qPrintable(error));
        const IntegrityRun::Totals totals = run.run();
        QVERIFY2(totals.violations.isEmpty(),
                 qPrintable(totals.violations.join('\n') + QStringLiteral("\nseed %1").arg(options.seed)));
        // The run reached what it is about: bids placed and failed, cancellations, the user's edits and faults.
        for (const char* outcome : {"placed", "failed", "cancelled"})
            QVERIFY2(totals.outcomes.value(outcome) > 0, outcome);
        QVERIFY(totals.userActions > 0);
        QVERIFY(totals.faults > 0);
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TollimerApp app(argc, argv);
    TestIntegrity test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_integrity.moc"
