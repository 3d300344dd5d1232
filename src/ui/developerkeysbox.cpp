#include "developerkeysbox.h"

#include "developerkeys.h"

#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

DeveloperKeysBox::DeveloperKeysBox(QWidget* parent)
    : QGroupBox(tr("eBay developer keys"), parent)
    , m_clientId(new QLineEdit(DeveloperKeys::clientId(), this))
    , m_clientSecret(new QLineEdit(DeveloperKeys::clientSecret(), this))
    , m_callsLeft(new QLabel(this)) {
    setObjectName(QStringLiteral("developerKeysBox"));
    m_clientId->setObjectName(QStringLiteral("lineEditClientId"));
    m_clientSecret->setObjectName(QStringLiteral("lineEditClientSecret"));
    m_clientSecret->setEchoMode(QLineEdit::Password);
    m_callsLeft->setObjectName(QStringLiteral("labelCallsLeft"));
    m_callsLeft->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Client ID"), m_clientId);
    form->addRow(tr("Client secret"), m_clientSecret);
    form->addRow(m_callsLeft);
    showCallsLeft();
    connect(m_clientId, &QLineEdit::textChanged, this, &DeveloperKeysBox::showCallsLeft);
    connect(m_clientSecret, &QLineEdit::textChanged, this, &DeveloperKeysBox::showCallsLeft);
    if (auto* dialog = qobject_cast<QDialog*>(parent))
        connect(dialog, &QDialog::accepted, this, &DeveloperKeysBox::save);
}

void DeveloperKeysBox::save() {
    DeveloperKeys::save(m_clientId->text(), m_clientSecret->text());
}

void DeveloperKeysBox::showCallsLeft() {
    if (m_clientId->text().trimmed().isEmpty() || m_clientSecret->text().trimmed().isEmpty()) {
        m_callsLeft->setText(tr("Without keys, item data comes from eBay's older Shopping calls."));
        return;
    }
    // Keys not saved yet are another application's: eBay gives it a full day's calls.
    const bool saved = m_clientId->text().trimmed() == DeveloperKeys::clientId();
    const int left = saved ? DeveloperKeys::callsLeftToday() : DeveloperKeys::dailyLimit();
    m_callsLeft->setText(tr("Item data comes from the Browse API: %1 of %2 calls left today.")
                             .arg(QLocale().toString(left), QLocale().toString(DeveloperKeys::dailyLimit())));
}
