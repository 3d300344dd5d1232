#include "clientsession.h"
#include "itemhelper.h"
#include "messagerecorder.h"

#include <QtTest>

// Both two-step bid flows against the simulated eBay, judged by what the client reports and by the sandbox's
// ledger of bids it received: a snipe must arrive once, with its own amount and valid tokens, and every refusal
// must come back as the reason the bid task stores.
class TestBidFlows : public QObject {
    Q_OBJECT

public:
    enum Between { Nothing, SignOut, EndAuction, TamperStok };
    Q_ENUM(Between)

private:
    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

    struct Flow {
        QVariantList step1;
        QVariantList step2;
    };

    void between(Between what, QString& stok) {
        switch (what) {
        case Nothing:
            break;
        case SignOut:
            ClientSession::signOut();
            break;
        case EndAuction:
            // The scenario lets this auction run out a few seconds after the reset.
            QTRY_VERIFY_WITH_TIMEOUT(auctionEnded(QStringLiteral("130000000010")), 10000);
            break;
        case TamperStok:
            stok += QLatin1Char('A');
            break;
        }
    }

    Flow runJson(const QString& domain, const QString& item, double amount, Between what) {
        Flow flow;
        ItemHelper helper;
        QSignalSpy step1(&helper, &ItemHelper::placeBidJsonStep1Finished);
        QSignalSpy step2(&helper, &ItemHelper::placeBidFinished);
        helper.placeBidJsonStep1(domain, item, amount);
        if (!step1.wait(10000))
            return flow;
        m_sandbox.control("GET", "/_sandbox/state");
        if (step1.size() != 1)
            return flow;
        flow.step1 = step1.first();
        if (flow.step1.at(1).toString() != QLatin1String("Placed"))
            return flow;
        QString stok = flow.step1.at(2).toString();
        between(what, stok);
        helper.placeBidJsonStep2(domain, item, amount, stok, flow.step1.at(3).toString(), flow.step1.at(4).toString());
        if (step2.wait(10000)) {
            m_sandbox.control("GET", "/_sandbox/state");
            if (step2.size() == 1)
                flow.step2 = step2.first();
        }
        return flow;
    }

    Flow runHtml(const QString& item, double amount, const QString& user, Between what) {
        Flow flow;
        ItemHelper helper;
        QSignalSpy step1(&helper, &ItemHelper::placeBidHtmlStep1Finished);
        QSignalSpy step2(&helper, &ItemHelper::placeBidFinished);
        helper.placeBidHtmlStep1(item, amount);
        if (!step1.wait(10000) || step1.size() != 1)
            return flow;
        flow.step1 = step1.first();
        QString stok = flow.step1.at(2).toString();
        between(what, stok);
        helper.placeBidHtmlStep2(item, amount, user, stok, flow.step1.at(3).toString());
        if (step2.wait(10000)) {
            m_sandbox.control("GET", "/_sandbox/state");
            if (step2.size() == 1)
                flow.step2 = step2.first();
        }
        return flow;
    }

    bool auctionEnded(const QString& item) {
        const QVariantList auctions =
            m_sandbox.controlJson("GET", "/_sandbox/state").object().toVariantMap().value("auctions").toList();
        for (const QVariant& auction : auctions) {
            if (auction.toMap().value("itemNumber").toString() == item)
                return auction.toMap().value("ended").toBool();
        }
        return false;
    }

    QVariantList bidsOn(const QString& item) {
        QVariantList matching;
        const QVariantList all = ClientSession::bids(m_sandbox);
        for (const QVariant& bid : all) {
            const QString flow = bid.toMap().value("flow").toString();
            if (bid.toMap().value("item").toString() == item && (flow == "json" || flow == "html"))
                matching.append(bid);
        }
        return matching;
    }

    void checkLedger(const QString& item, double amount, const QString& flow, int entries, bool accepted,
                     bool tokensValid) {
        const QVariantList received = bidsOn(item);
        if (entries < 0)
            return;
        QCOMPARE(received.size(), entries);
        if (entries == 0)
            return;
        const QVariantMap bid = received.last().toMap();
        QCOMPARE(bid.value("amount").toDouble(), amount);
        QCOMPARE(bid.value("bidder").toString(), QString("sniper_uk"));
        QCOMPARE(bid.value("flow").toString(), flow);
        QCOMPARE(bid.value("tokensValid").toBool(), tokensValid);
        QCOMPARE(bid.value("accepted").toBool(), accepted);
    }

