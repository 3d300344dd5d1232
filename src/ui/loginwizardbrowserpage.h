#pragma once

#include <QWizardPage>

// A login wizard page that holds an embedded browser showing an eBay sign-in page. Owned by the wizard.
class LoginWizardBrowserPage : public QWizardPage {
    Q_OBJECT

public:
    explicit LoginWizardBrowserPage(QWidget* parent = nullptr);
};
