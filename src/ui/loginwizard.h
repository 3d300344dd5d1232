#pragma once

#include <QScopedPointer>
#include <QWizard>

class LoginHelper;
class QWebView;

namespace Ui {
class LoginWizard;
}

// The start-up sign-in: the user picks or types an eBay user id and a site, signs in to eBay in the embedded pages
// (the chosen site, then the UK site that sniping needs), and Finish records the user once the shared session is
// signed in. Created without a parent by the entry function and run modally before the main window exists.
class LoginWizard : public QWizard {
    Q_OBJECT

public:
    enum PageId { UserPage = 0, SelectedSitePage = 1, UkSitePage = 2 };

    explicit LoginWizard(QWidget* parent = nullptr);
    ~LoginWizard() override;

    int nextId() const override;

public slots:
    // Finish: checks the user id, asks eBay whether the session is signed in (the wizard closes when it says yes),
    // saves the user; true when the wizard may close now.
    bool login();
    void changeUser(int index);

private slots:
    void sessionChecked(bool signedIn);

protected:
    void initializePage(int id) override;
    bool validateCurrentPage() override;

private:
    QWebView* createView(const QString& objectName);
    bool saveLogin();

    QScopedPointer<Ui::LoginWizard> m_ui;
    QWebView* m_selectedSiteView = nullptr;
    QWebView* m_ukView = nullptr;
    int m_siteId = 0;
    QString m_username;
    LoginHelper* m_sessionCheck = nullptr;
    bool m_sessionConfirmed = false;
};
