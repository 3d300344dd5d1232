#include "hosts.h"

#include "texthelpers.h"

#include <QByteArray>
#include <QDebug>
#include <QtGlobal>

QString Hosts::host(Kind kind, const QString& domain) {
    switch (kind) {
    case SignIn:
        return QStringLiteral("signin.") + domain;
    case Offer:
        return QStringLiteral("offer.") + domain;
    case UkOffer:
        return QStringLiteral("offer.ebay.co.uk");
    case UkItemPage:
        return QStringLiteral("cgi.ebay.co.uk");
    case UkMyEbay:
        return QStringLiteral("my.ebay.co.uk");
    case MyEbay:
        return QStringLiteral("my.") + domain;
    case ShoppingApi:
        return QStringLiteral("open.api.ebay.com");
    case RestApi:
        return QStringLiteral("api.ebay.com");
    case Home:
        return QStringLiteral("www.") + domain;
    case ItemPage:
        return QStringLiteral("cgi.") + domain;
    case UkWeb:
        return QStringLiteral("www.ebay.co.uk");
    case Picture:
        return QStringLiteral("i.ebayimg.com");
    case Version:
        return QStringLiteral("www.tollimer.com");
    }
    return QString();
}

QString Hosts::scheme(Kind kind) {
    // The session's cookies may be marked secure, so the page that proves them is asked over https too; eBay's REST
    // APIs answer https only.
    if ((kind == SignIn || kind == MyEbay || kind == RestApi) && !sandboxMode())
        return QStringLiteral("https");
    return QStringLiteral("http");
}

QString Hosts::origin(Kind kind, const QString& domain) {
    return scheme(kind) + QStringLiteral("://") + host(kind, domain);
}

QString Hosts::homePageUrl(const QString& domain) {
    return origin(Home, domain) + QStringLiteral("/");
}

QString Hosts::itemPageUrl(const QString& domain, const QString& itemNumber) {
    return origin(ItemPage, domain) + QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=") + encodeForQuery(itemNumber);
}

QString Hosts::versionUrl() {
    return origin(Version) + QStringLiteral("/version.xml");
}

bool Hosts::sandboxMode() {
    return !qgetenv("TOLLIMER_SANDBOX").trimmed().isEmpty();
}

QUrl Hosts::sandboxProxy() {
    const QByteArray value = qgetenv("TOLLIMER_SANDBOX").trimmed();
    if (value.isEmpty())
        return QUrl();
    const QUrl url(QString::fromUtf8(value), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty() || url.port() <= 0) {
        static bool told = false;
        if (!told)
            qCritical() << "TOLLIMER_SANDBOX is not http://HOST:PORT:" << value;
        told = true;
        return QUrl();
    }
    return url;
}

QString Hosts::applicationId() {
    return QStringLiteral("Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14");
}
