#include "sandboxauction.h"
#include "sandboxclock.h"
#include "sandboxmarket.h"
#include "sandboxrecorder.h"

#include <QJsonArray>
#include <QtTest>

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
    void incrementFollowsTheTable_data() {
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("increment");
        QTest::newRow("0.01") << 0.01 << 0.05;
        QTest::newRow("0.99") << 0.99 << 0.05;
        QTest::newRow("1.00") << 1.00 << 0.25;
        QTest::newRow("4.99") << 4.99 << 0.25;
        QTest::newRow("5.00") << 5.00 << 0.50;
        QTest::newRow("24.99") << 24.99 << 0.50;
        QTest::newRow("25.00") << 25.00 << 1.00;
        QTest::newRow("99.99") << 99.99 << 1.00;
        QTest::newRow("100.00") << 100.00 << 2.50;
        QTest::newRow("249.99") << 249.99 << 2.50;
        QTest::newRow("250.00") << 250.00 << 5.00;
        QTest::newRow("499.99") << 499.99 << 5.00;
        QTest::newRow("500.00") << 500.00 << 10.00;
        QTest::newRow("999.99") << 999.99 << 10.00;
        QTest::newRow("1000.00") << 1000.00 << 25.00;
        QTest::newRow("2499.99") << 2499.99 << 25.00;
        QTest::newRow("2500.00") << 2500.00 << 50.00;
        QTest::newRow("4999.99") << 4999.99 << 50.00;
        QTest::newRow("5000.00") << 5000.00 << 100.00;
        QTest::newRow("80000.00") << 80000.00 << 100.00;
    }

    void incrementFollowsTheTable() {
        QFETCH(double, price);
        QFETCH(double, increment);
        QCOMPARE(SandboxAuction::increment(SandboxScenario::toCents(price)), SandboxScenario::toCents(increment));
    }

    // Each row: bids "bidder:max" in order, then the expected price, high bidder, minimum to bid and bid count.
    void proxyBidding_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("reserve");
        QTest::addColumn<QStringList>("bids");
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("high");
        QTest::addColumn<double>("minimum");
        QTest::newRow("first bid pays the start price")
            << 1.0 << -1.0 << QStringList{"a:10"} << QStringList{"placed"} << 1.0 << "a" << 1.25;
        QTest::newRow("below start price")
            << 5.0 << -1.0 << QStringList{"a:4.99"} << QStringList{"bidTooLow"} << 5.0 << "" << 5.0;
        QTest::newRow("exactly the start price")
            << 5.0 << -1.0 << QStringList{"a:5"} << QStringList{"placed"} << 5.0 << "a" << 5.5;
        QTest::newRow("new high pays second max plus increment")
            << 1.0 << -1.0 << QStringList{"a:10", "b:20"} << QStringList{"placed", "placed"} << 10.5 << "b" << 11.0;
        QTest::newRow("lower bid lifts the high bidder's price")
            << 1.0 << -1.0 << QStringList{"a:20", "b:10"} << QStringList{"placed", "placed"} << 10.5 << "a" << 11.0;
        QTest::newRow("price never above the winner's max")
            << 1.0 << -1.0 << QStringList{"a:10", "b:10.20"} << QStringList{"placed", "placed"} << 10.2 << "b" << 10.7;
        QTest::newRow("lower bid close under max")
            << 1.0 << -1.0 << QStringList{"a:10", "b:9.80"} << QStringList{"placed", "placed"} << 10.0 << "a" << 10.5;
        QTest::newRow("equal maxima: earlier wins")
            << 1.0 << -1.0 << QStringList{"a:15", "b:15"} << QStringList{"placed", "placed"} << 15.0 << "a" << 15.5;
        QTest::newRow("below minimum after bids")
            << 1.0 << -1.0 << QStringList{"a:10", "b:20", "c:10.99"} << QStringList{"placed", "placed", "bidTooLow"}
            << 10.5 << "b" << 11.0;
        QTest::newRow("own raise does not raise price")
            << 1.0 << -1.0 << QStringList{"a:10", "b:5", "a:50"} << QStringList{"placed", "placed", "placed"} << 5.5
            << "a" << 6.0;
        QTest::newRow("own raise must exceed own max")
            << 1.0 << -1.0 << QStringList{"a:10", "a:10"} << QStringList{"placed", "bidTooLow"} << 1.0 << "a" << 1.25;
        QTest::newRow("outbid bidder may come back")
            << 1.0 << -1.0 << QStringList{"a:10", "b:20", "a:30"} << QStringList{"placed", "placed", "placed"} << 20.5
            << "a" << 21.0;
        QTest::newRow("bidder names ignore case") << 1.0 << -1.0 << QStringList{"Ann:10", "ann:50"}
                                                  << QStringList{"placed", "placed"} << 1.0 << "Ann" << 1.25;
        QTest::newRow("reserve not reached")
            << 10.0 << 50.0 << QStringList{"a:40"} << QStringList{"placed"} << 10.0 << "a" << 10.5;
        QTest::newRow("max reaching reserve lifts price to it")
            << 10.0 << 50.0 << QStringList{"a:60"} << QStringList{"placed"} << 50.0 << "a" << 51.0;
        QTest::newRow("second bidder crosses the reserve")
            << 10.0 << 50.0 << QStringList{"a:30", "b:55"} << QStringList{"placed", "placed"} << 50.0 << "b" << 51.0;
        QTest::newRow("high bidder's own raise meets the reserve")
            << 10.0 << 50.0 << QStringList{"a:30", "a:70"} << QStringList{"placed", "placed"} << 50.0 << "a" << 51.0;
        QTest::newRow("above reserve, increments as usual")
            << 10.0 << 50.0 << QStringList{"a:60", "b:58"} << QStringList{"placed", "placed"} << 59.0 << "a" << 60.0;
    }

    void proxyBidding() {
        QFETCH(double, start);
        QFETCH(double, reserve);
        QFETCH(QStringList, bids);
        QFETCH(QStringList, outcomes);
        QFETCH(double, price);
        QFETCH(QString, high);
        QFETCH(double, minimum);
        SandboxAuction auction(listing(start, reserve), 0.0, 1000.0);
        for (int i = 0; i < bids.size(); ++i) {
            const QStringList parts = bids.at(i).split(':');
            const auto result =
                auction.placeBid(parts.at(0), SandboxScenario::toCents(parts.at(1).toDouble()), 10.0 + i);
            QCOMPARE(SandboxAuction::outcomeName(result.outcome), outcomes.at(i));
        }
        QCOMPARE(auction.currentPriceCents(), SandboxScenario::toCents(price));
        QCOMPARE(auction.highBidder(), high);
        QCOMPARE(auction.minimumToBidCents(), SandboxScenario::toCents(minimum));
        QCOMPARE(auction.bidCount(), int(outcomes.count("placed")));
    }

    void endedAndFixedPriceRefuse() {
        SandboxAuction auction(listing(1.0), 0.0, 1000.0);
        QCOMPARE(auction.placeBid("a", 500, 999.9).outcome, SandboxAuction::Outcome::Placed);
        QCOMPARE(auction.placeBid("b", 5000, 1000.0).outcome, SandboxAuction::Outcome::Ended);
        QCOMPARE(auction.highBidder(), QString("a"));
        SandboxAuction fixed(listing(45.0, -1.0, "FixedPriceItem"), 0.0, 1000.0);
        QCOMPARE(fixed.placeBid("a", 5000, 1.0).outcome, SandboxAuction::Outcome::NotAuction);
        QCOMPARE(fixed.bidCount(), 0);
    }

    void relationAndWinner() {
        SandboxAuction auction(listing(1.0, 30.0), 0.0, 1000.0);
        QCOMPARE(auction.relation("me"), QString("NONE"));
        auction.placeBid("me", 2000, 1.0);
        QCOMPARE(auction.relation("me"), QString("HIGHBIDDER"));
        auction.placeBid("rival", 2500, 2.0);
        QCOMPARE(auction.relation("ME"), QString("OUTBIDDER"));
        QCOMPARE(auction.relation("rival"), QString("HIGHBIDDER"));
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
        SandboxMarket::Offer offer;
        offer.itemNumber = "1";
        offer.bidder = "me";
        offer.amountCents = 300;
        offer.flow = "json";
        offer.tokensValid = false;
        offer.refusedBecause = "tokensWrong";
        offer.requestSeq = 7;
        offer.atMs = clock.nowMs();
        const auto verdict = market.bid(offer);
        QVERIFY(!verdict.accepted);
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
        QTest::newRow("not json") << QByteArray("{") << "not a JSON object";
        QTest::newRow("no number") << QByteArray(R"({"auctions":[{"title":"x"}]})") << "itemNumber";
        QTest::newRow("twice") << QByteArray(R"({"auctions":[{"itemNumber":"1"},{"itemNumber":"1"}]})") << "twice";
        QTest::newRow("markup") << QByteArray(R"({"auctions":[{"itemNumber":"1","shippingMarkup":5}]})")
                                << "shippingMarkup";
        QTest::newRow("step1") << QByteArray(R"({"auctions":[{"itemNumber":"1","step1Answer":"x"}]})") << "step1Answer";
        QTest::newRow("bid") << QByteArray(R"({"auctions":[{"itemNumber":"1","bids":[{"amount":3}]}]})") << "bidder";
        QTest::newRow("user") << QByteArray(R"({"users":[{"password":"x"}]})") << "username";
    }

    void scenarioParsingRefusesBadEntries() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        SandboxScenario scenario;
        QString message;
        QVERIFY(!SandboxScenario::parse(json, &scenario, &message));
        QVERIFY2(message.contains(error), qPrintable(message));
    }

    void bundledScenariosLoad_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("demo") << "demo";
        QTest::newRow("tests") << "tests";
    }

    void bundledScenariosLoad() {
        QFETCH(QString, name);
        SandboxScenario scenario;
        QString error;
        QVERIFY2(SandboxScenario::loadFile(QString(TOLLIMER_SANDBOX_SCENARIOS "/") + name + ".json", &scenario, &error),
                 qPrintable(error));
        QVERIFY(!scenario.auctions.isEmpty());
    }

    void demoScenarioHasWhatANewUserNeeds() {
        SandboxScenario demo;
        QString error;
        QVERIFY(SandboxScenario::loadFile(TOLLIMER_SANDBOX_SCENARIOS "/demo.json", &demo, &error));
        QSet<QString> currencies;
        bool reserve = false, fixed = false, rivals = false;
        for (const auto& auction : demo.auctions) {
            currencies.insert(auction.currency);
            reserve |= auction.reserveCents >= 0;
            fixed |= !auction.isAuction();
            rivals |= !auction.bids.isEmpty();
            if (auction.isAuction())
                QVERIFY(auction.endsInSeconds >= 120 && auction.endsInSeconds <= 600);
        }
        QVERIFY(currencies.size() >= 2 && reserve && fixed && rivals);
    }
};

QTEST_GUILESS_MAIN(TestSandboxAuction)
#include "test_sandbox_auction.moc"
