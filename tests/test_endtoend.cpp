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
#include <QElapsedTimer>
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
    static constexpr double snipeAmount = 8.5;
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
        QFile file(SandboxProcess::scenarioPath(QStringLiteral("demo")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QJsonObject scenario = QJsonDocument::fromJson(file.readAll()).object();
        QJsonArray auctions = scenario.value(QStringLiteral("auctions")).toArray();
        for (int i = 0; i < auctions.size(); ++i) {
            QJsonObject auction = auctions.at(i).toObject();
            if (auction.value(QStringLiteral("itemNumber")).toString() != QLatin1String(itemNumber))
                continue;
            auction[QStringLiteral("endsInSeconds")] = endsInSeconds;
            auction[QStringLiteral("bids")] =
                QJsonArray{QJsonObject{{"bidder", "rival_carl"}, {"amount", rivalMaximum}, {"atSeconds", 1}}};
            auctions[i] = auction;
        }
        scenario[QStringLiteral("auctions")] = auctions;
        return scenario;
    }

    QVariantList sandboxList(const QString& path, const QString& key) const {
        return m_sandbox.controlJson("GET", path).object().toVariantMap().value(key).toList();
    }

    // Fills an input of the page shown through the page's own script, character by character with the input events
    // a person's typing raises, and reads back what the page holds.
    static QString typeInto(QWebView* view, const QString& selector, const QString& text) {
        QWebElement input = view->page()->mainFrame()->findFirstElement(selector);
        input.setFocus();
        for (const QChar c : text) {
            input.evaluateJavaScript(QStringLiteral("this.value += '%1'; this.dispatchEvent(new Event('input'));")
                                         .arg(c == QLatin1Char('\'') ? QStringLiteral("\\'") : QString(c)));
        }
        return input.evaluateJavaScript(QStringLiteral("this.value")).toString();
    }

    static QString cellText(MainWindow& window, int column) {
        auto* table = window.findChild<QTableView*>(QStringLiteral("watchList"));
        const int row = window.findRow(QLatin1String(itemNumber));
        return row < 0 ? QStringLiteral("<no row>") : table->model()->index(row, column).data().toString();
    }

    static QSqlRecord storedItem() {
        QSqlRecord item = StoreFixture::record(
            QStringLiteral("items"),
            {{"item_number", itemNumber}, {"user_id", TollimerApp::instance()->user().value(QStringLiteral("id"))}});
        return DbHelper::getItem(item) ? item : QSqlRecord();
    }

    // The Reload action, as the user presses it, and its answer applied to the table.
    static bool reload(MainWindow& window) {
        window.findChild<QAction*>(QStringLiteral("actionReload"))->trigger();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000) {
            QTest::qWait(50);
            if (window.findChildren<ItemHelper*>().isEmpty())
                return true;
        }
        return false;
    }

