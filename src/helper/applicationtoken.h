#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkReply;

// The application token the Browse API wants, from eBay's client-credentials grant with the user's developer keys.
// eBay allows a thousand grants a day, so one token is kept for the whole process until shortly before it expires
// and shared by every Browse reader; readers that need it while it is being asked for wait for the same answer.
// One per process, created on first use.
class ApplicationToken : public QObject {
    Q_OBJECT

public:
    static ApplicationToken* instance();

    // A token is renewed this long before eBay's expiry, so that no call goes out with one about to lapse.
    static constexpr qint64 renewalMarginMs = 5 * 60 * 1000;

    // The token held for the current keys, or empty when there is none that lasts beyond the margin.
    QString token() const;
    // Asks eBay for a token unless one is held or already asked for; answered by ready().
    void request();
    // eBay refused the token held: the next request asks for a new one.
    void forget();
    // How the last request failed, and eBay's or Qt's reason.
    enum Failure { NoFailure, KeysRefused, Unreadable, NotAnswered };
    Failure failure() const { return m_failure; }
    QString failureReason() const { return m_failureReason; }

    static QString tokenUrl();
    // The grant's form body and Authorization header value for these keys.
    static QByteArray grantBody();
    static QByteArray basicAuthorization(const QString& clientId, const QString& clientSecret);

signals:
    void ready(bool ok);

private slots:
    void requestFinished();

private:
    explicit ApplicationToken(QObject* parent = nullptr);

    QString m_token;
    QString m_clientId;
    QElapsedTimer m_age;
    qint64 m_lifetimeMs = 0;
    QPointer<QNetworkReply> m_reply;
    Failure m_failure = NoFailure;
    QString m_failureReason;
};
