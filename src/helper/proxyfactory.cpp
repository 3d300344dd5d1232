#include "proxyfactory.h"

#include "hosts.h"

QList<QNetworkProxy> ProxyFactory::queryProxy(const QNetworkProxyQuery& query) {
    if (!Hosts::sandboxMode())
        return QNetworkProxyFactory::systemProxyForQuery(query);
    const QUrl proxy = Hosts::sandboxProxy();
    // An unusable sandbox address must not let requests fall through to the real site: no proxy means the
    // request fails with "No suitable proxy found".
    if (!proxy.isValid())
        return {};
    return {QNetworkProxy(QNetworkProxy::HttpProxy, proxy.host(), static_cast<quint16>(proxy.port()))};
}
