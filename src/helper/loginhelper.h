#pragma once

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class QNetworkReply;

// Signs the shared session in to an eBay site without a browser: fetches the site's sign-in page, posts the sign-in
// form with the user's credentials and the page's hidden values, and reports whether the session came out signed in.
// Whether it did is decided by eBay itself: one request for a page only a signed-in session gets (the site's My eBay
// page), never by the name of a cookie. The wizard asks the same question of the sessions its pages signed in.
// Created by the login dialog (or the wizard) as its child; may be reused once its result has arrived.
class LoginHelper : public QObject {
    Q_OBJECT

public:
    using FormItems = QVector<QPair<QString, QString>>;
    // Why the last sign-in ended as it did; read after loginStep2Finished.
    enum Outcome { SignedIn, WrongPassword, MoreAsked, NetworkFailed };

    explicit LoginHelper(QObject* parent = nullptr);

    void login(const QString& username, const QString& password, const QString& domain, int siteId);

    // The sign-in form for these credentials and the sign-in page that was served, in the order eBay expects.
    static FormItems formItems(const QString& username, const QString& password, const QString& signInPage);
    // name=value pairs joined by '&', names and values percent-encoded.
    static QByteArray encodeForm(const FormItems& items);
    // The hidden inputs of the page's sign-in form (the form holding the userid input, else the whole page).
    static FormItems hiddenInputs(const QString& page);
    // Whether a page is a sign-in form (eBay serves it again when it did not sign the user in).
    static bool isSignInForm(const QString& page);
    // Asks each site in turn whether the shared session is signed in there; answered by sessionChecked.
    void checkSession(const QStringList& domains);
    // The light request that proves a session: the site's My eBay summary page.
    static QString sessionCheckUrl(const QString& domain);
    // Whether an answer to that request is the signed-in page, not a redirect, a sign-in form or a captcha.
    static bool isSignedInPage(int httpStatus, const QString& page);

    Outcome outcome() const { return m_outcome; }

signals:
    void loginStep1Finished();
    void loginStep2Finished(bool ok, int siteId);
    // The answer to checkSession: false when a site was signed out or did not answer (outcome() says which).
    void sessionChecked(bool signedIn);

private slots:
    void step1Finished();
    void step2Finished();
    void sessionCheckFinished();

private:
    void checkNextSite();
    void finishCheck(bool signedIn);

    QPointer<QNetworkReply> m_pageReply;
    QPointer<QNetworkReply> m_formReply;
    QPointer<QNetworkReply> m_checkReply;
    QStringList m_sitesToCheck;
    // Whether the check under way is the last step of login() rather than a checkSession() of its own.
    bool m_checkEndsLogin = false;
    QString m_username;
    QString m_password;
    QString m_domain;
    int m_siteId = 0;
    Outcome m_outcome = WrongPassword;
};
