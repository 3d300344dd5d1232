#include "logindialog.h"

#include "loginhelper.h"
#include "messages.h"
#include "signinrecords.h"
#include "tollimerapp.h"
#include "ui_logindialog.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSqlRecord>

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::LoginDialog) {
    m_ui->setupUi(this);
    setWindowTitle(tr("Tollimer Login %1").arg(QCoreApplication::applicationVersion()));
    m_ui->progressBar->hide();

    SignInRecords::fillUsers(m_ui->comboBoxUsername);
    SignInRecords::fillCountries(m_ui->comboBoxCountry);
    changeUser(m_ui->comboBoxUsername->currentIndex());

    createLoginHelper();
    connect(m_ui->comboBoxUsername, SIGNAL(currentIndexChanged(int)), this, SLOT(changeUser(int)));
}

LoginDialog::~LoginDialog() = default;

void LoginDialog::createLoginHelper() {
    m_loginHelper = new LoginHelper(this);
    connect(m_loginHelper, SIGNAL(loginStep1Finished()), this, SLOT(increaseProgressBar()));
    connect(m_loginHelper, SIGNAL(loginStep2Finished(bool, int)), this, SLOT(loginFinished(bool, int)));
}

void LoginDialog::reject() {
    // A sign-in still under way must not record the user or accept the dialog after the user gave up.
    m_loginHelper->disconnect(this);
    m_loginHelper->deleteLater();
    createLoginHelper();
    resetForm();
    QDialog::reject();
}

int LoginDialog::exec() {
    show();
    const int autoLoginUserId =
        TollimerApp::instance() ? TollimerApp::instance()->setting().value(QStringLiteral("auto_login_user_id")).toInt()
                                : 0;
    const int index = autoLoginUserId > 0 ? m_ui->comboBoxUsername->findData(autoLoginUserId) : -1;
    if (index >= 0) {
        m_ui->comboBoxUsername->setCurrentIndex(index);
        changeUser(index);
        if (m_autoLogin)
            login();
    }
    return QDialog::exec();
}

void LoginDialog::changeUser(int) {
    m_ui->lineEditPassword->clear();
    m_ui->checkBoxRemember->setChecked(false);
    m_ui->checkBoxAutoLogin->setChecked(false);
    const QSqlRecord user = SignInRecords::selectStoredUser(m_ui->comboBoxUsername, m_ui->comboBoxCountry);
    if (user.isEmpty())
        return;
    if (user.value(QStringLiteral("remember_password")).toBool()) {
        m_ui->lineEditPassword->setText(user.value(QStringLiteral("password")).toString());
        m_ui->checkBoxRemember->setChecked(true);
    }
    const QSqlRecord setting = TollimerApp::instance() ? TollimerApp::instance()->setting() : QSqlRecord();
    if (setting.value(QStringLiteral("auto_login_user_id")).toInt() == user.value(QStringLiteral("id")).toInt())
        m_ui->checkBoxAutoLogin->setChecked(true);
}

void LoginDialog::toggleRememberPassword(int autoLogin) {
    if (autoLogin == Qt::Checked) {
        m_ui->checkBoxRemember->setChecked(true);
        m_ui->checkBoxRemember->setEnabled(false);
    } else {
        m_ui->checkBoxRemember->setEnabled(true);
    }
}

void LoginDialog::setFormEnabled(bool enabled) {
    m_ui->comboBoxUsername->setEnabled(enabled);
    m_ui->lineEditPassword->setEnabled(enabled);
    m_ui->comboBoxCountry->setEnabled(enabled);
    m_ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(enabled);
    m_ui->checkBoxAutoLogin->setEnabled(enabled);
}

void LoginDialog::login() {
    m_ui->progressBar->setValue(0);
    m_username = m_ui->comboBoxUsername->currentText().trimmed();
    m_password = m_ui->lineEditPassword->text();
    if (m_username.isEmpty()) {
        Messages::critical(this, tr("Login Error"), tr("Please enter your Username."));
        m_ui->comboBoxUsername->setFocus();
        return;
    }
    if (m_password.isEmpty()) {
        Messages::warning(this, tr("Login Error"), tr("Please enter your Password."));
        m_ui->lineEditPassword->setFocus();
        return;
    }
    m_siteId = m_ui->comboBoxCountry->currentData().toInt();
    m_progressStep = m_siteId == SignInRecords::ukSiteId ? 50 : 25;

    setFormEnabled(false);
    m_ui->checkBoxRemember->setEnabled(false);
    m_ui->progressBar->show();
    // Sniping always goes through the UK site, so it is signed in to first whatever site was chosen.
    m_loginHelper->login(m_username, m_password, SignInRecords::ukDomain(), SignInRecords::ukSiteId);
}

void LoginDialog::increaseProgressBar() {
    m_ui->progressBar->setValue(qMin(m_ui->progressBar->value() + m_progressStep, 100));
}

void LoginDialog::loginFinished(bool ok, int siteId) {
    increaseProgressBar();
    if (!ok) {
        resetForm();
        if (m_loginHelper->outcome() == LoginHelper::MoreAsked)
            Messages::warning(this, tr("Login Error"),
                              tr("eBay asked for more than the password (a captcha or a verification), so Tollimer "
                                 "could not sign you in here. Please sign in on the pages of the login wizard "
                                 "instead: it opens when Tollimer starts."));
        else if (m_loginHelper->outcome() == LoginHelper::WrongPassword)
            Messages::warning(this, tr("Login Error"), tr("Wrong Username or Password."));
        return;
    }
    if (siteId == SignInRecords::ukSiteId && m_siteId != SignInRecords::ukSiteId) {
        m_loginHelper->login(m_username, m_password, m_ui->comboBoxCountry->currentText(), m_siteId);
        return;
    }
    resetForm();
    if (saveLogin()) {
        m_ui->progressBar->setValue(100);
        accept();
    }
}

void LoginDialog::resetForm() {
    setFormEnabled(true);
    toggleRememberPassword(m_ui->checkBoxAutoLogin->checkState());
    m_ui->progressBar->hide();
    m_ui->progressBar->setValue(0);
}

bool LoginDialog::saveLogin() {
    const bool remember = m_ui->checkBoxRemember->isChecked();
    int userId = 0;
    if (!SignInRecords::saveUser(this, m_username, m_password, remember, m_password, m_siteId, &userId))
        return false;
    if (remember && m_ui->checkBoxAutoLogin->isChecked())
        return SignInRecords::saveAutoLogin(this, userId);
    if (SignInRecords::storedAutoLoginUserId() == userId)
        return SignInRecords::saveAutoLogin(this, 0);
    return true;
}
