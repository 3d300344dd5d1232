#include "aboutdialog.h"
#include "editgroupdialog.h"
#include "groupdialog.h"
#include "guitestbase.h"
#include "importdialog.h"
#include "logindialog.h"
#include "loginwizard.h"
#include "myqwebview.h"
#include "preferencesdialog.h"
#include "snipedialog.h"
#include "translations.h"
#include "updatedialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTranslator>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>

// Stands in for the main window: takes the imported numbers as watchItems does and reports them added.
class FakeWindow : public QObject {
    Q_OBJECT

public:
    QList<QStringList> calls;
    bool quiet = false;

public slots:
    void watchItems(const QStringList& numbers, bool quietly) {
        calls << numbers;
        quiet = quietly;
        QTimer::singleShot(0, this, &FakeWindow::importFinished);
    }

signals:
    void importFinished();
};

// The main window's remaining dialogs: bidding groups with their name rules, the My eBay import in its order
// with its progress, the preferences with their checks and what they store, and the About box.
class TestDialogs : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;
    StoreFixture* m_store = nullptr;
    int m_userId = 0;

    static QPushButton* okButton(QWidget* dialog) {
        return dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok);
    }

    static QWidget* createWindow(const QString& name) {
        QSqlRecord item = QSqlDatabase::database().record("items");
        item.setValue("name", "Taschenuhr mit Kette, Silber 925");
        item.setValue("next_bid", 1260.0);
        const QMap<QString, std::function<QWidget*()>> windows{
            {"AboutDialog", [] { return new AboutDialog; }},
            {"UpdateDialog", [] { return new UpdateDialog; }},
            {"EditGroupDialog", [] { return new EditGroupDialog; }},
            {"GroupDialog", [] { return new GroupDialog; }},
            {"ImportDialog", [] { return new ImportDialog; }},
            {"PreferencesDialog", [] { return new PreferencesDialog; }},
            {"SnipeDialog", [item] { return new SnipeDialog(item); }},
            {"LoginDialog", [] { return new LoginDialog; }},
            {"LoginWizard", [] { return new LoginWizard; }}};
        return windows.value(name)();
    }

    // The texts of a window's visible labels, buttons and fields that are cut off or reach outside the window.
    static QStringList clippedTexts(QWidget* window) {
        QStringList clipped;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(widget);
            auto* button = qobject_cast<QAbstractButton*>(widget);
            if ((!label && !button) || !widget->isVisibleTo(window))
                continue;
            const QString text = label ? label->text() : button->text();
            const QSize hint = widget->sizeHint();
            const bool wraps = label && label->wordWrap();
            const bool cut = wraps ? widget->height() < label->heightForWidth(widget->width())
                                   : widget->width() < hint.width() || widget->height() < hint.height();
            const QRect place(widget->mapTo(window, QPoint()), widget->size());
            if (cut || !window->rect().contains(place))
                clipped << widget->objectName() + " \"" + text + "\"";
        }
        return clipped;
    }

