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
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>
#include <QXmlStreamReader>

// One sign-in through the dialog: the form's values, whether a session already lasts, the progress values and
// hosts asked in order, and the start of the box it ends with (empty: none).
struct SignIn {
    QString user, password, domain;
    bool earlierSession;
    QList<int> progress;
    QStringList hosts;
    QString box;
};
Q_DECLARE_METATYPE(SignIn)

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

// The dialogs around the main window: bidding groups with their name rules, the My eBay import in its order with
// its progress, the preferences with their checks and what they store, the About box, and the language they speak.
// The sign-in after Logout (the UK site first, then the chosen one; wrong passwords, captchas, the remember and
// automatic sign-in choices, Cancel while it runs) and the start-up wizard, whose Finish records the user only once
// eBay says the shared session is signed in (the sandbox names its session cookie with a name of its own, so
// nothing may hang on the cookie's name).
class TestDialogs : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;
    StoreFixture* m_store = nullptr;
    int m_userId = 0;

    struct Form {
        QComboBox* users;
        QLineEdit* password;
        QComboBox* sites;
        QCheckBox* remember;
        QCheckBox* autoLogin;
        QProgressBar* progress;
        QPushButton* ok;
        QPushButton* cancel;
    };

    static Form form(LoginDialog& dialog) {
        auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
        return {dialog.findChild<QComboBox*>("comboBoxUsername"),
                dialog.findChild<QLineEdit*>("lineEditPassword"),
                dialog.findChild<QComboBox*>("comboBoxCountry"),
                dialog.findChild<QCheckBox*>("checkBoxRemember"),
                dialog.findChild<QCheckBox*>("checkBoxAutoLogin"),
                dialog.findChild<QProgressBar*>("progressBar"),
                buttons->button(QDialogButtonBox::Ok),
                buttons->button(QDialogButtonBox::Cancel)};
    }

    static void fill(const Form& f, const QString& user, const QString& password, const QString& domain) {
        f.users->setEditText(user);
        f.password->setText(password);
        f.sites->setCurrentIndex(f.sites->findText(domain));
    }

    // The scenario's UK user, stored and made the program's user as a sign-in would.
    void useStoredUser() {
        m_userId = StoreFixture::addUser("sniper_uk");
        QSqlRecord user = StoreFixture::record("users", {{"id", m_userId}});
        QVERIFY(DbHelper::getUser(user));
        TollimerApp::instance()->setUser(user);
    }

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

    // "context|source" of every message of a translation file, sorted, with "|unfinished" where it has no
    // translation.
    static QStringList messages(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QStringList found;
        QXmlStreamReader xml(&file);
        QString context, source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText(QXmlStreamReader::IncludeChildElements); // <byte value="xd"/>
            else if (xml.name() == QLatin1String("translation")) {
                found << context + '|' + source +
                             (xml.attributes().value("type") == QLatin1String("unfinished") ? "|unfinished" : "");
                xml.skipCurrentElement(); // plural forms
            }
        }
        if (xml.hasError())
            found << "unreadable: " + xml.errorString();
        found.sort();
        return found;
    }

