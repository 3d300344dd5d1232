#include "sandboxprocess.h"
#include "sandboxserver.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtTest>

// The sandbox's mail side, as the demo and the notification tests use it: a client's dialogue must be answered
// with the codes a real server gives, and what it sent must be kept exactly (envelope, unstuffed text), shown on
// the status page and announced on stdout.
class TestSandboxSmtp : public QObject {
    Q_OBJECT

private:
    // Sends a whole script at once (the server answers line by line, so this is pipelining) and collects the
    // final line of every reply.
    static QStringList converse(quint16 port, const QByteArray& script, int replies) {
        QTcpSocket socket;
        QByteArray received;
        QObject::connect(&socket, &QTcpSocket::readyRead, [&]() { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write(script);
        QStringList codes;
        (void)QTest::qWaitFor( // on a time-out the caller sees the replies that did arrive
            [&]() {
                codes.clear();
                for (const QByteArray& line : received.split('\n')) {
                    if (line.size() >= 4 && line.at(3) == ' ')
                        codes.append(QString::fromLatin1(line.left(3)));
                }
                return codes.size() >= replies;
            },
            10000);
        return codes;
    }

private slots:
    // Sign-in by LOGIN and PLAIN is walked end to end by the demo mail test; here the rest of the dialogue.
    void dialogue_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("recipients"); // of the last mail kept, joined by ","; empty: no mail kept
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("text");

        QTest::newRow("dot-unstuffing")
            << QByteArray(
                   "EHLO c\r\nMAIL FROM:<n@t>\r\nRCPT TO:<a@x.test>\r\nDATA\r\nSubject: dots\r\n\r\n..one\r\n...\r\n"
                   "two.\r\n.\r\nQUIT\r\n")
            << "220 250 250 250 354 250 221"
            << "a@x.test"
            << "dots"
            << ".one\n..\ntwo.";
        QTest::newRow("encoded subject, multipart quoted-printable")
            << QByteArray(
                   "EHLO c\r\nMAIL FROM:<n@t>\r\nRCPT TO:<a@x.test>\r\nDATA\r\n"
                   "Subject: =?utf-8?Q?Won=3A_M=C3=A4rklin?= =?utf-8?B?IEgw?=\r\n"
                   "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n--b1\r\n"
                   "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                   "Preis EUR 36,00 f=C3=BCr M=\r\n=C3=A4rklin\r\n--b1--\r\n.\r\nQUIT\r\n")
            << "220 250 250 250 354 250 221"
            << "a@x.test" << QString::fromUtf8("Won: Märklin H0") << QString::fromUtf8("Preis EUR 36,00 für Märklin");
        QTest::newRow("RSET drops the transaction")
            << QByteArray("EHLO c\r\nMAIL FROM:<n@t>\r\nRCPT TO:<a@x.test>\r\nRSET\r\nDATA\r\nNOOP\r\nQUIT\r\n")
            << "220 250 250 250 250 503 250 221" << QString() << QString() << QString();
        QTest::newRow("commands out of order")
            << QByteArray("MAIL FROM:<n@t>\r\nEHLO c\r\nRCPT TO:<a@x.test>\r\nMAIL FROM:<n@t>\r\nDATA\r\n"
                          "MAIL FROM:<again@t>\r\nQUIT\r\n")
            << "220 503 250 503 250 554 503 221" << QString() << QString() << QString();
        QTest::newRow("refusals") << "EHLO c\r\nSTARTTLS\r\nAUTH CRAM-MD5\r\nAUTH LOGIN\r\n%%%\r\nFROB\r\n" +
                                         QByteArray(5000, 'A') + "\r\nNOOP\r\nQUIT\r\n"
                                  << "220 250 454 504 334 501 500 500 250 221" << QString() << QString() << QString();
    }

    void dialogue() {
        QFETCH(QByteArray, script);
        QFETCH(QString, codes);
        QFETCH(QString, recipients);
        QFETCH(QString, subject);
        QFETCH(QString, text);
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
    }

    // The running sandbox, as the demo starts it: second line names the SMTP port; a mail and a bid show on the
    // status page and in the mails JSON, an auction's end and winner are printed, and the log file keeps the mail.
    void processReportsBidsEndsAndMails() {
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("log.json"));
        SandboxProcess sandbox;
        QVERIFY(
            sandbox.start({QStringLiteral("--smtp-port"), QStringLiteral("0"), QStringLiteral("--log-file"), logPath}));
        const quint16 smtpPort = sandbox.smtpPort();
        QVERIFY(smtpPort != 0);

        const QByteArray scenario = R"({"users":[{"username":"sniper_uk","password":"secret"}],
            "auctions":[{"itemNumber":"990000000001","title":"Soon over","endsInSeconds":5,
                         "bids":[{"bidder":"rival_anna","amount":12.0,"atSeconds":0}]}]})";
        QVERIFY(sandbox.controlJson("POST", QStringLiteral("/_sandbox/scenario"), scenario)["ok"].toBool());
        const QJsonObject bid = sandbox
                                    .controlJson("POST", QStringLiteral("/_sandbox/bid"),
                                                 R"({"item":"990000000001","bidder":"sniper_uk","amount":20.0})")
                                    .object();
        QVERIFY(bid.value(QStringLiteral("accepted")).toBool());
        const QByteArray script = "EHLO c\r\nMAIL FROM:<notify@tollimer.test>\r\nRCPT TO:<me@x.test>\r\nDATA\r\n"
                                  "Subject: Auction won\r\n\r\nSoon over\r\n.\r\nQUIT\r\n";
        QCOMPARE(converse(smtpPort, script, 7).last(), QStringLiteral("221"));

        const QString page = QString::fromUtf8(sandbox.control("GET", QStringLiteral("/_sandbox/")));
        QVERIFY2(page.contains(QStringLiteral("<td>sniper_uk</td>")) && page.contains(QStringLiteral("Auction won")),
                 qPrintable(page));
        const QJsonArray mails = sandbox.controlJson("GET", QStringLiteral("/_sandbox/mails"))["mails"].toArray();
        QCOMPARE(mails.size(), 1);
        QCOMPARE(mails.at(0)[QStringLiteral("from")].toString(), QStringLiteral("notify@tollimer.test"));

        QTRY_VERIFY_WITH_TIMEOUT(
            sandbox.output().contains("end 990000000001 \"Soon over\": won by sniper_uk at GBP 12.50"), 15000);
        QVERIFY(sandbox.control("GET", QStringLiteral("/_sandbox")).contains("ended, won by sniper_uk"));
        const QByteArray output = sandbox.output();
        QVERIFY2(output.contains("bid 990000000001 by sniper_uk, max GBP 20.00 (control): accepted, high bidder") &&
                     output.contains("mail 1 from notify@tollimer.test to me@x.test: \"Auction won\""),
                 output.constData());

        sandbox.stop();
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QJsonArray logged = QJsonDocument::fromJson(log.readAll())[QStringLiteral("mails")].toArray();
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged.at(0)[QStringLiteral("data")].toString().contains(QStringLiteral("Soon over")));
    }
};

QTEST_GUILESS_MAIN(TestSandboxSmtp)
#include "test_sandbox_smtp.moc"
