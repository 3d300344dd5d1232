#include "guitestbase.h"
#include "loginhelper.h"
#include "loginwizard.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

// The start-up sign-in through the wizard's embedded eBay pages: which pages it shows for which site, and that
// Finish records the user only once eBay says the shared session is signed in (the sandbox names its session cookie
// with a name of its own, so nothing may hang on the cookie's name).
class TestLoginWizard : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;
    StoreFixture* m_store = nullptr;

    static void chooseSite(LoginWizard& wizard, const QString& domain) {
        auto* sites = wizard.findChild<QComboBox*>("comboBoxCountry");
        sites->setCurrentIndex(sites->findText(domain));
    }

    static QWebView* view(LoginWizard& wizard, const char* name) { return wizard.findChild<QWebView*>(name); }

private slots:
    void initTestCase() {
        QVERIFY2(DialogTesting::startSandbox(m_sandbox, {"--session-cookie", "wizard_s"}),
                 m_sandbox.output().constData());
    }
    void init() {
        m_boxes.install();
        QVERIFY((m_store = DialogTesting::openStore()));
        ClientSession::signOut();
    }
    void cleanup() {
        MessageRecorder::uninstall();
        delete m_store;
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

TOLLIMER_GUITEST_MAIN(TestLoginWizard)
#include "test_loginwizard.moc"
