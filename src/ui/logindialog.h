#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QString>

class LoginHelper;

namespace Ui {
class LoginDialog;
}

// The sign-in after Logout: signs the shared session in through LoginHelper, first to the UK site that sniping
// needs and then to the chosen site, and records the user with the remember and automatic sign-in choices.
// Created by the main window and run modally.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    explicit LoginDialog(QWidget* parent = nullptr);
    ~LoginDialog() override;

    // Whether exec() may sign the automatic sign-in user in without a click.
    void setAutoLogin(bool autoLogin) { m_autoLogin = autoLogin; }

public slots:
    int exec() override;
    void reject() override;

private slots:
    void login();
    void loginFinished(bool ok, int siteId);
    void changeUser(int index);
    void toggleRememberPassword(int autoLogin);
    void increaseProgressBar();

private:
    void createLoginHelper();
    void setFormEnabled(bool enabled);
    void resetForm();
    bool saveLogin();

    QScopedPointer<Ui::LoginDialog> m_ui;
    LoginHelper* m_loginHelper = nullptr;
    QString m_username;
    QString m_password;
    int m_siteId = 0;
    int m_progressStep = 0;
    bool m_autoLogin = false;
};
