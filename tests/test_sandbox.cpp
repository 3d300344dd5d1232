#include "sandboxauction.h"
#include "sandboxclock.h"
#include "sandboxhttpparser.h"
#include "sandboxhttpresponse.h"
#include "sandboxmarket.h"
#include "sandboxprocess.h"
#include "sandboxrecorder.h"
#include "sandboxserver.h"
#include "sandboxsite.h"
#include "testrow.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrl>
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

// A script sent at once, the final reply codes expected, and of the last mail kept its recipients joined by ","
// (empty: no mail kept), subject and text.
struct Dialogue {
    QByteArray script;
    QString codes, recipients = {}, subject = {}, text = {};
};
Q_DECLARE_METATYPE(Dialogue)

// One confirming request of either flow, made after its tokens were issued: the damage done to them (or to the
// session or amount), what it answers ("Error|DebugError" for JSON, a page pattern for HTML) and the ledger's reason.
struct TokenCase {
    bool json;
    QString damage, expected, reason, maxbid = "5.00";
};
Q_DECLARE_METATYPE(TokenCase)

// The simulated eBay, which the program's tests are only as right as. Proxy bidding as eBay runs it: what the high
// bidder pays, what the next bid must be, who wins a tie, what a reserve does. Its own HTTP: what a proxy client puts
// on the wire must come out as the same request, and the answers must keep the connection usable the way the
// program's access managers expect. Its mail side, as the demo and the end-to-end test hold it: a client's dialogue
// must be answered with the codes a real server gives, and what it sent must be kept exactly (envelope, sign-in,
// unstuffed text). Its guard on bid tokens, which the client never breaks on purpose: tokens damaged, sent unencoded,
// used twice, never issued or issued for another item must be refused and ledgered with the reason; the client and
// bid-flow tests walk sign-in, lists and well-formed bids end to end.
class TestSandbox : public QObject {
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

