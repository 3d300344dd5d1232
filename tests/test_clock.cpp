#include "clientsession.h"
#include "clockmanager.h"
#include "internalclock.h"
#include "messagerecorder.h"

#include "sntpclient.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// eBay's clock: the snipes are timed on it, so it must take eBay's time to the millisecond, keep counting with the
// monotonic counter and, when eBay cannot be asked, follow a time server, else eBay's Date header, else tick on the
// computer's UTC time until a later attempt succeeds.
class TestClock : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;
    QTemporaryDir m_settingsDir;
    QString m_ntpServer;

    // How far the clock is from the sandbox's eBay time, in milliseconds.
    qint64 errorMs(const ClockManager& clock) {
        const QString now = ClientSession::control(m_sandbox, "/_sandbox/state").value("now").toString();
        return QDateTime::fromString(now, Qt::ISODateWithMs).msecsTo(clock.currentDateTime());
    }

private slots:
    void initTestCase() {
        // A zone with a daylight-saving gap makes the gap row of timeTexts meaningful on any machine.
        qputenv("TZ", "Europe/Berlin");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QStandardPaths::setTestModeEnabled(true);
        const QString scenario = QDir(QString::fromUtf8(TOLLIMER_TEST_DATA)).filePath("clock.json");
        QVERIFY2(m_sandbox.start({"--scenario", scenario, "--ntp-port", "0"}), m_sandbox.output().constData());
        QTRY_VERIFY(m_sandbox.output().contains("ntp "));
        m_ntpServer = "127.0.0.1:" + QRegularExpression("ntp (\\d+)").match(m_sandbox.output()).captured(1);
        qputenv("TOLLIMER_SANDBOX", m_sandbox.proxyUrl().toUtf8());
        QVERIFY(ClockManager::timeServers().isEmpty()); // with the sandbox, never pool.ntp.org
    }

    void init() { ClientSession::beginCase(m_sandbox, m_boxes); }
    void cleanup() { ClientSession::endCase(m_sandbox); }

    // The scenario runs eBay 90 minutes ahead of the computer; after one slow request the clock is on it, ticks, and
    // advances as much as the monotonic counter counted. eBay's stamp falls somewhere inside the round trip; taken
    // as its middle, with its milliseconds, the clock is never further from eBay's than half the round trip.
    void syncTakesEbayTime() {
        ClientSession::fault(m_sandbox, {{"endpoint", "GeteBayTime"}, {"latencyMs", 600}});
        ClockManager clock;
        QVERIFY(!clock.isTicking());
        clock.syncTimeAndWait();
        QElapsedTimer elapsed;
        elapsed.start();
        const QDateTime synced = clock.currentDateTime();
        QVERIFY2(clock.lastRoundTripMs() >= 600, qPrintable(QString::number(clock.lastRoundTripMs())));
        const qint64 error = errorMs(clock);
        QVERIFY2(qAbs(error) <= clock.lastRoundTripMs() / 2 + 100, qPrintable(QString::number(error)));

        // The sandbox refuses a parameter the call does not take, so one request that went through was well formed.
        QCOMPARE(ClientSession::requestsTo(m_sandbox, "GeteBayTime").size(), 1);
        QVERIFY(m_boxes.boxes.isEmpty());
        QCOMPARE(clock.source(), ClockManager::Source::Ebay);
        QSignalSpy ticks(clock.internalClock()->timer(), &QTimer::timeout);
        QVERIFY(ticks.wait(3000));
        const qint64 counted = elapsed.elapsed();
        const qint64 advanced = synced.msecsTo(clock.currentDateTime());
        QVERIFY2(qAbs(advanced - counted) <= 5, qPrintable(QString("%1 vs %2").arg(advanced).arg(counted)));
    }

    void fallbackSources_data() {
        QTest::addColumn<QString>("ebayFault");
        QTest::addColumn<QVariantMap>("ntpFault");
        QTest::addColumn<QString>("servers");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("tolerance");
        const auto row = [](const char* name, const QString& ebayFault, const QVariantMap& ntpFault,
                            const QString& servers, const QString& source,
                            int tolerance) { testRow(name, ebayFault, ntpFault, servers, source, tolerance); };
        const QVariantMap none;
        row("eBay refuses: time server", "status", none, "ntp", "time server ntp", 50);
        row("eBay's answer not JSON: time server", "malformed", none, "ntp", "time server ntp", 50);
        row("server silent: Date header", "status", {{"drop", true}}, "ntp", "Date header", 1100);
        row("stratum 0 refused", "status", {{"stratum", 0}}, "ntp", "Date header", 1100);
        row("stratum 16 refused", "status", {{"stratum", 16}}, "ntp", "Date header", 1100);
        row("leap indicator 3 refused", "status", {{"leap", 3}}, "ntp", "Date header", 1100);
        row("wrong origin refused", "status", {{"wrongOrigin", true}}, "ntp", "Date header", 1100);
        row("none configured: Date header", "status", none, "-", "Date header", 1100);
        row("server off this machine not asked", "status", none, "192.0.2.1", "Date header", 1100);
        row("no eBay answer, server silent: computer", "drop", {{"drop", true}}, "ntp", "computer", -1);
    }

    // eBay retired its time call: the clock follows a time server, and only when none gives a sound answer, the
    // Date header of eBay's answer; with no answer at all it ticks on the computer's UTC time and the next attempt
    // takes eBay's time. The sandbox runs eBay 90 minutes ahead of the computer, so each source shows.
    void fallbackSources() {
        QFETCH(QString, ebayFault);
        QFETCH(QVariantMap, ntpFault);
        QFETCH(QString, servers);
        QFETCH(QString, source);
        QFETCH(int, tolerance);
        QSettings settings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
        servers == "-" ? settings.remove("Clock/timeServers")
                       : settings.setValue("Clock/timeServers", QString(servers).replace("ntp", m_ntpServer));
        ClientSession::fault(m_sandbox, {{"endpoint", "GeteBayTime"},
                                         {ebayFault, ebayFault == "status" ? QVariant(503) : QVariant(true)}});
        ntpFault.insert("endpoint", "Ntp");
        if (ntpFault.size() > 1)
            ClientSession::fault(m_sandbox, ntpFault);
        ClockManager clock;
        clock.sntpClient()->setSampleGapMs(20);
        QSignalSpy changed(&clock, &ClockManager::synchronisationChanged);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Failed to (sync|parse) time"));
        if (servers.startsWith("192")) // refused before anything is sent
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not on this machine"));
        if (source == "computer")
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Clock not synchronised"));
        clock.syncTimeAndWait();
        QVERIFY(clock.isTicking());
        QVERIFY(m_boxes.boxes.isEmpty());
        QVERIFY2(clock.sourceText().contains(QString(source).replace("ntp", m_ntpServer)),
                 qPrintable(clock.statusText()));
        if (tolerance >= 0) {
            QVERIFY2(qAbs(errorMs(clock)) <= tolerance, qPrintable(QString::number(errorMs(clock))));
            QVERIFY2(clock.statusText().contains(" s behind"), qPrintable(clock.statusText()));
            QCOMPARE(changed.size(), 1);
            return;
        }
        QVERIFY(!clock.isSynchronised());
        QVERIFY2(qAbs(clock.computerOffsetMs()) < 1000, qPrintable(QString::number(clock.computerOffsetMs())));
        m_sandbox.control("DELETE", "/_sandbox/fault");
        clock.syncTime();
        QVERIFY(changed.wait(10000));
        QCOMPARE(clock.source(), ClockManager::Source::Ebay);
        QVERIFY2(qAbs(errorMs(clock)) < 1000, qPrintable(QString::number(errorMs(clock))));
    }

    void followsTheMonotonicCounter_data() {
        QTest::addColumn<int>("counted");
        QTest::addColumn<int>("sinceBoot");
        QTest::addColumn<int>("jump");
        testRow("awake", 1250, 1250, 0);
        testRow("a busy second", 1000, 2900, 0);
        testRow("twenty minutes asleep", 1000, 1201000, 1200000);
    }

    // The clock advances by what the monotonic counter counted, whatever the wall clock did meanwhile; but that
    // counter stops while the computer sleeps, so time lost against the time since boot moves the clock on at once
    // and starts a new synchronisation (the engine then fails the snipes that fell due meanwhile).
    void followsTheMonotonicCounter() {
        QFETCH(int, counted);
        QFETCH(int, sinceBoot);
        QFETCH(int, jump);
        ClockManager manager;
        InternalClock& clock = *manager.internalClock();
        qint64 counter = 4294967000; // near where a 32-bit millisecond counter would wrap
        qint64 boot = 7;
        clock.setCounter([&counter] { return counter; });
        clock.setReference([&boot] { return boot; });
        const QDateTime base = ClockManager::parseEbayTime("2026-03-29T00:59:59.500Z");
        clock.setDateTime(base);
        counter += counted;
        boot += sinceBoot;
        QSignalSpy jumped(&manager, &ClockManager::clockJumped);
        QSignalSpy attempt(&manager, &ClockManager::syncAttemptFinished);
        if (jump)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^The clock lost 1200.0 s"));
        manager.checkForJump();
        QCOMPARE(clock.currentDateTime(), base.addMSecs(counted + jump));
        QCOMPARE(jumped.size(), jump ? 1 : 0);
        if (jump) {
            QCOMPARE(jumped.first().first().toLongLong(), qint64(jump));
            QVERIFY(attempt.wait(10000)); // the re-synchronisation started by the jump
        }
    }

    // eBay's UTC digits must survive, also at 02:30 on a day that local hour does not exist in much of Europe; an
    // HTTP server may write its Date in any of the three forms HTTP allows.
    void timeTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        ClientSession::addRows({
            {"with milliseconds and zone", "2026-12-06T08:15:30.123Z", "2026-12-06T08:15:30"},
            {"inside a daylight-saving gap", "2026-03-29T02:30:00.000Z", "2026-03-29T02:30:00"},
            {"not a time", "yesterday", ""},
            {"HTTP: current form", "Mon, 07 Dec 2026 02:30:05 GMT", "2026-12-07T02:30:05"},
            {"HTTP: old form", "Monday, 07-Dec-26 02:30:05 GMT", "2026-12-07T02:30:05"},
            {"HTTP: C library form", "Mon Dec  7 02:30:05 2026", "2026-12-07T02:30:05"},
            {"HTTP: not a date", "soon", ""},
        });
    }

    void timeTexts() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        if (QByteArray(QTest::currentDataTag()).startsWith("HTTP")) {
            QCOMPARE(ClockManager::storeText(ClockManager::parseHttpDate(text.toLatin1())), expected);
            return;
        }
        const QDateTime time = ClockManager::parseEbayTime(text);
        QCOMPARE(time.isValid(), !expected.isEmpty());
        if (time.isValid()) {
            QCOMPARE(time.toString(ClockManager::timeFormat()), expected);
            QCOMPARE(time.timeSpec(), Qt::UTC);
            // The store's text reads back as the same value.
            QCOMPARE(ClockManager::parseEbayTime(ClockManager::storeText(time)), time);
            const QDateTime precise = ClockManager::parseEbayTimestamp(text);
            QCOMPARE(time.msecsTo(precise), qint64(text.mid(20, 3).toInt()));
        }
    }
};

QTEST_MAIN(TestClock)
#include "test_clock.moc"
