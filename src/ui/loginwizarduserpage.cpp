#include "loginwizarduserpage.h"

LoginWizardUserPage::LoginWizardUserPage(QWidget* parent)
    : QWizardPage(parent) {}
