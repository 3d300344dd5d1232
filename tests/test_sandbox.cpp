#include "sandboxprocess.h"
#include "test_sandboxclient.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

// tollimer-sandbox as the program meets it: a separate process reached as an HTTP proxy with absolute-form
// requests, signed in through its form, bid on through both flows, and read back through its control interface.
class TestSandbox : public QObject {
    Q_OBJECT

private:
    SandboxProcess m_sandbox;
    QScopedPointer<SandboxTestClient> m_client;

    QJsonArray ledger() { return m_sandbox.controlJson("GET", "/_sandbox/ledger").object().value("bids").toArray(); }
    QJsonArray requests() { return m_sandbox.controlJson("GET", "/_sandbox/log").object().value("requests").toArray(); }
    QJsonObject auctionState(const QString& item) {
        for (const QJsonValue& value :
             m_sandbox.controlJson("GET", "/_sandbox/state").object().value("auctions").toArray()) {
            if (value.toObject().value("itemNumber").toString() == item)
                return value.toObject();
        }
        return {};
    }
    QJsonObject json(const SandboxTestClient::Answer& answer) { return QJsonDocument::fromJson(answer.body).object(); }
    void signInUk() {
        const auto answer = m_client->signIn("ebay.co.uk", "sniper_uk", "s3cret+/=");
        QVERIFY2(answer.text().contains("Welcome"), qPrintable(answer.text()));
    }

private slots:
    void init() {
        QVERIFY2(m_sandbox.start({"--scenario", SandboxProcess::scenarioPath("tests")}),
                 m_sandbox.output().constData());
        m_client.reset(new SandboxTestClient(m_sandbox.port()));
    }

    void cleanup() {
        m_client.reset();
        m_sandbox.stop();
    }

    // The one the issue asks for: sign in, then both flows end to end through the proxy, read back from the ledger.
    void bothFlowsPlaceBidsRecordedInLedger() {
        signInUk();
        SandboxTestClient::Answer step1;
        const auto jsonTokens = m_client->quickBidStep1("ebay.co.uk", "100000000001", "5.00", &step1);
        QVERIFY(!jsonTokens.stok.isEmpty() && !jsonTokens.key.isEmpty() && !jsonTokens.uiid.isEmpty());
        const auto confirm = m_client->quickBidStep2("ebay.co.uk", "100000000001", "5.00", jsonTokens);
        QCOMPARE(json(confirm).value("Status").toString(), QString("CONFIRMBID"));

        SandboxTestClient::Answer form;
        const auto htmlTokens = m_client->makeBidStep1("100000000009", "30.00", &form);
        // The page's own form names the user, so a browser submitting it bids as the signed-in user.
        QCOMPARE(SandboxTestClient::inputValue(form.text(), "user"), QString("sniper_uk"));
        QVERIFY(!htmlTokens.stok.isEmpty() && !htmlTokens.uiid.isEmpty());
        const auto page = m_client->makeBidStep2("100000000009", "30.00", htmlTokens, "sniper_uk");
        QVERIFY2(page.text().contains("Bid Confirmation"), qPrintable(page.text()));

        const QJsonArray bids = ledger();
        QJsonObject jsonBid;
        QJsonObject htmlBid;
        for (const QJsonValue& value : bids) {
            if (value.toObject().value("flow").toString() == "json")
                jsonBid = value.toObject();
            if (value.toObject().value("flow").toString() == "html")
                htmlBid = value.toObject();
        }
        QCOMPARE(jsonBid.value("item").toString(), QString("100000000001"));
        QCOMPARE(jsonBid.value("bidder").toString(), QString("sniper_uk"));
        QCOMPARE(jsonBid.value("amount").toDouble(), 5.0);
        QCOMPARE(jsonBid.value("amountText").toString(), QString("5.00"));
        QCOMPARE(jsonBid.value("currency").toString(), QString("GBP"));
        QVERIFY(jsonBid.value("tokensValid").toBool());
        QVERIFY(jsonBid.value("accepted").toBool());
        QCOMPARE(htmlBid.value("item").toString(), QString("100000000009"));
        QVERIFY(htmlBid.value("tokensValid").toBool());
        QVERIFY(htmlBid.value("accepted").toBool());
        // Over the rival's 20.00 by one increment.
        QCOMPARE(auctionState("100000000009").value("currentPrice").toDouble(), 20.5);
        QCOMPARE(auctionState("100000000009").value("highBidder").toString(), QString("sniper_uk"));
    }

