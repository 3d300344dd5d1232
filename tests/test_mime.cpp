#include "emailaddress.h"
#include "mimeattachment.h"
#include "mimecontentformatter.h"
#include "mimefile.h"
#include "mimehtml.h"
#include "mimeinlinefile.h"
#include "mimemessage.h"
#include "mimemultipart.h"
#include "mimetext.h"
#include "quotedprintable.h"

#include <QTemporaryDir>
#include <QtTest>

// The mail text as it leaves the program: encoders, line wrapping, part headers and the message header.
class TestMime : public QObject {
    Q_OBJECT

private slots:
    void quotedPrintableEncode_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("equals and line feed") << QByteArray("a=b\n") << QStringLiteral("a=3Db=0A");
        QTest::newRow("CR LF") << QByteArray("x\r\ny") << QStringLiteral("x=0D=0Ay");
        QTest::newRow("spaces stay") << QByteArray("a b  c ") << QStringLiteral("a b  c ");
        QTest::newRow("tab") << QByteArray("\t") << QStringLiteral("=09");
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

    void quotedPrintableDecodeLeavesBrokenEscapes_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("end of text") << QStringLiteral("ab=4") << QByteArray("ab=4");
        QTest::newRow("not hex") << QStringLiteral("=ZZx") << QByteArray("=ZZx");
        QTest::newRow("lower-case hex") << QStringLiteral("=3d") << QByteArray("=3d");
        QTest::newRow("lone equals") << QStringLiteral("=") << QByteArray("=");
        QTest::newRow("wide character") << QStringLiteral("a\u20ac") << QByteArray("a\0", 2);
    }

    void quotedPrintableDecodeLeavesBrokenEscapes() {
        QFETCH(QString, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(QuotedPrintable::decode(input), expected);
    }

    void base64Wrapping_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("100") << 100 << QList<int>{76, 24};
        QTest::newRow("exactly 76") << 76 << QList<int>{76};
        QTest::newRow("77") << 77 << QList<int>{76, 1};
        QTest::newRow("152") << 152 << QList<int>{76, 76};
    }

    void base64Wrapping() {
        QFETCH(int, length);
        QFETCH(QList<int>, lines);
        const QString text(length, QLatin1Char('Q'));
        const QStringList out = MimeContentFormatter(76).format(text, false).split(QStringLiteral("\r\n"));
        QList<int> lengths;
        for (const QString& line : out)
            lengths << line.size();
        QCOMPARE(lengths, lines);
    }

    // Soft breaks keep every line within 76 characters including the "=", and never split an escape.
    void quotedPrintableWrapping_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("200 escapes") << QByteArray(200, '=');
        QTest::newRow("plain text") << QByteArray(300, 'a');
        QTest::newRow("mixed") << QByteArray("ab=cd\xc3\xa9 ").repeated(40);
        QTest::newRow("escape at the edge") << QByteArray(73, 'x') + QByteArray(10, '=');
    }

    void quotedPrintableWrapping() {
        QFETCH(QByteArray, input);
        const QString encoded = QuotedPrintable::encode(input);
        const QString wrapped = MimeContentFormatter(76).format(encoded, true);
        const QStringList lines = wrapped.split(QStringLiteral("\r\n"));
        for (int i = 0; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            QVERIFY2(line.size() <= 76, qPrintable(line));
            QString content = line;
            if (i + 1 < lines.size()) {
                QVERIFY(content.endsWith(QLatin1Char('=')));
                content.chop(1);
            }
            // Each "=" in the content must be followed by its two digits on the same line.
            for (int at = content.indexOf(QLatin1Char('=')); at >= 0; at = content.indexOf(QLatin1Char('='), at + 3))
                QVERIFY2(at + 2 < content.size(), qPrintable(line));
        }
        QString joined = wrapped;
        joined.remove(QStringLiteral("=\r\n"));
        QCOMPARE(QuotedPrintable::decode(joined), input);
    }

    void partTexts_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "text"
                              << "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
                                 "Grüße\r\nline two\r\n";
        QTest::newRow("html") << "html"
                              << "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
                                 "Grüße\r\nline two\r\n";
        QTest::newRow("quoted-printable with id")
            << "qp"
            << "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n"
               "Content-ID: <part1>\r\nX-Extra: yes\r\n\r\nGr=C3=BC=C3=9Fe=0D=0Aline two\r\n";
    }

    void partTexts() {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const QString text = QStringLiteral("Grüße\r\nline two");
        std::unique_ptr<MimeText> part(kind == QLatin1String("html") ? new MimeHtml(text) : new MimeText(text));
        if (kind == QLatin1String("qp")) {
            part->setEncoding(MimePart::QuotedPrintable);
            part->setContentId(QStringLiteral("part1"));
            part->addHeaderLine(QStringLiteral("X-Extra: yes"));
        }
        QCOMPARE(part->toString(), expected);
    }

    void filePartTexts_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("disposition");
        QTest::newRow("file") << "file" << QString();
        QTest::newRow("inline") << "inline"
                                << "Content-Disposition: inline\r\n";
        QTest::newRow("attachment") << "attachment"
                                    << "Content-disposition: attachment\r\n";
    }

    // A file part carries its name and its bytes in Base64 lines of 76; preparing it again (as its multipart
    // does each time) does not repeat the disposition line.
    void filePartTexts() {
        QFETCH(QString, kind);
        QFETCH(QString, disposition);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("report 1.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes;
        for (int i = 0; i < 100; ++i)
            bytes.append(static_cast<char>(i * 7));
        file.write(bytes);
        file.close();

        std::unique_ptr<MimeFile> part;
        if (kind == QLatin1String("inline"))
            part.reset(new MimeInlineFile(&file));
        else if (kind == QLatin1String("attachment"))
            part.reset(new MimeAttachment(&file));
        else
            part.reset(new MimeFile(&file));
        part->prepare();
        part->prepare();
        const QString base64 = QString::fromLatin1(bytes.toBase64());
        const QString expected = QStringLiteral("Content-Type: application/octet-stream; name=\"report 1.bin\"\r\n"
                                                "Content-Transfer-Encoding: base64\r\n") +
                                 disposition + QStringLiteral("\r\n") + base64.left(76) + QStringLiteral("\r\n") +
                                 base64.mid(76) + QStringLiteral("\r\n");
        QCOMPARE(part->toString(), expected);
    }

    void unreadableFileGivesEmptyBody() {
        QFile missing(QStringLiteral("/nonexistent/dir/missing.txt"));
        MimeAttachment part(&missing);
        QVERIFY(part.toString().endsWith(QLatin1String("attachment\r\n\r\n\r\n")));
    }

    void boundaries() {
        QSet<QString> seen;
        for (int i = 0; i < 12; ++i) {
            MimeMultiPart multi;
            QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(multi.getBoundary()).hasMatch(),
                     qPrintable(multi.getBoundary()));
            seen.insert(multi.getBoundary());
        }
        QVERIFY(seen.size() > 1);
    }

    // The whole text of a default message with one text part, line by line.
    void messageText() {
        EmailAddress sender(QStringLiteral("notify@example.test"));
        EmailAddress recipient(QStringLiteral("buyer@example.test"), QStringLiteral("Anna Buyer"));
        MimeText text(QStringLiteral("Hello there"));
        MimeMessage message;
        message.setSender(&sender);
        message.addRecipient(&recipient);
        message.setSubject(QStringLiteral("the subject"));
        message.addPart(&text);
        const QString boundary = static_cast<MimeMultiPart*>(message.getContent())->getBoundary();
        const QString expected = QStringLiteral("From: <notify@example.test>\r\n"
                                                "To: Anna Buyer <buyer@example.test>\r\n"
                                                "Subject: the subject\r\n"
                                                "MIME-Version: 1.0\r\n"
                                                "Content-Type: multipart/related; boundary=%1\r\n"
                                                "Content-Transfer-Encoding: 8bit\r\n"
                                                "\r\n"
                                                "--%1\r\n"
                                                "Content-Type: text/plain; charset=utf-8\r\n"
                                                "Content-Transfer-Encoding: 8bit\r\n"
                                                "\r\n"
                                                "Hello there\r\n"
                                                "--%1--\r\n"
                                                "\r\n")
                                     .arg(boundary);
        QCOMPARE(message.toString(), expected);
        QCOMPARE(message.getParts(), QList<MimePart*>{&text});
    }

    void recipientLines_data() {
        QTest::addColumn<int>("toCount");
        QTest::addColumn<int>("ccCount");
        QTest::addColumn<QString>("expectedHeader");
        QTest::newRow("empty To") << 0 << 0 << "From: <s@x.test>\r\nTo:\r\nSubject: \r\n";
        QTest::newRow("two To") << 2 << 0 << "From: <s@x.test>\r\nTo: <r0@x.test>, N1 <r1@x.test>\r\nSubject: \r\n";
        QTest::newRow("To and Cc") << 1 << 2
                                   << "From: <s@x.test>\r\nTo: <r0@x.test>\r\nCc: <c0@x.test>, N1 <c1@x.test>\r\n"
                                      "Subject: \r\n";
    }

    // Bcc recipients never show in the text.
    void recipientLines() {
        QFETCH(int, toCount);
        QFETCH(int, ccCount);
        QFETCH(QString, expectedHeader);
        EmailAddress sender(QStringLiteral("s@x.test"));
        QList<EmailAddress*> owned;
        MimeMessage message;
        message.setSender(&sender);
        for (int i = 0; i < toCount; ++i) {
            owned << new EmailAddress(QStringLiteral("r%1@x.test").arg(i), i ? QStringLiteral("N%1").arg(i) : "");
            message.addRecipient(owned.last(), MimeMessage::To);
        }
        for (int i = 0; i < ccCount; ++i) {
            owned << new EmailAddress(QStringLiteral("c%1@x.test").arg(i), i ? QStringLiteral("N%1").arg(i) : "");
            message.addRecipient(owned.last(), MimeMessage::Cc);
        }
        owned << new EmailAddress(QStringLiteral("hidden@x.test"), QStringLiteral("Hidden"));
        message.addBcc(owned.last());
        const QString text = message.toString();
        QVERIFY2(text.startsWith(expectedHeader), qPrintable(text));
        QVERIFY(!text.contains(QLatin1String("hidden")));
        // A header line, not the letters: the random boundary may well contain "bcc".
        QVERIFY(!text.startsWith(QLatin1String("Bcc:"), Qt::CaseInsensitive));
        QVERIFY(!text.contains(QLatin1String("\r\nBcc:"), Qt::CaseInsensitive));
        QCOMPARE(message.getRecipients(MimeMessage::Bcc).size(), 1);
        qDeleteAll(owned);
    }

    void headerEncodings_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("fromLine");
        QTest::addColumn<QString>("subjectLine");
        QTest::newRow("quoted-printable colon and space") << int(MimePart::QuotedPrintable) << "A: B"
                                                          << "Ü: 1 = 2"
                                                          << "From: =?utf-8?Q?A=3A_B?= <s@x.test>"
                                                          << "Subject: =?utf-8?Q?=C3=9C=3A_1_=3D_2?=";
        QTest::newRow("quoted-printable underscore and question mark") << int(MimePart::QuotedPrintable) << "a_b c"
                                                                       << "Why?=no"
                                                                       << "From: =?utf-8?Q?a=5Fb_c?= <s@x.test>"
                                                                       << "Subject: =?utf-8?Q?Why=3F=3Dno?=";
        QTest::newRow("base64") << int(MimePart::Base64) << "Jörg"
                                << "Grüße"
                                << "From: =?utf-8?B?SsO2cmc=?= <s@x.test>"
                                << "Subject: =?utf-8?B?R3LDvMOfZQ==?=";
        QTest::newRow("8bit as it is") << int(MimePart::_8Bit) << "Jörg"
                                       << "Grüße"
                                       << "From: Jörg <s@x.test>"
                                       << "Subject: Grüße";
        QTest::newRow("7bit as it is") << int(MimePart::_7Bit) << "A: B"
                                       << "x: y"
                                       << "From: A: B <s@x.test>"
                                       << "Subject: x: y";
        // A line break from outside data must not start a header line of its own.
        QTest::newRow("8bit line breaks") << int(MimePart::_8Bit) << "Eve\r\nBcc: a@b.test"
                                          << "Lamp\r\nBcc: v@x.test"
                                          << "From: Eve Bcc: a@b.test <s@x.test>"
                                          << "Subject: Lamp Bcc: v@x.test";
        QTest::newRow("quoted-printable line breaks") << int(MimePart::QuotedPrintable) << "E\nX"
                                                      << "L\rM"
                                                      << "From: =?utf-8?Q?E=0AX?= <s@x.test>"
                                                      << "Subject: =?utf-8?Q?L=0DM?=";
    }

    void headerEncodings() {
        QFETCH(int, encoding);
        QFETCH(QString, name);
        QFETCH(QString, subject);
        QFETCH(QString, fromLine);
        QFETCH(QString, subjectLine);
        EmailAddress sender(QStringLiteral("s@x.test"), name);
        MimeMessage message;
        message.setSender(&sender);
        message.setSubject(subject);
        message.setHeaderEncoding(static_cast<MimePart::Encoding>(encoding));
        const QStringList lines = message.toString().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(0), fromLine);
        QCOMPARE(lines.at(1), QStringLiteral("To:"));
        QCOMPARE(lines.at(2), subjectLine);
        QCOMPARE(lines.at(3), QStringLiteral("MIME-Version: 1.0"));
    }

    void addressLineBreakStaysInHeader() {
        EmailAddress sender(QStringLiteral("s@x.test"));
        EmailAddress recipient(QStringLiteral("r@x.test>\r\nBcc: <v@x.test"));
        MimeMessage message;
        message.setSender(&sender);
        message.addTo(&recipient);
        QCOMPARE(message.toString().split(QStringLiteral("\r\n")).at(1),
                 QStringLiteral("To: <r@x.test> Bcc: <v@x.test>"));
    }

    void contentWithoutMultipart() {
        MimeText text(QStringLiteral("body"));
        MimeText extra(QStringLiteral("ignored"));
        EmailAddress sender(QStringLiteral("s@x.test"));
        MimeMessage message(false);
        QVERIFY(!message.getContent());
        message.setSender(&sender);
        message.setContent(&text);
        message.addPart(&extra);
        QCOMPARE(message.getParts(), QList<MimePart*>{&text});
        QVERIFY(
            message.toString().endsWith(QLatin1String("MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n"
                                                      "Content-Transfer-Encoding: 8bit\r\n\r\nbody\r\n")));
    }

    void contentNameLineBreak() {
        MimeText part(QStringLiteral("x"));
        part.setContentName(QStringLiteral("a\r\nX-Injected: 1"));
        QVERIFY(part.toString().startsWith(
            QLatin1String("Content-Type: text/plain; name=\"a X-Injected: 1\"; charset=utf-8\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestMime)
#include "test_mime.moc"
