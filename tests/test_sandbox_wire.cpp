#include "sandboxhttpparser.h"
#include "sandboxhttpresponse.h"
#include "sandboxprocess.h"
#include "sandboxserver.h"
#include "testrow.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtTest>

// A script sent at once, the final reply codes expected, and of the last mail kept its recipients joined by ","
// (empty: no mail kept), subject and text.
struct Dialogue {
    QByteArray script;
    QString codes, recipients, subject, text;
};
Q_DECLARE_METATYPE(Dialogue)

// The sandbox's own HTTP and SMTP. What a proxy client puts on the wire must come out as the same request, and the
// answers must keep the connection usable the way the program's access managers expect. A mail client's dialogue,
// as the demo and the end-to-end test hold it, must be answered with the codes a real server gives, and what it
// sent must be kept exactly (envelope, sign-in, unstuffed text).
class TestSandboxWire : public QObject {
    Q_OBJECT

private:
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
    // How the bytes are cut into reads is the parser's fuzz target's property; here what the requests read as.
    void parsesPipelinedRequests() {
        const QByteArray wire =
            "GET http://offer.ebay.de/ws/eBayISAPI.dll?MakeQuickBid&mode=0&item=12&stok=ab%2Bc%2Fd%3D"
            "&key=ab+c/d=&uiid=%C2%A33.50&mid=#frag HTTP/1.1\r\n"
            "Host: offer.ebay.de\r\nProxy-Connection: keep-alive\r\n\r\n"
            "POST http://signin.ebay.co.uk/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1 "
            "HTTP/1.1\r\nHost: signin.ebay.co.uk\r\nContent-Length: 24\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n\r\n"
            "userid=a+b&pass=x%2By%3D"
            "GET /_sandbox/state HTTP/1.1\r\nHost: 127.0.0.1:9\r\nConnection: close\r\n\r\n";
        SandboxHttpParser parser;
        QList<SandboxHttpRequest> requests;
        parser.feed(wire, 0);
        while (parser.hasRequest())
            requests.append(parser.takeRequest());
        QVERIFY(!parser.failed());
        QCOMPARE(requests.size(), 3);
        QVERIFY(requests.at(0).absoluteForm);
        QCOMPARE(requests.at(0).host, QString("offer.ebay.de"));
        QCOMPARE(requests.at(0).path, QString("/ws/eBayISAPI.dll"));
        QCOMPARE(requests.at(0).firstQueryKey(), QString("MakeQuickBid"));
        QCOMPARE(requests.at(0).queryValue("item"), QString("12"));
        QCOMPARE(requests.at(0).queryValue("stok"), QString("ab+c/d="));
        QCOMPARE(requests.at(0).queryValue("key"), QString("ab c/d=")); // a bare plus is a space, as in forms
        QCOMPARE(requests.at(0).queryValue("uiid"), QString::fromUtf8("£3.50"));
        QCOMPARE(requests.at(0).queryValue("mid"), QString(""));
        QVERIFY(requests.at(0).keepAlive());
        QCOMPARE(requests.at(1).method, QByteArray("POST"));
        QCOMPARE(requests.at(1).body, QByteArray("userid=a+b&pass=x%2By%3D"));
        QCOMPARE(requests.at(2).method, QByteArray("GET"));
        QCOMPARE(requests.at(1).formItems().at(0).second, QString("a b"));
        QVERIFY(!requests.at(2).absoluteForm);
        QCOMPARE(requests.at(2).host, QString("127.0.0.1"));
        QCOMPARE(requests.at(2).path, QString("/_sandbox/state"));
        QVERIFY(!requests.at(2).keepAlive());
        QCOMPARE(requests.at(2).fullUrl(), QString("http://127.0.0.1:9/_sandbox/state"));
    }

    void keepAliveRules_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<bool>("keepAlive");
        testRow("1.1 default", QByteArray("HTTP/1.1"), QByteArray(), true);
        testRow("1.1 close", QByteArray("HTTP/1.1"), QByteArray("Connection: close"), false);
        testRow("1.1 proxy close", QByteArray("HTTP/1.1"), QByteArray("Proxy-Connection: close"), false);
        testRow("1.0 default", QByteArray("HTTP/1.0"), QByteArray(), false);
        testRow("1.0 keep-alive", QByteArray("HTTP/1.0"), QByteArray("Proxy-Connection: Keep-Alive"), true);
    }

    void keepAliveRules() {
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, header);
        QFETCH(bool, keepAlive);
        SandboxHttpParser parser;
        parser.feed("GET http://a.b/ " + version + "\r\n" + (header.isEmpty() ? "" : header + "\r\n") + "\r\n", 0);
        QVERIFY(parser.hasRequest());
        QCOMPARE(parser.takeRequest().keepAlive(), keepAlive);
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
            QCOMPARE(entry.value("method").toString(), QString("CONNECT"));
            QCOMPARE(entry.value("host").toString(), QString("signin.ebay.co.uk"));
            QCOMPARE(entry.value("url").toString(), QString("signin.ebay.co.uk:443"));
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
                         "220 250 250 250 250 503 250 221",
                         {},
                         {},
                         {}});
        testRow("commands out of order",
                Dialogue{"MAIL FROM:<n@t>\r\nEHLO c\r\nRCPT TO:<a@x.test>\r\nMAIL FROM:<n@t>\r\nDATA\r\n"
                         "MAIL FROM:<again@t>\r\nQUIT\r\n",
                         "220 503 250 503 250 554 503 221",
                         {},
                         {},
                         {}});
        testRow("refusals", Dialogue{"EHLO c\r\nSTARTTLS\r\nAUTH CRAM-MD5\r\nAUTH LOGIN\r\n%%%\r\nFROB\r\n" +
                                         QByteArray(5000, 'A') + "\r\nNOOP\r\nQUIT\r\n",
                                     "220 250 454 504 334 501 500 500 250 221",
                                     {},
                                     {},
                                     {}});
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

    // The running sandbox, as the demo starts it: the second line names the SMTP port, and a mail received there
    // is in the mails JSON and in the log file written at the end.
    void processKeepsMails() {
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("log.json"));
        SandboxProcess sandbox;
        QVERIFY(
            sandbox.start({QStringLiteral("--smtp-port"), QStringLiteral("0"), QStringLiteral("--log-file"), logPath}));
        QVERIFY(sandbox.smtpPort() != 0);
        const QByteArray script = "EHLO c\r\nMAIL FROM:<notify@tollimer.test>\r\nRCPT TO:<me@x.test>\r\nDATA\r\n"
                                  "Subject: Auction won\r\n\r\nSoon over\r\n.\r\nQUIT\r\n";
        QCOMPARE(converse(sandbox.smtpPort(), script, 7).last(), QStringLiteral("221"));
        const QJsonArray mails = sandbox.controlJson("GET", QStringLiteral("/_sandbox/mails"))["mails"].toArray();
        QCOMPARE(mails.size(), 1);
        QCOMPARE(mails.at(0)[QStringLiteral("from")].toString(), QStringLiteral("notify@tollimer.test"));

        sandbox.stop();
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QJsonArray logged = QJsonDocument::fromJson(log.readAll())[QStringLiteral("mails")].toArray();
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged.at(0)[QStringLiteral("data")].toString().contains(QStringLiteral("Soon over")));
    }
};

QTEST_GUILESS_MAIN(TestSandboxWire)
#include "test_sandbox_wire.moc"
