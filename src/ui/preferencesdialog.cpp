#include "preferencesdialog.h"

#include "boundedintvalidator.h"
#include "dbhelper.h"
#include "developerkeysbox.h"
#include "leadtimechoice.h"
#include "messages.h"
#include "tollimerapp.h"
#include "ui_preferencesdialog.h"

#include <QRegExpValidator>
#include <QSqlDatabase>
#include <QVariant>

namespace {
bool acceptable(const QLineEdit* edit) {
    QString text = edit->text();
    int position = 0;
    return edit->validator()->validate(text, position) == QValidator::Acceptable;
}
} // namespace

PreferencesDialog::PreferencesDialog(QWidget* parent)
    : PreferencesDialog(TollimerApp::instance() ? TollimerApp::instance()->user() : QSqlRecord(), parent) {}

PreferencesDialog::PreferencesDialog(const QSqlRecord& user, QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::PreferencesDialog)
    , m_userId(user.value(QStringLiteral("id")).toInt()) {
    m_ui->setupUi(this);
    m_leadTime =
        new LeadTimeChoice(m_ui->radioButtonAutoDetect, m_ui->radioButtonUserSpecified, m_ui->lineEditLeadTime, this);
    m_leadTime->set(user.value(QStringLiteral("auto_detect_lead_time")).toBool(),
                    user.value(QStringLiteral("default_lead_time")).toString());
    m_ui->lineEditRefreshRate->setText(user.value(QStringLiteral("refresh_interval")).toString());
    m_ui->lineEditEmail->setText(user.value(QStringLiteral("email")).toString());
    m_ui->checkBoxOutBid->setChecked(user.value(QStringLiteral("outbid_notification")).toBool());
    m_ui->checkBoxWonBid->setChecked(user.value(QStringLiteral("won_notification")).toBool());
    m_ui->checkBoxLostBid->setChecked(user.value(QStringLiteral("lost_notification")).toBool());
    m_ui->checkBoxCloseToSysTray->setChecked(user.value(QStringLiteral("close_systray")).toBool());
    enableDisableLeadTimeEdit();

    m_ui->lineEditRefreshRate->setValidator(new BoundedIntValidator(0, 14400, this));
    m_ui->lineEditEmail->setValidator(new QRegExpValidator(
        QRegExp(QStringLiteral("^([a-zA-Z0-9_\\.\\-\\+])+\\@(([a-zA-Z0-9\\-])+\\.)+([a-zA-Z0-9]{2,4})+$"),
                Qt::CaseSensitive),
        this));
    // Above the button box.
    m_ui->mainLayout->insertWidget(m_ui->mainLayout->count() - 1, new DeveloperKeysBox(this));
}

PreferencesDialog::~PreferencesDialog() = default;

bool PreferencesDialog::autoDetectLeadTime() const {
    return m_leadTime->automatic();
}

int PreferencesDialog::leadTime() const {
    return m_leadTime->seconds();
}

int PreferencesDialog::refreshInterval() const {
    return m_ui->lineEditRefreshRate->text().toInt();
}

QString PreferencesDialog::email() const {
    return m_ui->lineEditEmail->text();
}

bool PreferencesDialog::outbidNotification() const {
    return m_ui->checkBoxOutBid->isChecked();
}

bool PreferencesDialog::wonNotification() const {
    return m_ui->checkBoxWonBid->isChecked();
}

bool PreferencesDialog::lostNotification() const {
    return m_ui->checkBoxLostBid->isChecked();
}

bool PreferencesDialog::closeToSysTray() const {
    return m_ui->checkBoxCloseToSysTray->isChecked();
}

void PreferencesDialog::enableDisableLeadTimeEdit() {
    m_leadTime->enableField();
}

void PreferencesDialog::acceptReceived() {
    if (!m_leadTime->acceptable()) {
        Messages::critical(this, tr("Invalid lead time"),
                           tr("Pleae enter a lead time that is between 1 and 60 seconds."));
        m_ui->lineEditLeadTime->setFocus();
        return;
    }
    if (!acceptable(m_ui->lineEditRefreshRate)) {
        Messages::critical(this, tr("Invalid refresh interval"), tr("Pleae enter a valid refresh interval."));
        m_ui->lineEditRefreshRate->setFocus();
        return;
    }
    const bool notifying = outbidNotification() || wonNotification() || lostNotification();
    if ((notifying || !email().isEmpty()) && !acceptable(m_ui->lineEditEmail)) {
        Messages::critical(this, tr("Invalid email"), tr("Pleae enter a valid email address."));
        m_ui->lineEditEmail->setFocus();
        return;
    }
    if (saveUser())
        accept();
}

QSqlRecord PreferencesDialog::applyTo(QSqlRecord user) const {
    user.setValue(QStringLiteral("auto_detect_lead_time"), autoDetectLeadTime() ? 1 : 0);
    if (!autoDetectLeadTime())
        user.setValue(QStringLiteral("default_lead_time"), leadTime());
    user.setValue(QStringLiteral("refresh_interval"), refreshInterval());
    user.setValue(QStringLiteral("email"), email().isEmpty() ? QVariant() : QVariant(email()));
    user.setValue(QStringLiteral("outbid_notification"), outbidNotification() ? 1 : 0);
    user.setValue(QStringLiteral("won_notification"), wonNotification() ? 1 : 0);
    user.setValue(QStringLiteral("lost_notification"), lostNotification() ? 1 : 0);
    user.setValue(QStringLiteral("close_systray"), closeToSysTray() ? 1 : 0);
    return user;
}

bool PreferencesDialog::saveUser() {
    // The stored row, not the in-memory one, is written back: the running program may know a password the user
    // chose not to have remembered, and saving preferences must not store it.
    QSqlRecord stored = QSqlDatabase::database().record(QStringLiteral("users"));
    stored.setValue(QStringLiteral("id"), m_userId);
    if (!DbHelper::getUser(stored) || !DbHelper::updateUser(applyTo(stored))) {
        Messages::warning(this, tr("Database Error"), tr("Failed to update user."));
        return false;
    }
    TollimerApp* app = TollimerApp::instance();
    if (app && app->user().value(QStringLiteral("id")).toInt() == m_userId)
        app->setUser(applyTo(app->user()));
    return true;
}
