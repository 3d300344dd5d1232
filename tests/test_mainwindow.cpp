#include "clockmanager.h"
#include "dbhelper.h"
#include "guitestbase.h"
#include "hosts.h"
#include "mainwindow.h"
#include "storefixture.h"
#include "tollimerapp.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QWebView>
#include <QtTest>

// The main window against the sandbox: adding items from the page shown and by number, deleting, cancelling
// several snipes, group edits and the filters, as a user drives them from the menus and toolbars.
class TestMainWindow : public GuiTestBase {
    Q_OBJECT

    QJsonObject scenario() const override {
        return scenarioOf({auction("310000000001"), auction("310000000002", 7200, {{"reserve", 50.0}}),
                           auction("310000000003", 3600, {{"listingType", "FixedPriceItem"}}),
                           auction("310000000004", 600, {{"shippingText", "FREE"}, {"shippingMarkup", 2}})});
    }

    bool addByNumber(const QString& number) {
        auto* edit = find<QLineEdit>("itemNumberEdit");
        edit->setText(number);
        return triggerAction("actionAddEnteredItem");
    }

    QStringList boxTitles() const {
        QStringList titles;
        for (const Messages::Box& box : m_boxes.boxes)
            titles << box.title;
        return titles;
    }

private slots:
    // Each way of adding by number ends in a row, in a box that says why not, or in both.
    void addByNumber_data() {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("boxes");
        testRow("auction", QStringList{"310000000001"}, "", QStringList{"310000000001"}, QStringList{});
        testRow("twice", QStringList{"310000000001", "310000000001"}, "", QStringList{"310000000001"},
                QStringList{"Duplicate Item"});
        testRow("fixed price", QStringList{"310000000003"}, "", QStringList{}, QStringList{"Non-Auction Item"});
        testRow("unknown number", QStringList{"399999999999"}, "", QStringList{}, QStringList{"Non-Auction Item"});
        testRow("nothing typed", QStringList{""}, "", QStringList{}, QStringList{"Add Item Error"});
        testRow("eBay down", QStringList{"310000000001"}, "GetMultipleItems", QStringList{},
                QStringList{"Network Error"});
    }
    void addByNumber() {
        QFETCH(QStringList, numbers);
        QFETCH(QString, fault);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, boxes);
        QVERIFY(waitForRequests());
        if (!fault.isEmpty())
            GuiTestBase::fault({{"endpoint", fault}, {"status", 500}});
        for (const QString& number : numbers) {
            QVERIFY(addByNumber(number));
            QVERIFY(waitForRequests());
        }
        QTRY_COMPARE(boxTitles(), boxes);
        QCOMPARE(table()->rowCount(), rows.size());
        for (const QString& number : rows) {
            QVERIFY(storedItem(number).value("id").toInt() > 0);
            // The relation answered: a fresh item is watched, not unknown.
            QCOMPARE(cellText(number, MainWindow::StatusColumn), QString("Watching"));
            QCOMPARE(cellText(number, MainWindow::ShippingColumn), QString("GBP 3.50"));
        }
        QCOMPARE(requestCount("GetMultipleItems"), numbers.first().isEmpty() ? 0 : 1);
    }

    // The item number is read from the page in the browser by each of the page's forms.
    void addFromPage_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        testRow("item page of the site", "", "310000000002");
        testRow("tab content", "<div id='viTabs_0_cnt'><div><div>Item 310000000004</div></div></div>", "310000000004");
        testRow("small link", "<span class='vi-xs vi-lk'>No. 310000000001</span>", "310000000001");
        testRow("item number box", "<div id='itm_num'>310000000004</div>", "310000000004");
        testRow("right column", "<div class='u-flR'>eBay item number:310000000001</div>", "310000000001");
        testRow("text after the digits",
                "<div class='u-flL'>Item number:</div><div class=\"u-flL\">"
                "310000000004</div><div id='itm_num'>310000000001 (ended)</div>",
                "310000000004");
        testRow("no item on the page", "<p>Welcome to eBay</p>", "");
    }
    void addFromPage() {
        QFETCH(QString, html);
        QFETCH(QString, expected);
        auto* view = find<QWebView>("webView");
        QSignalSpy loaded(view, &QWebView::loadFinished);
        if (html.isEmpty())
            view->load(QUrl(Hosts::itemPageUrl("ebay.co.uk", expected)));
        else
            view->setHtml("<html><body>" + html + "</body></html>");
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && loaded.last().first().toBool(), 15000);
        QVERIFY(waitForRequests());
        QVERIFY(triggerAction("actionAddItemBelow"));
        QVERIFY(waitForRequests());
        if (expected.isEmpty()) {
            QCOMPARE(boxTitles(), QStringList{"Add Item Error"});
            QCOMPARE(table()->rowCount(), 0);
            return;
        }
        QVERIFY2(m_boxes.boxes.isEmpty(), qPrintable(boxTitles().join(",")));
        QCOMPARE(columnTexts(MainWindow::ItemNumberColumn), QStringList{expected});
    }

    // The import adds what is new without a box and says when it is done, also when nothing was new.
    void watchItemsQuietly() {
        storeItems({"310000000001"});
        QSignalSpy finished(m_window, &MainWindow::importFinished);
        m_window->watchItems({"310000000001", "310000000002", "310000000003"}, true);
        QVERIFY(finished.wait(10000));
        QVERIFY(waitForRequests());
        QCOMPARE(finished.size(), 1);
        QVERIFY(m_boxes.boxes.isEmpty());
        QVERIFY(storedItem("310000000002").value("id").toInt() > 0);
        QVERIFY(storedItem("310000000003").isEmpty());
        m_window->watchItems({"310000000001"}, true);
        QCOMPARE(finished.size(), 2);
    }

    // Cancel and delete act on every selected row, after the user's Ok only.
    void selectionActions_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("sniped");
        const QStringList all{"310000000001", "310000000002", "310000000004"};
        testRow("cancel", "actionCancelSnipe", int(QMessageBox::Ok), all, QStringList{"310000000002"});
        testRow("cancel, not confirmed", "actionCancelSnipe", int(QMessageBox::Cancel), all, all);
        testRow("delete", "actionDelete", int(QMessageBox::Ok), QStringList{"310000000002"},
                QStringList{"310000000002"});
        testRow("delete, not confirmed", "actionDelete", int(QMessageBox::Cancel), all, all);
    }
    void selectionActions() {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        QFETCH(QStringList, sniped);
        const QList<int> ids = storeItems({"310000000001", "310000000002", "310000000004"});
        for (int id : ids)
            QVERIFY(StoreFixture::setSnipe(id, BidStatus::Scheduled));
        m_window->loadItemsFromDb();
        selectItems({"310000000001", "310000000004"});
        m_boxes.answer = QMessageBox::StandardButton(answer);
        QVERIFY(triggerAction(action));
        QCOMPARE(m_boxes.boxes.size(), 1);
        QStringList rows = columnTexts(MainWindow::ItemNumberColumn);
        rows.sort();
        QCOMPARE(rows, left);
        QStringList scheduled;
        for (const QString& number : left) {
            if (storedItem(number).value("bid_status").toInt() == BidStatus::Scheduled)
                scheduled << number;
        }
        QCOMPARE(scheduled, sniped);
    }

    // The Group cell stores its choice at once; "- None -" stores no group. The filters show what they say.
    void groupsAndFilters() {
        const int groupA = StoreFixture::addGroup("Cameras", m_userId);
        const int groupB = StoreFixture::addGroup("lenses", m_userId);
        const QList<int> ids = storeItems({"310000000001", "310000000002", "310000000004"});
        QVERIFY(StoreFixture::setSnipe(ids.at(1), BidStatus::Scheduled, groupA));
        QVERIFY(triggerDialogAction("actionGroup")); // reads the new groups into the filter
        auto* combo = qobject_cast<QComboBox*>(table()->cellWidget(rowOf("310000000001"), MainWindow::GroupColumn));
        QCOMPARE(combo->currentIndex(), -1);
        combo->setCurrentIndex(combo->findData(groupB));
        QCOMPARE(storedItem("310000000001").value("group_id").toInt(), groupB);
        combo->setCurrentIndex(0);
        QVERIFY(storedItem("310000000001").value("group_id").isNull());
        QCOMPARE(combo->currentIndex(), -1);

        auto* status = find<QComboBox>("statusFilterCombo");
        auto* group = find<QComboBox>("groupFilterCombo");
        QCOMPARE(group->count(), 3);
        status->setCurrentIndex(status->findData(ItemFilter::BidScheduled));
        QCOMPARE(columnTexts(MainWindow::ItemNumberColumn), QStringList{"310000000002"});
        status->setCurrentIndex(status->findData(ItemFilter::Watching));
        QCOMPARE(table()->rowCount(), 2);
        group->setCurrentIndex(group->findData(groupA));
        QCOMPARE(table()->rowCount(), 0);
        status->setCurrentIndex(0);
        QCOMPARE(columnTexts(MainWindow::ItemNumberColumn), QStringList{"310000000002"});
        // The group dialog keeps the chosen group in the filter.
        QVERIFY(triggerDialogAction("actionGroup"));
        QCOMPARE(group->currentData().toInt(), groupA);
    }

    // The status bar counts down to the next snipe and shows the clock; "View error" tells why a bid failed.
    void statusBarAndErrorLink() {
        const QList<int> ids = storeItems({"310000000001", "310000000002"});
        QVERIFY(StoreFixture::setSnipe(ids.at(0), BidStatus::Scheduled));
        QSqlRecord failed = StoreFixture::record("items", {{"id", ids.at(1)}});
        QVERIFY(DbHelper::getItem(failed));
        failed.setValue("user_bid", 9.0);
        failed.setValue("bid_status", BidStatus::Failed);
        failed.setValue("error_message", "Bidding has ended on this item.");
        QVERIFY(DbHelper::updateItem(failed));
        m_window->loadItemsFromDb();
        QVERIFY(find<QLabel>("nextSnipeLabel")->text().startsWith("Next snipe: 310000000001 in 59m 5"));
        m_window->showClockState(false);
        QCOMPARE(find<QLabel>("clockStateLabel")->text(), QString("Clock: computer clock, retrying eBay"));

        auto* label = qobject_cast<QLabel*>(table()->cellWidget(rowOf("310000000002"), MainWindow::MyBidColumn));
        QVERIFY(label->text().endsWith(QString("<a href=\"%1\">View error</a>").arg(ids.at(1))));
        emit label->linkActivated(QString::number(ids.at(1)));
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().text,
                 QString("Item:\t310000000002\nBid:\tFailed\nError:\tBidding has ended on this item."));
    }
};

TOLLIMER_GUITEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
