#include "emailaddress.h"
#include "mimemessage.h"
#include "mimetext.h"
#include "parsedmail.h"
#include "scriptedsmtpserver.h"
#include "smtpclient.h"
#include "smtpserverprocess.h"

#include <QNetworkProxy>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString bodyText = QStringLiteral("Hi Anna,\r\n.\r\n.leading dot\r\n..two dots\r\nlast line");

// A message with two To recipients, one Cc and one Bcc.
struct TestMail {
    EmailAddress sender{QStringLiteral("notify@example.test"), QStringLiteral("Tollimer Bid Notification")};
    EmailAddress anna{QStringLiteral("anna@example.test"), QStringLiteral("Anna")};
    EmailAddress ben{QStringLiteral("ben@example.test")};
    EmailAddress carl{QStringLiteral("carl@example.test"), QStringLiteral("Carl")};
    EmailAddress dora{QStringLiteral("dora@example.test"), QStringLiteral("Dora")};
    MimeText text;
    MimeMessage message;

    explicit TestMail(const QString& body = bodyText)
        : text(body) {
        message.setSender(&sender);
        message.addRecipient(&anna);
        message.addRecipient(&dora, MimeMessage::Bcc);
        message.addRecipient(&carl, MimeMessage::Cc);
        message.addTo(&ben);
        message.setSubject(QStringLiteral("Tollimer winning bid: Lamp"));
        message.addPart(&text);
    }
};

QList<int> errorsOf(const QSignalSpy& spy) {
    QList<int> errors;
    for (const QList<QVariant>& call : spy)
        errors << call.at(0).toInt();
    return errors;
}

quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}
} // namespace

