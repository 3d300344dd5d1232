#include "emailaddress.h"
#include "mimemessage.h"
#include "mimemultipart.h"
#include "mimetext.h"
#include "quotedprintable.h"

#include <QtTest>

// The mail text as it leaves the program: the message header and the encoded words in it. Body encodings other
// than 8bit and their line wrapping serve no mail the program sends.
class TestMime : public QObject {
    Q_OBJECT

private slots:
    void quotedPrintableEncode_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("equals and line feed") << QByteArray("a=b\n") << QStringLiteral("a=3Db=0A");
        QTest::newRow("spaces stay") << QByteArray("a b  c ") << QStringLiteral("a b  c ");
        QTest::newRow("printable edges") << QByteArray("!~") << QStringLiteral("!~");
        QTest::newRow("DEL and zero") << QByteArray("\x7f\x00", 2) << QStringLiteral("=7F=00");
        QTest::newRow("UTF-8 upper-case hex") << QStringLiteral("é").toUtf8() << QStringLiteral("=C3=A9");
    }

    void quotedPrintableEncode() {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QCOMPARE(QuotedPrintable::encode(input), expected);
        QCOMPARE(QuotedPrintable::decode(expected), input);
    }

    // Boundaries are random, so a mail's own text cannot end its part early.
    void boundaries() {
        QSet<QString> seen;
        for (int i = 0; i < 12; ++i) {
            const QString boundary = MimeMultiPart().getBoundary();
            QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(boundary).hasMatch(),
                     qPrintable(boundary));
            seen.insert(boundary);
        }
        QVERIFY(seen.size() > 1);
    }

    // The whole text of a message as the mailer composes it, line by line; the date in English whatever the locale.
    void messageText() {
        EmailAddress sender(QStringLiteral("notify@example.test"));
        EmailAddress recipient(QStringLiteral("buyer@example.test"), QStringLiteral("Anna Buyer"));
        MimeText text(QStringLiteral("Hello there"));
        MimeMessage message;
        message.setSender(&sender);
        message.addRecipient(&recipient);
        message.setSubject(QStringLiteral("the subject"));
        message.addPart(&text);
        message.setDate(QDateTime(QDate(2026, 3, 1), QTime(9, 5, 3), Qt::UTC));
        QLocale::setDefault(QLocale(QLocale::German));
        const QString id = message.getMessageId();
        QVERIFY2(QRegularExpression(QStringLiteral("^<[0-9a-f]{32}@example\\.test>$")).match(id).hasMatch(),
                 qPrintable(id));
        QVERIFY(MimeMessage().getMessageId() != id);
        const QString expected = QStringLiteral("From: <notify@example.test>\r\nTo: Anna Buyer <buyer@example.test>\r\n"
                                                "Subject: the subject\r\nDate: Sun, 01 Mar 2026 09:05:03 +0000\r\n"
                                                "Message-ID: %2\r\nMIME-Version: 1.0\r\n"
                                                "Content-Type: multipart/related; boundary=%1\r\n"
                                                "Content-Transfer-Encoding: 8bit\r\n\r\n--%1\r\n"
                                                "Content-Type: text/plain; charset=utf-8\r\n"
                                                "Content-Transfer-Encoding: 8bit\r\n\r\nHello there\r\n--%1--\r\n\r\n");
        QCOMPARE(message.toString(),
                 expected.arg(static_cast<MimeMultiPart*>(message.getContent())->getBoundary(), id));
        QLocale::setDefault(QLocale::c());
    }

    void headerEncodings_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("fromLine");
        QTest::addColumn<QString>("subjectLine");
        const auto row = [](const char* title, MimePart::Encoding encoding, const QString& name, const QString& subject,
                            const QString& from, const QString& subjectLine, const QString& address = "s@x.test") {
            QTest::newRow(title) << int(encoding) << name << address << subject << from << subjectLine;
        };
        row("quoted-printable colon and space", MimePart::QuotedPrintable, "A: B", "Ü: 1 = 2",
            "From: =?utf-8?Q?A=3A_B?= <s@x.test>", "Subject: =?utf-8?Q?=C3=9C=3A_1_=3D_2?=");
        row("quoted-printable underscore and question mark", MimePart::QuotedPrintable, "a_b c", "Why?=no",
            "From: =?utf-8?Q?a=5Fb_c?= <s@x.test>", "Subject: =?utf-8?Q?Why=3F=3Dno?=");
        row("base64", MimePart::Base64, "Jörg", "Grüße", "From: =?utf-8?B?SsO2cmc=?= <s@x.test>",
            "Subject: =?utf-8?B?R3LDvMOfZQ==?=");
        row("8bit as it is", MimePart::_8Bit, "Jörg", "Grüße", "From: Jörg <s@x.test>", "Subject: Grüße");
        // A line break from outside data must not start a header line of its own.
        row("8bit line breaks", MimePart::_8Bit, "Eve\r\nBcc: a@b.test", "Lamp\r\nBcc: v@x.test",
            "From: Eve Bcc: a@b.test <s@x.test>", "Subject: Lamp Bcc: v@x.test");
        row("quoted-printable line breaks", MimePart::QuotedPrintable, "E\nX", "L\rM",
            "From: =?utf-8?Q?E=0AX?= <s@x.test>", "Subject: =?utf-8?Q?L=0DM?=");
        row("line break in the address", MimePart::_8Bit, "", "x", "From: <s@x.test> Bcc: <v@x.test>", "Subject: x",
            "s@x.test>\r\nBcc: <v@x.test");
    }

    void headerEncodings() {
        QFETCH(int, encoding);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, fromLine);
        QFETCH(QString, subjectLine);
        EmailAddress sender(address, name);
        MimeMessage message;
        message.setSender(&sender);
        message.setSubject(subject);
        message.setHeaderEncoding(static_cast<MimePart::Encoding>(encoding));
        const QStringList lines = message.toString().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 3), QStringList({fromLine, "To:", subjectLine}));
        QVERIFY(lines.at(3).startsWith(QLatin1String("Date: ")));
    }
};

QTEST_GUILESS_MAIN(TestMime)
#include "test_mime.moc"
