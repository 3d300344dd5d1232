#include "leadtimechoice.h"

#include "boundedintvalidator.h"

#include <QLineEdit>
#include <QRadioButton>

LeadTimeChoice::LeadTimeChoice(QRadioButton* automatic, QRadioButton* userSpecified, QLineEdit* seconds,
                               QObject* parent)
    : QObject(parent)
    , m_automatic(automatic)
    , m_userSpecified(userSpecified)
    , m_seconds(seconds) {
    m_seconds->setValidator(new BoundedIntValidator(1, 60, this));
}

void LeadTimeChoice::set(bool automatic, const QString& seconds) {
    m_automatic->setChecked(automatic);
    m_userSpecified->setChecked(!automatic);
    m_seconds->setText(seconds);
    m_seconds->setEnabled(!automatic);
}

bool LeadTimeChoice::automatic() const {
    return m_automatic->isChecked();
}

int LeadTimeChoice::seconds() const {
    return m_seconds->text().toInt();
}

bool LeadTimeChoice::acceptable() const {
    if (!m_userSpecified->isChecked())
        return true;
    QString text = m_seconds->text();
    int position = 0;
    return m_seconds->validator()->validate(text, position) == QValidator::Acceptable;
}

void LeadTimeChoice::enableField() {
    const bool userSpecified = m_userSpecified->isChecked();
    m_seconds->setEnabled(userSpecified);
    if (userSpecified)
        m_seconds->setFocus();
}
