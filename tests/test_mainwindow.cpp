#include "clockmanager.h"
#include "dbhelper.h"
#include "guitestbase.h"
#include "hosts.h"

#include "groupcombobox.h"
#include "logindialog.h"
#include "snipedialog.h"
#include "watchlistdelegates.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWebView>
#include <QtTest>

// The main window against the sandbox: adding items from the page shown and by number, deleting, cancelling
// several snipes, the snipe dialog's result, group edits and the filters, and rows that change in place, as a
// user drives them from the menus and toolbars.
class TestMainWindow : public GuiTestBase {
    Q_OBJECT

    QJsonObject scenario() const override {
        return scenarioOf({auction("310000000001"), auction("310000000002", 7200, {{"reserve", 50.0}}),
                           auction("310000000003", 3600, {{"listingType", "FixedPriceItem"}}),
                           auction("310000000004", 600, {{"shippingText", "FREE"}, {"shippingMarkup", 2}})});
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
        using L = QStringList;
        testRow("auction, spaces around", L{" 310000000001 "}, "", L{"310000000001"}, L{});
        testRow("twice", L{"310000000001", "310000000001"}, "", L{"310000000001"}, L{"Duplicate Item"});
        testRow("fixed price", L{"310000000003"}, "", L{}, L{"Non-Auction Item"});
        testRow("unknown number", L{"399999999999"}, "", L{}, L{"Non-Auction Item"});
        testRow("nothing typed", L{""}, "", L{}, L{"Add Item Error"});
        testRow("eBay down", L{"310000000001"}, "GetMultipleItems", L{}, L{"Network Error"});
    }
    void addByNumber() {
        QFETCH(QStringList, numbers);
        QFETCH(QString, fault);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, boxes);
        QVERIFY(waitForRequests());
        if (!fault.isEmpty())
            ClientSession::fault(m_sandbox, {{"endpoint", fault}, {"status", 500}});
        for (const QString& number : numbers) {
            find<QLineEdit>("itemNumberEdit")->setText(number);
            QVERIFY(triggerAction("actionAddEnteredItem"));
            QVERIFY(waitForRequests());
        }
        QTRY_COMPARE(boxTitles(), boxes);
        QCOMPARE(table()->model()->rowCount(), rows.size());
        // A number that became a row is cleared from the field, and its row is selected.
        QCOMPARE(find<QLineEdit>("itemNumberEdit")->text().isEmpty(),
                 numbers.last().isEmpty() || (!rows.isEmpty() && boxes.isEmpty()));
        QCOMPARE(table()->selectionModel()->selectedRows().size(), rows.isEmpty() ? 0 : 1);
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
        QCOMPARE(boxTitles(), expected.isEmpty() ? QStringList{"Add Item Error"} : QStringList{});
        QCOMPARE(columnTexts(MainWindow::ItemNumberColumn), expected.isEmpty() ? QStringList{} : QStringList{expected});
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

