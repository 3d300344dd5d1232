#pragma once

#include <QByteArray>
#include <QString>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QNetworkReply;
class QNetworkRequest;
class QObject;

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
    // A GET with a transfer time-out (0: none): a request that moves no data for that long is aborted with
    // QNetworkReply::OperationCanceledError.
    QNetworkReply* get(const QString& url, int transferTimeoutMs) const {
        return get(m_manager, url, transferTimeoutMs);
    }
    static QNetworkReply* get(QNetworkAccessManager* manager, const QString& url, int transferTimeoutMs);

    // A further manager of the same session (shared cookie jar and proxy choice) with connections of its own.
    // A snipe sends its requests through one of these, so that many snipes ending together do not queue for the
    // six connections a manager opens per host, and its confirming request finds the connection its first
    // request opened.
    QNetworkAccessManager* createSessionManager(QObject* parent) const;
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
