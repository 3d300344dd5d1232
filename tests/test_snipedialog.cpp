#include "clockmanager.h"
#include "dbhelper.h"
#include "guitestbase.h"
#include "remotepixmaplabel.h"
#include "snipedialog.h"
#include "storefixture.h"
#include "tollimerapp.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QtTest>

// The snipe dialog: what it offers when it opens, what it refuses, and what the Snipe action stores from it.
// A bid under eBay's minimum or a lead time out of range caught here is a snipe that would have failed or left
// at the wrong moment.
class TestSnipeDialog : public GuiTestBase {
    Q_OBJECT

    QJsonObject scenario() const override { return scenarioOf({auction("320000000001")}); }
    bool wantsWindow() const override { return false; }

    // A stored item with a next bid of 10.50 and the given snipe; returns its record.
    QSqlRecord item(const QVariant& userBid = QVariant(), const QVariant& leadTime = QVariant(), double nextBid = 10.5,
                    const QVariant& groupId = QVariant()) {
        const int id = storeItems({"320000000001"}).value(0);
        QSqlRecord record = StoreFixture::record("items", {{"id", id}});
        DbHelper::getItem(record);
        record.setValue("next_bid", nextBid);
        record.setValue("user_bid", userBid);
        record.setValue("lead_time", leadTime);
        record.setValue("group_id", groupId);
        record.setValue("bid_status", userBid.isNull() ? QVariant() : QVariant(1));
        DbHelper::updateItem(record);
        return record;
    }

    template <class T> static T* child(QDialog& dialog, const char* name) { return dialog.findChild<T*>(name); }

private slots:
    void initialValues_data() {
        QTest::addColumn<QVariant>("userBid");
        QTest::addColumn<QVariant>("leadTime");
        QTest::addColumn<bool>("preferAuto");
        QTest::addColumn<QString>("bid");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("lead");
        testRow("new snipe, preferences automatic", QVariant(), QVariant(), true, "10.50", true, "7");
        testRow("new snipe, preferences fixed", QVariant(), QVariant(), false, "10.50", false, "7");
        testRow("editing, automatic", QVariant(20.0), QVariant(0), false, "20.00", true, "7");
        testRow("editing, fixed", QVariant(20.0), QVariant(12), true, "20.00", false, "12");
    }
    void initialValues() {
        QFETCH(QVariant, userBid);
        QFETCH(QVariant, leadTime);
        QFETCH(bool, preferAuto);
        QFETCH(QString, bid);
        QFETCH(bool, automatic);
        QFETCH(QString, lead);
        QSqlRecord user = TollimerApp::instance()->user();
        user.setValue("default_lead_time", 7);
        user.setValue("auto_detect_lead_time", preferAuto ? 1 : 0);
        TollimerApp::instance()->setUser(user);
        SnipeDialog dialog(item(userBid, leadTime));
        QCOMPARE(child<QLineEdit>(dialog, "lineEditUserBidAmount")->text(), bid);
        QCOMPARE(child<QRadioButton>(dialog, "radioButtonAutoDetect")->isChecked(), automatic);
        QCOMPARE(child<QRadioButton>(dialog, "radioButtonUserSpecified")->isChecked(), !automatic);
        QCOMPARE(child<QLineEdit>(dialog, "lineEditLeadTime")->text(), lead);
        QCOMPARE(child<QLineEdit>(dialog, "lineEditLeadTime")->isEnabled(), !automatic);
        QCOMPARE(child<QLabel>(dialog, "labelBidHint")->text(), QString("GBP (10.50 or more)"));
        // Values from eBay show as text: a currency or number holding markup must not be rendered.
        for (const char* name :
             {"labelItemNumber", "labelCurrentBid", "labelMinimumBid", "labelShipping", "labelBids", "labelBidHint"})
            QCOMPARE(child<QLabel>(dialog, name)->textFormat(), Qt::PlainText);
        // The auction ends an hour after the window opened; a busy machine may take a second or two to get here.
        const QString timeLeft = child<QLabel>(dialog, "labelTimeLeft")->text();
        QVERIFY2(QRegularExpression("^<font color='red'>59m 5\\ds</font>$").match(timeLeft).hasMatch(),
                 qPrintable(timeLeft));
        // The picture comes from the sandbox through the program's proxy.
        auto* picture = child<RemotePixmapLabel>(dialog, "labelItemImage");
        QSignalSpy loaded(picture, &RemotePixmapLabel::pixmapLoaded);
        QVERIFY(loaded.wait(10000));
        QVERIFY(!picture->pixmap(Qt::ReturnByValue).isNull());
    }

