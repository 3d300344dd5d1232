#pragma once

#include <QNetworkProxyFactory>

// Chooses the proxy for every request of one network access manager: the simulated eBay when TOLLIMER_SANDBOX is
// set, otherwise the system's configuration. Installed per manager (never application-wide) so that the mail
// sockets keep connecting directly. The manager it is installed in owns it.
class ProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query = QNetworkProxyQuery()) override;
};
