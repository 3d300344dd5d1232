#include "notificationmailer.h"
#include "notifications.h"
#include "sandboxprocess.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The demo's mail path end to end: the settings the demo script writes point the program's notification
// account at the sandbox's SMTP side, and a won mail sent by the program arrives there intact and readable.
class TestDemoMail : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_settingsDir;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }

    void wonMailReachesTheSandbox_data() {
        QTest::addColumn<QString>("auth");
        QTest::addColumn<QString>("itemName");
        QTest::newRow("login, as the demo")
            << "login" << QStringLiteral("Signed first edition, The Hobbit (1937 reprint)");
        QTest::newRow("plain, non-ASCII title") << "plain" << QString::fromUtf8("Märklin H0 Dampflok BR 01 – 1:87");
    }

    void wonMailReachesTheSandbox() {
        QFETCH(QString, auth);
        QFETCH(QString, itemName);
        SandboxProcess sandbox;
        QVERIFY(sandbox.start({QStringLiteral("--smtp-port"), QStringLiteral("0")}));
        const quint16 smtpPort = sandbox.smtpPort();
        QVERIFY2(smtpPort != 0, sandbox.output().constData());

        // Exactly the group ./tollimer.sh demo writes into the demo's settings file.
        QSettings settings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
        settings.clear();
        settings.beginGroup(QStringLiteral("NotificationMail"));
        settings.setValue(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
        settings.setValue(QStringLiteral("port"), smtpPort);
        settings.setValue(QStringLiteral("connection"), QStringLiteral("tcp"));
        settings.setValue(QStringLiteral("auth"), auth);
        settings.setValue(QStringLiteral("sender"), QStringLiteral("notify@tollimer.test"));
        settings.endGroup();
        settings.sync();

        const NotificationText text =
            wonNotification(QStringLiteral("sniper_uk"), QStringLiteral("110000000004"), itemName, 8.5);
        QSignalSpy finished(NotificationMailer::instance(), &NotificationMailer::mailFinished);
        sendNotification(QStringLiteral("newcomer@example.test"), text);
        QVERIFY(finished.wait(20000));
        QVERIFY(finished.first().first().toBool());

        const QJsonArray mails = sandbox.controlJson("GET", QStringLiteral("/_sandbox/mails"))["mails"].toArray();
        QCOMPARE(mails.size(), 1);
        const QJsonObject mail = mails.at(0).toObject();
        QCOMPARE(mail.value(QStringLiteral("from")).toString(), QStringLiteral("notify@tollimer.test"));
        QCOMPARE(mail.value(QStringLiteral("to")).toArray(), QJsonArray{QStringLiteral("newcomer@example.test")});
        QCOMPARE(mail.value(QStringLiteral("authMechanism")).toString(), auth.toUpper());
        QCOMPARE(mail.value(QStringLiteral("subject")).toString(), text.subject);
        QString body = text.body;
        body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QCOMPARE(mail.value(QStringLiteral("text")).toString(), body.trimmed());
    }
};

QTEST_GUILESS_MAIN(TestDemoMail)
#include "test_demo_mail.moc"