    // What the dialog refuses stays open with the focus on the field at fault; what it takes, it takes.
    void validation_data() {
        QTest::addColumn<double>("nextBid");
        QTest::addColumn<QString>("bid");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("lead");
        QTest::addColumn<int>("site");
        QTest::addColumn<QString>("refusal");
        const QString tooLow = "Pleae enter a bid that is 10.5 or more.";
        const QString badLead = "Pleae enter a lead time that is between 1 and 60 seconds.";
        testRow("below the minimum", 10.5, "10.49", true, "5", 3, tooLow);
        testRow("equal to the minimum", 10.5, "10.50", true, "5", 3, "");
        testRow("no minimum stored", 0.0, "0.50", true, "5", 3, "");
        testRow("no bid at all", 0.0, "", true, "5", 3, "Pleae enter a bid that is 0.01 or more.");
        testRow("decimal comma on a German site", 10.5, "12,50", true, "5", 77, "");
        testRow("decimal comma on the UK site", 10.5, "12,50", true, "5", 3, tooLow);
        testRow("lead time 0", 10.5, "11", false, "0", 3, badLead);
    }
    void validation() {
        QFETCH(double, nextBid);
        QFETCH(QString, bid);
        QFETCH(bool, automatic);
        QFETCH(QString, lead);
        QFETCH(int, site);
        QFETCH(QString, refusal);
        QSqlRecord country = StoreFixture::record("countries", {{"site_id", site}});
        QVERIFY(DbHelper::getCountry(country));
        TollimerApp::instance()->setCountry(country);
        SnipeDialog dialog(item(QVariant(), QVariant(), nextBid));
        dialog.show();
        child<QLineEdit>(dialog, "lineEditUserBidAmount")->setText(bid);
        child<QRadioButton>(dialog, automatic ? "radioButtonAutoDetect" : "radioButtonUserSpecified")->setChecked(true);
        child<QLineEdit>(dialog, "lineEditLeadTime")->setText(lead);
        child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        if (refusal.isEmpty()) {
            QVERIFY(m_boxes.boxes.isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.leadTime(), automatic ? 0 : lead.toInt());
            QCOMPARE(dialog.bid(), QString(bid).replace(",", ".").toDouble());
            return;
        }
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().text, refusal);
        QVERIFY(dialog.isVisible());
    }

    // The Snipe action stores what the dialog was given, on the row as it is now, with no group for "- None -".
    void snipeFromWindow_data() {
        QTest::addColumn<bool>("inGroup");
        testRow("in a group", true);
        testRow("no group", false);
    }
    void snipeFromWindow() {
        QFETCH(bool, inGroup);
        const int groupId = StoreFixture::addGroup("Watches", m_userId);
        item(QVariant(15.0), QVariant(4), 10.5, groupId);
        openWindow();
        QVERIFY(waitForRequests());
        selectItems({"320000000001"});
        bool filled = false;
        QTimer::singleShot(0, [&]() {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            child<QComboBox>(*dialog, "comboBoxGroup")->setCurrentIndex(inGroup ? 1 : 0);
            child<QLineEdit>(*dialog, "lineEditUserBidAmount")->setText("30.25");
            child<QRadioButton>(*dialog, "radioButtonUserSpecified")->setChecked(true);
            child<QLineEdit>(*dialog, "lineEditLeadTime")->setText("9");
            child<QDialogButtonBox>(*dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
            filled = true;
        });
        QVERIFY(triggerAction("actionSnipe"));
        QVERIFY(filled);
        const QSqlRecord stored = storedItem("320000000001");
        QCOMPARE(stored.value("user_bid").toDouble(), 30.25);
        QCOMPARE(stored.value("lead_time").toInt(), 9);
        QCOMPARE(stored.value("bid_status").toInt(), int(BidStatus::Scheduled));
        QCOMPARE(stored.value("group_id").isNull(), !inGroup);
        QCOMPARE(stored.value("group_id").toInt(), inGroup ? groupId : 0);
        QCOMPARE(cellText("320000000001", MainWindow::MyBidColumn), QString("Scheduled: <b>GBP 30.25, 9s</b>"));
        QCOMPARE(cellText("320000000001", MainWindow::StatusColumn), QString("Bid Scheduled"));
    }

    // Without a row that can take a snipe the action says why and stores nothing; a snipe being placed now
    // cannot be scheduled a second time.
    void snipeRefused_data() {
        QTest::addColumn<QString>("endTime");
        QTest::addColumn<int>("bidStatus");
        QTest::addColumn<QString>("text");
        testRow("nothing selected", "", 0, "Select an item to snipe.");
        testRow("ended", "2020-01-01T00:00:00", 0, "Auction has ended for this item.");
        testRow("being placed", "", int(BidStatus::Bidding), "The bid on this item is being placed now.");
    }
    void snipeRefused() {
        QFETCH(QString, endTime);
        QFETCH(int, bidStatus);
        QFETCH(QString, text);
        const int id = storeItems({"320000000001"}, endTime).value(0);
        openWindow();
        // After the window opened: its engine would take a snipe found in Bidding at start for an interrupted one.
        if (bidStatus)
            QVERIFY(StoreFixture::setSnipe(id, bidStatus));
        if (!endTime.isEmpty() || bidStatus)
            selectItems({"320000000001"});
        QVERIFY(triggerDialogAction("actionSnipe"));
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().text, text);
        QCOMPARE(storedItem("320000000001").value("bid_status").toInt(), bidStatus);
    }
};

TOLLIMER_GUITEST_MAIN(TestSnipeDialog)
#include "test_snipedialog.moc"
