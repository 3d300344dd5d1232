#include "loginwizardbrowserpage.h"

LoginWizardBrowserPage::LoginWizardBrowserPage(QWidget* parent)
    : QWizardPage(parent) {}
