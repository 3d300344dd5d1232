#pragma once

#include <QByteArray>
#include <QString>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QNetworkReply;
class QNetworkRequest;

// The process-wide HTTP session: one access manager and one cookie jar shared by every eBay request, the clock, the
// version check and (through configure) every embedded browser, so that one sign-in serves them all.
// Created on first use and never destroyed; it owns its manager and its jar.
class NetworkManager {
public:
    static NetworkManager* instance();

    QNetworkAccessManager* networkAccessManager() const { return m_manager; }
    QNetworkCookieJar* cookieJar() const { return m_cookieJar; }

    // Gives another manager (a browser page's) the program's proxy choice and the shared cookie jar; the jar stays
    // owned by this session when that manager goes away.
    void configure(QNetworkAccessManager* manager) const;

    // The request for a URL text as every client request is built: parsed tolerantly, form content type set (GETs
    // included), redirects not followed.
    static QNetworkRequest buildRequest(const QString& url);
    QNetworkReply* get(const QString& url) const;
    QNetworkReply* post(const QString& url, const QByteArray& body) const;

    // A reply's body as UTF-8 text, cut at a NUL byte if it holds one.
    static QString replyText(QNetworkReply* reply);
    // An amount as eBay wants it in a URL: fixed notation, two decimals, a point, whatever the locale.
    static QString formatAmount(double amount);

private:
    NetworkManager();
    NetworkManager(const NetworkManager&) = delete;
    NetworkManager& operator=(const NetworkManager&) = delete;

    QNetworkAccessManager* m_manager = nullptr;
    QNetworkCookieJar* m_cookieJar = nullptr;
};
