#include "emailaddress.h"
#include "mimemessage.h"
#include "mimemultipart.h"
#include "mimetext.h"
#include "quotedprintable.h"
#include "testrow.h"

#include <QtTest>

// The mail text as it leaves the program: the message header and the encoded words in it. Body encodings other
// than 8bit and their line wrapping serve no mail the program sends.
class TestMime : public QObject {
    Q_OBJECT

private slots:
    void quotedPrintableEncode_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        // Decoding what was encoded is the fuzz target's property; here which bytes are escaped, and how.
        testRow("printable and spaces stay", QByteArray("!a b  ~ "), QStringLiteral("!a b  ~ "));
        testRow("the rest in upper-case hex", QByteArray("=\n\x7f\x00", 4) + QStringLiteral("é").toUtf8(),
                QStringLiteral("=3D=0A=7F=00=C3=A9"));
    }

    void quotedPrintableEncode() {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QCOMPARE(QuotedPrintable::encode(input), expected);
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
        row("quoted-printable specials", MimePart::QuotedPrintable, "A: a_b", "Ü: Why? 1 = 2",
            "From: =?utf-8?Q?A=3A_a=5Fb?= <s@x.test>", "Subject: =?utf-8?Q?=C3=9C=3A_Why=3F_1_=3D_2?=");
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
