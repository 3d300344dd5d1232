#include "networkmanager.h"

#include "proxyfactory.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

NetworkManager* NetworkManager::instance() {
    // Deliberately never deleted: replies and browser pages may still refer to the session during shutdown.
    static NetworkManager* const session = new NetworkManager;
    return session;
}

NetworkManager::NetworkManager()
    : m_manager(new QNetworkAccessManager)
    , m_cookieJar(new QNetworkCookieJar) {
    configure(m_manager);
}

void NetworkManager::configure(QNetworkAccessManager* manager) const {
    manager->setProxyFactory(new ProxyFactory);
    manager->setCookieJar(m_cookieJar);
    // setCookieJar makes the manager the jar's parent; browser pages come and go while the session must last.
    m_cookieJar->setParent(nullptr);
}

QNetworkRequest NetworkManager::buildRequest(const QString& url) {
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return request;
}

QNetworkReply* NetworkManager::get(const QString& url) const {
    return m_manager->get(buildRequest(url));
}

QNetworkReply* NetworkManager::get(QNetworkAccessManager* manager, const QString& url, int transferTimeoutMs) {
    QNetworkRequest request = buildRequest(url);
    if (transferTimeoutMs > 0)
        request.setTransferTimeout(transferTimeoutMs);
    return manager->get(request);
}

QNetworkAccessManager* NetworkManager::createSessionManager(QObject* parent) const {
    auto* manager = new QNetworkAccessManager(parent);
    configure(manager);
    return manager;
}

QNetworkReply* NetworkManager::post(const QString& url, const QByteArray& body) const {
    return m_manager->post(buildRequest(url), body);
}

QString NetworkManager::formatAmount(double amount) {
    return QString::number(amount, 'f', 2);
}

QString NetworkManager::replyText(QNetworkReply* reply) {
    QByteArray body = reply->readAll();
    const int nul = body.indexOf('\0');
    if (nul >= 0)
        body.truncate(nul);
    return QString::fromUtf8(body);
}