    // Cancel and delete act on every selected row, after the user's Ok only; a placed bid stays on record.
    void selectionActions_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("left");
        const QString untouched = "310000000001:1 310000000002:1 310000000004:3";
        testRow("cancel", "actionCancelSnipe", int(QMessageBox::Ok), "310000000001:0 310000000002:1 310000000004:3");
        testRow("cancel, not confirmed", "actionCancelSnipe", int(QMessageBox::Cancel), untouched);
        testRow("delete", "actionDelete", int(QMessageBox::Ok), "310000000002:1");
        testRow("Delete key in the list", "Delete", int(QMessageBox::Ok), "310000000002:1");
        testRow("delete, not confirmed", "actionDelete", int(QMessageBox::Cancel), untouched);
    }
    void selectionActions() {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QString, left);
        const QList<int> ids = storeItems({"310000000001", "310000000002", "310000000004"});
        for (int i = 0; i < ids.size(); ++i)
            QVERIFY(StoreFixture::setSnipe(ids.at(i), i < 2 ? BidStatus::Scheduled : BidStatus::Placed));
        m_window->loadItemsFromDb();
        selectItems({"310000000001", "310000000004"});
        m_boxes.answer = QMessageBox::StandardButton(answer);
        if (action == "Delete") {
            QApplication::setActiveWindow(m_window);
            table()->setFocus();
            QTest::keyClick(table(), Qt::Key_Delete);
        } else {
            QVERIFY(triggerAction(action));
        }
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().icon, QMessageBox::Question);
        QCOMPARE(m_boxes.boxes.first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QStringList rows;
        for (const QString& number : columnTexts(MainWindow::ItemNumberColumn))
            rows << number + ":" + QString::number(storedItem(number).value("bid_status").toInt());
        rows.sort();
        QCOMPARE(rows.join(' '), left);
    }

    // The group editor opens on demand and stores its choice at once; "- None -" stores no group. The filters show
    // what they say.
    void groupsAndFilters() {
        const int groupA = StoreFixture::addGroup("Cameras", m_userId);
        const int groupB = StoreFixture::addGroup("lenses", m_userId);
        const QList<int> ids = storeItems({"310000000001", "310000000002", "310000000004"});
        QVERIFY(StoreFixture::setSnipe(ids.at(1), BidStatus::Scheduled, groupA));
        QVERIFY(triggerDialogAction("actionGroup")); // reads the new groups into the filter
        const auto choose = [this](int groupId) {
            table()->edit(table()->model()->index(rowOf("310000000001"), MainWindow::GroupColumn));
            auto* editor = find<GroupComboBox>("groupEditor");
            QVERIFY(editor);
            editor->setCurrentIndex(editor->findData(groupId));
            emit editor->activated(editor->currentIndex());
            QTRY_VERIFY(!find<GroupComboBox>("groupEditor")); // closed once chosen
        };
        choose(groupB);
        QCOMPARE(storedItem("310000000001").value("group_id").toInt(), groupB);
        QCOMPARE(cellText("310000000001", MainWindow::GroupColumn), QString("lenses"));
        choose(0);
        QVERIFY(storedItem("310000000001").value("group_id").isNull());
        QCOMPARE(cellText("310000000001", MainWindow::GroupColumn), QString());

        // The filters' rules are the store's (test_watchlist); here, that the combos apply them together.
        auto* status = find<QComboBox>("statusFilterCombo");
        auto* group = find<QComboBox>("groupFilterCombo");
        QCOMPARE(group->count(), 3);
        status->setCurrentIndex(status->findData(ItemFilter::Watching));
        QCOMPARE(table()->model()->rowCount(), 2);
        group->setCurrentIndex(group->findData(groupA));
        QCOMPARE(table()->model()->rowCount(), 0);
        status->setCurrentIndex(0);
        QCOMPARE(columnTexts(MainWindow::ItemNumberColumn), QStringList{"310000000002"});
        // The group dialog keeps the chosen group in the filter; a Logout offers the new user's groups.
        QVERIFY(triggerDialogAction("actionGroup"));
        QCOMPARE(group->currentData().toInt(), groupA);
        const int other = StoreFixture::addUser("sniper_de");
        StoreFixture::addGroup("Uhren", other);
        const QSqlRecord signedIn = TollimerApp::instance()->user();
        DialogTesting::ModalAnswerer<LoginDialog> login([&](LoginDialog* dialog) {
            TollimerApp::instance()->setUser(StoreFixture::record("users", {{"id", other}, {"username", "sniper_de"}}));
            dialog->accept();
        });
        QVERIFY(triggerAction("actionLogout"));
        TollimerApp::instance()->setUser(signedIn);
        QCOMPARE(login.seen, 1);
        QCOMPARE(group->count(), 2);
        QCOMPARE(group->itemText(1), QString("Uhren"));
    }

    // Sorting follows each cell's value, not its text: amounts as numbers, names without case.
    void sortsByValue() {
        storeItems({"310000000001", "310000000002", "310000000004"});
        QVERIFY(QSqlQuery().exec("UPDATE items SET current_bid = 1000 / substr(item_number, 12), "
                                 "name = substr('bZxA', substr(item_number, 12), 1)"));
        m_window->loadItemsFromDb();
        const auto order = [this] { return columnTexts(MainWindow::ItemNumberColumn).join(' '); };
        table()->sortByColumn(MainWindow::CurrentBidColumn, Qt::AscendingOrder);
        QCOMPARE(order(), QString("310000000004 310000000002 310000000001"));
        table()->sortByColumn(MainWindow::ItemNameColumn, Qt::AscendingOrder);
        QCOMPARE(order(), QString("310000000004 310000000001 310000000002"));
    }

    // The status bar counts down to the next snipe and shows the clock; "View error" tells why a bid failed, in a box
    // that opens after the click has returned; a name with markup shows as text.
    void statusBarAndErrorLink() {
        const QList<int> ids = storeItems({"310000000001", "310000000002"});
        QVERIFY(StoreFixture::setSnipe(ids.at(0), BidStatus::Scheduled));
        QVERIFY(QSqlQuery().exec(QString("UPDATE items SET user_bid = 9, bid_status = 4, name = '<b>Bold</b> & co', "
                                         "error_message = 'Bidding has ended on this item.' WHERE id = %1")
                                     .arg(ids.at(1))));
        m_window->loadItemsFromDb();
        QVERIFY(find<QLabel>("nextSnipeLabel")->text().startsWith("Next snipe: 310000000001 in 59m 5"));
        QCOMPARE(find<QLabel>("clockStateLabel")->text(), ClockManager::instance()->statusText());
        QVERIFY(cellText("310000000002", MainWindow::ItemNameColumn).endsWith("&lt;b&gt;Bold&lt;/b&gt; &amp; co</a>"));

        QVERIFY(cellText("310000000002", MainWindow::MyBidColumn)
                    .endsWith(QString("<a href=\"%1\">View error</a>").arg(ids.at(1))));
        auto* delegate = qobject_cast<RichTextDelegate*>(table()->itemDelegateForColumn(MainWindow::MyBidColumn));
        const QModelIndex index = table()->model()->index(rowOf("310000000002"), MainWindow::MyBidColumn);
        emit delegate->linkActivated(QString::number(ids.at(1)), index);
        QCOMPARE(m_boxes.boxes.size(), 0);
        QTRY_COMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().text,
                 QString("Item:\t310000000002\nBid:\tFailed\nError:\tBidding has ended on this item."));
    }

    // A row the engine (or any writer) changed is read again in place: selection and scroll stay, the status bar
    // tells the outcome; new and deleted items come and go as single rows.
    void liveRows() {
        const QList<int> ids = storeItems({"310000000001", "310000000002"});
        QVERIFY(StoreFixture::setSnipe(ids.at(0), BidStatus::Scheduled));
        m_window->loadItemsFromDb();
        selectItems({"310000000001"});
        QSignalSpy reset(m_window->model(), &QAbstractItemModel::modelReset);
        QVERIFY(StoreFixture::setSnipe(ids.at(0), BidStatus::Placed));
        m_window->itemChanged(ids.at(0));
        QVERIFY(cellText("310000000001", MainWindow::MyBidColumn).startsWith("Placed: "));
        QCOMPARE(find<QLabel>("outcomeLabel")->text(), QString("Placed 310000000001 at GBP 20.00"));
        const int added = storeItems({"310000000004"}).first();
        m_window->itemChanged(added);
        QVERIFY(rowOf("310000000004") >= 0);
        QVERIFY(DbHelper::deleteItems(QString::number(ids.at(1))));
        m_window->itemChanged(ids.at(1));
        QCOMPARE(rowOf("310000000002"), -1);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(table()->selectionModel()->selectedRows(),
                 (QModelIndexList{table()->model()->index(rowOf("310000000001"), 0)}));
    }

    // The snipe dialog's result is stored only onto a row that can still take it; a row being bid on never
    // opens the dialog; Exit warns while snipes wait.
    void snipeResult_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<int>("after");
        testRow("scheduled", 0, "", "25", 1, int(BidStatus::Scheduled));
        testRow("being placed already", int(BidStatus::Bidding), "", "25", 0, int(BidStatus::Bidding));
        testRow("placing began meanwhile", 0, "bid_status = 2", "25", 1, int(BidStatus::Bidding));
        testRow("ended meanwhile", 0, "end_time = '2020-01-01T00:00:00'", "25", 1, 0);
        testRow("zero bid, no minimum", 0, "next_bid = 0", "0", 1, 0);
    }
    void snipeResult() {
        QFETCH(int, before);
        QFETCH(QString, meanwhile);
        QFETCH(QString, amount);
        QFETCH(int, dialogs);
        QFETCH(int, after);
        const int id = storeItems({"310000000001"}).first();
        if (before)
            QVERIFY(StoreFixture::setSnipe(id, before));
        QSqlQuery query;
        if (meanwhile.startsWith("next_bid"))
            QVERIFY(query.exec("UPDATE items SET " + meanwhile));
        m_window->loadItemsFromDb();
        selectItems({"310000000001"});
        DialogTesting::ModalAnswerer<SnipeDialog> answer([&](SnipeDialog* dialog) {
            if (!meanwhile.isEmpty() && !meanwhile.startsWith("next_bid"))
                QVERIFY(query.exec("UPDATE items SET " + meanwhile));
            dialog->findChild<QLineEdit*>("lineEditUserBidAmount")->setText(amount);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            if (dialog->isVisible())
                dialog->reject();
        });
        QVERIFY(triggerAction("actionSnipe"));
        QCOMPARE(answer.seen, dialogs);
        QCOMPARE(storedItem("310000000001").value("bid_status").toInt(), after);
        m_boxes.answer = QMessageBox::Cancel;
        m_boxes.boxes.clear();
        QVERIFY(triggerAction("actionExit"));
        const bool waiting = after == BidStatus::Scheduled;
        QCOMPARE(m_boxes.boxes.size(), int(waiting));
        QCOMPARE(m_boxes.boxes.value(0).text,
                 QString(waiting ? "1 snipe is scheduled; it is not placed while Tollimer is closed" : ""));
        QCOMPARE(m_window->isVisible(), waiting);
    }
};

TOLLIMER_GUITEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
