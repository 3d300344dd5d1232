#include "sandboxauction.h"
#include "sandboxclock.h"
#include "sandboxmarket.h"
#include "sandboxrecorder.h"
#include "testrow.h"

#include <QJsonArray>
#include <QtTest>

// One proxy-bidding case: the listing's start and reserve (-1: none), bids "bidder:max" in order and what each
// answered, then the price, high bidder and minimum to bid.
struct Bidding {
    double start, reserve;
    QStringList bids, outcomes;
    double price;
    QString high;
    double minimum;
};
Q_DECLARE_METATYPE(Bidding)

// Proxy bidding as eBay runs it: what the high bidder pays, what the next bid must be, who wins a tie, what a
// reserve does. A sniper's win or loss in the sandbox is only as right as these rules.
class TestSandboxAuction : public QObject {
    Q_OBJECT

private:
    static SandboxScenario::Auction listing(double start, double reserve = -1.0, const QString& type = "Chinese") {
        SandboxScenario::Auction auction;
        auction.itemNumber = "1";
        auction.startCents = SandboxScenario::toCents(start);
        auction.reserveCents = reserve < 0 ? -1 : SandboxScenario::toCents(reserve);
        auction.listingType = type;
        return auction;
    }

private slots:
    // The cent either side of each band edge; the last row is far above the top band.
    void incrementFollowsTheTable_data() {
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("increment");
        const double bands[][2] = {{0.01, 0.05}, {1, 0.25}, {5, 0.5},   {25, 1},    {100, 2.5},
                                   {250, 5},     {500, 10}, {1000, 25}, {2500, 50}, {5000, 100}};
        for (size_t i = 0; i < std::size(bands); ++i) {
            const double below = i + 1 < std::size(bands) ? bands[i + 1][0] - 0.01 : 80000.0;
            testRow(QByteArray::number(bands[i][0], 'f', 2), bands[i][0], bands[i][1]);
            testRow(QByteArray::number(below, 'f', 2), below, bands[i][1]);
        }
    }

    void incrementFollowsTheTable() {
        QFETCH(double, price);
        QFETCH(double, increment);
        QCOMPARE(SandboxAuction::increment(SandboxScenario::toCents(price)), SandboxScenario::toCents(increment));
    }

    void proxyBidding_data() {
        QTest::addColumn<Bidding>("row");
        using L = QStringList;
        const L one{"placed"}, two{"placed", "placed"};
        testRow("below start price", Bidding{5.0, -1.0, L{"a:4.99"}, L{"bidTooLow"}, 5.0, "", 5.0});
        testRow("exactly the start price", Bidding{5.0, -1.0, L{"a:5"}, one, 5.0, "a", 5.5});
        testRow("new high pays second max plus increment", Bidding{1.0, -1.0, L{"a:10", "b:20"}, two, 10.5, "b", 11.0});
        testRow("price never above the winner's max", Bidding{1.0, -1.0, L{"a:10", "b:10.20"}, two, 10.2, "b", 10.7});
        testRow("lower bid close under max", Bidding{1.0, -1.0, L{"a:10", "b:9.80"}, two, 10.0, "a", 10.5});
        testRow("equal maxima: earlier wins", Bidding{1.0, -1.0, L{"a:15", "b:15"}, two, 15.0, "a", 15.5});
        testRow("lower bid lifts, own raise does not",
                Bidding{1.0, -1.0, L{"a:10", "b:5", "a:50"}, L{"placed", "placed", "placed"}, 5.5, "a", 6.0});
        testRow("own raise must exceed own max",
                Bidding{1.0, -1.0, L{"a:10", "a:10"}, L{"placed", "bidTooLow"}, 1.0, "a", 1.25});
        testRow("bidder names ignore case", Bidding{1.0, -1.0, L{"Ann:10", "ann:50"}, two, 1.0, "Ann", 1.25});
        testRow("reserve not reached", Bidding{10.0, 50.0, L{"a:40"}, one, 10.0, "a", 10.5});
        testRow("max reaching reserve lifts price to it", Bidding{10.0, 50.0, L{"a:60"}, one, 50.0, "a", 51.0});
        testRow("own raise meets the reserve", Bidding{10.0, 50.0, L{"a:30", "a:70"}, two, 50.0, "a", 51.0});
    }

