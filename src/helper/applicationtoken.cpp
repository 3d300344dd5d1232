#include "applicationtoken.h"

#include "developerkeys.h"
#include "hosts.h"
#include "networkmanager.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

ApplicationToken* ApplicationToken::instance() {
    static ApplicationToken* const holder = new ApplicationToken;
    return holder;
}

ApplicationToken::ApplicationToken(QObject* parent)
    : QObject(parent) {}

QString ApplicationToken::tokenUrl() {
    return Hosts::origin(Hosts::RestApi) + QStringLiteral("/identity/v1/oauth2/token");
}

QByteArray ApplicationToken::grantBody() {
    return QByteArrayLiteral("grant_type=client_credentials&scope=") +
           QUrl::toPercentEncoding(QStringLiteral("https://api.ebay.com/oauth/api_scope"));
}

QByteArray ApplicationToken::basicAuthorization(const QString& clientId, const QString& clientSecret) {
    return QByteArrayLiteral("Basic ") + (clientId + QLatin1Char(':') + clientSecret).toUtf8().toBase64();
}

QString ApplicationToken::token() const {
    // Keys changed in the preferences make the token of the old ones useless. A token shorter-lived than twice the
    // margin is kept for half its life, or it would be renewed for ever.
    if (m_token.isEmpty() || m_clientId != DeveloperKeys::clientId() ||
        m_age.elapsed() > m_lifetimeMs - qMin(renewalMarginMs, m_lifetimeMs / 2))
        return QString();
    return m_token;
}

void ApplicationToken::forget() {
    m_token.clear();
}

void ApplicationToken::request() {
    if (m_reply)
        return;
    if (!token().isEmpty()) {
        emit ready(true);
        return;
    }
    m_clientId = DeveloperKeys::clientId();
    QNetworkRequest request = NetworkManager::buildRequest(tokenUrl());
    request.setRawHeader("Authorization", basicAuthorization(m_clientId, DeveloperKeys::clientSecret()));
    m_reply = NetworkManager::instance()->networkAccessManager()->post(request, grantBody());
    connect(m_reply, &QNetworkReply::finished, this, &ApplicationToken::requestFinished);
}

void ApplicationToken::requestFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    reply->deleteLater();
    m_reply = nullptr;
    m_token.clear();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    m_failureReason = answer.value(QStringLiteral("error_description")).toString(reply->errorString());
    if (!status.isValid() || status.toInt() != 200) {
        m_failure = answer.value(QStringLiteral("error")).toString() == QLatin1String("invalid_client") ? KeysRefused
                                                                                                        : NotAnswered;
        emit ready(false);
        return;
    }
    const qint64 lifetimeSeconds = answer.value(QStringLiteral("expires_in")).toVariant().toLongLong();
    m_token = answer.value(QStringLiteral("access_token")).toString();
    if (m_token.isEmpty() || lifetimeSeconds <= 0) {
        m_token.clear();
        m_failure = Unreadable;
        emit ready(false);
        return;
    }
    m_lifetimeMs = lifetimeSeconds * 1000;
    m_age.start();
    m_failure = NoFailure;
    emit ready(true);
}
