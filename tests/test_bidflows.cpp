#include "clientsession.h"
#include "itemhelper.h"
#include "messagerecorder.h"

#include <QtTest>

// Both two-step bid flows against the simulated eBay, judged by what the client reports and by the sandbox's
// ledger of bids it received: a snipe must arrive once, with its own amount and valid tokens, and every refusal
// must come back as the reason the bid task stores.
class TestBidFlows : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

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
        QVERIFY(ClientSession::signInUser());
        QVERIFY(ClientSession::signIn("sniper_uk", "secret", "ebay.de", 77));
        m_boxes.install();
    }

    void cleanup() { MessageRecorder::uninstall(); }

    // Auction n is item 13000000000n of the scenario; "twist" happens between the steps. "reason" is the sandbox's
    // ledger reason for the confirming request; empty when step 1 must already redirect and no bid may arrive.
    void flows_data() {
        for (const char* column : {"flow", "auction", "amount", "twist", "result", "reason"})
            QTest::addColumn<QString>(column);
        const QString postage = "The seller doesn't post to the country where your primary postage address is located";
        ClientSession::addRows({
            {"json placed, with cents", "json", "1", "50.5", "", "Placed", "placed"},
            {"json below the minimum", "json", "1", "1", "", "LOW_BIDAMOUNT", "bidTooLow"},
            // The form withheld the key, so the confirming request carries an empty one and eBay's answer decides.
            {"json form without key", "json", "2", "20", "", "UNKNOWN", "tokensWrong"},
            {"json redirect page", "json", "3", "20", "", "", ""},
            {"json bid error page", "json", "4", "20", "", "", ""},
            {"json ended before step 1", "json", "11", "20", "", "", ""},
            {"json seller refuses", "json", "6", "20", "", "You have been blocked by the seller. Contact them.",
             "refusal"},
            {"json ended between the steps", "json", "10", "20", "end", "AUCTION_ENDED", "auctionEnded"},
            {"json signed out between the steps", "json", "1", "50", "signOut", "SIGNIN_REQUIRED", "signedOut"},
            {"html placed, thousands and cents", "html", "1", "1234.5", "", "Placed", "placed"},
            {"html below the minimum", "html", "1", "1", "", "LOW_BIDAMOUNT", "bidTooLow"},
            {"html ended between the steps", "html", "10", "20", "end", "AUCTION_ENDED", "auctionEnded"},
            {"html seller refuses", "html", "6", "20", "", "You have been blocked by the seller.", "refusal"},
            {"html no postage to the user's address", "html", "7", "20", "", postage, "refusal"},
            {"html both tokens written value first", "html", "8", "20", "", "Placed", "placed"},
            {"html both tokens written name first", "html", "9", "20", "", "Placed", "placed"},
            {"html user name that would rewrite the amount", "html", "1", "50", "user", "UNKNOWN", "userMismatch"},
        });
    }

    void flows() {
        QFETCH(QString, flow);
        QFETCH(QString, auction);
        QFETCH(QString, amount);
        QFETCH(QString, twist);
        QFETCH(QString, result);
        QFETCH(QString, reason);
        const bool json = flow == "json";
        const QString item = QString::number(130000000000LL + auction.toInt());
        const QString domain = auction == "10" ? "ebay.de" : "ebay.co.uk";
        const double maxBid = amount.toDouble();
        ItemHelper helper;
        QSignalSpy jsonStep1(&helper, &ItemHelper::placeBidJsonStep1Finished);
        QSignalSpy htmlStep1(&helper, &ItemHelper::placeBidHtmlStep1Finished);
        QSignalSpy step2(&helper, &ItemHelper::placeBidFinished);
        QSignalSpy& step1 = json ? jsonStep1 : htmlStep1;
        json ? helper.placeBidJsonStep1(domain, item, maxBid) : helper.placeBidHtmlStep1(item, maxBid);
        ClientSession::expectOneSignal(m_sandbox, step1);
        const QVariantList tokens = step1.first();
        QCOMPARE(tokens.at(0).toBool(), true);
        QCOMPARE(tokens.at(1).toString(), QString(reason.isEmpty() ? "Redirect" : "Placed"));
        QCOMPARE(tokens.at(2).toString().isEmpty(), reason.isEmpty());
        if (reason.isEmpty()) {
            QVERIFY(ClientSession::ownBids(m_sandbox, item).isEmpty());
            return;
        }
        QCOMPARE(tokens.at(3).toString().isEmpty(), auction == "2");

        if (twist == "signOut")
            ClientSession::signOut();
        else if (twist == "end")
            QTRY_VERIFY_WITH_TIMEOUT(ClientSession::auctionState(m_sandbox, item).value("ended").toBool(), 10000);
        const QString user = twist == "user" ? "sniper_uk&maxbid=999" : "sniper_uk";
        if (json)
            helper.placeBidJsonStep2(domain, item, maxBid, tokens.at(2).toString(), tokens.at(3).toString(),
                                     tokens.at(4).toString());
        else
            helper.placeBidHtmlStep2(item, maxBid, user, tokens.at(2).toString(), tokens.at(3).toString());
        ClientSession::expectOneSignal(m_sandbox, step2);
        QCOMPARE(step2.first(), (QVariantList{true, result}));

        const QVariantList received = ClientSession::ownBids(m_sandbox, item);
        QCOMPARE(received.size(), 1);
        const QVariantMap bid = received.first().toMap();
        QCOMPARE(bid.value("reason").toString(), reason);
        QCOMPARE(bid.value("amount").toDouble(), maxBid);
        QCOMPARE(bid.value("flow").toString(), flow);
        QCOMPARE(bid.value("accepted").toBool(), reason == "placed");
        if (twist != "signOut") {
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