private slots:
    void initTestCase() {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "runs on a real X server (xvfb-run)");
        m_shots.setPath(QCoreApplication::applicationDirPath() + QStringLiteral("/endtoend-screenshots"));
        m_shots.removeRecursively();
        QVERIFY(m_shots.mkpath(QStringLiteral(".")));

        // As the demo: the sandbox with HTTP and SMTP on free ports, and the notification account in the settings.
        QVERIFY2(m_sandbox.start({QStringLiteral("--smtp-port"), QStringLiteral("0")}), m_sandbox.output().constData());
        QVERIFY2(m_sandbox.smtpPort() != 0, m_sandbox.output().constData());
        int status = 0;
        m_sandbox.control("POST", QStringLiteral("/_sandbox/scenario"), QJsonDocument(demoScenario()).toJson(),
                          &status);
        QCOMPARE(status, 200);
        qputenv("TOLLIMER_SANDBOX", m_sandbox.proxyUrl().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.home.filePath(".config"));
        QSettings settings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
        settings.beginGroup(QStringLiteral("NotificationMail"));
        settings.setValue(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
        settings.setValue(QStringLiteral("port"), m_sandbox.smtpPort());
        settings.setValue(QStringLiteral("connection"), QStringLiteral("tcp"));
        settings.setValue(QStringLiteral("auth"), QStringLiteral("login"));
        settings.setValue(QStringLiteral("sender"), QStringLiteral("notify@tollimer.test"));
        settings.endGroup();
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
        auto* user = wizard.findChild<QComboBox*>(QStringLiteral("comboBoxUsername"));
        user->setEditText(QString());
        QTest::keyClicks(user, QStringLiteral("sniper_uk"));
        auto* sites = wizard.findChild<QComboBox*>(QStringLiteral("comboBoxCountry"));
        sites->setCurrentIndex(sites->findText(QStringLiteral("ebay.co.uk")));
        screenshot(&wizard, QStringLiteral("wizard-user"));
        wizard.next();
        QCOMPARE(wizard.currentId(), int(LoginWizard::UkSitePage));
        auto* page = wizard.findChild<QWebView*>(QStringLiteral("webViewUK"));
        QWebFrame* frame = page->page()->mainFrame();
        QTRY_VERIFY_WITH_TIMEOUT(!frame->findFirstElement(QStringLiteral("#sgnBt")).isNull(), 30000);
        QCOMPARE(typeInto(page, QStringLiteral("#userid"), QStringLiteral("sniper_uk")), QStringLiteral("sniper_uk"));
        QCOMPARE(typeInto(page, QStringLiteral("#pass"), QStringLiteral("secret")), QStringLiteral("secret"));
        screenshot(&wizard, QStringLiteral("wizard-signin-page"));
        frame->findFirstElement(QStringLiteral("#sgnBt")).evaluateJavaScript(QStringLiteral("this.click()"));
        QTRY_VERIFY_WITH_TIMEOUT(frame->toHtml().contains(QStringLiteral("<h1>Welcome</h1>")), 30000);
        screenshot(&wizard, QStringLiteral("wizard-signed-in"));
        wizard.button(QWizard::FinishButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(wizard.result(), int(QDialog::Accepted), 30000);
        QCOMPARE(TollimerApp::instance()->user().value(QStringLiteral("username")).toString(),
                 QStringLiteral("sniper_uk"));

        MainWindow window;
        window.resize(1100, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Preferences: the won mail to the newcomer's address.
        DialogTesting::ModalAnswerer<PreferencesDialog> preferences([&](PreferencesDialog* dialog) {
            dialog->findChild<QCheckBox*>(QStringLiteral("checkBoxWonBid"))->setChecked(true);
            auto* email = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditEmail"));
            email->clear();
            QTest::keyClicks(email, QLatin1String(mailAddress));
            screenshot(dialog, QStringLiteral("preferences"));
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        window.findChild<QAction*>(QStringLiteral("actionPreferences"))->trigger();
        QCOMPARE(preferences.seen, 1);
        QCOMPARE(TollimerApp::instance()->user().value(QStringLiteral("won_notification")).toInt(), 1);

        // The item by its number, as the Quick start says.
        auto* numberEdit = window.findChild<QLineEdit*>(QStringLiteral("itemNumberEdit"));
        QTest::keyClicks(numberEdit, QLatin1String(itemNumber));
        window.findChild<QAction*>(QStringLiteral("actionAddEnteredItem"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window.findRow(QLatin1String(itemNumber)) >= 0, 30000);
        QVERIFY(reload(window));
        screenshot(&window, QStringLiteral("item-added"));

        // The snipe dialog with the lowest bid that beats the rival.
        auto* table = window.findChild<QTableView*>(QStringLiteral("watchList"));
        table->selectRow(window.findRow(QLatin1String(itemNumber)));
        DialogTesting::ModalAnswerer<SnipeDialog> snipe([&](SnipeDialog* dialog) {
            auto* amount = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditUserBidAmount"));
            amount->clear();
            QTest::keyClicks(amount, QStringLiteral("8.50"));
            screenshot(dialog, QStringLiteral("snipe-dialog"));
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        window.findChild<QAction*>(QStringLiteral("actionSnipe"))->trigger();
        QCOMPARE(snipe.seen, 1);
        QCOMPARE(storedItem().value(QStringLiteral("bid_status")).toInt(), int(BidStatus::Scheduled));
        QVERIFY2(ClockManager::parseEbayTime(storedItem().value(QStringLiteral("end_time")).toString())
                         .secsTo(ClockManager::instance()->currentDateTime()) < -36,
                 "the snipe was scheduled too late for this run; the machine is too slow for its timing");
        QVERIFY(cellText(window, MainWindow::MyBidColumn).startsWith(QStringLiteral("Scheduled: ")));
        screenshot(&window, QStringLiteral("snipe-scheduled"));

        // The engine places it a few seconds before the end, and the row says so without a Reload.
        QTRY_VERIFY2_WITH_TIMEOUT(
            cellText(window, MainWindow::MyBidColumn).startsWith(QStringLiteral("Placed: <b>GBP 8.50")),
            qPrintable(cellText(window, MainWindow::MyBidColumn)), (endsInSeconds + 30) * 1000);
        QCOMPARE(storedItem().value(QStringLiteral("bid_status")).toInt(), int(BidStatus::Placed));
        screenshot(&window, QStringLiteral("snipe-placed"));
        const QImage readme = window.grab().toImage().scaledToWidth(800, Qt::SmoothTransformation);
        QVERIFY(readme.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
                    .save(m_shots.filePath(QStringLiteral("readme-main-window.png"))));

        // After the end the engine asks for the relation, stores it and sends the won mail.
        QTRY_COMPARE_WITH_TIMEOUT(storedItem().value(QStringLiteral("user_relation")).toString(),
                                  QStringLiteral("HIGHBIDDER"), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(sandboxList(QStringLiteral("/_sandbox/mails"), QStringLiteral("mails")).size(), 1,
                                  30000);
        QTRY_COMPARE_WITH_TIMEOUT(cellText(window, MainWindow::StatusColumn), QStringLiteral("Won"), 10000);
        QVERIFY2(window.findChild<QLabel*>(QStringLiteral("outcomeLabel"))
                     ->text()
                     .startsWith(QStringLiteral("Won %1 at GBP ").arg(QLatin1String(itemNumber))),
                 qPrintable(window.findChild<QLabel*>(QStringLiteral("outcomeLabel"))->text()));
        screenshot(&window, QStringLiteral("snipe-won"));

        // The sandbox's ledger: the user's one bid, at the amount of the snipe, accepted before the end.
        QVariantList ours;
        for (const QVariant& bid : sandboxList(QStringLiteral("/_sandbox/ledger"), QStringLiteral("bids"))) {
            if (bid.toMap().value(QStringLiteral("bidder")).toString() == QLatin1String("sniper_uk"))
                ours << bid;
        }
        QCOMPARE(ours.size(), 1);
        const QVariantMap bid = ours.first().toMap();
        QCOMPARE(bid.value(QStringLiteral("item")).toString(), QLatin1String(itemNumber));
        QCOMPARE(bid.value(QStringLiteral("amountText")).toString(), QStringLiteral("8.50"));
        QCOMPARE(bid.value(QStringLiteral("reason")).toString(), QStringLiteral("placed"));
        QVERIFY(bid.value(QStringLiteral("msBeforeEnd")).toDouble() > 0);

        const QVariantMap mail =
            sandboxList(QStringLiteral("/_sandbox/mails"), QStringLiteral("mails")).first().toMap();
        QCOMPARE(mail.value(QStringLiteral("to")).toList(), QVariantList{QLatin1String(mailAddress)});
        QVERIFY2(mail.value(QStringLiteral("text")).toString().contains(QLatin1String(itemNumber)),
                 qPrintable(mail.value(QStringLiteral("text")).toString()));
        QVERIFY(qFuzzyCompare(snipeAmount, bid.value(QStringLiteral("amount")).toDouble()));
    }
};

TOLLIMER_GUITEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
