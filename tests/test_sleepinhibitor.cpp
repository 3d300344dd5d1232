#include "clockmanager.h"
#include "sleepinhibitor.h"
#include "testrow.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <poll.h>
#include <unistd.h>

// systemd-logind's manager as far as the inhibitor uses it, on a private bus: records each Inhibit call and hands
// out the writing end of a pipe, so that its reading end tells whether the program still holds the inhibitor.
class LogindStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QList<QStringList> calls;
    QList<int> readEnds;

    ~LogindStandIn() override {
        for (int fd : readEnds)
            ::close(fd);
    }
    // Whether every copy of the descriptor handed out by the call has been closed.
    bool released(int call) const {
        pollfd polled{readEnds.at(call), POLLIN, 0};
        return ::poll(&polled, 1, 0) == 1 && (polled.revents & POLLHUP);
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
        calls.append({what, who, why, mode});
        int ends[2];
        if (::pipe(ends) != 0)
            return QDBusUnixFileDescriptor();
        readEnds.append(ends[0]);
        const QDBusUnixFileDescriptor handed(ends[1]); // a copy of its own
        ::close(ends[1]);
        return handed;
    }
};

// Sleep is held off while a snipe is near and only then, against a private bus, never the machine's logind.
class TestSleepInhibitor : public QObject {
    Q_OBJECT

    QProcess m_daemon;
    QString m_address;
    LogindStandIn m_logind;
    ClockManager m_clock;
    const QDateTime m_now = ClockManager::parseEbayTime("2026-12-07T20:00:00");

private slots:
    void initTestCase() {
        m_daemon.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
        QVERIFY2(m_daemon.waitForReadyRead(10000), "dbus-daemon (Debian package dbus-daemon) did not start");
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        QDBusConnection service = QDBusConnection::connectToBus(m_address, "logind-stand-in");
        QVERIFY(service.registerObject("/org/freedesktop/login1", &m_logind, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.login1"));
    }

    void cleanupTestCase() {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }

    void init() {
        m_logind.calls.clear();
        m_clock.internalClock()->setDateTime(m_now);
    }

    void holdsOnlyWhileNear_data() {
        QTest::addColumn<int>("secondsAway");
        QTest::addColumn<int>("tick");
        QTest::addColumn<bool>("held");
        testRow("eleven minutes away", 660, 0, false);
        testRow("nine minutes away", 540, 0, true);
        testRow("brought near by the clock's tick", 601, 2, true);
        testRow("due half a minute ago, answer awaited", -30, 0, true);
        testRow("due over a minute ago", -61, 0, false);
    }

    // Taken when the snipe is set near or the clock brings it near (tick: seconds the clock moves on), let go (the
    // descriptor closed) when the engine says none is left.
    void holdsOnlyWhileNear() {
        QFETCH(int, secondsAway);
        QFETCH(int, tick);
        QFETCH(bool, held);
        SleepInhibitor inhibitor(QDBusConnection::connectToBus(m_address, "inhibitor"), &m_clock);
        QSignalSpy changed(&inhibitor, &SleepInhibitor::heldChanged);
        const QDateTime moment = m_now.addSecs(secondsAway);
        inhibitor.setNextSnipe(moment, "110000000004");
        m_clock.internalClock()->setDateTime(m_now.addSecs(tick));
        inhibitor.check();
        QCOMPARE(changed.wait(held ? 10000 : 300), held);
        QCOMPARE(inhibitor.isHeld(), held);
        if (!held) {
            QCOMPARE(m_logind.calls.size(), 0);
            return;
        }
        const QString why = "Snipe on item 110000000004 at " + moment.toLocalTime().toString("HH:mm:ss");
        QCOMPARE(m_logind.calls.first(), (QStringList{"sleep", "Tollimer", why, "block"}));
        QCOMPARE(changed.first(), (QVariantList{true, why}));
        QVERIFY(inhibitor.statusText().startsWith("Sleep held off: " + why));
        QVERIFY(!m_logind.released(m_logind.readEnds.size() - 1));
        inhibitor.setNextSnipe(QDateTime(), QString());
        QCOMPARE(changed.last(), (QVariantList{false, QString()}));
        QTRY_VERIFY(m_logind.released(m_logind.readEnds.size() - 1));
        QCOMPARE(m_logind.calls.size(), 1);
    }

    void withoutLogindNothingBreaks_data() {
        QTest::addColumn<bool>("bus");
        testRow("a bus without logind", true);
        testRow("no bus at all", false);
    }

    // One log line, no inhibitor, and no call again for the same snipe on every tick.
    void withoutLogindNothingBreaks() {
        QFETCH(bool, bus);
        QDBusConnection service = QDBusConnection::connectToBus(m_address, "logind-stand-in");
        service.unregisterService("org.freedesktop.login1");
        SleepInhibitor inhibitor(QDBusConnection::connectToBus(bus ? m_address : "unix:path=/nonexistent", "other"),
                                 &m_clock);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot keep the computer awake for snipes"));
        inhibitor.setNextSnipe(m_now.addSecs(60), "110000000004");
        QTRY_VERIFY(!inhibitor.lastError().isEmpty());
        inhibitor.check();
        QVERIFY(!inhibitor.isHeld());
        QDBusConnection::disconnectFromBus("other");
        QVERIFY(service.registerService("org.freedesktop.login1"));
    }
};

QTEST_MAIN(TestSleepInhibitor)
#include "test_sleepinhibitor.moc"
