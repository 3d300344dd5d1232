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

// Points the notification account at a loopback server, the way a user would in the settings file.
void setAccount(quint16 port, const QString& connection = "tcp", const QString& auth = "login") {
    const QVariantMap values{{"host", "127.0.0.1"},
                             {"port", port},
                             {"connection", connection},
                             {"auth", auth},
                             {"sender", senderAddress},
                             {"user", SmtpServerProcess::user()},
                             {"password", SmtpServerProcess::password()},
                             {"caCertificates", SmtpServerProcess::certificateFile()}};
    QSettings settings = programSettings();
    for (auto value = values.begin(); value != values.end(); ++value) {
        if (!value.value().toString().isEmpty())
            settings.setValue("NotificationMail/" + value.key(), value.value());
    }
}

// Sends a mail through the configured account; true or false as the mailer reports it, null if it never does.
QVariant sendAndWait(const NotificationText& text) {
    QSignalSpy finished(NotificationMailer::instance(), &NotificationMailer::mailFinished);
    sendNotification(buyer, text);
    return finished.wait(20000) ? finished.first().first() : QVariant();
}

OutgoingMail mailTo(quint16 port, SmtpClient::ConnectionType connection = SmtpClient::TcpConnection) {
    NotificationAccount account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = port;
    account.connectionType = connection;
    account.user = SmtpServerProcess::user();
    account.password = SmtpServerProcess::password();
    return {account, senderAddress, QString(), buyer, QStringLiteral("subject"), QStringLiteral("body"),
            false,   QDateTime()};
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

    void texts_data() {
        QTest::addColumn<NotificationText>("text");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        const QString won = QStringLiteral("Hi alice,\r\n\r\nCongratulations on winning this item!\r\n\r\n"
                                           "Item Number:\t110023456789\r\nItem Name:\t%1\r\nPrice:\t%2\r\n\r\n"
                                           "Regards,\r\nwww.tollimer.com");
        const QString lost = QStringLiteral("Hi alice,\r\n\r\nSorry you didn't win this item!\r\n\r\n"
                                            "Item Number:\t110023456789\r\nItem Name:\t%1\r\nWinning Price:\t%2\r\n"
                                            "Your Bid:\t%3\r\n\r\nRegards,\r\nwww.tollimer.com");
        const QString low = QStringLiteral("Hi alice,\r\n\r\nYour scheduled bid is lower than the current bid! You "
                                           "need to raise your bid if you want to win the item.\r\n\r\n"
                                           "Item Number:\t110023456789\r\nItem Name:\t%1\r\nNext Bid:\t%2\r\n"
                                           "Your Bid:\t%3\r\n\r\nRegards,\r\nwww.tollimer.com");
        const QString user = QStringLiteral("alice");
        const QString number = QStringLiteral("110023456789");
        const auto row = [](const char* title, const NotificationText& text, const QString& subject,
                            const QString& body) { QTest::newRow(title) << text << subject << body; };
        row("won 12.5", wonNotification(user, number, "Lamp", 12.5), "Tollimer winning bid: Lamp",
            won.arg("Lamp", "12.50"));
        row("won million", wonNotification(user, number, "Car", 1234567.89), "Tollimer winning bid: Car",
            won.arg("Car", "1234567.89"));
        // Placeholder-like text in a title is the seller's text, not ours to fill.
        row("won name with %4", wonNotification(user, number, "50% off %4 %1", 7),
            "Tollimer winning bid: 50% off %4 %1", won.arg("50% off %4 %1", "7.00"));
        row("lost", lostNotification(user, number, "Lamp", 20.25, 12), "Tollimer lost bid: Lamp",
            lost.arg("Lamp", "20.25", "12.00"));
        row("lost name with %5", lostNotification(user, number, "%5", 20, 1e7), "Tollimer lost bid: %5",
            lost.arg("%5", "20.00", "10000000.00"));
        row("low bid", lowBidNotification(user, number, "Lamp", 12.5, 12), "Tollimer low scheduled bid: Lamp",
            low.arg("Lamp", "12.50", "12.00"));
        row("low bid rounding", lowBidNotification(user, number, "Lamp", 1234567.891, 0.005),
            "Tollimer low scheduled bid: Lamp", low.arg("Lamp", "1234567.89", "0.01"));
    }

    void texts() {
        QFETCH(NotificationText, text);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QCOMPARE(text.subject, subject);
        QCOMPARE(text.body, body);
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
        const QStringList fields{"host=" + a.host,
                                 "port=" + QString::number(a.port),
                                 "connection=" + QString::number(a.connectionType),
                                 QStringLiteral("auth=") + (a.auth == NotificationAccount::Auth::Plain  ? "plain"
                                                            : a.auth == NotificationAccount::Auth::None ? "none"
                                                                                                        : "login"),
                                 "user=" + a.user,
                                 "password=" + a.password,
                                 "ca=" + a.caCertificatesFile};
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
        setAccount(server.port(), connection, auth);
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
        testRow("greeting refused", "tcp", Lines{"554 go away\r\n", any, any}, false, Lines());
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
        setAccount(server.port(), connection);
        QCOMPARE(sendAndWait(wonNotification("alice", "1", "Lamp", 1)), QVariant(delivered));
        QCOMPARE(server.commands().mid(0, 4), commands);
    }

    void exitIsBounded_data() {
        QTest::addColumn<int>("connection");
        QTest::addColumn<int>("trickleMs");
        QTest::addColumn<bool>("destroy");
        testRow("silent server", int(SmtpClient::TcpConnection), 0, false);
        testRow("TLS handshake never answered", int(SmtpClient::SslConnection), 0, false);
        testRow("trickling server", int(SmtpClient::TcpConnection), 20, false);
        testRow("mailer destroyed during the handshake", int(SmtpClient::SslConnection), 0, true);
    }

    // At exit a mail held by a server that never finishes is given up within the promised time, queued ones
    // are dropped and later ones refused, so the program does not linger without a window. A busy mailer can
    // be destroyed as quickly, without pulling anything from under its worker.
    void exitIsBounded() {
        QFETCH(int, connection);
        QFETCH(int, trickleMs);
        QFETCH(bool, destroy);
        ScriptedSmtpServer server(trickleMs > 0 ? Lines{"220-" + QByteArray(5000, 'x') + "\r\n"} : Lines(), trickleMs);
        const OutgoingMail mail = mailTo(server.port(), static_cast<SmtpClient::ConnectionType>(connection));
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
