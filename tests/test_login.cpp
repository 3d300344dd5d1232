#include "guitestbase.h"
#include "logindialog.h"
#include "loginwizard.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

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

// The sign-in after Logout: the UK site first and then the chosen one, the progress it shows, what a wrong
// password or a captcha leaves behind, the remember and automatic sign-in choices, and Cancel while it runs.
// And the start-up sign-in through the wizard's embedded eBay pages: which pages it shows for which site, and that
// Finish records the user only once eBay says the shared session is signed in (the sandbox names its session cookie
// with a name of its own, so nothing may hang on the cookie's name).
class TestLogin : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;
    StoreFixture* m_store = nullptr;

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

    static void chooseSite(LoginWizard& wizard, const QString& domain) {
        auto* sites = wizard.findChild<QComboBox*>("comboBoxCountry");
        sites->setCurrentIndex(sites->findText(domain));
    }

    static QWebView* view(LoginWizard& wizard, const char* name) { return wizard.findChild<QWebView*>(name); }

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
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        // The answer comes 1.5 s after the post; give it time to arrive and be ignored.
        QTest::qWait(3000);
        m_sandbox.control("DELETE", "/_sandbox/fault");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 0);
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void pageOrder_data() {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QList<int>>("pages");
        testRow("UK skips the site page", "ebay.co.uk", QList<int>{0, 2});
        testRow("another site first", "ebay.de", QList<int>{0, 1, 2});
    }

    // The chosen site's page is shown (and loaded from that site) only when it is not the UK site.
    void pageOrder() {
        QFETCH(QString, domain);
        QFETCH(QList<int>, pages);
        LoginWizard wizard;
        wizard.show();
        chooseSite(wizard, domain);
        QList<int> seen{wizard.currentId()};
        while (wizard.nextId() != -1) {
            wizard.next();
            seen << wizard.currentId();
        }
        QCOMPARE(seen, pages);
        if (pages.contains(1)) {
            QWebView* site = view(wizard, "webViewSelectedSite");
            QTRY_COMPARE_WITH_TIMEOUT(site->url().toString(), "http://signin." + domain + "/ws/eBayISAPI.dll?SignIn",
                                      20000);
            QCOMPARE(site->page()->networkAccessManager()->cookieJar(), NetworkManager::instance()->cookieJar());
        }
        QTRY_COMPARE_WITH_TIMEOUT(view(wizard, "webViewUK")->url().toString(),
                                  QString("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn"), 20000);
    }

    void finish_data() {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("siteLogin");
        QTest::addColumn<QString>("ukLogin");
        QTest::addColumn<bool>("accepted");
        testRow("UK, signed in", "ebay.co.uk", "", "sniper_uk", true);
        testRow("UK, not signed in", "ebay.co.uk", "", "", false);
        testRow("UK, wrong password", "ebay.co.uk", "", "sniper_uk:wrong", false);
        testRow("Germany and UK signed in", "ebay.de", "sniper_de", "sniper_uk", true);
        testRow("Germany only", "ebay.de", "sniper_de", "", false);
        testRow("UK only for a German user", "ebay.de", "", "sniper_uk", false);
    }

    // Finish records the user (no password kept) and makes it the automatic sign-in user only once the pages
    // signed the session in to every site the wizard asked for; otherwise it says so and stays open.
    void finish() {
        QFETCH(QString, domain);
        QFETCH(QString, siteLogin);
        QFETCH(QString, ukLogin);
        QFETCH(bool, accepted);
        const QMap<QString, QString> passwords{{"sniper_uk", "secret"}, {"sniper_de", "geheim"}};
        auto signIn = [&](QWebView* page, const QString& login) {
            const QString user = login.section(':', 0, 0);
            const QString password = login.contains(':') ? login.section(':', 1) : passwords.value(user);
            return DialogTesting::signInOnPage(page, user, password);
        };

        LoginWizard wizard;
        wizard.show();
        wizard.findChild<QComboBox*>("comboBoxUsername")->setEditText("sniper_uk");
        chooseSite(wizard, domain);
        wizard.next();
        if (wizard.currentId() == LoginWizard::SelectedSitePage) {
            if (!siteLogin.isEmpty())
                QVERIFY(signIn(view(wizard, "webViewSelectedSite"), siteLogin));
            wizard.next();
        }
        QCOMPARE(wizard.currentId(), int(LoginWizard::UkSitePage));
        if (!ukLogin.isEmpty())
            QCOMPARE(signIn(view(wizard, "webViewUK"), ukLogin), !ukLogin.contains(':'));

        wizard.button(QWizard::FinishButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!wizard.isVisible() || !m_boxes.boxes.isEmpty(), 20000);
        QCOMPARE(wizard.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (!accepted) {
            QCOMPARE(m_boxes.boxes.size(), 1);
            QCOMPARE(m_boxes.boxes.first().text,
                     QString("You are not signed in to eBay yet. Sign in on the page, then press Finish."));
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

    // Finish without a user id names the missing field and keeps the wizard open.
    void finishWithoutUser() {
        LoginWizard wizard;
        wizard.show();
        wizard.findChild<QComboBox*>("comboBoxUsername")->setEditText("");
        chooseSite(wizard, "ebay.co.uk");
        wizard.next();
        wizard.button(QWizard::FinishButton)->click();
        QVERIFY(wizard.isVisible());
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().text, QString("Please enter your Username."));
    }
};

TOLLIMER_GUITEST_MAIN(TestLogin)
#include "test_login.moc"
