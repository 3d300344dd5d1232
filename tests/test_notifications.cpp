#include "notificationaccount.h"
#include "notificationmailer.h"
#include "notifications.h"
#include "parsedmail.h"
#include "scriptedsmtpserver.h"
#include "smtpserverprocess.h"

#include "testrow.h"
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QtTest>

namespace {
const QString buyer = QStringLiteral("buyer@example.test");
const QString senderAddress = QStringLiteral("notify@example.test");
using Lines = QList<QByteArray>;

QSettings programSettings() {
    return QSettings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
}

// Sends a mail through the configured account; true or false as the mailer reports it, null if it never does.
QVariant sendAndWait(const NotificationText& text) {
    QSignalSpy finished(NotificationMailer::instance(), &NotificationMailer::mailFinished);
    sendNotification(buyer, text);
    return finished.wait(20000) ? finished.first().first() : QVariant();
}

// A mail through an account pointed at a server on this machine, connection as in the settings file.
OutgoingMail mailTo(quint16 port, const QString& connection = QStringLiteral("tcp")) {
    SmtpServerProcess::writeAccount(port, connection);
    return {NotificationAccount::fromSettings(), senderAddress,          QString(), buyer,
            QStringLiteral("subject"),           QStringLiteral("body"), false,     QDateTime()};
}
} // namespace

Q_DECLARE_METATYPE(NotificationText)

