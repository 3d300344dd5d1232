#pragma once

#include "sandboxbrowse.h"
#include "sandboxhttprequest.h"
#include "sandboxhttpresponse.h"
#include "sandboxmarket.h"
#include "sandboxsessions.h"

#include <QHash>
#include <QString>

class SandboxClock;
class SandboxRecorder;
class SandboxAuction;

// The simulated eBay: answers every request the program sends through the proxy, by path and query, whatever host
// the program chose. Owned by SandboxServer, which logs each request and applies faults before calling handle().
class SandboxSite {
public:
    SandboxSite(SandboxClock* clock, SandboxMarket* market, SandboxSessions* sessions);

    // The endpoint name a request is logged and fault-injected under.
    static QString endpointFor(const SandboxHttpRequest& request);
    SandboxHttpResponse handle(const SandboxHttpRequest& request, const QString& endpoint, int requestSeq);

    // Forgets My eBay page sizes (a new scenario starts from eBay's defaults).
    void resetPreferences() { m_pageSizes.clear(); }
    SandboxBrowse& browse() { return m_browse; }

    static int siteIdForDomain(const QString& domain);
    // "signin.ebay.co.uk" -> "ebay.co.uk"; a host without a dot is its own domain.
    static QString domainOfHost(const QString& host);
    static constexpr int defaultPageSize = 25;

private:
    SandboxHttpResponse shopping(const SandboxHttpRequest& request, bool items);
    SandboxHttpResponse signInPage(const SandboxHttpRequest& request, const QString& message);
    SandboxHttpResponse signInPost(const SandboxHttpRequest& request);
    SandboxHttpResponse viewItemLite(const SandboxHttpRequest& request);
    SandboxHttpResponse viewItem(const SandboxHttpRequest& request);
    SandboxHttpResponse quickBidStep1(const SandboxHttpRequest& request);
    SandboxHttpResponse quickBidStep2(const SandboxHttpRequest& request, int requestSeq);
    SandboxHttpResponse makeBidStep1(const SandboxHttpRequest& request);
    SandboxHttpResponse makeBidStep2(const SandboxHttpRequest& request, int requestSeq);
    SandboxHttpResponse myEbay(const SandboxHttpRequest& request, const QString& endpoint);
    SandboxHttpResponse home(const SandboxHttpRequest& request);
    SandboxHttpResponse picture(const SandboxHttpRequest& request);

    QString sessionUser(const SandboxHttpRequest& request, QString* session = nullptr) const;
    QString cookieDomainAttribute(const QString& host) const;
    // The confirming request of either flow: session, tokens, amount and refusals are checked, then the bid is
    // judged and written to the ledger.
    SandboxMarket::Verdict confirmBid(const SandboxHttpRequest& request, const QString& flow, int requestSeq,
                                      qint64* cents);

    SandboxClock* m_clock;
    SandboxMarket* m_market;
    SandboxSessions* m_sessions;
    QHash<QString, int> m_pageSizes; // user|list -> items per page
    SandboxBrowse m_browse;
};