private slots:
    void initTestCase() {
        QVERIFY2(DialogTesting::startSandbox(m_sandbox, {"--session-cookie", "login_s"}),
                 m_sandbox.output().constData());
    }
    void init() {
        m_boxes.install();
        QVERIFY((m_store = DialogTesting::openStore()));
        ClientSession::signOut();
        m_sandbox.control("DELETE", "/_sandbox/log");
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
        useStoredUser();
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

    void groupName_data() {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");
        ClientSession::addRows({{"new, empty", "", "", "Empty Group Name"},
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
        useStoredUser();
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
        useStoredUser();
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
        useStoredUser();
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
        useStoredUser();
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

    void signIn_data() {
        QTest::addColumn<SignIn>("row");
        const QString uk = "signin.ebay.co.uk", de = "signin.ebay.de", myUk = "my.ebay.co.uk", myDe = "my.ebay.de";
        const QString more = "eBay asked for more than the password";
        using P = QList<int>;
        using H = QStringList;
        testRow("UK", SignIn{"sniper_uk", "secret", "ebay.co.uk", false, P{50, 100}, H{uk, uk, myUk}, ""});
        testRow("Germany after the UK",
                SignIn{"sniper_uk", "secret", "ebay.de", false, P{25, 50, 75, 100}, H{uk, uk, myUk, de, de, myDe}, ""});
        testRow("wrong password",
                SignIn{"sniper_uk", "nope", "ebay.de", false, P{25, 50}, H{uk, uk}, "Wrong Username or Password."});
        testRow("captcha instead of a session",
                SignIn{"robot_check", "secret", "ebay.co.uk", false, P{50, 100}, H{uk, uk, myUk}, more});
        testRow("captcha while an earlier session lasts",
                SignIn{"robot_check", "secret", "ebay.co.uk", true, P{50, 100}, H{uk, uk, myUk}, more});
    }

    // A sign-in that went through records the user with the chosen site; any other answer restores the form,
    // says why and records nobody.
    void signIn() {
        QFETCH(SignIn, row);
        const auto& [user, password, domain, earlierSession, progress, hosts, box] = row;
        if (earlierSession) {
            QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
            m_sandbox.control("DELETE", "/_sandbox/log");
        }
        LoginDialog dialog;
        dialog.show();
        const Form f = form(dialog);
        fill(f, user, password, domain);
        QList<int> seen;
        connect(f.progress, &QProgressBar::valueChanged, [&](int value) {
            if (value > 0 && (seen.isEmpty() || seen.last() != value))
                seen << value;
        });
        f.ok->click();
        QVERIFY(!f.users->isEnabled() && !f.password->isEnabled() && !f.ok->isEnabled() && f.cancel->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(f.ok->isEnabled(), 20000);
        QCOMPARE(seen, progress);

        QStringList requested;
        for (const QVariant& request : ClientSession::requests(m_sandbox))
            requested << request.toMap().value("host").toString();
        QCOMPARE(requested, hosts);

        if (!box.isEmpty()) {
            QCOMPARE(m_boxes.boxes.size(), 1);
            QVERIFY2(m_boxes.boxes.first().text.startsWith(box), qPrintable(m_boxes.boxes.first().text));
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QVERIFY(dialog.isVisible() && f.progress->isHidden());
            QCOMPARE(f.password->text(), password);
            QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 0);
            return;
        }
        QVERIFY(m_boxes.boxes.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(StoreFixture::dump("SELECT u.username, c.domain FROM users u JOIN countries c ON c.id = u.country_id"),
                 user + "|" + domain + "\n");
        QCOMPARE(TollimerApp::instance()->user().value("password").toString(), password);
        QCOMPARE(TollimerApp::instance()->country().value("domain").toString(), domain);
    }

    void choices_data() {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<QString>("stored");
        QTest::newRow("neither") << false << false << "|0|0";
        QTest::newRow("remember") << true << false << "secret|1|0";
        QTest::newRow("automatic sign-in") << false << true << "secret|1|1";
    }

    // "Sign me in automatically" forces "Remember my password"; the stored password and the automatic sign-in
    // user follow the boxes, and choosing the stored user again brings them back.
    void choices() {
        QFETCH(bool, remember);
        QFETCH(bool, autoLogin);
        QFETCH(QString, stored);
        // An earlier automatic sign-in user who signs in again without the box is no longer one.
        const int userId = StoreFixture::addUser("sniper_uk", "old");
        QSqlRecord setting = TollimerApp::instance()->setting();
        setting.setValue("auto_login_user_id", userId);
        QVERIFY(DbHelper::updateSetting(setting));

        LoginDialog dialog;
        dialog.show();
        const Form f = form(dialog);
        fill(f, "sniper_uk", "secret", "ebay.co.uk");
        f.autoLogin->setChecked(autoLogin);
        if (autoLogin) {
            QVERIFY(f.remember->isChecked() && !f.remember->isEnabled());
            f.autoLogin->setChecked(false);
            QVERIFY(f.remember->isChecked() && f.remember->isEnabled());
            f.autoLogin->setChecked(true);
        } else {
            f.remember->setChecked(remember);
        }
        f.ok->click();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 20000);
        QSqlRecord user = StoreFixture::record("users", {{"username", "sniper_uk"}});
        QVERIFY(DbHelper::getUser(user));
        QCOMPARE(QStringList({user.value("password").toString(), user.value("remember_password").toString(),
                              StoreFixture::scalar("SELECT auto_login_user_id > 0 FROM setting").toString()})
                     .join('|'),
                 stored);

        QSqlRecord reread = StoreFixture::record("setting");
        QVERIFY(DbHelper::getSetting(reread));
        TollimerApp::instance()->setSetting(reread);
        LoginDialog again;
        again.show();
        const Form g = form(again);
        QCOMPARE(g.users->currentText(), QString("sniper_uk"));
        QCOMPARE(g.password->text(), remember || autoLogin ? QString("secret") : QString());
        QCOMPARE(g.autoLogin->isChecked(), autoLogin);
    }

    void automaticSignIn_data() {
        QTest::addColumn<bool>("permitted");
        QTest::newRow("permitted: signs in without a click") << true;
        QTest::newRow("after Logout: only preselected") << false;
    }

    // The automatic sign-in user is chosen when the dialog opens; only with the permission does it sign in by itself.
    void automaticSignIn() {
        QFETCH(bool, permitted);
        StoreFixture::addUser("another_user");
        const int userId = StoreFixture::addUser("sniper_uk", "secret");
        QSqlRecord setting = TollimerApp::instance()->setting();
        setting.setValue("auto_login_user_id", userId);
        QVERIFY(DbHelper::updateSetting(setting));
        TollimerApp::instance()->setSetting(setting);

        LoginDialog dialog;
        dialog.setAutoLogin(permitted);
        QString chosen;
        bool autoLoginChecked = false;
        // Whatever happens, the dialog is closed after a while so that a fault cannot hang the test.
        QTimer::singleShot(permitted ? 20000 : 200, &dialog, [&] {
            chosen = form(dialog).users->currentText();
            autoLoginChecked = form(dialog).autoLogin->isChecked();
            dialog.reject();
        });
        QCOMPARE(dialog.exec(), permitted ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (!permitted) {
            QCOMPARE(chosen, QString("sniper_uk"));
            QVERIFY(autoLoginChecked);
            QCOMPARE(ClientSession::requestsTo(m_sandbox, "SignInPost").size(), 0);
        } else {
            QCOMPARE(TollimerApp::instance()->user().value("username").toString(), QString("sniper_uk"));
        }
    }

    // Cancel works while a sign-in runs, and its late answer neither records the user nor reopens the form.
    void cancelWhileSigningIn() {
        m_sandbox.control("POST", "/_sandbox/fault", R"({"endpoint":"SignInPost","latencyMs":1500})");
        LoginDialog dialog;
        dialog.show();
        const Form f = form(dialog);
        fill(f, "sniper_uk", "secret", "ebay.co.uk");
        f.ok->click();
        QTRY_COMPARE_WITH_TIMEOUT(ClientSession::requestsTo(m_sandbox, "SignInPost").size(), 1, 20000);
        f.cancel->click();
        // The answer comes 1.5 s after the post; give it time to arrive and be ignored.
        QTest::qWait(3000);
        m_sandbox.control("DELETE", "/_sandbox/fault");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 0);
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void finish_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("siteLogin");
        QTest::addColumn<QString>("ukLogin");
        QTest::addColumn<QString>("box");
        const QString notYet = "You are not signed in to eBay yet. Sign in on the page, then press Finish.";
        testRow("UK, signed in", "sniper_uk", "ebay.co.uk", "", "sniper_uk", "");
        testRow("UK, not signed in", "sniper_uk", "ebay.co.uk", "", "", notYet);
        testRow("UK, wrong password", "sniper_uk", "ebay.co.uk", "", "sniper_uk:wrong", notYet);
        testRow("Germany and UK signed in", "sniper_uk", "ebay.de", "sniper_de", "sniper_uk", "");
        testRow("Germany only", "sniper_uk", "ebay.de", "sniper_de", "", notYet);
        testRow("UK only for a German user", "sniper_uk", "ebay.de", "", "sniper_uk", notYet);
        testRow("no user id", "", "ebay.co.uk", "", "", "Please enter your Username.");
    }

    // Finish records the user (no password kept) and makes it the automatic sign-in user only once the pages
    // signed the session in to every site the wizard asked for (the chosen site's page comes first, and only when
    // it is not the UK); otherwise it says why and stays open.
    void finish() {
        QFETCH(QString, user);
        QFETCH(QString, domain);
        QFETCH(QString, siteLogin);
        QFETCH(QString, ukLogin);
        QFETCH(QString, box);
        const QMap<QString, QString> passwords{{"sniper_uk", "secret"}, {"sniper_de", "geheim"}};
        auto signIn = [&](QWebView* page, const QString& login) {
            const QString name = login.section(':', 0, 0);
            const QString password = login.contains(':') ? login.section(':', 1) : passwords.value(name);
            return DialogTesting::signInOnPage(page, name, password);
        };

        LoginWizard wizard;
        wizard.show();
        wizard.findChild<QComboBox*>("comboBoxUsername")->setEditText(user);
        auto* sites = wizard.findChild<QComboBox*>("comboBoxCountry");
        sites->setCurrentIndex(sites->findText(domain));
        wizard.next();
        if (wizard.currentId() == LoginWizard::SelectedSitePage) {
            if (!siteLogin.isEmpty())
                QVERIFY(signIn(wizard.findChild<QWebView*>("webViewSelectedSite"), siteLogin));
            wizard.next();
        }
        QCOMPARE(wizard.currentId(), int(LoginWizard::UkSitePage));
        if (!ukLogin.isEmpty())
            QCOMPARE(signIn(wizard.findChild<QWebView*>("webViewUK"), ukLogin), !ukLogin.contains(':'));

        wizard.button(QWizard::FinishButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!wizard.isVisible() || !m_boxes.boxes.isEmpty(), 20000);
        QCOMPARE(wizard.result(), box.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(wizard.isVisible(), !box.isEmpty());
        if (!box.isEmpty()) {
            QCOMPARE(m_boxes.boxes.size(), 1);
            QCOMPARE(m_boxes.boxes.first().text, box);
            QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 0);
            return;
        }
        QVERIFY(m_boxes.boxes.isEmpty());
        const QString siteId = domain == "ebay.de" ? "77" : "3";
        QCOMPARE(
            StoreFixture::dump("SELECT u.username, u.password, u.remember_password, c.site_id, s.auto_login_user_id "
                               "= u.id FROM users u JOIN countries c ON c.id = u.country_id, setting s"),
            "sniper_uk||0|" + siteId + "|1\n");
        QCOMPARE(TollimerApp::instance()->user().value("username").toString(), QString("sniper_uk"));
        QCOMPARE(TollimerApp::instance()->country().value("domain").toString(), domain);
    }

    // The German file holds exactly the texts the code marks for translation, each translated: lupdate run over the
    // sources into a copy of it adds no text (one left unmarked or untranslated) and drops none.
    void germanCoversEveryText() {
        const QString lupdate = QLibraryInfo::location(QLibraryInfo::BinariesPath) + "/lupdate";
        QVERIFY2(QFileInfo::exists(lupdate), qPrintable(lupdate));
        const QString root = QStringLiteral(TOLLIMER_TEST_DATA "/../..");
        QTemporaryDir dir;
        const QString copy = dir.filePath("tollimer_de.ts");
        QVERIFY(QFile::copy(root + "/translations/tollimer_de.ts", copy));
        QProcess process;
        process.start(lupdate, {"-no-obsolete", "-locations", "none", root + "/src", "-ts", copy});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        const QStringList shipped = messages(root + "/translations/tollimer_de.ts");
        QVERIFY(shipped.size() > 100);
        QCOMPARE(shipped.filter("|unfinished"), QStringList());
        QCOMPARE(messages(copy), shipped);
    }

    void language_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("german");
        testRow("Austria (German of another country)", "de_AT", true);
        testRow("no translation", "fr_FR", false);
    }

    // A text of the main window's code, one of the watch list's and one of a Designer form, as the user sees them:
    // German for any German locale, the English source texts where no translation exists.
    void language() {
        QFETCH(QString, locale);
        QFETCH(bool, german);
        QCOMPARE(Translations::install(qApp, QLocale(locale)), german);
        const QStringList seen{QCoreApplication::translate("MainWindow", "E&xit"),
                               QCoreApplication::translate("MainWindow", "Won"),
                               QCoreApplication::translate("PreferencesDialog", "Preferences")};
        QCOMPARE(seen, german ? QStringList({"&Beenden", "Gewonnen", "Einstellungen"})
                              : QStringList({"E&xit", "Won", "Preferences"}));
    }

    // Exit ends the program while a page's pop-up window is open; the pop-up goes with the browser. Last of all:
    // once the application's run has ended, the embedded pages no longer sign in.
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
};

TOLLIMER_GUITEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
