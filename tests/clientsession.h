#pragma once

#include "loginhelper.h"
#include "messagerecorder.h"
#include "networkmanager.h"
#include "sandboxprocess.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QVariantMap>
#include <QtTest>

// What the client tests share: a sandbox started with one of our scenarios and made the program's proxy, and
// readers for its request log and bid ledger.
namespace ClientSession {

inline QString scenario(const QString& name) {
    return QDir(QString::fromUtf8(TOLLIMER_TEST_DATA)).filePath(name + QStringLiteral(".json"));
}

// Starts the sandbox and points the program at it; must run before the first NetworkManager::instance().
inline bool start(SandboxProcess& sandbox, const QString& scenarioName) {
    QStandardPaths::setTestModeEnabled(true);
    if (!sandbox.start({QStringLiteral("--scenario"), scenario(scenarioName)}))
        return false;
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    return true;
}

inline QByteArray json(const QVariantMap& map) {
    return QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact);
}

inline QVariantList requests(const SandboxProcess& sandbox) {
    return sandbox.controlJson("GET", QStringLiteral("/_sandbox/log"))
        .object()
        .toVariantMap()
        .value(QStringLiteral("requests"))
        .toList();
}

inline QVariantList requestsTo(const SandboxProcess& sandbox, const QString& endpoint) {
    QVariantList matching;
    const QVariantList all = requests(sandbox);
    for (const QVariant& entry : all) {
        if (entry.toMap().value(QStringLiteral("endpoint")).toString() == endpoint)
            matching.append(entry);
    }
    return matching;
}

inline QVariantList bids(const SandboxProcess& sandbox) {
    return sandbox.controlJson("GET", QStringLiteral("/_sandbox/ledger"))
        .object()
        .toVariantMap()
        .value(QStringLiteral("bids"))
        .toList();
}

// A header of a logged request, whatever letter case the sandbox recorded its name in.
inline QString header(const QVariantMap& request, const QString& name) {
    const QVariantMap headers = request.value(QStringLiteral("headers")).toMap();
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    }
    return QString();
}

inline void fault(const SandboxProcess& sandbox, const QVariantMap& fault) {
    int status = 0;
    sandbox.control("POST", QStringLiteral("/_sandbox/fault"), json(fault), &status);
    QCOMPARE(status, 200);
}

inline void clearFaultsAndLog(const SandboxProcess& sandbox) {
    sandbox.control("DELETE", QStringLiteral("/_sandbox/fault"));
    sandbox.control("DELETE", QStringLiteral("/_sandbox/log"));
}

// Each test case starts without faults or logged requests and with its message boxes recorded.
inline void beginCase(const SandboxProcess& sandbox, MessageRecorder& boxes) {
    clearFaultsAndLog(sandbox);
    boxes.install();
}

inline void endCase(const SandboxProcess& sandbox) {
    MessageRecorder::uninstall();
    clearFaultsAndLog(sandbox);
}

// Signs the shared session in through the form, as the login dialog does.
inline bool signIn(const QString& user, const QString& password, const QString& domain = QStringLiteral("ebay.co.uk"),
                   int siteId = 3) {
    LoginHelper helper;
    QSignalSpy finished(&helper, &LoginHelper::loginStep2Finished);
    helper.login(user, password, domain, siteId);
    if (!finished.wait(10000) || finished.size() != 1)
        return false;
    return finished.first().at(0).toBool();
}

// Forgets every cookie of the sites the tests use, so the next requests are those of a signed-out user.
inline void signOut() {
    QNetworkCookieJar* jar = NetworkManager::instance()->cookieJar();
    for (const char* site : {"http://signin.ebay.co.uk/", "http://signin.ebay.de/", "http://offer.ebay.de/"}) {
        const QList<QNetworkCookie> cookies = jar->cookiesForUrl(QUrl(QString::fromLatin1(site)));
        for (const QNetworkCookie& cookie : cookies)
            jar->deleteCookie(cookie);
    }
}

} // namespace ClientSession
