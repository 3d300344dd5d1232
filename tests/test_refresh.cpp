#include "guitestbase.h"
#include "itemhelper.h"

#include <QTableView>
#include <QtTest>

// The refresh of the watch list from the sandbox: what it stores, the low-bid warning, answers matched to the
// right row whatever the table did meanwhile, and an outage that must not bury the user in boxes or erase what
// the store knew.
class TestRefresh : public GuiTestBase {
    Q_OBJECT

    static QString number(int i) { return QStringLiteral("3300000000%1").arg(i, 2, 10, QLatin1Char('0')); }

    QJsonObject scenario() const override {
        QList<QJsonObject> auctions;
        for (int i = 1; i <= 50; ++i)
            auctions << auction(number(i), 3600 + i, {{"shippingText", QStringLiteral("£%1.50").arg(i)}});
        // A lot whose minimum is 10.50 before anyone bids.
        auctions[0]["startPrice"] = 10.5;
        auctions << auction("339000000001", -60) << auction("339000000002", 600, {{"shippingText", "tbd"}});
        return scenarioOf(auctions);
    }
    bool wantsWindow() const override { return false; }

    QStringList numbers(int count) const {
        QStringList list;
        for (int i = 1; i <= count; ++i)
            list << number(i);
        return list;
    }

    void setUserValue(const char* field, const QVariant& value) {
        QSqlRecord user = TollimerApp::instance()->user();
        user.setValue(field, value);
        TollimerApp::instance()->setUser(user);
    }

private slots:
    // A scheduled bid overtaken by eBay's minimum is reported once, when it happens, and the new facts are stored.
    void lowBidWarningOnce() {
        storeItems({number(1)});
        QVERIFY(QSqlQuery().exec("UPDATE items SET user_bid = 10, next_bid = 9.5, bid_status = 1"));

        openWindow();
        QSignalSpy tray(m_window, &MainWindow::trayMessageShown);
        QVERIFY(waitForRequests());
        QCOMPARE(tray.size(), 1);
        const QString text =
            "Your scheduled bid is lower than the current bid! You need to raise your bid.\r\nItem Name: ";
        QCOMPARE(tray.first(), (QVariantList{"Low scheduled bid on item " + number(1), text + "Lot " + number(1)}));
        QCOMPARE(storedItem(number(1)).value("next_bid").toDouble(), 10.5);
        QCOMPARE(cellText(number(1), MainWindow::MyBidColumn),
                 QString("Scheduled: <b>GBP 10.00, auto</b><br/><font color=\"Red\">Warning: Bid too low</font>"));

        QVERIFY(triggerAction("actionReload"));
        QVERIFY(waitForRequests());
        QCOMPARE(requestCount("GetMultipleItems"), 2);
        QCOMPARE(tray.size(), 1);
    }