    void ebayTimeFollowsTheSandboxClock() {
        QVERIFY(m_sandbox.control("POST", "/_sandbox/clock", R"({"offsetMs": 3600000})").contains("true"));
        const auto answer = m_client->get("http://open.api.ebay.com/shopping?callname=GeteBayTime&responseencoding=JSON"
                                          "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=0&version=721");
        const QString stamp = json(answer).value("Timestamp").toString();
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$").match(stamp).hasMatch(),
                 qPrintable(stamp));
        const QDateTime ebay = QDateTime::fromString(stamp.left(19), "yyyy-MM-ddThh:mm:ss");
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        const qint64 aheadSeconds = QDateTime(utc.date(), utc.time()).secsTo(ebay);
        QVERIFY2(aheadSeconds >= 3590 && aheadSeconds <= 3610, qPrintable(QString::number(aheadSeconds)));
        QCOMPARE(json(answer).value("Ack").toString(), QString("Success"));
    }

    void getMultipleItemsReportsItemsAndUnknownNumbers() {
        const auto answer =
            m_client->get("http://open.api.ebay.com/shopping?callname=GetMultipleItems&responseencoding=JSON"
                          "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=3&version=705&IncludeSelector=Details"
                          "&ItemID=100000000001,111,100000000002,100000000003,222");
        const QJsonObject root = json(answer);
        QVERIFY(root.value("Ack").toString() != "Success");
        const QJsonObject error = root.value("Errors").toArray().first().toObject();
        QCOMPARE(error.value("ErrorParameters").toArray().first().toObject().value("Value").toString(),
                 QString("111,222"));
        QHash<QString, QJsonObject> items;
        for (const QJsonValue& value : root.value("Item").toArray())
            items.insert(value.toObject().value("ItemID").toString(), value.toObject());
        QCOMPARE(items.size(), 3);
        const QJsonObject one = items.value("100000000001");
        QCOMPARE(one.value("ListingType").toString(), QString("Chinese"));
        QCOMPARE(one.value("CurrentPrice").toObject().value("CurrencyID").toString(), QString("GBP"));
        QCOMPARE(one.value("MinimumToBid").toObject().value("Value").toDouble(), 1.0);
        QCOMPARE(one.value("Seller").toObject().value("FeedbackScore").toInt(), 1520);
        QCOMPARE(one.value("Seller").toObject().value("PositiveFeedbackPercent").toDouble(), 99.7);
        QVERIFY(!one.contains("ReserveMet"));
        QVERIFY(one.value("EndTime").toString() > root.value("Timestamp").toString());
        QCOMPARE(items.value("100000000002").value("ReserveMet").toBool(true), false);
        QCOMPARE(items.value("100000000003").value("ListingType").toString(), QString("FixedPriceItem"));

        const auto allUnknown = m_client->get(
            "http://open.api.ebay.com/shopping?callname=GetMultipleItems&responseencoding=JSON"
            "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=3&version=705&IncludeSelector=Details&ItemID=5");
        QCOMPARE(json(allUnknown).value("Ack").toString(), QString("Failure"));
        QVERIFY(!json(allUnknown).contains("Item"));
    }

    void wrongApplicationIdIsRefused() {
        const auto answer = m_client->get("http://open.api.ebay.com/shopping?callname=GetMultipleItems"
                                          "&responseencoding=JSON&appid=someone-else&siteid=3&version=705"
                                          "&IncludeSelector=Details&ItemID=100000000001");
        QCOMPARE(json(answer).value("Ack").toString(), QString("Failure"));
        QVERIFY(!json(answer).contains("Item"));
        QVERIFY(json(answer).contains("Timestamp"));
    }

    void signInSetsSessionCookieOnlyForGoodCredentials_data() {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("good");
        QTest::newRow("uk") << "ebay.co.uk"
                            << "sniper_uk"
                            << "s3cret+/=" << true;
        QTest::newRow("user id in other case") << "ebay.co.uk"
                                               << "SNIPER_UK"
                                               << "s3cret+/=" << true;
        QTest::newRow("germany") << "ebay.de"
                                 << "sniper_uk"
                                 << "s3cret+/=" << true;
        QTest::newRow("wrong password") << "ebay.co.uk"
                                        << "sniper_uk"
                                        << "s3cret" << false;
        QTest::newRow("password in other case") << "ebay.co.uk"
                                                << "sniper_uk"
                                                << "S3CRET+/=" << false;
        QTest::newRow("unknown user") << "ebay.co.uk"
                                      << "nobody"
                                      << "s3cret+/=" << false;
    }

    void signInSetsSessionCookieOnlyForGoodCredentials() {
        QFETCH(QString, domain);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, good);
        const auto answer = m_client->signIn(domain, user, password);
        QCOMPARE(answer.text().contains("Your user ID or password is incorrect."), !good);
        QCOMPARE(answer.text().contains("<h1>Welcome</h1>"), good);
        bool sessionCookie = false;
        for (const QByteArray& cookie : answer.setCookies) {
            if (cookie.startsWith("ebay_sid=")) {
                sessionCookie = true;
                QVERIFY2(cookie.contains("Domain=." + domain.toLatin1()), cookie.constData());
                QVERIFY(cookie.contains("Path=/"));
            }
        }
        QCOMPARE(sessionCookie, good);
    }

    void signInPageIsARealFormWithFreshHiddenValues() {
        const auto first = m_client->get("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn");
        const auto second = m_client->get("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn");
        QVERIFY(first.text().contains("<form"));
        QVERIFY(first.text().contains("action=\"/ws/eBayISAPI.dll?co_partnerId=2&amp;siteid=3&amp;UsingSSL=1\""));
        for (const char* name : {"userid", "pass", "mid", "srt", "runId2"})
            QVERIFY2(first.text().contains(QString("name=\"%1\"").arg(name)), name);
        const QString srt = SandboxTestClient::inputValue(first.text(), "srt");
        QVERIFY(srt.contains('+') && srt.contains('/') && srt.contains('='));
        QVERIFY(srt != SandboxTestClient::inputValue(second.text(), "srt"));
        QVERIFY(!first.setCookies.isEmpty());
        const auto german = m_client->get("http://signin.ebay.de/ws/eBayISAPI.dll?SignIn");
        QVERIFY(german.text().contains("action=\"/ws/eBayISAPI.dll?co_partnerId=2&amp;siteid=77&amp;UsingSSL=1\""));
        QVERIFY(german.setCookies.first().contains("Domain=.ebay.de"));
    }

    void signInWithUnissuedSrtFails() {
        m_client->get("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn");
        // A bare "+" becomes a space on the way, so a form that forgot to encode srt does not sign in.
        const auto page = m_client->get("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn");
        const QString srt = SandboxTestClient::inputValue(page.text(), "srt");
        const auto answer =
            m_client->post("http://signin.ebay.co.uk/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1",
                           ("userid=sniper_uk&pass=s3cret%2B%2F%3D&srt=" + srt).toLatin1());
        QVERIFY(answer.text().contains("Your user ID or password is incorrect."));
    }

    void confirmingRequestChecksTokens_data() {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        for (const QString flow : {"json", "html"}) {
            QTest::addRow("%s wrong stok", qPrintable(flow)) << flow << "wrongStok"
                                                             << "tokensWrong";
            QTest::addRow("%s plus unencoded", qPrintable(flow)) << flow << "unencoded"
                                                                 << "tokensWrong";
            QTest::addRow("%s used twice", qPrintable(flow)) << flow << "reuse"
                                                             << "tokensReused";
            QTest::addRow("%s no first step", qPrintable(flow)) << flow << "noStep1"
                                                                << "tokensNotIssued";
            QTest::addRow("%s other item", qPrintable(flow)) << flow << "otherItem"
                                                             << "tokensNotIssued";
        }
        QTest::newRow("json wrong key") << "json"
                                        << "wrongKey"
                                        << "tokensWrong";
    }

    void confirmingRequestChecksTokens() {
        QFETCH(QString, flow);
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        signInUk();
        const bool json = flow == "json";
        const QString item = "100000000001";
        SandboxTestClient::Tokens tokens;
        if (damage != "noStep1")
            tokens = json ? m_client->quickBidStep1("ebay.co.uk", item, "5.00") : m_client->makeBidStep1(item, "5.00");
        auto confirm = [&](const QString& target, const SandboxTestClient::Tokens& offered) {
            if (json)
                return m_client->quickBidStep2("ebay.co.uk", target, "5.00", offered);
            return m_client->makeBidStep2(target, "5.00", offered, "sniper_uk");
        };
        SandboxTestClient::Answer answer;
        if (damage == "wrongStok") {
            tokens.stok = "AAAA" + tokens.stok.mid(4);
        } else if (damage == "wrongKey") {
            tokens.key = "AAAA" + tokens.key.mid(4);
        } else if (damage == "reuse") {
            confirm(item, tokens);
        }
        if (damage == "otherItem") {
            answer = confirm("100000000009", tokens);
        } else if (damage == "unencoded") {
            const QString base = json ? "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MakeQuickBid&mode=1&flow=bm&item=%1"
                                        "&maxbid=5.00&stok=%2&key=%3&uiid=%4&f=json"
                                      : "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&hmid=&item=%1"
                                        "&maxbid=5.00&javascriptenabled=1&stok=%2&mid=&mode=1&quant=1&uiid=%4"
                                        "&user=sniper_uk%3";
            answer = m_client->get(base.arg(item, tokens.stok, json ? tokens.key : QString(), tokens.uiid));
        } else {
            answer = confirm(item, tokens);
        }
        const QJsonObject last = ledger().last().toObject();
        QCOMPARE(last.value("reason").toString(), reason);
        QVERIFY(!last.value("tokensValid").toBool());
        QVERIFY(!last.value("accepted").toBool());
        if (json)
            QVERIFY(QJsonDocument::fromJson(answer.body).object().value("Status").toString() != "CONFIRMBID");
        else
            QVERIFY(!answer.text().contains("bid confirmation", Qt::CaseInsensitive));
    }

    void answerClassesOfTheJsonFlow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("maxbid");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("debugError");
        QTest::addColumn<QString>("reason");
        QTest::newRow("placed") << "100000000001"
                                << "7.00" << true << ""
                                << ""
                                << "placed";
        QTest::newRow("too low") << "100000000009"
                                 << "1.00" << true << "LOW_BIDAMOUNT"
                                 << ""
                                 << "bidTooLow";
        QTest::newRow("refusal") << "100000000004"
                                 << "7.00" << true << "You are blocked from bidding on this seller's items."
                                 << ""
                                 << "refusal";
        QTest::newRow("signed out") << "100000000001"
                                    << "7.00" << false << "REDIRECT"
                                    << "SIGNIN_REQUIRED"
                                    << "signedOut";
        QTest::newRow("amount with comma") << "100000000001"
                                           << "1,234.00" << true << "INVALID_BIDAMOUNT"
                                           << ""
                                           << "badAmount";
    }

    void answerClassesOfTheJsonFlow() {
        QFETCH(QString, item);
        QFETCH(QString, maxbid);
        QFETCH(bool, signedIn);
        QFETCH(QString, error);
        QFETCH(QString, debugError);
        QFETCH(QString, reason);
        if (signedIn)
            signInUk();
        const auto tokens = m_client->quickBidStep1("ebay.co.uk", item, maxbid);
        const QJsonObject answer = json(m_client->quickBidStep2("ebay.co.uk", item, maxbid, tokens));
        QCOMPARE(answer.value("Status").toString() == "CONFIRMBID", error.isEmpty());
        QCOMPARE(answer.value("Error").toString(), error);
        QCOMPARE(answer.value("DebugError").toArray().first().toString(), debugError);
        QCOMPARE(ledger().last().toObject().value("reason").toString(), reason);
    }

    void answerClassesOfTheHtmlFlow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("maxbid");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("reason");
        QTest::newRow("placed") << "100000000001"
                                << "7.00" << true << "sniper_uk"
                                << "bid confirmation"
                                << "placed";
        QTest::newRow("placed but outbid") << "100000000009"
                                           << "15.00" << true << "sniper_uk"
                                           << "bid confirmation"
                                           << "placed";
        QTest::newRow("too low") << "100000000009"
                                 << "1.00" << true << "sniper_uk"
                                 << "enter.*(more than|or more)"
                                 << "bidTooLow";
        QTest::newRow("refusal") << "100000000004"
                                 << "7.00" << true << "sniper_uk"
                                 << "You are unable to bid on or buy this item because:.+You are blocked"
                                 << "refusal";
        QTest::newRow("postage") << "100000000005"
                                 << "7.00" << true << "sniper_uk"
                                 << "primary postage address"
                                 << "refusal";
        QTest::newRow("wrong user") << "100000000001"
                                    << "7.00" << true << "other_user"
                                    << "problem"
                                    << "userMismatch";
        QTest::newRow("signed out") << "100000000001"
                                    << "7.00" << false << "sniper_uk"
                                    << "Sign in"
                                    << "signedOut";
    }

    void answerClassesOfTheHtmlFlow() {
        QFETCH(QString, item);
        QFETCH(QString, maxbid);
        QFETCH(bool, signedIn);
        QFETCH(QString, user);
        QFETCH(QString, pattern);
        QFETCH(QString, reason);
        if (signedIn)
            signInUk();
        const auto tokens = m_client->makeBidStep1(item, maxbid);
        const QString page = m_client->makeBidStep2(item, maxbid, tokens, user).text();
        QVERIFY2(QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption).match(page).hasMatch(),
                 qPrintable(page));
        QCOMPARE(ledger().last().toObject().value("reason").toString(), reason);
    }

    void bidAfterTheEndIsRefusedAsEnded() {
        signInUk();
        const QByteArray scenario = R"({"users":[{"username":"sniper_uk","password":"s3cret+/="}],
            "auctions":[{"itemNumber":"300000000001","startPrice":1.0,"endsInSeconds":1}]})";
        QVERIFY(m_sandbox.control("POST", "/_sandbox/scenario", scenario).contains("true"));
        signInUk();
        const auto jsonTokens = m_client->quickBidStep1("ebay.co.uk", "300000000001", "9.00");
        const auto htmlTokens = m_client->makeBidStep1("300000000001", "9.00");
        QVERIFY(!jsonTokens.stok.isEmpty() && !htmlTokens.stok.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(auctionState("300000000001").value("ended").toBool(), 5000);
        const QJsonObject answer = json(m_client->quickBidStep2("ebay.co.uk", "300000000001", "9.00", jsonTokens));
        QCOMPARE(answer.value("DebugError").toArray().first().toString(), QString("AUCTION_ENDED"));
        const QString page = m_client->makeBidStep2("300000000001", "9.00", htmlTokens, "sniper_uk").text();
        QVERIFY(page.contains("Bidding has ended"));
        for (const QJsonValue& value : ledger()) {
            QCOMPARE(value.toObject().value("reason").toString(), QString("auctionEnded"));
            QVERIFY(value.toObject().value("msBeforeEnd").toDouble() <= 0.0);
        }
    }

    void scriptedRivalsBidAtTheirMomentAndReserveShows() {
        const QByteArray scenario = R"({"auctions":[{"itemNumber":"300000000002","startPrice":10.0,"reserve":40.0,
            "endsInSeconds":600,"bids":[{"bidder":"rival","amount":30.0,"atSeconds":0.3},
                                        {"bidder":"rival2","amount":45.0,"atSeconds":0.6}]}]})";
        QVERIFY(m_sandbox.control("POST", "/_sandbox/scenario", scenario).contains("true"));
        const QString url = "http://open.api.ebay.com/shopping?callname=GetMultipleItems&responseencoding=JSON"
                            "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=3&version=705"
                            "&IncludeSelector=Details&ItemID=300000000002";
        auto item = [&]() { return json(m_client->get(url)).value("Item").toArray().first().toObject(); };
        QCOMPARE(item().value("BidCount").toInt(), 0);
        QCOMPARE(item().value("ReserveMet").toBool(true), false);
        QTRY_COMPARE_WITH_TIMEOUT(item().value("BidCount").toInt(), 2, 5000);
        QCOMPARE(item().value("ReserveMet").toBool(), true);
        QCOMPARE(item().value("CurrentPrice").toObject().value("Value").toDouble(), 40.0);
        QCOMPARE(item().value("MinimumToBid").toObject().value("Value").toDouble(), 41.0);
        const QJsonArray bids = ledger();
        QCOMPARE(bids.size(), 2);
        QVERIFY(bids.at(1).toObject().value("timeMs").toDouble() - bids.at(0).toObject().value("timeMs").toDouble() >
                250.0);
    }

    void quickBidFirstStepAnswers_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("marker");
        QTest::newRow("form") << "100000000001" << true << "name=\"stok\" value=\"";
        QTest::newRow("redirect") << "100000000007" << true << "window.parent.location";
        QTest::newRow("bid error") << "100000000008" << true << "PageViewBids_MakeBidError\"";
        QTest::newRow("ended") << "100000000006" << true << "PageViewBids_MakeBidError\"";
        QTest::newRow("signed out") << "100000000001" << false << "window.parent.location";
    }

    void quickBidFirstStepAnswers() {
        QFETCH(QString, item);
        QFETCH(bool, signedIn);
        QFETCH(QString, marker);
        if (signedIn)
            signInUk();
        SandboxTestClient::Answer answer;
        m_client->quickBidStep1("ebay.co.uk", item, "5.00", &answer);
        QVERIFY2(answer.text().contains(marker), qPrintable(answer.text()));
    }

    void relationFollowsTheUsersBids() {
        const QString url = "http://cgi.ebay.co.uk/ws/eBayISAPI.dll?ViewItemLite&item=%1&dl=5";
        auto relation = [&](const QString& item) {
            const QJsonObject inner = json(m_client->get(url.arg(item))).value("ViewItemLiteResponse").toObject();
            if (inner.contains("Error"))
                return QString("Error");
            return inner.value("Item").toArray().first().toObject().value("ViewerItemRelation").toString();
        };
        QCOMPARE(relation("100000000001"), QString("Error"));
        signInUk();
        QCOMPARE(relation("100000000001"), QString("NONE"));
        QCOMPARE(relation("999"), QString("Error"));
        const auto tokens = m_client->quickBidStep1("ebay.co.uk", "100000000001", "10.00");
        m_client->quickBidStep2("ebay.co.uk", "100000000001", "10.00", tokens);
        QCOMPARE(relation("100000000001"), QString("HIGHBIDDER"));
        QVERIFY(m_sandbox.control("POST", "/_sandbox/bid", R"({"item":"100000000001","bidder":"rival","amount":12})")
                    .contains("\"accepted\":true"));
        QCOMPARE(relation("100000000001"), QString("OUTBIDDER"));
    }

    void itemPageCarriesOneShippingMarkupAndTheItemNumber_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("markup");
        QTest::newRow("1") << "100000000001"
                           << "<span id=\"fshippingCost\" class=\"notranslate sh-cst \"><span>£3.50</span>";
        QTest::newRow("2") << "100000000002"
                           << "<span id=\"fshippingCost\" class=\"notranslate sh-fr-cst \"><span>FREE</span>";
        QTest::newRow("3") << "100000000003"
                           << "<div class=\"sh-ShipDtls sh_Prcpad\">£6.00</div>";
        QTest::newRow("4") << "100000000004"
                           << "<span class=\"vi-is1-sh-srvcCost vi-is1-hideElem vi-is1-showElem\">4.99 GBP</span>";
        QTest::newRow("none") << "100000000005"
                              << "";
    }

    void itemPageCarriesOneShippingMarkupAndTheItemNumber() {
        QFETCH(QString, item);
        QFETCH(QString, markup);
        const QString page = m_client->get("http://cgi.ebay.co.uk/ws/eBayISAPI.dll?ViewItem&item=" + item).text();
        const QStringList starts{"sh-cst \"><span>", "sh-fr-cst \"><span>", "sh-ShipDtls sh_Prcpad\">",
                                 "vi-is1-showElem\">"};
        int found = 0;
        for (const QString& start : starts)
            found += page.count(start);
        QCOMPARE(found, markup.isEmpty() ? 0 : 1);
        QVERIFY(page.contains(markup));
        QVERIFY(page.contains("<div class=\"u-flL iti-act-num\">" + item + "</div>"));
        QVERIFY(page.contains("Item number:</div><div class=\"u-flL\">" + item + "</div>"));
    }

    void myEbayListsNeedSessionAndFollowPageSize() {
        const QString watching =
            "http://my.ebay.co.uk/ws/eBayISAPI.dll?MyEbayBeta&WatchingNext.Filter=All&GotoPage=1"
            "&View=WatchingNext&Column=EndTime&NewFilter=All&CurrentPage=MyeBayNextWatching"
            "&ssPageName=STRK:MEWAX:PRINT&StoreCatFilter=0&print=true&cid=240&FormatFilter=AllFormat";
        const QString bidding =
            "http://my.ebay.co.uk/ws/eBayISAPI.dll?MyEbayBeta&View=BiddingNext&Column=EndTime"
            "&NewFilter=All&BiddingNext.Filter=All&CurrentPage=MyeBayNextBidding"
            "&ssPageName=STRK:MEBIDX:PRINT&StoreCatFilter=0&print=true&cid=312&FormatFilter=AllFormat";
        const QString pageSize =
            "http://my.ebay.co.uk/ws/eBayISAPI.dll?MyEbayBeta&CurrentPage=MyeBayNextWatching"
            "&SubmitAction.ItemsPerPageSave=x&CustomizedContainer=240&ItemsPerPage=200"
            "&ViewMYEBAY_NEXT_CONTAINER_CUSTOMIZE&ssPageName=STRK:MEWAX:COUNT:200&View=WatchingNext";
        const QRegularExpression link("href=\"http://www\\.ebay\\.co\\.uk/itm/(\\d+)\\?");
        auto numbers = [&](const QString& url) {
            QStringList found;
            auto it = link.globalMatch(m_client->get(url).text());
            while (it.hasNext())
                found << it.next().captured(1);
            return found;
        };
        QVERIFY(numbers(watching).isEmpty());
        signInUk();
        QCOMPARE(numbers(watching), QStringList({"100000000001", "100000000002", "100000000003"}));
        QVERIFY(numbers(bidding).isEmpty());
        const auto tokens = m_client->quickBidStep1("ebay.co.uk", "100000000009", "30.00");
        m_client->quickBidStep2("ebay.co.uk", "100000000009", "30.00", tokens);
        QCOMPARE(numbers(bidding), QStringList({"100000000009"}));

        // With eBay's default page size only 25 watched items show; the page-size request lifts it.
        QJsonArray watched;
        QJsonArray auctions;
        for (int i = 0; i < 30; ++i) {
            const QString number = QString::number(400000000000LL + i);
            watched.append(number);
            auctions.append(QJsonObject{{"itemNumber", number}, {"startPrice", 1.0}, {"endsInSeconds", 600}});
        }
        const QJsonObject scenario{
            {"users",
             QJsonArray{QJsonObject{{"username", "sniper_uk"}, {"password", "s3cret+/="}, {"watching", watched}}}},
            {"auctions", auctions}};
        m_sandbox.control("POST", "/_sandbox/scenario", QJsonDocument(scenario).toJson());
        signInUk();
        QCOMPARE(numbers(watching).size(), 25);
        m_client->get(pageSize);
        QCOMPARE(numbers(watching).size(), 30);
    }

    void versionHomeAndPictureAnswer() {
        QVERIFY(m_client->get("http://www.tollimer.com/version.xml")
                    .text()
                    .contains("<Tollimer4Ver>4.2.1.0</Tollimer4Ver>"));
        const QString home = m_client->get("http://www.ebay.de/").text();
        QVERIFY(home.contains("http://cgi.ebay.de/ws/eBayISAPI.dll?ViewItem&amp;item=220000000001"));
        const auto picture = m_client->get("http://i.ebayimg.com/pict/100000000001.jpg");
        QCOMPARE(picture.status, 200);
        QVERIFY(picture.body.startsWith("BM"));
        QCOMPARE(m_client->get("http://i.ebayimg.com/pict/1.jpg").status, 404);
    }

    void faultsApplyPerEndpointAndCount() {
        const QString time = "http://open.api.ebay.com/shopping?callname=GeteBayTime&responseencoding=JSON"
                             "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=0&version=721";
        const QString home = "http://www.ebay.co.uk/";
        QVERIFY(m_sandbox.control("POST", "/_sandbox/fault", R"({"endpoint":"GeteBayTime","status":503,"times":1})")
                    .contains("true"));
        QCOMPARE(m_client->get(time).status, 503);
        QCOMPARE(m_client->get(time).status, 200);

        // The network access manager silently retries a GET once when a kept-alive connection closes, so a drop
        // is seen only while it lasts.
        m_sandbox.control("POST", "/_sandbox/fault", R"({"endpoint":"GeteBayTime","drop":true})");
        QCOMPARE(m_client->get(time).error, QNetworkReply::RemoteHostClosedError);
        m_sandbox.control("DELETE", "/_sandbox/fault");
        QCOMPARE(m_client->get(time).error, QNetworkReply::NoError);

        m_sandbox.control("POST", "/_sandbox/fault", R"({"endpoint":"GeteBayTime","malformed":true})");
        QJsonParseError parseError;
        QJsonDocument::fromJson(m_client->get(time).body, &parseError);
        QVERIFY(parseError.error != QJsonParseError::NoError);
        QCOMPARE(m_client->get(home).status, 200);

        m_sandbox.control("POST", "/_sandbox/fault", R"({"endpoint":"*","latencyMs":300})");
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(m_client->get(home).status, 200);
        QVERIFY(timer.elapsed() >= 290);

        QVERIFY(m_sandbox.control("DELETE", "/_sandbox/fault").contains("true"));
        QVERIFY(!json(m_client->get(time)).isEmpty());
        int status = 0;
        m_sandbox.control("POST", "/_sandbox/fault", R"({"latencyMs":5})", &status);
        QCOMPARE(status, 400);
    }

    void logRecordsEveryRequestInArrivalOrder() {
        QVERIFY(m_sandbox.control("DELETE", "/_sandbox/log").contains("true"));
        signInUk();
        m_client->get("http://cgi.ebay.co.uk/ws/eBayISAPI.dll?ViewItem&item=100000000001");
        m_client->get("http://nowhere.example/nothing");
        const QJsonArray log = requests();
        QCOMPARE(log.size(), 4);
        const QStringList endpoints{"SignInPage", "SignInPost", "ViewItem", "Unknown"};
        double previous = 0.0;
        for (int i = 0; i < log.size(); ++i) {
            const QJsonObject entry = log.at(i).toObject();
            QCOMPARE(entry.value("endpoint").toString(), endpoints.at(i));
            QVERIFY(entry.value("timeMs").toDouble() >= previous);
            previous = entry.value("timeMs").toDouble();
        }
        const QJsonObject post = log.at(1).toObject();
        QCOMPARE(post.value("method").toString(), QString("POST"));
        QCOMPARE(post.value("host").toString(), QString("signin.ebay.co.uk"));
        QCOMPARE(post.value("url").toString(),
                 QString("http://signin.ebay.co.uk/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1"));
        QVERIFY(post.value("body").toString().contains("pass=s3cret%2B%2F%3D"));
        QCOMPARE(post.value("headers").toObject().value("Content-Type").toString(),
                 QString("application/x-www-form-urlencoded"));
        QVERIFY(post.value("headers").toObject().value("Cookie").toString().contains("ebay_presid="));
        // The network access manager keeps its proxy connection to a host open between requests.
        QCOMPARE(log.at(1).toObject().value("connection").toInt(), log.at(0).toObject().value("connection").toInt());
        const double now = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(previous > now - 60000 && previous <= now + 1000);
    }

    void quitWritesLogAndLedgerFile() {
        m_sandbox.stop();
        QTemporaryDir dir;
        const QString path = dir.filePath("records.json");
        QVERIFY(m_sandbox.start({"--scenario", SandboxProcess::scenarioPath("tests"), "--log-file", path}));
        SandboxTestClient client(m_sandbox.port());
        client.get("http://www.ebay.co.uk/");
        m_sandbox.control("POST", "/_sandbox/bid", R"({"item":"100000000001","bidder":"rival","amount":3})");
        m_sandbox.control("POST", "/_sandbox/quit");
        QTRY_VERIFY(!m_sandbox.isRunning());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(root.value("requests").toArray().size(), 1);
        QCOMPARE(root.value("bids").toArray().last().toObject().value("flow").toString(), QString("control"));
    }

    void terminationWritesLogFile() {
        m_sandbox.stop();
        QTemporaryDir dir;
        const QString path = dir.filePath("records.json");
        QVERIFY(m_sandbox.start({"--scenario", SandboxProcess::scenarioPath("tests"), "--log-file", path}));
        SandboxTestClient(m_sandbox.port()).get("http://www.ebay.co.uk/");
        m_sandbox.stop();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).object().value("requests").toArray().size(), 1);
    }

    void resetRestartsTheScenario() {
        QVERIFY(m_sandbox.control("POST", "/_sandbox/bid", R"({"item":"100000000001","bidder":"rival","amount":3})")
                    .contains("\"accepted\":true"));
        QCOMPARE(auctionState("100000000001").value("bidCount").toInt(), 1);
        QVERIFY(m_sandbox.control("POST", "/_sandbox/reset").contains("true"));
        QCOMPARE(auctionState("100000000001").value("bidCount").toInt(), 0);
        // Scripted bids start over too.
        QCOMPARE(auctionState("100000000009").value("highBidder").toString(), QString("rival"));
        int status = 0;
        m_sandbox.control("POST", "/_sandbox/scenario", "{\"auctions\":[{\"itemNumber\":\"x\"}]}", &status);
        QCOMPARE(status, 400);
    }

    void httpsTunnelIsRefused() {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_sandbox.port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write("CONNECT signin.ebay.co.uk:443 HTTP/1.1\r\nHost: signin.ebay.co.uk:443\r\n\r\n");
        QByteArray answer;
        while (!answer.contains("use http") && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        QVERIFY2(answer.startsWith("HTTP/1.1 501"), answer.constData());
        QVERIFY(answer.contains("use http"));
        const QJsonObject entry = requests().last().toObject();
        QCOMPARE(entry.value("method").toString(), QString("CONNECT"));
        QCOMPARE(entry.value("host").toString(), QString("signin.ebay.co.uk"));
        QCOMPARE(entry.value("url").toString(), QString("signin.ebay.co.uk:443"));
    }
};

QTEST_GUILESS_MAIN(TestSandbox)
#include "test_sandbox.moc"
