#pragma once

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVector>

class QNetworkReply;

// Signs the shared session in to an eBay site without a browser: fetches the site's sign-in page, posts the sign-in
// form with the user's credentials and the page's hidden values, and reports whether the session came out signed in.
// Created by the login dialog as its child; may be reused once loginStep2Finished has arrived.
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
    // Whether the shared cookie jar holds a session for the site of this domain.
    static bool hasSessionCookie(const QString& domain);
    // Whether this answer sets a session cookie.
    static bool setsSessionCookie(QNetworkReply* reply);

    Outcome outcome() const { return m_outcome; }

signals:
    void loginStep1Finished();
    void loginStep2Finished(bool ok, int siteId);

private slots:
    void step1Finished();
    void step2Finished();

private:
    QPointer<QNetworkReply> m_pageReply;
    QPointer<QNetworkReply> m_formReply;
    QString m_username;
    QString m_password;
    QString m_domain;
    int m_siteId = 0;
    Outcome m_outcome = WrongPassword;
};