// The won, lost and low-bid mails: their texts, the account they go out through, and sending them without
// ever holding up the GUI thread.
class TestNotifications : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    }

    void init() { programSettings().clear(); }

    // The subject and the lines that carry the auction's values; the fixed wording around them is the texts' own.
    void texts_data() {
        QTest::addColumn<NotificationText>("text");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("lines");
        const QString user = QStringLiteral("alice"), number = QStringLiteral("110023456789");
        testRow("won", wonNotification(user, number, "Car", 1234567.89), "Tollimer winning bid: Car",
                "Hi alice,\r\n\r\nCongratulations on winning this item!\r\n\r\nItem Number:\t110023456789\r\n"
                "Item Name:\tCar\r\nPrice:\t1234567.89\r\n");
        // Placeholder-like text in a title is the seller's text, not ours to fill.
        testRow("won name with %4", wonNotification(user, number, "50% off %4 %1", 7),
                "Tollimer winning bid: 50% off %4 %1", "Item Name:\t50% off %4 %1\r\nPrice:\t7.00\r\n");
        testRow("lost name with %5", lostNotification(user, number, "%5", 20, 1e7), "Tollimer lost bid: %5",
                "Item Number:\t110023456789\r\nItem Name:\t%5\r\nWinning Price:\t20.00\r\nYour Bid:\t10000000.00\r\n");
        testRow("low bid, rounded", lowBidNotification(user, number, "Lamp", 1234567.891, 0.005),
                "Tollimer low scheduled bid: Lamp",
                "Item Number:\t110023456789\r\nItem Name:\tLamp\r\nNext Bid:\t1234567.89\r\nYour Bid:\t0.01\r\n");
    }

    void texts() {
        QFETCH(NotificationText, text);
        QFETCH(QString, subject);
        QFETCH(QString, lines);
        QCOMPARE(text.subject, subject);
        QVERIFY2(text.body.contains(lines), qPrintable(text.body));
    }

    void accountSettings_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        // The password leaves unencrypted only when the settings ask for a plain connection in so many words.
        testRow("built-in account uses STARTTLS", "port", QStringLiteral("70000"), "connection=2");
        testRow("bad port", "port", QStringLiteral("70000"), "port=25");
        testRow("plain asked for", "connection", QStringLiteral("TCP"), "connection=0");
        testRow("unknown connection", "connection", QStringLiteral("carrier pigeon"), "connection=2");
        testRow("no sign-in", "auth", QStringLiteral("none"), "auth=none");
        testRow("unknown auth", "auth", QStringLiteral("cram-md5"), "auth=login");
        testRow("sender is the user", "sender", QStringLiteral("me@example.test"), "user=me@example.test");
    }

    void accountSettings() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        programSettings().setValue(QStringLiteral("NotificationMail/") + key, value);
        const NotificationAccount a = NotificationAccount::fromSettings();
        const char* auth = a.auth == NotificationAccount::Auth::Plain  ? "plain"
                           : a.auth == NotificationAccount::Auth::None ? "none"
                                                                       : "login";
        const QStringList fields{"port=" + QString::number(a.port), "connection=" + QString::number(a.connectionType),
                                 QStringLiteral("auth=") + auth, "user=" + a.user};
        QVERIFY2(fields.contains(expected), qPrintable(fields.join(QLatin1Char(' '))));
    }

    void delivered_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("subject");
        testRow("plain, LOGIN", "tcp", "login", QStringLiteral("Grüne Lampe"),
                QStringLiteral("Tollimer winning bid: Grüne Lampe"));
        // eBay's title goes into the subject; a line break in it must not add a header such as Bcc.
        testRow("STARTTLS with own CA, line breaks in the title", "starttls", "login",
                QStringLiteral("Lamp\r\nBcc: victim@example.test\r\n\r\nfake body"),
                QStringLiteral("Tollimer winning bid: Lamp Bcc: victim@example.test fake body"));
        testRow("SSL with own CA, PLAIN", "ssl", "plain", QStringLiteral("Lamp"),
                QStringLiteral("Tollimer winning bid: Lamp"));
        // A certificate nobody vouches for ends the session before the password goes out.
        testRow("STARTTLS, certificate not trusted", "starttls", "login", QStringLiteral("Lamp"), QString());
    }

    // A won mail through an account set in the settings file reaches a real server as the mail we meant.
    void delivered() {
        QFETCH(QString, connection);
        QFETCH(QString, auth);
        QFETCH(QString, title);
        QFETCH(QString, subject);
        SmtpServerProcess server;
        QVERIFY2(server.start(connection), server.output().constData());
        SmtpServerProcess::writeAccount(server.port(), connection, auth);
        if (subject.isEmpty())
            programSettings().remove(QStringLiteral("NotificationMail/caCertificates"));
        const NotificationText text =
            wonNotification(QStringLiteral("alice"), QStringLiteral("110023456789"), title, 12.5);
        QCOMPARE(sendAndWait(text), QVariant(!subject.isEmpty()));

        const QList<SmtpServerProcess::Received> received = server.received();
        QCOMPARE(received.size(), subject.isEmpty() ? 0 : 1);
        if (subject.isEmpty())
            return;
        QCOMPARE(received.first().envelope,
                 QStringLiteral("from notify@example.test to buyer@example.test by %1 over %2")
                     .arg(auth.toUpper(), connection == QLatin1String("tcp") ? "tcp" : "tls"));
        const ParsedMail mail = ParsedMail::parse(received.first().content);
        QCOMPARE(mail.fields({"From", "To", "Bcc", "Subject", "MIME-Version"}),
                 QStringList({"From: Tollimer Bid Notification <notify@example.test>", "To: <buyer@example.test>",
                              "Subject: " + subject, "MIME-Version: 1.0"}));
        QCOMPARE(mail.plainText(), text.body);
    }

    void scriptedSession_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<Lines>("replies");
        QTest::addColumn<bool>("delivered");
        QTest::addColumn<Lines>("commands");
        const QByteArray any = "250 anything\r\n";
        // No connection key: the built-in STARTTLS, and no password to a server that will not encrypt.
        testRow("STARTTLS refused", "", Lines{"220 ready\r\n", "250 ok\r\n", "454 no\r\n", any, any}, false,
                Lines{"EHLO localhost", "STARTTLS"});
        // A server that offers no sign-in still gets the mail after the refused login.
        testRow(
            "no sign-in offered", "tcp",
            Lines{"220 ready\r\n", "250 ok\r\n", "502 no auth here\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n",
                  "250 queued\r\n"},
            true,
            Lines{"EHLO localhost", "AUTH LOGIN", "MAIL FROM: <notify@example.test>", "RCPT TO: <buyer@example.test>"});
    }

    // Without an established (and, if asked for, encrypted) connection the password never goes out.
    void scriptedSession() {
        QFETCH(QString, connection);
        QFETCH(Lines, replies);
        QFETCH(bool, delivered);
        QFETCH(Lines, commands);
        ScriptedSmtpServer server(replies);
        SmtpServerProcess::writeAccount(server.port(), connection);
        QCOMPARE(sendAndWait(wonNotification("alice", "1", "Lamp", 1)), QVariant(delivered));
        QCOMPARE(server.commands().mid(0, 4), commands);
    }

    void exitIsBounded_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<int>("trickleMs");
        QTest::addColumn<bool>("destroy");
        testRow("TLS handshake never answered", "ssl", 0, false);
        testRow("trickling server", "tcp", 20, false);
        testRow("mailer destroyed during the handshake", "ssl", 0, true);
    }

    // At exit a mail held by a server that never finishes is given up within the promised time, queued ones
    // are dropped and later ones refused, so the program does not linger without a window. A busy mailer can
    // be destroyed as quickly, without pulling anything from under its worker.
    void exitIsBounded() {
        QFETCH(QString, connection);
        QFETCH(int, trickleMs);
        QFETCH(bool, destroy);
        ScriptedSmtpServer server(trickleMs > 0 ? Lines{"220-" + QByteArray(5000, 'x') + "\r\n"} : Lines(), trickleMs);
        const OutgoingMail mail = mailTo(server.port(), connection);
        auto* mailer = new NotificationMailer;
        // Handing mails over never waits for the server: the GUI thread's timers and snipes go on meanwhile.
        QElapsedTimer elapsed;
        elapsed.start();
        mailer->enqueue(mail);
        mailer->enqueue(mail);
        QVERIFY(elapsed.elapsed() < 1000);
        QCOMPARE(mailer->pendingMails(), 2);
        QTRY_COMPARE(server.log().connections, 1);
        elapsed.restart();
        if (destroy) {
            delete mailer;
            QVERIFY2(elapsed.elapsed() < NotificationMailer::cancelGraceMs + 2000,
                     qPrintable(QString::number(elapsed.elapsed())));
        } else {
            QVERIFY(mailer->shutdown(NotificationMailer::exitGraceMs));
            QVERIFY2(elapsed.elapsed() < NotificationMailer::exitGraceMs + NotificationMailer::cancelGraceMs + 1500,
                     qPrintable(QString::number(elapsed.elapsed())));
            QCOMPARE(mailer->pendingMails(), 0);
            mailer->enqueue(mail);
            QCOMPARE(mailer->pendingMails(), 0);
            delete mailer;
        }
        QTRY_VERIFY(server.log().clientGone);
        QCOMPARE(server.log().connections, 1);
    }

    // A mail that the server takes within the grace time is not lost at exit.
    void shutdownLetsPendingMailFinish() {
        SmtpServerProcess server;
        QVERIFY2(server.start(), server.output().constData());
        NotificationMailer mailer;
        mailer.enqueue(mailTo(server.port()));
        QVERIFY(mailer.shutdown(30000));
        QCOMPARE(server.received().size(), 1);
    }

private:
    QTemporaryDir m_settingsDir;
};

QTEST_GUILESS_MAIN(TestNotifications)
#include "test_notifications.moc"
