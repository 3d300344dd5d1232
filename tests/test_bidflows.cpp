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
    enum Twist { Nothing, SignOut, EndAuction, UserRewritingAmount };
    Q_ENUM(Twist)

private:
    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

    QVariantList bidsOn(const QString& item) {
        QVariantList matching;
        for (const QVariant& bid : ClientSession::bids(m_sandbox)) {
            const QString flow = bid.toMap().value("flow").toString();
            if (bid.toMap().value("item").toString() == item && (flow == "json" || flow == "html"))
                matching.append(bid);
        }
        return matching;
    }

    void controlBid(const QString& bidder, double amount) {
        m_sandbox.control("POST", "/_sandbox/bid",
                          ClientSession::json({{"item", "130000000001"}, {"bidder", bidder}, {"amount", amount}}));
    }

private slots:
    void initTestCase() {
        QVERIFY2(ClientSession::start(m_sandbox, "bids"), m_sandbox.output().constData());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void init() {
        m_sandbox.control("POST", "/_sandbox/reset");
        ClientSession::clearFaultsAndLog(m_sandbox);
        ClientSession::signOut();
        QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
        QVERIFY(ClientSession::signIn("sniper_uk", "secret", "ebay.de", 77));
        m_boxes.install();
    }

    void cleanup() { MessageRecorder::uninstall(); }

    // "reason" is the sandbox's ledger reason for the confirming request; empty when none may arrive.
    void flows_data() {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("item");
        QTest::addColumn<double>("amount");
        QTest::addColumn<Twist>("twist");
        QTest::addColumn<QString>("step1");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("reason");
        const QString blocked = "You have been blocked by the seller. Contact them.";
        QTest::newRow("json placed") << "json"
                                     << "130000000001" << 50.5 << Nothing << "Placed"
                                     << "Placed"
                                     << "placed";
        QTest::newRow("json below the minimum") << "json"
                                                << "130000000001" << 1.0 << Nothing << "Placed"
                                                << "LOW_BIDAMOUNT"
                                                << "bidTooLow";
        // The form withheld the key, so the confirming request carries an empty one and eBay's answer decides.
        QTest::newRow("json form without key") << "json"
                                               << "130000000002" << 20.0 << Nothing << "Placed"
                                               << "UNKNOWN"
                                               << "tokensWrong";
        QTest::newRow("json redirect page") << "json"
                                            << "130000000003" << 20.0 << Nothing << "Redirect"
                                            << ""
                                            << "";
        QTest::newRow("json bid error page") << "json"
                                             << "130000000004" << 20.0 << Nothing << "Redirect"
                                             << ""
                                             << "";
        QTest::newRow("json seller refuses") << "json"
                                             << "130000000006" << 20.0 << Nothing << "Placed" << blocked << "refusal";
        QTest::newRow("json ended between the steps") << "json"
                                                      << "130000000010" << 20.0 << EndAuction << "Placed"
                                                      << "AUCTION_ENDED"
                                                      << "auctionEnded";
        QTest::newRow("json signed out between the steps") << "json"
                                                           << "130000000001" << 50.0 << SignOut << "Placed"
                                                           << "SIGNIN_REQUIRED"
                                                           << "signedOut";
        QTest::newRow("html placed") << "html"
                                     << "130000000001" << 1234.5 << Nothing << "Placed"
                                     << "Placed"
                                     << "placed";
        QTest::newRow("html below the minimum") << "html"
                                                << "130000000001" << 1.0 << Nothing << "Placed"
                                                << "LOW_BIDAMOUNT"
                                                << "bidTooLow";
        QTest::newRow("html ended between the steps") << "html"
                                                      << "130000000010" << 20.0 << EndAuction << "Placed"
                                                      << "AUCTION_ENDED"
                                                      << "auctionEnded";
        QTest::newRow("html seller refuses") << "html"
                                             << "130000000006" << 20.0 << Nothing << "Placed"
                                             << "You have been blocked by the seller."
                                             << "refusal";
        QTest::newRow("html no postage to the user's address")
            << "html"
            << "130000000007" << 20.0 << Nothing << "Placed"
            << "The seller doesn't post to the country where your primary postage address is located"
            << "refusal";
        QTest::newRow("html both tokens written value first") << "html"
                                                              << "130000000008" << 20.0 << Nothing << "Placed"
                                                              << "Placed"
                                                              << "placed";
        QTest::newRow("html both tokens written name first") << "html"
                                                             << "130000000009" << 20.0 << Nothing << "Placed"
                                                             << "Placed"
                                                             << "placed";
        QTest::newRow("html user name that would rewrite the amount")
            << "html"
            << "130000000001" << 50.0 << UserRewritingAmount << "Placed"
            << "UNKNOWN"
            << "userMismatch";
    }

    void flows() {
        QFETCH(QString, flow);
        QFETCH(QString, item);
        QFETCH(double, amount);
        QFETCH(Twist, twist);
        QFETCH(QString, step1);
        QFETCH(QString, result);
        QFETCH(QString, reason);
        const bool json = flow == "json";
        const QString domain = item == "130000000010" ? "ebay.de" : "ebay.co.uk";
        ItemHelper helper;
        QSignalSpy jsonStep1(&helper, &ItemHelper::placeBidJsonStep1Finished);
        QSignalSpy htmlStep1(&helper, &ItemHelper::placeBidHtmlStep1Finished);
        QSignalSpy step2(&helper, &ItemHelper::placeBidFinished);
        QSignalSpy& firstStep = json ? jsonStep1 : htmlStep1;
        json ? helper.placeBidJsonStep1(domain, item, amount) : helper.placeBidHtmlStep1(item, amount);
        QVERIFY(firstStep.wait(10000));
        m_sandbox.control("GET", "/_sandbox/state");
        QCOMPARE(firstStep.size(), 1);
        const QVariantList tokens = firstStep.first();
        QCOMPARE(tokens.size(), json ? 5 : 4);
        QCOMPARE(tokens.at(0).toBool(), true);
        QCOMPARE(tokens.at(1).toString(), step1);
        if (step1 == "Redirect") {
            QVERIFY(tokens.at(2).toString().isEmpty());
            QVERIFY(bidsOn(item).isEmpty());
            return;
        }
        QVERIFY(!tokens.at(2).toString().isEmpty());
        QCOMPARE(tokens.at(3).toString().isEmpty(), item == "130000000002");

        if (twist == SignOut)
            ClientSession::signOut();
        else if (twist == EndAuction)
            QTRY_VERIFY_WITH_TIMEOUT(ClientSession::auctionState(m_sandbox, item).value("ended").toBool(), 10000);
        const QString user = twist == UserRewritingAmount ? "sniper_uk&maxbid=999" : "sniper_uk";
        if (json)
            helper.placeBidJsonStep2(domain, item, amount, tokens.at(2).toString(), tokens.at(3).toString(),
                                     tokens.at(4).toString());
        else
            helper.placeBidHtmlStep2(item, amount, user, tokens.at(2).toString(), tokens.at(3).toString());
        QVERIFY(step2.wait(10000));
        m_sandbox.control("GET", "/_sandbox/state");
        QCOMPARE(step2.size(), 1);
        QCOMPARE(step2.first(), (QVariantList{true, result}));

        const QVariantList received = bidsOn(item);
        QCOMPARE(received.size(), 1);
        const QVariantMap bid = received.first().toMap();
        QCOMPARE(bid.value("reason").toString(), reason);
        QCOMPARE(bid.value("amount").toDouble(), amount);
        QCOMPARE(bid.value("flow").toString(), flow);
        QCOMPARE(bid.value("accepted").toBool(), reason == "placed");
        if (twist != SignOut) {
            QCOMPARE(bid.value("bidder").toString(), QString("sniper_uk"));
            QCOMPARE(bid.value("tokensValid").toBool(), reason != "tokensWrong");
        }
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    // The relation and the My eBay bidding list follow the bids on the auction, and nothing reads as ours signed out.
    void relationAndBiddingListFollowTheBids() {
        QCOMPARE(ClientSession::relationOf("130000000001"), QString("NONE"));
        QCOMPARE(ClientSession::myEbayList(true), QStringList());
        controlBid("sniper_uk", 50);
        QCOMPARE(ClientSession::relationOf("130000000001"), QString("HIGHBIDDER"));
        QCOMPARE(ClientSession::myEbayList(true), QStringList({"130000000001"}));
        controlBid("rival1", 80);
        QCOMPARE(ClientSession::relationOf("130000000001"), QString("OUTBIDDER"));
        ClientSession::signOut();
        QCOMPARE(ClientSession::relationOf("130000000001"), QString("Unknown"));
    }
};

QTEST_MAIN(TestBidFlows)
#include "test_bidflows.moc"
