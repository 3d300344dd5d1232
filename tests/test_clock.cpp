#include "clientsession.h"
#include "clockmanager.h"
#include "internalclock.h"
#include "messagerecorder.h"

#include <QRegularExpression>
#include <QtTest>

// eBay's clock: the snipes are timed on it, so it must take eBay's time to the millisecond, keep counting with the
// monotonic counter and, when eBay cannot be asked, tick on the computer's UTC time until a later attempt succeeds.
class TestClock : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

private slots:
    void initTestCase() {
        // A zone with a daylight-saving gap makes the gap row of ebayTimeTexts meaningful on any machine.
        qputenv("TZ", "Europe/Berlin");
        QVERIFY2(ClientSession::start(m_sandbox, "clock"), m_sandbox.output().constData());
    }

    void init() { ClientSession::beginCase(m_sandbox, m_boxes); }
    void cleanup() { ClientSession::endCase(m_sandbox); }

    // The scenario runs eBay 90 minutes ahead of the computer; after one request the clock is on it, ticks, and
    // advances as much as the monotonic counter counted.
    void syncTakesEbayTime() {
        ClockManager clock;
        QVERIFY(!clock.isTicking());
        clock.syncTimeAndWait();
        QElapsedTimer elapsed;
        elapsed.start();
        const QDateTime synced = clock.currentDateTime();
        const qint64 ahead = QDateTime::currentDateTimeUtc().msecsTo(synced) - 5400 * 1000;
        QVERIFY2(ahead > -1500 && ahead < 500, qPrintable(QString::number(ahead)));
        const QString now = ClientSession::control(m_sandbox, "/_sandbox/state").value("now").toString();
        const qint64 behind = clock.currentDateTime().msecsTo(QDateTime::fromString(now, Qt::ISODateWithMs));
        QVERIFY2(behind > -200 && behind < 1500, qPrintable(now + ' ' + QString::number(behind)));

        const QVariantList requests = ClientSession::requestsTo(m_sandbox, "GeteBayTime");
        QCOMPARE(requests.size(), 1);
        const QVariantMap request = requests.first().toMap();
        QCOMPARE(request.value("url").toString(),
                 QString("http://open.api.ebay.com/shopping?callname=GeteBayTime&responseencoding=JSON"
                         "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=0&version=721"));
        QCOMPARE(ClientSession::header(request, "Content-Type"), QString("application/x-www-form-urlencoded"));
        QVERIFY(m_boxes.boxes.isEmpty());
        QVERIFY(clock.isTicking());
        QSignalSpy ticks(clock.internalClock()->timer(), &QTimer::timeout);
        QVERIFY(ticks.wait(3000));
        const qint64 counted = elapsed.elapsed();
        const qint64 advanced = synced.msecsTo(clock.currentDateTime());
        QVERIFY2(qAbs(advanced - counted) <= 5, qPrintable(QString("%1 vs %2").arg(advanced).arg(counted)));
    }

    void failedSyncTicksOnLocalUtc_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("log");
        ClientSession::addRows({
            {"HTTP error", "status", "^Failed to sync time: .+"},
            {"connection dropped", "drop", "^Failed to sync time: .+"},
            {"not JSON", "malformed", "^Failed to parse time during sync: "},
        });
    }

    // A failed start-up synchronisation must not leave the program without a tick (no snipe would ever fire): the
    // tick runs on local UTC at once, and the next attempt takes eBay's time.
    void failedSyncTicksOnLocalUtc() {
        QFETCH(QString, fault);
        QFETCH(QString, log);
        ClientSession::fault(m_sandbox, {{"endpoint", "*"}, {fault, fault == "status" ? QVariant(503) : true}});
        ClockManager clock;
        QSignalSpy changed(&clock, &ClockManager::synchronisationChanged);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(log));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Clock not synchronised"));
        clock.syncTimeAndWait();
        QVERIFY(clock.isTicking());
        QVERIFY(!clock.isSynchronised());
        QVERIFY(changed.isEmpty());
        const qint64 drift = QDateTime::currentDateTimeUtc().msecsTo(clock.currentDateTime());
        QVERIFY2(qAbs(drift) < 1000, qPrintable(QString::number(drift)));
        QVERIFY(m_boxes.boxes.isEmpty());

        m_sandbox.control("DELETE", "/_sandbox/fault");
        clock.syncTime();
        QVERIFY(changed.wait(10000));
        QCOMPARE(changed.first().first().toBool(), true);
        QVERIFY(clock.isSynchronised());
        const qint64 ahead = QDateTime::currentDateTimeUtc().msecsTo(clock.currentDateTime()) - 5400 * 1000;
        QVERIFY2(qAbs(ahead) < 1000, qPrintable(QString::number(ahead)));
    }

    // eBay's stamp falls somewhere inside the round trip; taken as its middle, with its milliseconds, the clock is
    // never further from eBay's than half the round trip, however slow the answer.
    void syncCorrectsForTheRoundTrip() {
        ClientSession::fault(m_sandbox, {{"endpoint", "GeteBayTime"}, {"latencyMs", 600}});
        ClockManager clock;
        clock.syncTimeAndWait();
        QVERIFY(clock.isSynchronised());
        QVERIFY2(clock.lastRoundTripMs() >= 600, qPrintable(QString::number(clock.lastRoundTripMs())));
        const QString now = ClientSession::control(m_sandbox, "/_sandbox/state").value("now").toString();
        const qint64 error = clock.currentDateTime().msecsTo(QDateTime::fromString(now, Qt::ISODateWithMs));
        QVERIFY2(qAbs(error) <= clock.lastRoundTripMs() / 2 + 100, qPrintable(now + ' ' + QString::number(error)));
    }

    // The clock advances by what the monotonic counter counted, whatever the wall clock did meanwhile.
    void followsTheMonotonicCounter() {
        InternalClock clock;
        qint64 counter = 4294967000; // near where a 32-bit millisecond counter would wrap
        clock.setCounter([&counter] { return counter; });
        const QDateTime base = ClockManager::parseEbayTime("2026-03-29T00:59:59.500Z");
        clock.setDateTime(base);
        QCOMPARE(clock.currentDateTime(), base);
        counter += 1250;
        QCOMPARE(clock.currentDateTime(), base.addMSecs(1250));
        QCOMPARE(clock.currentDateTime().toString(ClockManager::timeFormat()), QString("2026-03-29T01:00:00"));
    }

    // eBay's UTC digits must survive, also at 02:30 on a day that local hour does not exist in much of Europe.
    void ebayTimeTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        ClientSession::addRows({
            {"with milliseconds and zone", "2026-12-06T08:15:30.123Z", "2026-12-06T08:15:30"},
            {"inside a daylight-saving gap", "2026-03-29T02:30:00.000Z", "2026-03-29T02:30:00"},
            {"not a time", "yesterday", ""},
        });
    }

    void ebayTimeTexts() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
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