    // Shipping and relation answers find their row by item number after the user re-sorted the table.
    void answersFollowTheirRow() {
        storeItems(numbers(6));
        ClientSession::fault(m_sandbox, {{"endpoint", "ViewItem"}, {"latencyMs", 2000}});
        ClientSession::fault(m_sandbox, {{"endpoint", "ViewItemLite"}, {"latencyMs", 2000}});
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->findChildren<ItemHelper*>().size(), 12, 10000);
        table()->sortByColumn(MainWindow::ItemNumberColumn, Qt::DescendingOrder);
        QCOMPARE(columnTexts(MainWindow::ItemNumberColumn).first(), number(6));
        QVERIFY(waitForRequests());
        for (int i = 1; i <= 6; ++i) {
            QCOMPARE(cellText(number(i), MainWindow::ShippingColumn), QStringLiteral("GBP %1.50").arg(i));
            QCOMPARE(cellText(number(i), MainWindow::StatusColumn), QString("Watching"));
            QCOMPARE(storedItem(number(i)).value("shipping").toDouble(), i + 0.5);
        }
    }

    // Fifty rows while the pages fail or cannot be read: item data in calls of twenty, one box for the burst, and the
    // stored shipping costs kept.
    void outage_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("start");
        testRow("pages down", "status", "Network Error", "Failed to get item shipping cost.\n");
        testRow("pages unreadable", "malformed", "Item Status Error", "Failed to parse item status information.");
    }
    void outage() {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(QString, start);
        storeItems(numbers(50));
        QVERIFY(QSqlQuery().exec("UPDATE items SET shipping = 2.0"));
        for (const char* endpoint : {"ViewItem", "ViewItemLite"})
            ClientSession::fault(m_sandbox,
                                 {{"endpoint", endpoint}, {kind, kind == "status" ? QVariant(503) : QVariant(true)}});
        openWindow();
        QVERIFY(waitForRequests());
        QTRY_COMPARE(m_boxes.boxes.size(), 1);
        QTest::qWait(200);
        QCOMPARE(m_boxes.boxes.size(), 1);
        const QString text = m_boxes.boxes.first().text;
        QCOMPARE(m_boxes.boxes.first().title, title);
        QVERIFY2(text.contains(start) && text.contains("(50 requests failed this way.)"), qPrintable(text));

        QCOMPARE(requestCount("GetMultipleItems"), 3);
        for (int i = 1; i <= 50; ++i) {
            QCOMPARE(storedItem(number(i)).value("name").toString(), "Lot " + number(i));
            QCOMPARE(cellText(number(i), MainWindow::ShippingColumn), QString("GBP 2.00"));
        }
    }

    // What the opening refresh and 120 ticks of the clock ask for and leave in the store. The tick refreshes every
    // refresh interval and never with an interval of 0; nothing is asked for an empty list or for rows that ended and
    // are settled. No stand-in goes over a row eBay no longer lists, no late relation over the engine's verdict, no
    // unreadable cost over a known one.
    void refresh_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("expected"); // name|user_relation|bid_status|shipping|is_ended
        QTest::addColumn<int>("calls");
        testRow("every minute", number(1), "", 1, "Lot 330000000001|NONE||1.5|0", 3);
        testRow("off", number(1), "", 0, "Lot 330000000001|NONE||1.5|0", 1);
        testRow("empty list", "", "", 1, "||||", 0);
        testRow("listing gone", "339999999999", "bid_status = 1", 10, "Old|UNLISTED|4|1.5|1", 1);
        testRow("verdict after the end", "339000000001", "bid_status = 3, user_relation = 'HIGHBIDDER'", 10,
                "Lot 339000000001|HIGHBIDDER|3|3.5|1", 1);
        testRow("unreadable cost", "339000000002", "", 10, "Lot 339000000002|NONE||1.5|0", 1);
        testRow("ended and settled", "339000000001",
                "bid_status = 3, user_relation = 'OUTBIDDER', is_ended = 1, end_time = '2020-01-01T00:00:00'", 10,
                "Old|OUTBIDDER|3|1.5|1", 0);
    }
    void refresh() {
        QFETCH(QString, item);
        QFETCH(QString, stored);
        QFETCH(int, interval);
        QFETCH(QString, expected);
        QFETCH(int, calls);
        storeItems(item.isEmpty() ? QStringList() : QStringList{item});
        QVERIFY(QSqlQuery().exec("UPDATE items SET name = 'Old', shipping = 1.5" +
                                 (stored.isEmpty() ? "" : ", " + stored)));
        setUserValue("refresh_interval", interval);
        openWindow();
        QVERIFY(waitForRequests());
        for (int tick = 0; tick < 120; ++tick)
            m_window->onTimer();
        QVERIFY(waitForRequests());
        setUserValue("refresh_interval", 10);
        QCOMPARE(requestCount("GetMultipleItems"), calls);
        const QSqlRecord row = storedItem(item);
        QStringList values;
        for (const char* field : {"name", "user_relation", "bid_status", "shipping", "is_ended"})
            values << row.value(field).toString();
        QCOMPARE(values.join('|'), expected);
    }
};

TOLLIMER_GUITEST_MAIN(TestRefresh)
#include "test_refresh.moc"
