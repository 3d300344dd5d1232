#pragma once

#include <QWizardPage>

// The login wizard's first page: the user id and the site. Owned by the wizard; it adds nothing to a wizard page.
class LoginWizardUserPage : public QWizardPage {
    Q_OBJECT

public:
    explicit LoginWizardUserPage(QWidget* parent = nullptr);
};
