#include "clientsession.h"
#include "clockmanager.h"
#include "internalclock.h"
#include "messagerecorder.h"

#include <QRegularExpression>
#include <QtTest>

// eBay's clock: the snipes are timed on it, so it must take eBay's time, keep counting with the monotonic counter
// and, when eBay cannot be asked, stay on the computer's UTC time without ticking.
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

    void failedSyncStaysOnLocalUtc_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("log");
        ClientSession::addRows({
            {"HTTP error", "status", "^Failed to sync time: .+"},
            {"connection dropped", "drop", "^Failed to sync time: .+"},
            {"not JSON", "malformed", "^Failed to parse time during sync: "},
        });
    }

    void failedSyncStaysOnLocalUtc() {
        QFETCH(QString, fault);
        QFETCH(QString, log);
        ClientSession::fault(m_sandbox, {{"endpoint", "*"}, {fault, fault == "status" ? QVariant(503) : true}});
        ClockManager clock;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(log));
        clock.syncTimeAndWait();
        QVERIFY(!clock.isTicking());
        const qint64 drift = QDateTime::currentDateTimeUtc().msecsTo(clock.currentDateTime());
        QVERIFY2(qAbs(drift) < 1000, qPrintable(QString::number(drift)));
        QVERIFY(m_boxes.boxes.isEmpty());
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
        }
    }
};

QTEST_MAIN(TestClock)
#include "test_clock.moc"