    // A raw client of an in-process server, so it reads through the event loop, never by blocking waits.
    struct RawClient {
        QTcpSocket socket;
        QByteArray received;
        explicit RawClient(quint16 port) {
            QObject::connect(&socket, &QTcpSocket::readyRead, [this]() { received += socket.readAll(); });
            socket.connectToHost(QHostAddress::LocalHost, port);
        }
        bool sendUntilClosed(const QByteArray& wire) {
            socket.write(wire);
            return QTest::qWaitFor([this]() { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
        }
    };

    static bool listen(SandboxServer* server) {
        server->loadScenario(SandboxScenario());
        return server->listen(0);
    }

    // Sends a whole SMTP script at once (the server answers line by line, so this is pipelining) and collects the
    // final line of every reply; on a time-out the caller sees the replies that did arrive.
    static QStringList converse(quint16 port, const QByteArray& script, int replies) {
        RawClient client(port);
        client.socket.write(script);
        QStringList codes;
        (void)QTest::qWaitFor(
            [&]() {
                codes.clear();
                for (const QByteArray& line : client.received.split('\n')) {
                    if (line.size() >= 4 && line.at(3) == ' ')
                        codes.append(QString::fromLatin1(line.left(3)));
                }
                return codes.size() >= replies;
            },
            10000);
        return codes;
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
        // Under the reserve the high bidder keeps the relation, but at the end nobody wins.
        QCOMPARE(auction.relation(row.high), QString(row.high.isEmpty() ? "NONE" : "HIGHBIDDER"));
        QCOMPARE(auction.winner(999.0), QString());
        QCOMPARE(auction.winner(1000.0), row.price >= row.reserve ? row.high : QString());
    }

    void fixedPriceRefuses() {
        SandboxAuction fixed(listing(45.0, -1.0, "FixedPriceItem"), 0.0, 1000.0);
        QCOMPARE(fixed.placeBid("a", 5000, 1.0).outcome, SandboxAuction::Outcome::NotAuction);
        QCOMPARE(fixed.bidCount(), 0);
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
        QCOMPARE(recorder.ledgerJson().value("bids").toArray().at(0)["flow"].toString(), QString("scenario"));
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

    // How the bytes are cut into reads is the parser's fuzz target's property, and the bid requests' tokens are read
    // through it below; here the rest of what requests read as.
    void parsesPipelinedRequests() {
        const QByteArray wire =
            "GET http://offer.ebay.de/ws/eBayISAPI.dll?MakeQuickBid&mode=0&uiid=%C2%A33.50&mid=#frag HTTP/1.1\r\n"
            "Host: offer.ebay.de\r\nProxy-Connection: keep-alive\r\n\r\n"
            "POST http://signin.ebay.co.uk/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1 "
            "HTTP/1.1\r\nHost: signin.ebay.co.uk\r\nContent-Length: 24\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n\r\n"
            "userid=a+b&pass=x%2By%3D"
            "GET http://a.b/ HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n\r\nGET http://a.b/ HTTP/1.0\r\n\r\n"
            "GET http://a.b/ HTTP/1.1\r\nProxy-Connection: close\r\n\r\n"
            "GET /_sandbox/state HTTP/1.1\r\nHost: 127.0.0.1:9\r\nConnection: close\r\n\r\n";
        SandboxHttpParser parser;
        QList<SandboxHttpRequest> requests;
        parser.feed(wire, 0);
        while (parser.hasRequest())
            requests.append(parser.takeRequest());
        QVERIFY(!parser.failed());
        QCOMPARE(requests.size(), 6);
        QVERIFY(requests.at(0).absoluteForm);
        QCOMPARE(requests.at(0).host, QString("offer.ebay.de"));
        QCOMPARE(requests.at(0).queryValue("uiid"), QString::fromUtf8("£3.50"));
        QCOMPARE(requests.at(0).queryValue("mid"), QString(""));
        QCOMPARE(requests.at(1).body, QByteArray("userid=a+b&pass=x%2By%3D"));
        QCOMPARE(requests.at(1).formItems().at(0).second, QString("a b"));
        QCOMPARE(requests.last().host, QString("127.0.0.1"));
        QCOMPARE(requests.last().fullUrl(), QString("http://127.0.0.1:9/_sandbox/state"));
        // HTTP/1.1 keeps the connection unless told to close it, HTTP/1.0 only when asked to.
        QList<bool> keepAlive;
        for (const SandboxHttpRequest& request : requests)
            keepAlive.append(request.keepAlive());
        QCOMPARE(keepAlive, (QList<bool>{true, true, true, false, false, false}));
    }

    // What the sandbox cannot read or serve gets one clear answer and the connection is closed, not left hanging.
    void refusedStreamsAreAnsweredAndClosed_data() {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("answer");
        testRow("request line", QByteArray("HELLO\r\n\r\n"), QByteArray("HTTP/1.1 400 "));
        testRow("bad length", QByteArray("POST / HTTP/1.1\r\nContent-Length: x\r\n\r\n"), QByteArray("HTTP/1.1 400 "));
        testRow("huge body", QByteArray("POST / HTTP/1.1\r\nContent-Length: 999999999\r\n\r\n"),
                QByteArray("HTTP/1.1 413 "));
        testRow("huge head", QByteArray("GET / HTTP/1.1\r\nX: ") + QByteArray(70000, 'a'), QByteArray("HTTP/1.1 431 "));
        testRow("chunked",
                QByteArray("POST http://www.ebay.co.uk/ HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "5\r\nhello\r\n0\r\n\r\n"),
                QByteArray("HTTP/1.1 501 .*chunked"));
        testRow("https tunnel",
                QByteArray("CONNECT signin.ebay.co.uk:443 HTTP/1.1\r\nHost: signin.ebay.co.uk:443\r\n\r\n"),
                QByteArray("HTTP/1.1 501 .*use http"));
    }

    void refusedStreamsAreAnsweredAndClosed() {
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, answer);
        SandboxServer server;
        QVERIFY(listen(&server));
        RawClient client(server.port());
        QVERIFY(client.sendUntilClosed(wire));
        const QRegularExpression expected("^" + answer, QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(expected.match(client.received).hasMatch(), client.received.constData());
        if (wire.startsWith("CONNECT")) {
            const QJsonObject entry = server.recorder().logJson().value("requests").toArray().last().toObject();
            QCOMPARE(entry["method"].toString() + ' ' + entry["url"].toString(),
                     QString("CONNECT signin.ebay.co.uk:443"));
        }
    }

    // Sign-in by LOGIN is walked by the end-to-end test's won mail; here PLAIN and the rest of the dialogue.
    void dialogue_data() {
        QTest::addColumn<Dialogue>("row");
        testRow("dot-unstuffing",
                Dialogue{"EHLO c\r\nMAIL FROM:<n@t>\r\nRCPT TO:<a@x.test>\r\nDATA\r\nSubject: dots\r\n\r\n..one\r\n"
                         "...\r\ntwo.\r\n.\r\nQUIT\r\n",
                         "220 250 250 250 354 250 221", "a@x.test", "dots", ".one\n..\ntwo."});
        testRow("AUTH PLAIN, encoded subject, multipart quoted-printable",
                Dialogue{"EHLO c\r\nAUTH PLAIN AHVzZXIAcHc=\r\nMAIL FROM:<n@t>\r\nRCPT TO:<a@x.test>\r\nDATA\r\n"
                         "Subject: =?utf-8?Q?Won=3A_M=C3=A4rklin?= =?utf-8?B?IEgw?=\r\n"
                         "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n--b1\r\n"
                         "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n"
                         "\r\nPreis EUR 36,00 f=C3=BCr M=\r\n=C3=A4rklin\r\n--b1--\r\n.\r\nQUIT\r\n",
                         "220 250 235 250 250 354 250 221", "a@x.test", QString::fromUtf8("Won: Märklin H0"),
                         QString::fromUtf8("Preis EUR 36,00 für Märklin")});
        testRow("RSET drops the transaction",
                Dialogue{"EHLO c\r\nMAIL FROM:<n@t>\r\nRCPT TO:<a@x.test>\r\nRSET\r\nDATA\r\nNOOP\r\nQUIT\r\n",
                         "220 250 250 250 250 503 250 221"});
        testRow("commands out of order",
                Dialogue{"MAIL FROM:<n@t>\r\nEHLO c\r\nRCPT TO:<a@x.test>\r\nMAIL FROM:<n@t>\r\nDATA\r\n"
                         "MAIL FROM:<again@t>\r\nQUIT\r\n",
                         "220 503 250 503 250 554 503 221"});
        testRow("refusals", Dialogue{"EHLO c\r\nSTARTTLS\r\nAUTH CRAM-MD5\r\nAUTH LOGIN\r\n%%%\r\nFROB\r\n" +
                                         QByteArray(5000, 'A') + "\r\nNOOP\r\nQUIT\r\n",
                                     "220 250 454 504 334 501 500 500 250 221"});
    }

    void dialogue() {
        QFETCH(Dialogue, row);
        const auto& [script, codes, recipients, subject, text] = row;
        SandboxServer server;
        server.loadScenario(SandboxScenario());
        QVERIFY(server.listenSmtp(0));
        const QStringList expected = codes.split(QLatin1Char(' '));
        QCOMPARE(converse(server.smtpPort(), script, expected.size()).join(QLatin1Char(' ')), codes);

        const QJsonArray mails = server.recorder().mails();
        QCOMPARE(mails.isEmpty(), recipients.isEmpty());
        if (recipients.isEmpty())
            return;
        const QJsonObject mail = mails.last().toObject();
        QStringList to;
        for (const QJsonValue& value : mail.value(QStringLiteral("to")).toArray())
            to.append(value.toString());
        QCOMPARE(to.join(QLatin1Char(',')), recipients);
        QCOMPARE(mail.value(QStringLiteral("subject")).toString(), subject);
        QCOMPARE(mail.value(QStringLiteral("text")).toString(), text);
        QCOMPARE(mail.value(QStringLiteral("authMechanism")).toString(),
                 script.contains("AUTH PLAIN") ? QStringLiteral("PLAIN") : QString());
    }

    // The running sandbox, as the demo starts it: a mail received on the SMTP port its second line names is in the
    // log file written at the end (the end-to-end test reads the mails JSON).
    void processKeepsMails() {
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("log.json"));
        SandboxProcess sandbox;
        QVERIFY(
            sandbox.start({QStringLiteral("--smtp-port"), QStringLiteral("0"), QStringLiteral("--log-file"), logPath}));
        const QByteArray script = "EHLO c\r\nMAIL FROM:<notify@tollimer.test>\r\nRCPT TO:<me@x.test>\r\nDATA\r\n"
                                  "Subject: Auction won\r\n\r\nSoon over\r\n.\r\nQUIT\r\n";
        QVERIFY(sandbox.smtpPort() != 0);
        QCOMPARE(converse(sandbox.smtpPort(), script, 7).last(), QStringLiteral("221"));
        sandbox.stop();
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QJsonArray logged = QJsonDocument::fromJson(log.readAll())[QStringLiteral("mails")].toArray();
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged.at(0)[QStringLiteral("data")].toString().contains(QStringLiteral("Soon over")));
    }

    // The program's well-formed bids are walked end to end by the bid-flow tests; here what it never sends on purpose.
    void bidAnswers_data() {
        QTest::addColumn<TokenCase>("row");
        testRow("json comma in the amount", TokenCase{true, "", "INVALID_BIDAMOUNT|", "badAmount", "1,234.00"});
        testRow("json wrong key", TokenCase{true, "wrongKey", "REDIRECT|", "tokensWrong"});
        testRow("json unknown item", TokenCase{true, "unknownItem", "INVALID_ITEM|", "unknownItem"});
        testRow("html signed out", TokenCase{false, "signedOut", "Sign in", "signedOut"});
        const char* damages[][3] = {{"wrong stok", "wrongStok", "tokensWrong"},
                                    {"plus unencoded", "unencoded", "tokensWrong"},
                                    {"used twice", "reuse", "tokensReused"},
                                    {"never issued", "noStep1", "tokensNotIssued"},
                                    {"other item", "otherItem", "tokensNotIssued"}};
        for (const bool json : {true, false}) {
            for (const auto& d : damages)
                testRow(QByteArray(json ? "json " : "html ") + d[0],
                        TokenCase{json, d[1], json ? "REDIRECT|" : "problem", d[2]});
        }
    }

    void bidAnswers() {
        QFETCH(TokenCase, row);
        const auto& [json, damage, expected, reason, maxbid] = row;
        SandboxClock clock;
        SandboxRecorder recorder;
        SandboxMarket market(&clock, &recorder);
        SandboxSessions sessions;
        SandboxSite site(&clock, &market, &sessions);
        SandboxScenario scenario;
        scenario.auctions = {listing(1.0), listing(1.0)};
        scenario.auctions[1].itemNumber = "2";
        market.load(scenario);
        const QString session = sessions.openSession("me");
        const QString item = damage == "unknownItem" ? "3" : "1";
        SandboxSessions::Tokens tokens;
        if (damage != "noStep1")
            tokens = sessions.issueTokens(session, item, json ? "json" : "html");
        if (damage == "wrongStok")
            tokens.stok = "AAAA" + tokens.stok.mid(4);
        if (damage == "wrongKey")
            tokens.key = "AAAA" + tokens.key.mid(4);
        const auto wire = [&](const QString& value) {
            return damage == "unencoded" ? value : QString::fromLatin1(QUrl::toPercentEncoding(value));
        };
        const QString query = json ? "MakeQuickBid&mode=1&flow=bm&item=%1&maxbid=%2&stok=%3&key=%5&uiid=%4&f=json"
                                   : "MfcISAPICommand=MakeBid&hmid=&item=%1&maxbid=%2&javascriptenabled=1&stok=%3"
                                     "&mid=&mode=1&quant=1&uiid=%4&user=%5";
        const QByteArray cookie = "Cookie: " + sessions.sessionCookie().toLatin1() + '=' + session.toLatin1() + "\r\n";
        const QByteArray head = "GET http://offer.ebay.co.uk/ws/eBayISAPI.dll?" +
                                query
                                    .arg(damage == "otherItem" ? "2" : item, maxbid, wire(tokens.stok),
                                         wire(tokens.uiid), json ? wire(tokens.key) : "me")
                                    .toLatin1() +
                                " HTTP/1.1\r\n" + (damage == "signedOut" ? QByteArray() : cookie) + "\r\n";
        const auto confirm = [&]() {
            SandboxHttpParser parser;
            parser.feed(head, 0);
            const SandboxHttpRequest request = parser.takeRequest();
            return site.handle(request, SandboxSite::endpointFor(request), 7).body;
        };
        if (damage == "reuse")
            confirm();
        const QByteArray answer = confirm();
        if (json) {
            const QJsonObject root = QJsonDocument::fromJson(answer).object();
            QCOMPARE(root.value("Error").toString() + '|' + root.value("DebugError").toArray().first().toString(),
                     expected);
        } else {
            QVERIFY2(QRegularExpression(expected, QRegularExpression::CaseInsensitiveOption).match(answer).hasMatch(),
                     answer.constData());
        }
        const QJsonArray ledger = recorder.ledgerJson().value("bids").toArray();
        QCOMPARE(ledger.first()["accepted"].toBool(), damage == "reuse"); // the first use of the tokens bids
        const QJsonObject last = ledger.last().toObject();
        QCOMPARE(last.value("reason").toString(), reason);
        QCOMPARE(last.value("accepted").toBool(), false);
        QCOMPARE(last.value("tokensValid").toBool(), !reason.startsWith("tokens") && reason != "signedOut");
        QCOMPARE(last.value("requestSeq").toInt(), 7);
        QVERIFY(last.value("msBeforeEnd").toDouble() > 290000.0 || reason == "unknownItem");
    }
};

QTEST_GUILESS_MAIN(TestSandbox)
#include "test_sandbox.moc"
