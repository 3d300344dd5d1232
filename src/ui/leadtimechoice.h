#pragma once

#include <QObject>

class QLineEdit;
class QRadioButton;

// The lead-time choice that the snipe dialog and the preferences dialog both show: "Auto-detect by Tollimer", or a
// number of seconds from 1 to 60 in the field beside the user-specified button. Owned by its dialog, which keeps
// the three widgets; this only fills, reads and checks them.
class LeadTimeChoice : public QObject {
    Q_OBJECT

public:
    // Installs the field's validator; the dialog connects the buttons' toggled(bool) to its own slot, which calls
    // enableField().
    LeadTimeChoice(QRadioButton* automatic, QRadioButton* userSpecified, QLineEdit* seconds, QObject* parent);

    void set(bool automatic, const QString& seconds);
    bool automatic() const;
    // The field's number, whatever the buttons say.
    int seconds() const;
    // Automatic, or a whole number of seconds from 1 to 60.
    bool acceptable() const;
    // The field is enabled exactly when the user-specified button is checked, and then takes the focus.
    void enableField();

private:
    QRadioButton* m_automatic;
    QRadioButton* m_userSpecified;
    QLineEdit* m_seconds;
};
