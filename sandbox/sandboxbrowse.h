#pragma once

#include "sandboxhttprequest.h"
#include "sandboxhttpresponse.h"

#include <QDate>
#include <QHash>
#include <QJsonObject>
#include <QString>

class SandboxClock;
class SandboxMarket;

// eBay's REST side as the program's item data needs it: the client-credentials grant that hands out application
// tokens, and the Browse API's item call by legacy number, with eBay's error answers and a daily call limit.
// Owned by SandboxSite; configured through the control interface (/_sandbox/browse). Its state (keys, tokens,
// calls counted) lives as long as the process, whatever scenario is loaded.
class SandboxBrowse {
public:
    SandboxBrowse(SandboxClock* clock, SandboxMarket* market);

    // "BrowseToken", "BrowseItem", or empty for a request that is not one of ours.
    static QString endpointFor(const SandboxHttpRequest& request);
    SandboxHttpResponse token(const SandboxHttpRequest& request);
    SandboxHttpResponse item(const SandboxHttpRequest& request);

    QJsonObject stateJson() const;
    // Takes any of clientId, clientSecret, dailyLimit, callsToday, tokenLifetimeSeconds; "expireTokens": true
    // makes every token issued so far invalid.
    bool configure(const QJsonObject& settings, QString* error);

private:
    static SandboxHttpResponse error(int status, int errorId, const QString& message);
    // eBay counts calls per day of US Pacific time.
    QDate ebayDay() const;
    void rollDay();

    SandboxClock* m_clock;
    SandboxMarket* m_market;
    QString m_clientId = QStringLiteral("Tollimer-Sandbox-PRD-5d0c8a6f2b14");
    QString m_clientSecret = QStringLiteral("PRD-sandbox-9b7e-4c2d");
    int m_dailyLimit = 5000;
    int m_tokenLifetimeSeconds = 7200;
    QHash<QString, double> m_tokens; // token -> real expiry, ms since the epoch
    int m_tokensIssued = 0;
    QDate m_day;
    int m_callsToday = 0;
};