    QString relationOf(const QString& item) {
        ItemHelper helper;
        QSignalSpy finished(&helper, &ItemHelper::getUserItemRelationFinished);
        helper.getUserItemRelation(item);
        if (!finished.wait(10000) || finished.size() != 1 || !finished.first().at(0).toBool())
            return QStringLiteral("<failed>");
        return finished.first().at(1).toString();
    }

private slots:
    void initTestCase() {
        QVERIFY2(ClientSession::start(m_sandbox, "bids"), m_sandbox.output().constData());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void init() {
        m_sandbox.control("POST", "/_sandbox/reset");
        m_sandbox.control("POST", "/_sandbox/clock", ClientSession::json({{"offsetMs", 0}}));
        ClientSession::clearFaultsAndLog(m_sandbox);
        ClientSession::signOut();
        QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
        QVERIFY(ClientSession::signIn("sniper_uk", "secret", "ebay.de", 77));
        m_boxes.install();
    }

    void cleanup() {
        MessageRecorder::uninstall();
        m_sandbox.control("POST", "/_sandbox/clock", ClientSession::json({{"offsetMs", 0}}));
    }

    void jsonFlow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<double>("amount");
        QTest::addColumn<Between>("what");
        QTest::addColumn<QString>("step1");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("tokensValid");
        QTest::newRow("placed") << "130000000001" << 50.0 << Nothing << "Placed"
                                << "Placed" << 1 << true << true;
        QTest::newRow("placed, cents under a comma locale") << "130000000001" << 50.5 << Nothing << "Placed"
                                                            << "Placed" << 1 << true << true;
        QTest::newRow("below the minimum") << "130000000001" << 1.0 << Nothing << "Placed"
                                           << "LOW_BIDAMOUNT" << 1 << false << true;
        // The form withheld the key, so the confirming request carries an empty one and eBay's answer decides.
        QTest::newRow("form without key") << "130000000002" << 20.0 << Nothing << "Placed"
                                          << "UNKNOWN" << 1 << false << false;
        QTest::newRow("redirect page") << "130000000003" << 20.0 << Nothing << "Redirect"
                                       << "" << 0 << false << false;
        QTest::newRow("bid error page") << "130000000004" << 20.0 << Nothing << "Redirect"
                                        << "" << 0 << false << false;
        QTest::newRow("fixed price") << "130000000005" << 40.0 << Nothing << "Redirect"
                                     << "" << 0 << false << false;
        QTest::newRow("seller refuses") << "130000000006" << 20.0 << Nothing << "Placed"
                                        << "You have been blocked by the seller. Contact them." << 1 << false << true;
        QTest::newRow("ended between the steps") << "130000000010" << 20.0 << EndAuction << "Placed"
                                                 << "AUCTION_ENDED" << 1 << false << true;
        QTest::newRow("token changed") << "130000000001" << 50.0 << TamperStok << "Placed"
                                       << "UNKNOWN" << 1 << false << false;
        QTest::newRow("signed out between the steps") << "130000000001" << 50.0 << SignOut << "Placed"
                                                      << "SIGNIN_REQUIRED" << -1 << false << false;
    }

    void jsonFlow() {
        QFETCH(QString, item);
        QFETCH(double, amount);
        QFETCH(Between, what);
        QFETCH(QString, step1);
        QFETCH(QString, result);
        QFETCH(int, entries);
        QFETCH(bool, accepted);
        QFETCH(bool, tokensValid);
        const QString domain = item == "130000000010" ? "ebay.de" : "ebay.co.uk";
        const Flow flow = runJson(domain, item, amount, what);
        QCOMPARE(flow.step1.size(), 5);
        QCOMPARE(flow.step1.at(0).toBool(), true);
        QCOMPARE(flow.step1.at(1).toString(), step1);
        if (step1 == "Redirect") {
            QVERIFY(flow.step1.at(2).toString().isEmpty());
            QVERIFY(flow.step2.isEmpty());
        } else {
            QVERIFY(!flow.step1.at(2).toString().isEmpty());
            QCOMPARE(flow.step1.at(3).toString().isEmpty(), item == "130000000002");
            QCOMPARE(flow.step2, (QVariantList{true, result}));
        }
        checkLedger(item, amount, "json", entries, accepted, tokensValid);
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void htmlFlow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("user");
        QTest::addColumn<Between>("what");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("tokensValid");
        const QString me = QStringLiteral("sniper_uk");
        QTest::newRow("placed") << "130000000001" << 50.0 << me << Nothing << "Placed" << true << true;
        QTest::newRow("placed, cents under a comma locale")
            << "130000000001" << 1234.5 << me << Nothing << "Placed" << true << true;
        QTest::newRow("below the minimum")
            << "130000000001" << 1.0 << me << Nothing << "LOW_BIDAMOUNT" << false << true;
        QTest::newRow("ended between the steps")
            << "130000000010" << 20.0 << me << EndAuction << "AUCTION_ENDED" << false << true;
        QTest::newRow("seller refuses") << "130000000006" << 20.0 << me << Nothing
                                        << "You have been blocked by the seller." << false << true;
        QTest::newRow("no postage to the user's address")
            << "130000000007" << 20.0 << me << Nothing
            << "The seller doesn't post to the country where your primary postage address is located" << false << true;
        QTest::newRow("both tokens written value first")
            << "130000000008" << 20.0 << me << Nothing << "Placed" << true << true;
        QTest::newRow("both tokens written name first")
            << "130000000009" << 20.0 << me << Nothing << "Placed" << true << true;
        QTest::newRow("token changed") << "130000000001" << 50.0 << me << TamperStok << "UNKNOWN" << false << false;
        QTest::newRow("user name that would rewrite the amount")
            << "130000000001" << 50.0 << "sniper_uk&maxbid=999" << Nothing << "UNKNOWN" << false << true;
    }

