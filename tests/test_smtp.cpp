#include "emailaddress.h"
#include "mimemessage.h"
#include "mimemultipart.h"
#include "mimetext.h"
#include "scriptedsmtpserver.h"
#include "smtpclient.h"
#include "testrow.h"

#include <QNetworkProxy>
#include <QTcpServer>
#include <QtTest>

namespace {
using Lines = QList<QByteArray>;

// A message with two To recipients, one Cc and one Bcc, added out of order.
struct TestMail {
    EmailAddress sender{QStringLiteral("notify@example.test"), QStringLiteral("Tollimer Bid Notification")};
    EmailAddress anna{QStringLiteral("anna@example.test"), QStringLiteral("Anna")};
    EmailAddress ben{QStringLiteral("ben@example.test")};
    EmailAddress carl{QStringLiteral("carl@example.test"), QStringLiteral("Carl")};
    EmailAddress dora{QStringLiteral("dora@example.test"), QStringLiteral("Dora")};
    MimeText text;
    MimeMessage message;

    explicit TestMail(const QString& body = QStringLiteral("Hi Anna"))
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

// A peer's replies (one byte every trickleMs if given), the last reply line the client is left with (none: it gave
// up), its errors, and the client's bounds: its response time-out and its deadline (-1: none).
struct Reply {
    Lines replies;
    QString lastLine;
    QList<int> errors = {};
    int timeout = 5000;
    SmtpClient::ConnectionType connection = SmtpClient::TcpConnection;
    int trickleMs = 0, deadline = -1;
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
// A sender's name and address and a subject in one header encoding, and the From and Subject lines they make.
struct Header {
    MimePart::Encoding encoding;
    QString name, address, subject, fromLine, subjectLine;
};
} // namespace

Q_DECLARE_METATYPE(Reply)
Q_DECLARE_METATYPE(Header)

// The mail as it leaves the program: its header and the encoded words in it (body encodings other than 8bit and their
// line wrapping serve no mail the program sends), and the SMTP client against scripted peers, for the wire form and
// the reply edge cases a real server will not produce; the notification tests send through a real one.
class TestSmtp : public QObject {
    Q_OBJECT

private slots:
    // The program's HTTP proxy is for eBay: every connection below also proves mail goes straight to the server.
    void initTestCase() {
        qRegisterMetaType<SmtpClient::SmtpError>();
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), closedPort()));
    }

    void replies_data() {
        QTest::addColumn<Reply>("row");
        const QList<int> refused{SmtpClient::ClientError, SmtpClient::ServerError};
        const QList<int> timedOut{SmtpClient::ResponseTimeoutError};
        testRow("multi-line EHLO",
                Reply{{"220 ready\r\n", "250-scripted\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n"}, "250 8BITMIME"});
        testRow("multi-line greeting", Reply{{"220-welcome\r\n220-to the\r\n220 server\r\n", "250 ok\r\n"}, "250 ok"});
        testRow("a line of just the code ends the reply", Reply{{"220\r\n", "250-scripted\r\n250\r\n"}, "250"});
        testRow("service refused", Reply{{"554 no service\r\n"}, "554 no service", refused});
        testRow("busy", Reply{{"421 busy\r\n"}, "421 busy", {SmtpClient::ServerError, SmtpClient::ServerError}});
        testRow("EHLO refused", Reply{{"220 ready\r\n", "502 no\r\n"}, "502 no", refused});
        testRow("greeting cut off", Reply{{"220 rea"}, "", timedOut, 300});
        testRow("server closes, no waiting for the time-out", Reply{{QByteArray()}, "", timedOut, 60000});
        // Each row below would hold the client for a minute or more if its bound were missing. Cancelling is
        // walked by the mailer's exit in the notification tests.
        testRow("trickled reply, its own time-out",
                Reply{{"220-" + QByteArray(5000, 'x') + "\r\n"}, "", timedOut, 500, SmtpClient::TcpConnection, 20});
        testRow("silent server, the deadline", Reply{{}, "", timedOut, 60000, SmtpClient::TcpConnection, 0, 500});
        const Lines starttls{"220 ready\r\n", "250 ok\r\n", "220 go ahead\r\n"};
        testRow("STARTTLS handshake never answered, the deadline",
                Reply{starttls, "220 go ahead", {}, 60000, SmtpClient::TlsConnection, 0, 500});
    }

    // The client reads whole replies and connects only on a 2xx; without a complete reply it gives up (no
    // lastLine) instead of waiting for ever or going on. Connecting, the TLS handshake and each reply give up at
    // their time-out or at the client's deadline, whichever comes first, and a closed connection ends the wait at
    // once (the time-out rows that must wait use short time-outs).
    void replies() {
        QFETCH(Reply, row);
        const auto& [replies, lastLine, errors, timeout, connection, trickleMs, deadline] = row;
        ScriptedSmtpServer server(replies, trickleMs);
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(), connection);
        client.setConnectionTimeout(60000);
        client.setResponseTimeout(timeout);
        if (deadline >= 0)
            client.setDeadline(QDeadlineTimer(deadline));
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QElapsedTimer elapsed;
        elapsed.start();
        if (lastLine.isEmpty()) {
            QVERIFY_EXCEPTION_THROWN(client.connectToHost(), SmtpClient::ResponseTimeoutException);
            QVERIFY(server.commands().isEmpty());
        } else {
            QCOMPARE(client.connectToHost(), lastLine.startsWith(QLatin1String("250")));
            QCOMPARE(client.getResponseText(), lastLine);
            QCOMPARE(client.getResponseCode(), lastLine.left(3).toInt());
        }
        const int bound = (deadline >= 0 ? deadline : timeout) / 4 + 2000;
        QVERIFY2(elapsed.elapsed() < bound, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(errorsOf(spy), errors);
    }

    void connectionRefused() {
        SmtpClient client(QStringLiteral("127.0.0.1"), closedPort());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        QVERIFY(!client.connectToHost());
        QCOMPARE(errorsOf(spy), QList<int>{SmtpClient::ConnectionTimeoutError});
    }

    void signIn_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("verdict");
        QTest::addColumn<Lines>("sent");
        testRow("LOGIN, 535 to the password", int(SmtpClient::AuthLogin), "pässword",
                QByteArray("535 5.7.8 refused\r\n"),
                Lines{"AUTH LOGIN", QByteArray("user").toBase64(), QStringLiteral("pässword").toUtf8().toBase64()});
        // Accepted sign-ins are walked against a real server by the notification tests. The zero byte after the
        // user name is there even when the password is empty.
        testRow("PLAIN, empty password", int(SmtpClient::AuthPlain), "", QByteArray("235 welcome\r\n"),
                Lines{"AUTH PLAIN " + QByteArray("\0user\0", 6).toBase64()});
    }

    void signIn() {
        QFETCH(int, method);
        QFETCH(QString, password);
        QFETCH(QByteArray, verdict);
        QFETCH(Lines, sent);
        Lines replies{"220 ready\r\n", "250 ok\r\n"};
        if (method == SmtpClient::AuthLogin)
            replies << "334 VXNlcm5hbWU6\r\n"
                    << "334 UGFzc3dvcmQ6\r\n";
        ScriptedSmtpServer server(replies << verdict);
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        client.setName(QStringLiteral("sniper.local"));
        QVERIFY(client.connectToHost());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        const bool accepted = verdict.startsWith("235");
        QCOMPARE(client.login(QStringLiteral("user"), password, static_cast<SmtpClient::AuthMethod>(method)), accepted);
        QCOMPARE(client.getResponseCode(), verdict.left(3).toInt());
        const QList<int> refused{SmtpClient::ClientError, SmtpClient::AuthenticationFailedError};
        QCOMPARE(errorsOf(spy), accepted ? QList<int>() : refused);
        QCOMPARE(server.commands(), Lines{"EHLO sniper.local"} + sent);
    }

    void sending_data() {
        QTest::addColumn<QString>("benAddress");
        QTest::addColumn<QByteArray>("benReply");
        QTest::addColumn<Lines>("sent");
        QTest::addColumn<QList<int>>("errors");
        const Lines envelope{"EHLO localhost", "MAIL FROM: <notify@example.test>", "RCPT TO: <anna@example.test>",
                             "RCPT TO: <ben@example.test>"};
        const QString ben = QStringLiteral("ben@example.test");
        testRow("delivered, dot-stuffed", ben, QByteArray("250 b\r\n"),
                envelope + Lines{"RCPT TO: <carl@example.test>", "RCPT TO: <dora@example.test>", "DATA", ".", "QUIT"},
                QList<int>());
        testRow("recipient refused", ben, QByteArray("550 no such user\r\n"), envelope,
                QList<int>{SmtpClient::ClientError});
        // A line break in an address would add commands of its own.
        testRow("line break in an address", "ben@example.test>\r\nRCPT TO: <other@example.test",
                QByteArray("250 b\r\n"), envelope.mid(0, 1), QList<int>());
    }

    // The envelope lists To, then Cc, then Bcc; the text goes out dot-stuffed with CR LF line ends, so no line of
    // the mail can end the data early. A refused recipient or a line break in an address stops the mail before
    // anything more goes out.
    void sending() {
        QFETCH(QString, benAddress);
        QFETCH(QByteArray, benReply);
        QFETCH(Lines, sent);
        QFETCH(QList<int>, errors);
        ScriptedSmtpServer server({"220 ready\r\n", "250 ok\r\n", "250 sender ok\r\n", "250 a\r\n", benReply,
                                   "250 c\r\n", "250 d\r\n", "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port());
        QSignalSpy spy(&client, &SmtpClient::smtpError);
        TestMail mail(QStringLiteral(".\r\n.leading\r\nbare\nfeed\n.\nend"));
        mail.ben.setAddress(benAddress);
        QVERIFY(client.connectToHost());
        const bool delivered = sent.contains("DATA");
        QCOMPARE(client.sendMail(mail.message), delivered);
        if (delivered)
            client.quit();
        QTRY_COMPARE(server.commands(), sent);
        QCOMPARE(errorsOf(spy), errors);
        if (!delivered)
            return;
        const QByteArray data = server.log().data;
        QVERIFY2(data.contains("\r\n\r\n..\r\n..leading\r\nbare\r\nfeed\r\n..\r\nend\r\n"), data.constData());
        QVERIFY(data.endsWith("--\r\n\r\n\r\n"));
        for (const QByteArray& line : data.split('\n'))
            QVERIFY(line.isEmpty() || line.endsWith('\r'));
        QVERIFY(!data.contains("dora"));
    }

    // Boundaries are random, so a mail's own text cannot end its part early.
    void boundaries() {
        const QString boundary = MimeMultiPart().getBoundary();
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(boundary).hasMatch(), qPrintable(boundary));
        QVERIFY(MimeMultiPart().getBoundary() != boundary);
    }

    // The lines that differ from mail to mail: the date in English whatever the locale, and a Message-ID of its own.
    // The rest of the text is read back by a real server in the notification tests.
    void dateAndMessageId() {
        EmailAddress sender(QStringLiteral("notify@example.test"));
        MimeMessage message;
        message.setSender(&sender);
        message.setDate(QDateTime(QDate(2026, 3, 1), QTime(9, 5, 3), Qt::UTC));
        QLocale::setDefault(QLocale(QLocale::German));
        const QStringList lines = message.toString().split(QStringLiteral("\r\n"));
        QLocale::setDefault(QLocale::c());
        const QString id = message.getMessageId();
        QVERIFY2(QRegularExpression(QStringLiteral("^<[0-9a-f]{32}@example\\.test>$")).match(id).hasMatch(),
                 qPrintable(id));
        QVERIFY(MimeMessage().getMessageId() != id);
        QCOMPARE(lines.mid(3, 2), QStringList({"Date: Sun, 01 Mar 2026 09:05:03 +0000", "Message-ID: " + id}));
    }

    void headerEncodings_data() {
        QTest::addColumn<Header>("row");
        const auto row = [](const char* title, MimePart::Encoding encoding, const QString& name, const QString& subject,
                            const QString& from, const QString& subjectLine, const QString& address = "s@x.test") {
            testRow(title, Header{encoding, name, address, subject, from, subjectLine});
        };
        row("quoted-printable specials", MimePart::QuotedPrintable, "A: a_b", "Ü: Why? 1 = 2",
            "From: =?utf-8?Q?A=3A_a=5Fb?= <s@x.test>", "Subject: =?utf-8?Q?=C3=9C=3A_Why=3F_1_=3D_2?=");
        row("base64", MimePart::Base64, "Jörg", "Grüße", "From: =?utf-8?B?SsO2cmc=?= <s@x.test>",
            "Subject: =?utf-8?B?R3LDvMOfZQ==?=");
        row("8bit as it is", MimePart::_8Bit, "Jörg", "Grüße", "From: Jörg <s@x.test>", "Subject: Grüße");
        // A line break from outside data must not start a header line of its own.
        row("8bit line breaks", MimePart::_8Bit, "Eve\r\nBcc: a@b.test", "Lamp\r\nBcc: v@x.test",
            "From: Eve Bcc: a@b.test <s@x.test>", "Subject: Lamp Bcc: v@x.test");
        // Printable ASCII from "!" to "~" stays; DEL, like the control characters, is escaped.
        row("quoted-printable line breaks and the printable range", MimePart::QuotedPrintable, "E\nX", "L\rM!~\x7f",
            "From: =?utf-8?Q?E=0AX?= <s@x.test>", "Subject: =?utf-8?Q?L=0DM!~=7F?=");
        row("line break in the address", MimePart::_8Bit, "", "x", "From: <s@x.test> Bcc: <v@x.test>", "Subject: x",
            "s@x.test>\r\nBcc: <v@x.test");
    }

    void headerEncodings() {
        QFETCH(Header, row);
        EmailAddress sender(row.address, row.name);
        MimeMessage message;
        message.setSender(&sender);
        message.setSubject(row.subject);
        message.setHeaderEncoding(row.encoding);
        const QStringList lines = message.toString().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 3), QStringList({row.fromLine, "To:", row.subjectLine}));
    }
};

QTEST_GUILESS_MAIN(TestSmtp)
#include "test_smtp.moc"
