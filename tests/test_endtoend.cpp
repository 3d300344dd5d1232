#include "clockmanager.h"
#include "guitestbase.h"
#include "loginwizard.h"
#include "mainwindow.h"
#include "preferencesdialog.h"
#include "snipedialog.h"
#include "startup.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

// What a newcomer does after reading the Quick start, on a real X server: the simulated eBay with the demo's
// listings and its mailbox, sign-in by typing into the wizard's eBay page, the demo item added by number, a snipe
// just above the rival through the snipe dialog, and the engine left to place it. Screenshots of every step go to
// the build directory (endtoend-screenshots/), one of them sized for the README.
class TestEndToEnd : public QObject {
    Q_OBJECT

    // The demo's soonest item, brought closer so that the whole run takes about a minute and a half.
    static constexpr const char* itemNumber = "110000000004";
    static constexpr int endsInSeconds = 75;
    // The rival's maximum in the demo is GBP 8.00; eBay's increment at that price is 0.50.
    static constexpr double rivalMaximum = 8.0;
    static constexpr const char* mailAddress = "newcomer@example.test";

    StoreFixture m_store;
    SandboxProcess m_sandbox;
    QDir m_shots;
    int m_shotNumber = 0;

    void screenshot(QWidget* widget, const QString& step) {
        QApplication::processEvents();
        const QString name = QStringLiteral("%1-%2.png").arg(++m_shotNumber, 2, 10, QLatin1Char('0')).arg(step);
        QVERIFY2(widget->grab().save(m_shots.filePath(name)), qPrintable(name));
    }