    void htmlFlow() {
        QFETCH(QString, item);
        QFETCH(double, amount);
        QFETCH(QString, user);
        QFETCH(Between, what);
        QFETCH(QString, result);
        QFETCH(bool, accepted);
        QFETCH(bool, tokensValid);
        const Flow flow = runHtml(item, amount, user, what);
        QCOMPARE(flow.step1.size(), 4);
        QCOMPARE(flow.step1.at(0).toBool(), true);
        QCOMPARE(flow.step1.at(1).toString(), QString("Placed"));
        QVERIFY(!flow.step1.at(2).toString().isEmpty());
        QVERIFY(!flow.step1.at(3).toString().isEmpty());
        QCOMPARE(flow.step2, (QVariantList{true, result}));
        checkLedger(item, amount, "html", 1, accepted, tokensValid);
        const QVariantMap bid = bidsOn(item).last().toMap();
        QVERIFY2(bid.value("amount").toDouble() != 999.0, "the user name must not change the amount");
        if (user != QLatin1String("sniper_uk"))
            QCOMPARE(bid.value("reason").toString(), QString("userMismatch"));
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    // One-time tokens: the confirming request sent twice is refused the second time.
    void tokensAreUsedOnce() {
        ItemHelper helper;
        QSignalSpy step1(&helper, &ItemHelper::placeBidJsonStep1Finished);
        QSignalSpy finished(&helper, &ItemHelper::placeBidFinished);
        helper.placeBidJsonStep1("ebay.co.uk", "130000000001", 30);
        QVERIFY(step1.wait(10000));
        const QVariantList tokens = step1.first();
        for (int attempt = 0; attempt < 2; ++attempt) {
            helper.placeBidJsonStep2("ebay.co.uk", "130000000001", 30, tokens.at(2).toString(), tokens.at(3).toString(),
                                     tokens.at(4).toString());
            QVERIFY(finished.wait(10000));
        }
        QCOMPARE(finished.size(), 2);
        QCOMPARE(finished.at(0), (QVariantList{true, "Placed"}));
        QCOMPARE(finished.at(1), (QVariantList{true, "UNKNOWN"}));
        const QVariantList received = bidsOn("130000000001");
        QCOMPARE(received.size(), 2);
        QCOMPARE(received.at(1).toMap().value("tokensValid").toBool(), false);
        QCOMPARE(received.at(1).toMap().value("reason").toString(), QString("tokensReused"));
    }

    void relationFollowsTheBids() {
        QCOMPARE(relationOf("130000000001"), QString("NONE"));
        QCOMPARE(runJson("ebay.co.uk", "130000000001", 50, Nothing).step2, (QVariantList{true, "Placed"}));
        QCOMPARE(relationOf("130000000001"), QString("HIGHBIDDER"));
        m_sandbox.control("POST", "/_sandbox/bid",
                          ClientSession::json({{"item", "130000000001"}, {"bidder", "rival1"}, {"amount", 80}}));
        QCOMPARE(relationOf("130000000001"), QString("OUTBIDDER"));
        ClientSession::signOut();
        QCOMPARE(relationOf("130000000001"), QString("Unknown"));
    }
};

QTEST_MAIN(TestBidFlows)
#include "test_bidflows.moc"