    void proxyBidding() {
        QFETCH(Bidding, row);
        SandboxAuction auction(listing(row.start, row.reserve), 0.0, 1000.0);
        for (int i = 0; i < row.bids.size(); ++i) {
            const QStringList parts = row.bids.at(i).split(':');
            const auto result =
                auction.placeBid(parts.at(0), SandboxScenario::toCents(parts.at(1).toDouble()), 10.0 + i);
            QCOMPARE(SandboxAuction::outcomeName(result.outcome), row.outcomes.at(i));
        }
        QCOMPARE(auction.currentPriceCents(), SandboxScenario::toCents(row.price));
        QCOMPARE(auction.highBidder(), row.high);
        QCOMPARE(auction.minimumToBidCents(), SandboxScenario::toCents(row.minimum));
        QCOMPARE(auction.bidCount(), int(row.outcomes.count("placed")));
    }

    void fixedPriceRefuses() {
        SandboxAuction fixed(listing(45.0, -1.0, "FixedPriceItem"), 0.0, 1000.0);
        QCOMPARE(fixed.placeBid("a", 5000, 1.0).outcome, SandboxAuction::Outcome::NotAuction);
        QCOMPARE(fixed.bidCount(), 0);
    }

    // The relation itself is walked end to end by the bid-flow tests; here the reserve's part in winning.
    void winnerNeedsTheReserve() {
        SandboxAuction auction(listing(1.0, 30.0), 0.0, 1000.0);
        auction.placeBid("me", 2000, 1.0);
        auction.placeBid("rival", 2500, 2.0);
        // Reserve not met at the end: the high bidder keeps the relation but nobody wins.
        QCOMPARE(auction.winner(2000.0), QString());
        QCOMPARE(auction.relation("rival"), QString("HIGHBIDDER"));
        auction.placeBid("me", 4000, 3.0);
        QCOMPARE(auction.winner(999.0), QString());
        QCOMPARE(auction.winner(1000.0), QString("me"));
    }

    void marketAppliesScriptedBidsWhenDueAndLedgersEveryBid() {
        SandboxClock clock;
        SandboxRecorder recorder;
        SandboxMarket market(&clock, &recorder);
        SandboxScenario scenario;
        SandboxScenario::Auction auction = listing(1.0);
        auction.endsInSeconds = 600;
        auction.bids = {{"early", 500, 0.0}, {"late", 900, 3600.0}};
        scenario.auctions = {auction};
        scenario.clockOffsetSeconds = 7.5;
        market.load(scenario);
        QCOMPARE(clock.offsetMs(), 7500.0);
        QCOMPARE(market.auction("1")->highBidder(), QString("early"));
        // eBay end times fall on whole seconds of eBay's clock.
        QCOMPARE(std::fmod(market.auction("1")->endMs() + clock.offsetMs(), 1000.0), 0.0);
        SandboxMarket::Offer offer{"1", "me", 300, {}, "json", false, "tokensWrong", 7, clock.nowMs()};
        QVERIFY(!market.bid(offer).accepted);
        QCOMPARE(market.auction("1")->bidCount(), 1);
        offer.itemNumber = "2";
        offer.refusedBecause.clear();
        offer.tokensValid = true;
        market.bid(offer);
        const QJsonArray bids = recorder.ledgerJson().value("bids").toArray();
        QCOMPARE(bids.size(), 3);
        QCOMPARE(bids.at(0).toObject().value("flow").toString(), QString("scenario"));
        QCOMPARE(bids.at(1).toObject().value("reason").toString(), QString("tokensWrong"));
        QCOMPARE(bids.at(1).toObject().value("requestSeq").toInt(), 7);
        QVERIFY(bids.at(1).toObject().value("msBeforeEnd").toDouble() > 590000.0);
        QCOMPARE(bids.at(2).toObject().value("reason").toString(), QString("unknownItem"));
        market.reset();
        market.advance();
        QCOMPARE(recorder.ledgerJson().value("bids").toArray().size(), 1);
    }

    void scenarioParsingRefusesBadEntries_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        const QByteArray one = R"({"auctions":[{"itemNumber":"1",)";
        testRow("not json", QByteArray("{"), "not a JSON object");
        testRow("no number", QByteArray(R"({"auctions":[{"title":"x"}]})"), "itemNumber");
        testRow("twice", QByteArray(R"({"auctions":[{"itemNumber":"1"},{"itemNumber":"1"}]})"), "twice");
        testRow("markup", one + R"("shippingMarkup":5}]})", "shippingMarkup");
        testRow("step1", one + R"("step1Answer":"x"}]})", "step1Answer");
        testRow("bid", one + R"("bids":[{"amount":3}]}]})", "bidder");
        testRow("user", QByteArray(R"({"users":[{"password":"x"}]})"), "username");
    }

    void scenarioParsingRefusesBadEntries() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        SandboxScenario scenario;
        QString message;
        QVERIFY(!SandboxScenario::parse(json, &scenario, &message));
        QVERIFY2(message.contains(error), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestSandboxAuction)
#include "test_sandbox_auction.moc"