    QJsonObject demoScenario() const {
        QFile file(SandboxProcess::scenarioPath("demo"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QJsonObject scenario = QJsonDocument::fromJson(file.readAll()).object();
        QJsonArray auctions = scenario.value("auctions").toArray();
        for (int i = 0; i < auctions.size(); ++i) {
            QJsonObject auction = auctions.at(i).toObject();
            if (auction.value("itemNumber").toString() != itemNumber)
                continue;
            auction["endsInSeconds"] = endsInSeconds;
            auction["bids"] =
                QJsonArray{QJsonObject{{"bidder", "rival_carl"}, {"amount", rivalMaximum}, {"atSeconds", 1}}};
            auctions[i] = auction;
        }
        scenario["auctions"] = auctions;
        return scenario;
    }

    QVariantList mails() const { return ClientSession::control(m_sandbox, "/_sandbox/mails").value("mails").toList(); }

    // Fills an input of the page shown through the page's own script, character by character with the input events
    // a person's typing raises, and reads back what the page holds.
    static QString typeInto(QWebView* view, const QString& selector, const QString& text) {
        QWebElement input = view->page()->mainFrame()->findFirstElement(selector);
        input.setFocus();
        for (const QChar c : text)
            input.evaluateJavaScript(QStringLiteral("this.value += '%1'; this.dispatchEvent(new Event('input'));")
                                         .arg(c == QLatin1Char('\'') ? QStringLiteral("\\'") : QString(c)));
        return input.evaluateJavaScript(QStringLiteral("this.value")).toString();
    }

    static QString cellText(MainWindow& window, int column) {
        const int row = window.findRow(itemNumber);
        return row < 0 ? "<no row>"
                       : window.findChild<QTableView*>("watchList")->model()->index(row, column).data().toString();
    }

    // A column of the item in the store, which holds this item only.
    static QVariant stored(const char* column) {
        return StoreFixture::scalar(QString("SELECT %1 FROM items").arg(column));
    }

    static void trigger(MainWindow& window, const char* action) { window.findChild<QAction*>(action)->trigger(); }

    // The Reload action, as the user presses it, and its answer applied to the table.
    static bool reload(MainWindow& window) {
        trigger(window, "actionReload");
        QTest::qWait(50); // the requests start on the next turn of the event loop
        return QTest::qWaitFor([&] { return window.findChildren<ItemHelper*>().isEmpty(); }, 20000);
    }

private slots:
    void initTestCase() {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "runs on a real X server (xvfb-run)");
        m_shots.setPath(QCoreApplication::applicationDirPath() + "/endtoend-screenshots");
        m_shots.removeRecursively();
        QVERIFY(m_shots.mkpath("."));

        // As the demo: the sandbox with HTTP and SMTP on free ports, and the notification account in the settings.
        QVERIFY2(m_sandbox.start({"--smtp-port", "0"}), m_sandbox.output().constData());
        QVERIFY2(m_sandbox.smtpPort() != 0, m_sandbox.output().constData());
        QVERIFY(ClientSession::loadScenario(m_sandbox, QJsonDocument(demoScenario()).toJson()));
        qputenv("TOLLIMER_SANDBOX", m_sandbox.proxyUrl().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.home.filePath(".config"));
        QSettings settings("Tollimer", "eBay Auction Sniper");
        const StoreFixture::Fields account = {{"host", "127.0.0.1"},
                                              {"port", m_sandbox.smtpPort()},
                                              {"connection", "tcp"},
                                              {"auth", "login"},
                                              {"sender", "notify@tollimer.test"}};
        for (const auto& [key, value] : account)
            settings.setValue(QLatin1String("NotificationMail/") + key, value);
        settings.sync();
    }

    void newcomerSnipesAndWins() {
        // Start-up as the entry function runs it.
        Startup::setIdentity();
        QVERIFY(Startup::loadStore(TollimerApp::instance()));
        ClockManager::instance()->syncTimeAndWait();
        QVERIFY(ClockManager::instance()->isTicking());

        LoginWizard wizard;
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        auto* user = wizard.findChild<QComboBox*>("comboBoxUsername");
        user->setEditText(QString());
        QTest::keyClicks(user, "sniper_uk");
        auto* sites = wizard.findChild<QComboBox*>("comboBoxCountry");
        sites->setCurrentIndex(sites->findText("ebay.co.uk"));
        screenshot(&wizard, "wizard-user");
        wizard.next();
        QCOMPARE(wizard.currentId(), int(LoginWizard::UkSitePage));
        auto* page = wizard.findChild<QWebView*>("webViewUK");
        QWebFrame* frame = page->page()->mainFrame();
        QTRY_VERIFY_WITH_TIMEOUT(!frame->findFirstElement("#sgnBt").isNull(), 30000);
        QCOMPARE(typeInto(page, "#userid", "sniper_uk"), QString("sniper_uk"));
        QCOMPARE(typeInto(page, "#pass", "secret"), QString("secret"));
        screenshot(&wizard, "wizard-signin-page");
        frame->findFirstElement("#sgnBt").evaluateJavaScript("this.click()");
        QTRY_VERIFY_WITH_TIMEOUT(frame->toHtml().contains("<h1>Welcome</h1>"), 30000);
        screenshot(&wizard, "wizard-signed-in");
        wizard.button(QWizard::FinishButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(wizard.result(), int(QDialog::Accepted), 30000);
        QCOMPARE(TollimerApp::instance()->user().value("username").toString(), QString("sniper_uk"));

        MainWindow window;
        window.resize(1100, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Preferences: the won mail to the newcomer's address.
        DialogTesting::ModalAnswerer<PreferencesDialog> preferences([&](PreferencesDialog* dialog) {
            dialog->findChild<QCheckBox*>("checkBoxWonBid")->setChecked(true);
            auto* email = dialog->findChild<QLineEdit*>("lineEditEmail");
            email->clear();
            QTest::keyClicks(email, mailAddress);
            screenshot(dialog, "preferences");
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        trigger(window, "actionPreferences");
        QCOMPARE(preferences.seen, 1);
        QCOMPARE(TollimerApp::instance()->user().value("won_notification").toInt(), 1);

        // The item by its number, as the Quick start says.
        QTest::keyClicks(window.findChild<QLineEdit*>("itemNumberEdit"), itemNumber);
        trigger(window, "actionAddEnteredItem");
        QTRY_VERIFY_WITH_TIMEOUT(window.findRow(itemNumber) >= 0, 30000);
        QVERIFY(reload(window));
        screenshot(&window, "item-added");

        // The snipe dialog with the lowest bid that beats the rival.
        window.findChild<QTableView*>("watchList")->selectRow(window.findRow(itemNumber));
        DialogTesting::ModalAnswerer<SnipeDialog> snipe([&](SnipeDialog* dialog) {
            auto* amount = dialog->findChild<QLineEdit*>("lineEditUserBidAmount");
            amount->clear();
            QTest::keyClicks(amount, "8.50");
            screenshot(dialog, "snipe-dialog");
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        trigger(window, "actionSnipe");
        QCOMPARE(snipe.seen, 1);
        QCOMPARE(stored("bid_status").toInt(), int(BidStatus::Scheduled));
        QVERIFY2(ClockManager::parseEbayTime(stored("end_time").toString())
                         .secsTo(ClockManager::instance()->currentDateTime()) < -36,
                 "the snipe was scheduled too late for this run; the machine is too slow for its timing");
        QVERIFY(cellText(window, MainWindow::MyBidColumn).startsWith("Scheduled: "));
        screenshot(&window, "snipe-scheduled");

        // The engine places it a few seconds before the end, and the row says so without a Reload.
        QTRY_VERIFY2_WITH_TIMEOUT(cellText(window, MainWindow::MyBidColumn).startsWith("Placed: <b>GBP 8.50"),
                                  qPrintable(cellText(window, MainWindow::MyBidColumn)), (endsInSeconds + 30) * 1000);
        QCOMPARE(stored("bid_status").toInt(), int(BidStatus::Placed));
        screenshot(&window, "snipe-placed");
        const QImage readme = window.grab().toImage().scaledToWidth(800, Qt::SmoothTransformation);
        QVERIFY(readme.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
                    .save(m_shots.filePath("readme-main-window.png")));

        // After the end the engine asks for the relation, stores it and sends the won mail.
        QTRY_COMPARE_WITH_TIMEOUT(stored("user_relation").toString(), QString("HIGHBIDDER"), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(mails().size(), 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(cellText(window, MainWindow::StatusColumn), QString("Won"), 10000);
        const QString outcome = window.findChild<QLabel*>("outcomeLabel")->text();
        QVERIFY2(outcome.startsWith(QString("Won %1 at GBP ").arg(itemNumber)), qPrintable(outcome));
        screenshot(&window, "snipe-won");

        // The sandbox's ledger: the user's one bid, at the amount of the snipe, accepted before the end.
        const QVariantList ours = ClientSession::ownBids(m_sandbox);
        QCOMPARE(ours.size(), 1);
        const QVariantMap bid = ours.first().toMap();
        QCOMPARE(bid.value("item").toString(), QString(itemNumber));
        QCOMPARE(bid.value("amountText").toString(), QString("8.50"));
        QCOMPARE(bid.value("reason").toString(), QString("placed"));
        QVERIFY(bid.value("msBeforeEnd").toDouble() > 0);

        const QVariantMap mail = mails().first().toMap();
        QCOMPARE(mail.value("to").toList(), QVariantList{mailAddress});
        QVERIFY2(mail.value("text").toString().contains(itemNumber), qPrintable(mail.value("text").toString()));
    }
};

TOLLIMER_GUITEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
