#include "dbhelper.h"
#include "itemhelper.h"
#include "translations.h"
#include "watchlisttexts.h"

#include "testrow.h"

#include <QtTest>

// The watch list's cell texts as functions of the stored values, and how its cells sort: a wrong text here is a
// user believing an auction won, a snipe scheduled or a cost paid that is not.
class TestCells : public QObject {
    Q_OBJECT

    const QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0), Qt::UTC);

private slots:
    void statusTexts_data() {
        QTest::addColumn<int>("bidStatus");
        QTest::addColumn<QString>("relation");
        QTest::addColumn<int>("endsIn");
        QTest::addColumn<bool>("reserveUnmet"); // an auction without a reserve otherwise
        QTest::addColumn<QString>("expected");
        testRow("scheduled, any relation", 1, "HIGHBIDDER", -10, false, "Bid Scheduled");
        testRow("bidding", 2, "NONE", 5, false, "Bidding");
        testRow("failed without a bid", 4, "NONE", 60, false, "Didn't Win");
        testRow("watching", 0, "NONE", -60, false, "Watching");
        testRow("high bidder, running", 3, "HIGHBIDDER", 60, true, "High Bidder");
        testRow("high bidder, ended, no reserve", 3, "HIGHBIDDER", -1, false, "Won");
        testRow("high bidder, ended, reserve not met", 3, "HIGHBIDDER", -1, true, "Didn't Win");
        testRow("high bidder, ends now", 3, "HIGHBIDDER", 0, true, "High Bidder");
        testRow("outbid, running", 4, "OUTBIDDER", 1, false, "Out Bidder");
        testRow("outbid, ended", 4, "OUTBIDDER", -1, false, "Didn't Win");
        testRow("relation not read yet", 0, "", 60, false, "Unknown");
    }
    void statusTexts() {
        QFETCH(int, bidStatus);
        QFETCH(QString, relation);
        QFETCH(int, endsIn);
        QFETCH(bool, reserveUnmet);
        QFETCH(QString, expected);
        QCOMPARE(
            WatchListTexts::statusText(bidStatus, relation, m_now.addSecs(endsIn), reserveUnmet, !reserveUnmet, m_now),
            expected);
    }

    void timeLeft_data() {
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("color");
        testRow("ended a second ago", m_now.addSecs(-1), "Ended", "#a0a0a4");
        testRow("ends now", m_now, "0s", "#ff0000");
        testRow("59 seconds", m_now.addSecs(59), "59s", "#ff0000");
        testRow("61 seconds", m_now.addSecs(61), "1m 1s", "#ff0000");
        testRow("an hour", m_now.addSecs(3600), "1h 0m", "");
        testRow("a day", m_now.addSecs(86400), "1d 0h 0m", "");
        testRow("ten days and change", m_now.addSecs(10 * 86400 + 3 * 3600 + 125), "10d 3h 2m", "");
        testRow("year 2000", QDateTime(QDate(2000, 12, 31), QTime(23, 0), Qt::UTC), "Unknown", "");
        testRow("no end time", QDateTime(), "Unknown", "");
    }
    void timeLeft() {
        QFETCH(QDateTime, end);
        QFETCH(QString, expected);
        QFETCH(QString, color);
        const WatchListTexts::TimeLeft left = WatchListTexts::timeLeft(end, m_now);
        QCOMPARE(left.text, expected);
        QCOMPARE(left.color.isValid() ? left.color.name() : QString(), color);
    }

    void bidTexts_data() {
        QTest::addColumn<double>("userBid");
        QTest::addColumn<double>("nextBid");
        QTest::addColumn<int>("bidStatus");
        QTest::addColumn<int>("leadTime");
        QTest::addColumn<QString>("expected");
        const QString warning = "<br/><font color=\"Red\">Warning: Bid too low</font>";
        testRow("no snipe", 0.0, 5.0, 1, 8, "");
        testRow("scheduled", 25.0, 10.0, 1, 8, "Scheduled: <b>USD 25.00, 8s</b>");
        testRow("scheduled, too low", 10.0, 10.5, 1, 3, "Scheduled: <b>USD 10.00, 3s</b>" + warning);
        testRow("bidding, too low is no news", 10.0, 10.5, 2, 3, "Bidding: <b>USD 10.00, 3s</b>");
        testRow("placed", 10.0, 12.0, 3, -1, "Placed: <b>USD 10.00, auto</b>");
        testRow("failed", 10.0, 5.0, 4, 5, "Failed: <b>USD 10.00, 5s</b><br/><a href=\"42\">View error</a>");
        testRow("cancelled status reads failed", 10.0, 5.0, 0, 5,
                "Failed: <b>USD 10.00, 5s</b><br/><a href=\"42\">View error</a>");
        testRow("currency with markup", 10.0, 5.0, 3, 5, "Placed: <b>&lt;i&gt; 10.00, 5s</b>");
    }
    void bidTexts() {
        QFETCH(double, userBid);
        QFETCH(double, nextBid);
        QFETCH(int, bidStatus);
        QFETCH(int, leadTime);
        QFETCH(QString, expected);
        const QString currency = QTest::currentDataTag() == QByteArray("currency with markup") ? "<i>" : "USD";
        QCOMPARE(WatchListTexts::bidText(42, currency, userBid, nextBid, bidStatus, leadTime), expected);
    }

    // The stored cost and the page text it came from, with the cell's text.
    void shipping_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<double>("cost");
        QTest::addColumn<QString>("expected");
        testRow("free", "FREE", 0.0, "FREE");
        testRow("pounds", "£3.50", 3.5, "GBP 3.50");
        testRow("thousands", "£1,250.00", 1250.0, "GBP 1250.00");
        testRow("letters after the number", "4.99 GBP", -1.0, "Unkown");
        testRow("no digits", "tbd", -1.0, "Unkown");
    }
    void shipping() {
        QFETCH(QString, page);
        QFETCH(double, cost);
        QFETCH(QString, expected);
        const double parsed = ItemHelper::parseShippingCost(page);
        QCOMPARE(parsed, cost);
        QCOMPARE(WatchListTexts::shippingText("GBP", parsed), expected);
    }

    void bidTimingTexts() {
        const QDateTime end = m_now.addSecs(300);
        QCOMPARE(WatchListTexts::bidTimingText(BidStatus::Placed, end.addSecs(-3), end),
                 QString("The last bid request left 3s before the end."));
        QCOMPARE(WatchListTexts::bidTimingText(BidStatus::Failed, end.addSecs(2), end),
                 QString("The last bid request left 2s after the end."));
        QCOMPARE(WatchListTexts::bidTimingText(BidStatus::Scheduled, end.addSecs(-3), end), QString());
    }

    // Every cell text is looked up in the context it is translated in: the German list shows no English.
    void germanTexts() {
        QVERIFY(Translations::install(qApp, QLocale(QLocale::German, QLocale::Germany)));
        QCOMPARE(WatchListTexts::bidText(7, "EUR", 9.0, 10.0, 1, 0),
                 QString("Geplant: <b>EUR 9.00, auto</b><br/><font color=\"Red\">Warnung: Gebot zu niedrig</font>"));
        QCOMPARE(WatchListTexts::timeLeft(m_now.addSecs(-1), m_now).text, QString("Beendet"));
        QCOMPARE(WatchListTexts::currentBidText("EUR", 2.0, 3),
                 QString("EUR 2.00<br/><font color=\"darkgray\">(3 Gebote)</font>"));
    }
};

QTEST_MAIN(TestCells)
#include "test_cells.moc"
