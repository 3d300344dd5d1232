#pragma once

#include "itemhelper.h"
#include "loginhelper.h"
#include "messagerecorder.h"
#include "networkmanager.h"
#include "sandboxprocess.h"
#include "testrow.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QVariantMap>
#include <QtTest>

// What the client tests share: a sandbox started with one of our scenarios and made the program's proxy, readers
// for its request log, bid ledger and auction state, and the session and list requests several tests make.
namespace ClientSession {

// Starts the sandbox and points the program at it; must run before the first NetworkManager::instance().
inline bool start(SandboxProcess& sandbox, const QString& scenarioName) {
    QStandardPaths::setTestModeEnabled(true);
    const QString scenario = QDir(QString::fromUtf8(TOLLIMER_TEST_DATA)).filePath(scenarioName + ".json");
    if (!sandbox.start({QStringLiteral("--scenario"), scenario}))
        return false;
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    return true;
}

// Adds one row per entry to a table of text columns: the row's name, then its values in column order.
inline void addRows(std::initializer_list<QStringList> rows) {
    for (const QStringList& row : rows) {
        QTestData& data = QTest::newRow(qPrintable(row.first()));
        for (int i = 1; i < row.size(); ++i)
            data << row.at(i);
    }
}

inline QByteArray json(const QVariantMap& map) {
    return QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact);
}

inline QVariantMap control(const SandboxProcess& sandbox, const QString& path) {
    return sandbox.controlJson("GET", path).object().toVariantMap();
}

inline QVariantList requests(const SandboxProcess& sandbox) {
    return control(sandbox, "/_sandbox/log").value("requests").toList();
}

inline QVariantList bids(const SandboxProcess& sandbox) {
    return control(sandbox, "/_sandbox/ledger").value("bids").toList();
}

inline QVariantList requestsTo(const SandboxProcess& sandbox, const QString& endpoint) {
    QVariantList matching;
    for (const QVariant& entry : requests(sandbox)) {
        if (entry.toMap().value("endpoint").toString() == endpoint)
            matching.append(entry);
    }
    return matching;
}

inline QVariantMap auctionState(const SandboxProcess& sandbox, const QString& itemNumber) {
    for (const QVariant& auction : control(sandbox, "/_sandbox/state").value("auctions").toList()) {
        if (auction.toMap().value("itemNumber").toString() == itemNumber)
            return auction.toMap();
    }
    return {};
}

// A header of a logged request, whatever letter case the sandbox recorded its name in.
inline QString header(const QVariantMap& request, const QString& name) {
    const QVariantMap headers = request.value("headers").toMap();
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    }
    return QString();
}

// True when every cookie the shared jar holds for the URL went out with the logged request.
inline bool sentSessionCookies(const QVariantMap& request, const QString& url) {
    const QList<QNetworkCookie> cookies = NetworkManager::instance()->cookieJar()->cookiesForUrl(QUrl(url));
    for (const QNetworkCookie& cookie : cookies) {
        if (!header(request, "Cookie").contains(cookie.name() + '=' + cookie.value()))
            return false;
    }
    return !cookies.isEmpty();
}

// Waits for the answer, then lets a control round trip run so that a second signal would have arrived too.
inline void expectOneSignal(const SandboxProcess& sandbox, QSignalSpy& spy) {
    QVERIFY(spy.wait(10000));
    sandbox.control("GET", QStringLiteral("/_sandbox/state"));
    QCOMPARE(spy.size(), 1);
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
    return finished.wait(10000) && finished.size() == 1 && finished.first().at(0).toBool();
}

// The user every test scenario knows, signed in on ebay.co.uk.
inline bool signInUser() {
    return signIn(QStringLiteral("sniper_uk"), QStringLiteral("secret"));
}

// Replaces the sandbox's auctions, users and sessions by a scenario given as JSON; true when it was taken.
inline bool loadScenario(const SandboxProcess& sandbox, const QByteArray& scenario) {
    int status = 0;
    sandbox.control("POST", QStringLiteral("/_sandbox/scenario"), scenario, &status);
    return status == 200;
}

// The ledger's bids that the program placed through either bid flow (on one item, if given), leaving out the
// scenario's rivals and control bids.
inline QVariantList ownBids(const SandboxProcess& sandbox, const QString& item = QString()) {
    QVariantList own;
    for (const QVariant& bid : bids(sandbox)) {
        const QVariantMap entry = bid.toMap();
        const QString flow = entry.value(QStringLiteral("flow")).toString();
        if ((flow == QLatin1String("json") || flow == QLatin1String("html")) &&
            (item.isEmpty() || entry.value(QStringLiteral("item")).toString() == item))
            own.append(bid);
    }
    return own;
}

// Forgets every cookie of the sites the tests use, so the next requests are those of a signed-out user.
inline void signOut() {
    QNetworkCookieJar* jar = NetworkManager::instance()->cookieJar();
    for (const char* site : {"http://signin.ebay.co.uk/", "http://signin.ebay.de/", "http://offer.ebay.de/"}) {
        for (const QNetworkCookie& cookie : jar->cookiesForUrl(QUrl(QString::fromLatin1(site))))
            jar->deleteCookie(cookie);
    }
}

inline QString relationOf(const QString& item) {
    ItemHelper helper;
    QSignalSpy finished(&helper, &ItemHelper::getUserItemRelationFinished);
    helper.getUserItemRelation(item);
    if (!finished.wait(10000) || finished.size() != 1 || !finished.first().at(0).toBool())
        return QStringLiteral("<failed>");
    return finished.first().at(1).toString();
}

// The item numbers of the My eBay watching or bidding list, sorted; "<failed>" when the request failed.
inline QStringList myEbayList(bool bidding) {
    ItemHelper helper;
    QSignalSpy finished(&helper, bidding ? &ItemHelper::getMyeBayBiddingItemNumbersFinished
                                         : &ItemHelper::getMyeBayWatchingItemNumbersFinished);
    bidding ? helper.getMyeBayBiddingItemNumbers() : helper.getMyeBayWatchingItemNumbers();
    if (!finished.wait(10000) || finished.size() != 1 || !finished.first().at(0).toBool())
        return {QStringLiteral("<failed>")};
    QStringList numbers = finished.first().at(1).toStringList();
    numbers.sort();
    return numbers;
}

} // namespace ClientSession
