#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QSqlRecord>
#include <QString>

class LeadTimeChoice;

namespace Ui {
class PreferencesDialog;
}

// Edits the signed-in user's preferences (refresh interval, default lead time, close-to-tray, notification mails)
// and, when accepted, stores them and puts them into the application's user record; the main window then applies
// them. Opened modally by the main window's Preferences action.
class PreferencesDialog : public QDialog {
    Q_OBJECT

public:
    // Edits the application's signed-in user.
    explicit PreferencesDialog(QWidget* parent = nullptr);
    PreferencesDialog(const QSqlRecord& user, QWidget* parent);
    ~PreferencesDialog() override;

    bool autoDetectLeadTime() const;
    int leadTime() const;
    int refreshInterval() const;
    QString email() const;
    bool outbidNotification() const;
    bool wonNotification() const;
    bool lostNotification() const;
    bool closeToSysTray() const;

    // The record with this dialog's values written into it; the default lead time only when one was chosen.
    QSqlRecord applyTo(QSqlRecord user) const;

private slots:
    void enableDisableLeadTimeEdit();
    void acceptReceived();

private:
    bool saveUser();

    QScopedPointer<Ui::PreferencesDialog> m_ui;
    LeadTimeChoice* m_leadTime = nullptr;
    int m_userId = 0;
};
