#pragma once

#include <QString>
#include <QUrl>

// Every host the program talks to, and the choice of scheme. Request builders, the clock, the version check and the
// browsers take their addresses from here so that the simulated eBay can stand in for all of them at once:
// with TOLLIMER_SANDBOX=http://HOST:PORT set, https is replaced by http and the proxy is that address.
class Hosts {
public:
    enum Kind {
        SignIn,      // the site's sign-in host (per domain)
        Offer,       // the site's offer host (per domain), quick-bid flow
        UkOffer,     // page bid flow, whatever the user's site
        UkItemPage,  // viewer relation and shipping
        UkMyEbay,    // My eBay lists
        MyEbay,      // the site's My eBay pages (per domain): whether the session is signed in
        ShoppingApi, // item data and eBay time
        RestApi,     // application token and the Browse API's item data
        Home,        // the site's home page in the browser (per domain)
        ItemPage,    // the site's item page in the browser (per domain)
        UkWeb,       // host of the item links in the My eBay lists
        Picture,     // item pictures
        Version      // the maker's version file
    };

    static QString host(Kind kind, const QString& domain = QString());
    // The scheme the program uses for this kind now: the real one, or http in sandbox mode.
    static QString scheme(Kind kind);
    // "scheme://host", without a trailing slash.
    static QString origin(Kind kind, const QString& domain = QString());

    static QString homePageUrl(const QString& domain);
    static QString itemPageUrl(const QString& domain, const QString& itemNumber);
    static QString versionUrl();

    // Sandbox mode is on as soon as TOLLIMER_SANDBOX is set. A value that is not http://HOST:PORT gives an empty
    // proxy address, and the managers then refuse every request rather than reach the real site.
    static bool sandboxMode();
    static QUrl sandboxProxy();

    // The application id the Shopping API knows the program by.
    static QString applicationId();
};