// The SMTP client against a real server (aiosmtpd) and against scripted peers for the reply edge cases.
class TestSmtp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qRegisterMetaType<SmtpClient::SmtpError>();
        QVERIFY(SmtpServerProcess::makeCertificate(m_certDir.path(), &m_certFile, &m_keyFile));
    }

    void cleanup() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    void realServer_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("method");
        QTest::newRow("plain, LOGIN") << int(SmtpServerProcess::Mode::Plain) << int(SmtpClient::AuthLogin);
        QTest::newRow("plain, PLAIN") << int(SmtpServerProcess::Mode::Plain) << int(SmtpClient::AuthPlain);
        QTest::newRow("STARTTLS, LOGIN") << int(SmtpServerProcess::Mode::StartTls) << int(SmtpClient::AuthLogin);
        QTest::newRow("SSL, PLAIN") << int(SmtpServerProcess::Mode::Ssl) << int(SmtpClient::AuthPlain);
    }

    // The server receives the mail we meant: envelope in To, Cc, Bcc order, headers, the text with its
    // dot lines intact, and no trace of the Bcc recipient in the text.
    void realServer() {
        QFETCH(int, mode);
        QFETCH(int, method);
        const auto serverMode = static_cast<SmtpServerProcess::Mode>(mode);
        SmtpServerProcess server;
        QVERIFY2(server.start(serverMode, m_certFile, m_keyFile), server.output().constData());

        const SmtpClient::ConnectionType type = serverMode == SmtpServerProcess::Mode::Plain ? SmtpClient::TcpConnection
                                                : serverMode == SmtpServerProcess::Mode::Ssl
                                                    ? SmtpClient::SslConnection
                                                    : SmtpClient::TlsConnection;
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(), type);
        client.addCaCertificates(QSslCertificate::fromPath(m_certFile));
        QSignalSpy errors(&client, &SmtpClient::smtpError);
        TestMail mail;
        QVERIFY(client.connectToHost());
        QVERIFY(client.login(SmtpServerProcess::user(), SmtpServerProcess::password(),
                             static_cast<SmtpClient::AuthMethod>(method)));
        QVERIFY(client.sendMail(mail.message));
        client.quit();
        QCOMPARE(errorsOf(errors), QList<int>());

        const QList<SmtpServerProcess::Received> received = server.received();
        QCOMPARE(received.size(), 1);
        const SmtpServerProcess::Received& got = received.first();
        QCOMPARE(got.from, QStringLiteral("notify@example.test"));
        QCOMPARE(got.to,
                 QStringList({"anna@example.test", "ben@example.test", "carl@example.test", "dora@example.test"}));
        QCOMPARE(got.mechanism, method == SmtpClient::AuthLogin ? QStringLiteral("LOGIN") : QStringLiteral("PLAIN"));
        QCOMPARE(got.tls, serverMode != SmtpServerProcess::Mode::Plain);

        const ParsedMail parsed = ParsedMail::parse(got.content);
        QCOMPARE(parsed.header("From"), QStringLiteral("Tollimer Bid Notification <notify@example.test>"));
        QCOMPARE(parsed.header("To"), QStringLiteral("Anna <anna@example.test>, <ben@example.test>"));
        QCOMPARE(parsed.header("Cc"), QStringLiteral("Carl <carl@example.test>"));
        QCOMPARE(parsed.header("Subject"), QStringLiteral("Tollimer winning bid: Lamp"));
        QCOMPARE(parsed.headerCount("Bcc"), 0);
        QVERIFY(!got.content.contains("dora"));
        const QList<ParsedMail> parts = parsed.parts();
        QCOMPARE(parts.size(), 1);
        QCOMPARE(parts.first().header("Content-Type"), QStringLiteral("text/plain; charset=utf-8"));
        QCOMPARE(QString::fromUtf8(parts.first().body()), bodyText);
    }

    void realServerRefusesWrongPassword() {
        SmtpServerProcess server;
        QVERIFY2(server.start(), server.output().constData());
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        QSignalSpy errors(&client, &SmtpClient::smtpError);
        TestMail mail;
        QVERIFY(client.connectToHost());
        QVERIFY(!client.login(SmtpServerProcess::user(), QStringLiteral("wrong"), SmtpClient::AuthLogin));
        QCOMPARE(client.getResponseCode(), 535);
        QVERIFY(errorsOf(errors).contains(SmtpClient::AuthenticationFailedError));
        QVERIFY(!client.sendMail(mail.message));
        QCOMPARE(server.received().size(), 0);
    }

    void untrustedCertificateIsRefused_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("STARTTLS") << int(SmtpServerProcess::Mode::StartTls);
        QTest::newRow("SSL") << int(SmtpServerProcess::Mode::Ssl);
    }

    // A certificate the client was not told to trust ends the connection before any credentials go out.
    void untrustedCertificateIsRefused() {
        QFETCH(int, mode);
        SmtpServerProcess server;
        QVERIFY2(server.start(static_cast<SmtpServerProcess::Mode>(mode), m_certFile, m_keyFile),
                 server.output().constData());
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(),
                          mode == int(SmtpServerProcess::Mode::Ssl) ? SmtpClient::SslConnection
                                                                    : SmtpClient::TlsConnection);
        QVERIFY(!client.connectToHost());
        QVERIFY(!static_cast<QSslSocket*>(client.getSocket())->isEncrypted());
    }

    void replies_data() {
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<QList<int>>("errors");
        QTest::newRow("multi-line EHLO")
            << QList<QByteArray>{"220 ready\r\n", "250-scripted\r\n250-AUTH LOGIN PLAIN\r\n250 8BITMIME\r\n"} << true
            << "250 8BITMIME" << QList<int>();
        QTest::newRow("multi-line greeting")
            << QList<QByteArray>{"220-welcome\r\n220-to the\r\n220 server\r\n", "250 ok\r\n"} << true << "250 ok"
            << QList<int>();
        QTest::newRow("bare code line continues the reply")
            << QList<QByteArray>{"220\r\n220 ready\r\n", "250 ok\r\n"} << true << "250 ok" << QList<int>();
        QTest::newRow("service refused") << QList<QByteArray>{"554 no service\r\n"} << false << "554 no service"
                                         << QList<int>{SmtpClient::ClientError, SmtpClient::ServerError};
        QTest::newRow("busy") << QList<QByteArray>{"421 busy\r\n"} << false << "421 busy"
                              << QList<int>{SmtpClient::ServerError, SmtpClient::ServerError};
        QTest::newRow("EHLO refused") << QList<QByteArray>{"220 ready\r\n", "502 no\r\n"} << false << "502 no"
                                      << QList<int>{SmtpClient::ClientError, SmtpClient::ServerError};
    }

    void replies() {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(bool, connected);
        QFETCH(QString, lastLine);
        QFETCH(QList<int>, errors);
        ScriptedSmtpServer server(replies);
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QCOMPARE(client.connectToHost(), connected);
        QCOMPARE(client.getResponseText(), lastLine);
        QCOMPARE(client.getResponseCode(), lastLine.left(3).toInt());
        QCOMPARE(errorsOf(spy), errors);
    }

    // A line of just "220" does not end the reply: the client waits on until its timeout.
    void threeCharacterLineTimesOut() {
        ScriptedSmtpServer server({"220\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        client.setResponseTimeout(300);
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QVERIFY_EXCEPTION_THROWN(client.connectToHost(), SmtpClient::ResponseTimeoutException);
        QCOMPARE(errorsOf(spy), QList<int>{SmtpClient::ResponseTimeoutError});
        QVERIFY(server.commands().isEmpty());
    }

    void cancelledWaitGivesUp() {
        ScriptedSmtpServer server({});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        client.setResponseTimeout(60000);
        client.cancel();
        QVERIFY_EXCEPTION_THROWN(client.connectToHost(), SmtpClient::ResponseTimeoutException);
    }

    void serverClosingIsNoReply() {
        ScriptedSmtpServer server({QByteArray()});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        client.setResponseTimeout(60000);
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QVERIFY_EXCEPTION_THROWN(client.connectToHost(), SmtpClient::ResponseTimeoutException);
        QCOMPARE(errorsOf(spy), QList<int>{SmtpClient::ResponseTimeoutError});
    }

    void connectionRefused() {
        SmtpClient client(QStringLiteral("127.0.0.1"), closedPort());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QVERIFY(!client.connectToHost());
        QCOMPARE(errorsOf(spy), QList<int>{SmtpClient::ConnectionTimeoutError});
    }

    // The program's HTTP proxy is for eBay; mail goes straight to the server.
    void mailIgnoresApplicationProxy() {
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), closedPort()));
        ScriptedSmtpServer server({"220 ready\r\n", "250 ok\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(client.connectToHost());
        QCOMPARE(server.commands(), QList<QByteArray>{"EHLO localhost"});
    }

    void wrongPasswordLogin() {
        ScriptedSmtpServer server(
            {"220 ready\r\n", "250 ok\r\n", "334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n", "535 5.7.8 refused\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        client.setName(QStringLiteral("sniper.local"));
        QVERIFY(client.connectToHost());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QVERIFY(
            !client.login(QStringLiteral("notify@example.test"), QStringLiteral("pässword"), SmtpClient::AuthLogin));
        QCOMPARE(errorsOf(spy), QList<int>({SmtpClient::ClientError, SmtpClient::AuthenticationFailedError}));
        QCOMPARE(server.commands(),
                 QList<QByteArray>({"EHLO sniper.local", "AUTH LOGIN", QByteArray("notify@example.test").toBase64(),
                                    QStringLiteral("pässword").toUtf8().toBase64()}));
    }

    void authPlain_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("with password") << "pw";
        QTest::newRow("empty password") << "";
    }

    // The zero byte after the user name is there even when the password is empty.
    void authPlain() {
        QFETCH(QString, password);
        ScriptedSmtpServer server({"220 ready\r\n", "250 ok\r\n", "235 welcome\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        client.setUser(QStringLiteral("user"));
        client.setPassword(password);
        QVERIFY(client.connectToHost());
        QVERIFY(client.login());
        const QByteArray expected = "AUTH PLAIN " + QByteArray("\0user\0", 6).append(password.toUtf8()).toBase64();
        QCOMPARE(server.commands().last(), expected);
    }

    // The envelope lists To, then Cc, then Bcc; the text goes out dot-stuffed with CR LF line ends, so no
    // line of the mail can end the data early.
    void envelopeAndData() {
        ScriptedSmtpServer server({"220 ready\r\n", "250 ok\r\n", "250 sender ok\r\n", "250 a\r\n", "250 b\r\n",
                                   "250 c\r\n", "250 d\r\n", "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        TestMail mail(QStringLiteral(".\r\n.leading\r\nbare\nfeed\n.\nend"));
        QVERIFY(client.connectToHost());
        QVERIFY(client.sendMail(mail.message));
        client.quit();
        QTRY_COMPARE(
            server.commands(),
            QList<QByteArray>({"EHLO localhost", "MAIL FROM: <notify@example.test>", "RCPT TO: <anna@example.test>",
                               "RCPT TO: <ben@example.test>", "RCPT TO: <carl@example.test>",
                               "RCPT TO: <dora@example.test>", "DATA", ".", "QUIT"}));
        const QByteArray data = server.data();
        QVERIFY2(data.contains("\r\n\r\n..\r\n..leading\r\nbare\r\nfeed\r\n..\r\nend\r\n"), data.constData());
        QVERIFY(data.endsWith("--\r\n\r\n\r\n"));
        for (const QByteArray& line : data.split('\n'))
            QVERIFY(line.isEmpty() || line.endsWith('\r'));
        QVERIFY(!data.contains("dora"));
    }

    void refusedRecipientStopsTheMail() {
        ScriptedSmtpServer server({"220 ready\r\n", "250 ok\r\n", "250 ok\r\n", "550 no such user\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        TestMail mail;
        QVERIFY(client.connectToHost());
        QVERIFY(!client.sendMail(mail.message));
        QCOMPARE(server.commands().size(), 3);
        QCOMPARE(server.commands().last(), QByteArray("RCPT TO: <anna@example.test>"));
        QCOMPARE(errorsOf(spy), QList<int>{SmtpClient::ClientError});
    }

    // A line break in an address would add commands of its own; nothing is sent.
    void addressWithLineBreakIsRefused() {
        ScriptedSmtpServer server({"220 ready\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        TestMail mail;
        mail.ben.setAddress(QStringLiteral("ben@example.test>\r\nRCPT TO: <other@example.test"));
        QVERIFY(client.connectToHost());
        QVERIFY(!client.sendMail(mail.message));
        QCOMPARE(server.commands(), QList<QByteArray>{"EHLO localhost"});
    }

private:
    QTemporaryDir m_certDir;
    QString m_certFile;
    QString m_keyFile;
};

QTEST_GUILESS_MAIN(TestSmtp)
#include "test_smtp.moc"