private slots:
    void initTestCase() { QVERIFY2(DialogTesting::startSandbox(m_sandbox), m_sandbox.output().constData()); }
    void init() {
        m_boxes.install();
        QVERIFY((m_store = DialogTesting::openStore()));
        m_userId = StoreFixture::addUser("sniper_uk");
        QSqlRecord user = StoreFixture::record("users", {{"id", m_userId}});
        QVERIFY(DbHelper::getUser(user));
        TollimerApp::instance()->setUser(user);
    }
    void cleanup() {
        MessageRecorder::uninstall();
        delete m_store;
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    void fitGermanTextsAndLargeFonts_data() {
        QTest::addColumn<QString>("window");
        for (const char* name : {"AboutDialog", "UpdateDialog", "EditGroupDialog", "GroupDialog", "ImportDialog",
                                 "PreferencesDialog", "SnipeDialog", "LoginDialog", "LoginWizard"})
            QTest::newRow(name) << QString(name);
    }

    // In German and at twice the usual font size every text shows whole inside its window, and the wizard's
    // browser page fills the wizard.
    void fitGermanTextsAndLargeFonts() {
        QFETCH(QString, window);
        Q_INIT_RESOURCE(dialogs); // the forms' pictures take room too
        QVERIFY(Translations::install(qApp, QLocale(QLocale::German, QLocale::Germany)));
        QScopedPointer<QWidget> shown(createWindow(window));
        QFont large = shown->font();
        large.setPointSizeF(large.pointSizeF() * 2);
        shown->setFont(large);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.data()));
        QCOMPARE(clippedTexts(shown.data()), QStringList());
        if (auto* wizard = qobject_cast<QWizard*>(shown.data())) {
            wizard->next();
            auto* view = wizard->currentPage()->findChild<QWebView*>();
            QVERIFY(view);
            QTRY_VERIFY(view->width() > wizard->width() * 0.8 && view->height() > wizard->height() * 0.5);
            QCOMPARE(clippedTexts(shown.data()), QStringList());
        }
    }

    // Text from eBay or a server in a box stays text: markup in it never becomes a live link.
    void boxesShowPlainText() {
        QScopedPointer<QMessageBox> box(Messages::build(
            {QMessageBox::Critical, nullptr, "Snipe Failed", "<a href=\"http://evil.example/\">Sign in</a>", {}}));
        QCOMPARE(box->textFormat(), Qt::PlainText);
    }

    // Exit ends the program while a page's pop-up window is open; the pop-up goes with the browser.
    void popupsDoNotKeepTheProgramRunning() {
        auto* browser = new MyQWebView;
        browser->settings()->setAttribute(QWebSettings::JavascriptCanOpenWindows, true);
        browser->setHtml("<html><body>eBay</body></html>");
        browser->show();
        browser->page()->mainFrame()->evaluateJavaScript("window.open('about:blank')");
        QPointer<QWidget> popup;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != browser && qobject_cast<MyQWebView*>(window) && window->isVisible())
                popup = window;
        }
        QVERIFY(popup);
        QTimer::singleShot(0, browser, &QWidget::close);
        QTimer stuck; // ends a run that Exit could not end
        connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        delete browser;
        QVERIFY(!popup);
    }

    void groupName_data() {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");
        ClientSession::addRows({{"new, empty", "", "", "Empty Group Name"},
                                {"new, taken", "", "Alpha", "Duplicated Group Name"},
                                {"new, taken in other letters", "", "ALPHA", "Duplicated Group Name"},
                                {"new, another user's name", "", "Gamma", ""},
                                {"renamed to its own name", "Alpha", "Alpha", ""},
                                {"renamed to another group's", "Alpha", "Beta", "Duplicated Group Name"}});
    }

    // Names are unique per user; a group keeps its own name when edited.
    void groupName() {
        QFETCH(QString, edited);
        QFETCH(QString, name);
        QFETCH(QString, box);
        const QMap<QString, int> ids{{"Alpha", StoreFixture::addGroup("Alpha", m_userId)},
                                     {"Beta", StoreFixture::addGroup("Beta", m_userId)}};
        StoreFixture::addGroup("Gamma", StoreFixture::addUser("someone_else"));
        EditGroupDialog dialog;
        dialog.setGroupId(ids.value(edited));
        dialog.setName(name);
        dialog.show();
        okButton(&dialog)->click();
        QCOMPARE(dialog.result(), box.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(m_boxes.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty())
            QCOMPARE(m_boxes.boxes.first().title, box);
    }

    // Add, edit and delete through the group dialog reach the store and the table; the limit starts at 1.
    void manageGroups() {
        StoreFixture::addGroup("Beta", m_userId, 3);
        GroupDialog dialog;
        dialog.show();
        auto* table = dialog.findChild<QTableWidget*>("tableWidget");
        QCOMPARE(table->rowCount(), 1);

        int startLimit = 0;
        DialogTesting::ModalAnswerer<EditGroupDialog> details([&](EditGroupDialog* edit) {
            startLimit = edit->maxWon();
            edit->findChild<QLineEdit*>("lineEditName")->setText(edit->name() == "Beta" ? "Cameras" : "Alpha");
            edit->findChild<QSpinBox*>("spinBoxMaxWon")->setValue(edit->name() == "Cameras" ? 5 : 2);
            okButton(edit)->click();
        });
        dialog.findChild<QPushButton*>("pushButtonAdd")->click();
        QCOMPARE(startLimit, 1);
        QCOMPARE(table->rowCount(), 2);

        dialog.findChild<QPushButton*>("pushButtonEdit")->click();
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().text, QString("Select a group to edit."));
        table->selectRow(0); // Beta, the first row in table order
        dialog.findChild<QPushButton*>("pushButtonEdit")->click();
        QCOMPARE(startLimit, 3);
        QCOMPARE(StoreFixture::dump("SELECT name, max_won FROM groups ORDER BY name"), QString("Alpha|2\nCameras|5\n"));
        QCOMPARE(table->item(0, 0)->text(), QString("Cameras"));
        QCOMPARE(table->item(0, 1)->data(Qt::UserRole).toInt(), 5);

        m_boxes.answer = QMessageBox::Cancel;
        dialog.findChild<QPushButton*>("pushButtonDelete")->click();
        QCOMPARE(table->rowCount(), 2);
        m_boxes.answer = QMessageBox::Ok;
        dialog.findChild<QPushButton*>("pushButtonDelete")->click();
        QCOMPARE(StoreFixture::dump("SELECT name FROM groups"), QString("Alpha\n"));
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(m_boxes.boxes.last().title, QString("Delete Group"));
    }

    void import_data() {
        QTest::addColumn<bool>("watching");
        QTest::addColumn<bool>("bidding");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("numbers");
        testRow("both lists", true, true, QList<int>{20, 40, 60, 80, 100},
                QStringList{"MyeBayPageSize", "MyeBayWatching", "MyeBayPageSize", "MyeBayBidding"},
                QStringList{"110000000001", "110000000002", "110000000003", "110000000004"});
        testRow("watching only", true, false, QList<int>{33, 66, 100}, QStringList{"MyeBayPageSize", "MyeBayWatching"},
                QStringList{"110000000001", "110000000002"});
        testRow("bidding only", false, true, QList<int>{33, 66, 100}, QStringList{"MyeBayPageSize", "MyeBayBidding"},
                QStringList{"110000000003", "110000000004"});
    }

    // The lists are fetched one after the other, watching first, and handed over quietly in one call; the dialog
    // closes when the window reports the items added.
    void import() {
        QFETCH(bool, watching);
        QFETCH(bool, bidding);
        QFETCH(QList<int>, progress);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, numbers);
        m_sandbox.control("POST", "/_sandbox/scenario", DialogTesting::scenario());
        for (const char* item : {"110000000003", "110000000004"})
            m_sandbox.control("POST", "/_sandbox/bid",
                              QByteArray(R"({"bidder":"sniper_uk","amount":5,"item":")") + item + "\"}");
        QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
        m_sandbox.control("DELETE", "/_sandbox/log");

        FakeWindow window;
        ImportDialog dialog;
        dialog.setMainWindow(&window);
        dialog.show();
        auto* watchingBox = dialog.findChild<QCheckBox*>("checkBoxImportWatching");
        auto* biddingBox = dialog.findChild<QCheckBox*>("checkBoxImportBidding");
        auto* importButton = dialog.findChild<QPushButton*>("pushButtonImport");
        watchingBox->setChecked(false);
        biddingBox->setChecked(false);
        QVERIFY(!importButton->isEnabled());
        watchingBox->setChecked(watching);
        biddingBox->setChecked(bidding);
        QVERIFY(importButton->isEnabled());

        QList<int> seen;
        connect(dialog.findChild<QProgressBar*>("progressBar"), &QProgressBar::valueChanged,
                [&](int value) { seen << value; });
        importButton->click();
        QVERIFY(!importButton->isEnabled() && !watchingBox->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 20000);
        QCOMPARE(seen, progress);
        QCOMPARE(DialogTesting::endpoints(m_sandbox), requests);
        QCOMPARE(window.calls.size(), 1);
        QVERIFY(window.quiet);
        QStringList imported = window.calls.first();
        if (watching && bidding) // the watching list comes as a set, the bidding list in page order after it
            std::sort(imported.begin(), imported.begin() + 2);
        else if (watching)
            imported.sort();
        QCOMPARE(imported, numbers);
    }

    // A signed-out session gets My eBay's sign-in page: that is said, nothing is added, and Import can be tried again.
    void importSignedOut() {
        ClientSession::signOut();
        FakeWindow window;
        ImportDialog dialog;
        dialog.setMainWindow(&window);
        dialog.show();
        dialog.findChild<QCheckBox*>("checkBoxImportBidding")->setChecked(false);
        dialog.findChild<QPushButton*>("pushButtonImport")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_boxes.boxes.isEmpty() || !window.calls.isEmpty(), 20000);
        QVERIFY(window.calls.isEmpty());
        QCOMPARE(m_boxes.boxes.first().title, QString("Not Signed In"));
        QVERIFY(dialog.isVisible() && dialog.findChild<QPushButton*>("pushButtonImport")->isEnabled());
    }

    // Cancel drops the import: lists that arrive later add nothing, even while the dialog object lives on.
    void cancelImport() {
        m_sandbox.control("DELETE", "/_sandbox/log");
        m_sandbox.control("POST", "/_sandbox/fault", R"({"endpoint":"MyeBayPageSize","latencyMs":1000})");
        FakeWindow window;
        ImportDialog dialog;
        dialog.setMainWindow(&window);
        dialog.show();
        dialog.findChild<QPushButton*>("pushButtonImport")->click();
        dialog.findChild<QPushButton*>("pushButtonCancel")->click();
        QTest::qWait(2500); // the delayed answer and the list request it would lead to
        m_sandbox.control("DELETE", "/_sandbox/fault");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(window.calls.isEmpty());
        QCOMPARE(DialogTesting::endpoints(m_sandbox), QStringList{"MyeBayPageSize"});
    }

    // "autoLead" and "notifyWon" are "1" or empty.
    void preferenceChecks_data() {
        for (const char* column : {"autoLead", "leadTime", "refresh", "notifyWon", "email", "box"})
            QTest::addColumn<QString>(column);
        ClientSession::addRows({{"no refresh, automatic lead time left empty", "1", "", "0", "", "", ""},
                                {"lead time 0", "", "0", "10", "", "", "Invalid lead time"},
                                {"lead time 61", "", "61", "10", "", "", "Invalid lead time"},
                                {"lead time 60", "", "60", "10", "", "", ""},
                                {"no refresh interval", "1", "5", "", "", "", "Invalid refresh interval"},
                                {"notification without address", "1", "5", "10", "1", "", "Invalid email"},
                                {"no dot after the at sign", "1", "5", "10", "1", "me@example", "Invalid email"},
                                {"one-letter ending", "1", "5", "10", "1", "me@example.c", "Invalid email"},
                                {"long ending", "1", "5", "10", "1", "me+bids@mail.example.museum", ""},
                                {"address kept, notifications off", "1", "5", "10", "", "me@example.org", ""}});
    }

    // Refused values name the field and keep the dialog open; accepted ones are stored and become the running
    // program's preferences, without storing a password the user chose not to have remembered.
    void preferenceChecks() {
        QFETCH(QString, leadTime);
        QFETCH(QString, refresh);
        QFETCH(QString, email);
        QFETCH(QString, box);
        QFETCH(QString, autoLead);
        QFETCH(QString, notifyWon);
        const bool automatic = !autoLead.isEmpty();
        const bool notify = !notifyWon.isEmpty();
        // A password the user chose not to have remembered is known only to the running program.
        QVERIFY(QSqlQuery().exec("UPDATE users SET password = '', remember_password = 0, default_lead_time = 7, "
                                 "auto_detect_lead_time = 0"));
        QSqlRecord user = StoreFixture::record("users", {{"id", m_userId}});
        QVERIFY(DbHelper::getUser(user));
        user.setValue("password", "only-in-memory");
        TollimerApp::instance()->setUser(user);

        PreferencesDialog dialog;
        dialog.show();
        dialog.findChild<QRadioButton*>(automatic ? "radioButtonAutoDetect" : "radioButtonUserSpecified")
            ->setChecked(true);
        dialog.findChild<QLineEdit*>("lineEditLeadTime")->setText(leadTime);
        dialog.findChild<QLineEdit*>("lineEditRefreshRate")->setText(refresh);
        dialog.findChild<QLineEdit*>("lineEditEmail")->setText(email);
        dialog.findChild<QCheckBox*>("checkBoxWonBid")->setChecked(notify);
        dialog.findChild<QCheckBox*>("checkBoxCloseToSysTray")->setChecked(true);
        okButton(&dialog)->click();

        QCOMPARE(dialog.result(), box.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (!box.isEmpty()) {
            QCOMPARE(m_boxes.boxes.size(), 1);
            QCOMPARE(m_boxes.boxes.first().title, box);
            QCOMPARE(StoreFixture::scalar("SELECT close_systray FROM users").toInt(), 0);
            return;
        }
        const QString expected =
            QString("%1|%2|%3|%4|%5|1\n")
                .arg(automatic ? 1 : 0)
                .arg(automatic ? QString("7") : leadTime, refresh, email.isEmpty() ? QString("NULL") : email)
                .arg(notify ? 1 : 0);
        QCOMPARE(StoreFixture::dump("SELECT auto_detect_lead_time, default_lead_time, refresh_interval, email, "
                                    "won_notification, close_systray FROM users"),
                 expected);
        QSqlRecord stored = StoreFixture::record("users", {{"id", m_userId}});
        QVERIFY(DbHelper::getUser(stored));
        QCOMPARE(stored.value("password").toString(), QString());
        const QSqlRecord running = TollimerApp::instance()->user();
        QCOMPARE(running.value("password").toString(), QString("only-in-memory"));
        QCOMPARE(running.value("refresh_interval").toInt(), refresh.toInt());
        QCOMPARE(running.value("close_systray").toInt(), 1);
    }

    // The validator stops a value that can never be right while it is typed (the lead time's range is the table's).
    void refreshCannotBeTypedPastItsRange() {
        PreferencesDialog dialog;
        dialog.show();
        auto* refresh = dialog.findChild<QLineEdit*>("lineEditRefreshRate");
        refresh->clear();
        QTest::keyClicks(refresh, "14401");
        QCOMPARE(refresh->text(), QString("1440"));
    }

    void aboutShowsTheVersion() {
        AboutDialog dialog;
        QCOMPARE(dialog.findChild<QLabel*>("labelVersion")->text(), QString("Version 4.2.0.0"));
    }
};

TOLLIMER_GUITEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
