#include "loginwizard.h"

#include "hosts.h"
#include "loginhelper.h"
#include "messages.h"
#include "networkmanager.h"
#include "signinrecords.h"
#include "ui_loginwizard.h"

#include <QCoreApplication>
#include <QDebug>
#include <QWebPage>
#include <QWebView>

#include <utility>

namespace {

QUrl signInPageUrl(const QString& domain) {
    return QUrl(Hosts::origin(Hosts::SignIn, domain) + QStringLiteral("/ws/eBayISAPI.dll?SignIn"));
}
} // namespace

LoginWizard::LoginWizard(QWidget* parent)
    : QWizard(parent)
    , m_ui(new Ui::LoginWizard) {
    m_ui->setupUi(this);
    setWindowTitle(tr("Tollimer Login %1").arg(QCoreApplication::applicationVersion()));

    SignInRecords::fillUsers(m_ui->comboBoxUsername);
    SignInRecords::fillCountries(m_ui->comboBoxCountry);
    changeUser(m_ui->comboBoxUsername->currentIndex());
    connect(m_ui->comboBoxUsername, SIGNAL(currentIndexChanged(int)), this, SLOT(changeUser(int)));

    m_selectedSiteView = createView(QStringLiteral("webViewSelectedSite"));
    m_ui->vLayoutLoginSite->addWidget(m_selectedSiteView);
    m_ukView = createView(QStringLiteral("webViewUK"));
    m_ui->vLayoutLoginUK->addWidget(m_ukView);
    m_ukView->load(signInPageUrl(SignInRecords::ukDomain()));
}

LoginWizard::~LoginWizard() = default;

QWebView* LoginWizard::createView(const QString& objectName) {
    QWebView* view = new QWebView;
    view->setObjectName(objectName);
    // The views sign in for the whole program: their cookies must land in the jar every later request uses.
    NetworkManager::instance()->configure(view->page()->networkAccessManager());
    return view;
}

void LoginWizard::changeUser(int) {
    SignInRecords::selectStoredUser(m_ui->comboBoxUsername, m_ui->comboBoxCountry);
}

int LoginWizard::nextId() const {
    switch (currentId()) {
    case UserPage:
        return m_ui->comboBoxCountry->currentData().toInt() == SignInRecords::ukSiteId ? UkSitePage : SelectedSitePage;
    case SelectedSitePage:
        return UkSitePage;
    default:
        return -1;
    }
}

void LoginWizard::initializePage(int id) {
    // nextId() is asked for button states as well; the page is loaded when it is really entered, every time.
    if (id == SelectedSitePage)
        m_selectedSiteView->load(signInPageUrl(m_ui->comboBoxCountry->currentText()));
    QWizard::initializePage(id);
}

bool LoginWizard::validateCurrentPage() {
    // Finish goes through here before the wizard closes; a false answer keeps it open.
    if (currentId() == UkSitePage)
        return login();
    return QWizard::validateCurrentPage();
}

bool LoginWizard::login() {
    m_username = m_ui->comboBoxUsername->currentText().trimmed();
    if (m_username.isEmpty()) {
        Messages::critical(this, tr("Login Error"), tr("Please enter your Username."));
        m_ui->comboBoxUsername->setFocus();
        return false;
    }
    m_siteId = m_ui->comboBoxCountry->currentData().toInt();
    // A user recorded without a session would meet the failure only when a snipe fires. eBay says whether the pages
    // signed the session in; Finish waits for its answer, which closes the wizard when it is yes.
    if (std::exchange(m_sessionConfirmed, false))
        return saveLogin();
    if (!m_sessionCheck) {
        m_sessionCheck = new LoginHelper(this);
        connect(m_sessionCheck, &LoginHelper::sessionChecked, this, &LoginWizard::sessionChecked);
        QStringList sites{SignInRecords::ukDomain()};
        if (m_siteId != SignInRecords::ukSiteId)
            sites << m_ui->comboBoxCountry->currentText();
        m_sessionCheck->checkSession(sites);
    }
    return false;
}

void LoginWizard::sessionChecked(bool signedIn) {
    const LoginHelper::Outcome outcome = m_sessionCheck->outcome();
    m_sessionCheck->deleteLater();
    m_sessionCheck = nullptr;
    // The user may have gone back a page or cancelled while eBay answered.
    if (!isVisible() || currentId() != UkSitePage)
        return;
    if (signedIn) {
        m_sessionConfirmed = true;
        accept();
    } else if (outcome != LoginHelper::NetworkFailed) {
        Messages::warning(this, tr("Login Error"),
                          tr("You are not signed in to eBay yet. Sign in on the page, then press Finish."));
    }
}

bool LoginWizard::saveLogin() {
    int userId = 0;
    if (!SignInRecords::saveUser(this, m_username, QString(), false, QString(), m_siteId, &userId))
        return false;
    return SignInRecords::saveAutoLogin(this, userId);
}
