#include "notificationaccount.h"

#include <QDebug>
#include <QSettings>

NotificationAccount NotificationAccount::fromSettings() {
    NotificationAccount account;
    QSettings settings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
    settings.beginGroup(QStringLiteral("NotificationMail"));

    account.host = settings.value(QStringLiteral("host"), account.host).toString();
    bool portOk = false;
    const int port = settings.value(QStringLiteral("port"), account.port).toInt(&portOk);
    if (portOk && port > 0 && port <= 65535)
        account.port = port;
    else
        qCritical() << "Ignoring the notification mail port setting" << settings.value(QStringLiteral("port"));

    const QString connection = settings.value(QStringLiteral("connection"), QStringLiteral("starttls")).toString();
    if (connection.compare(QLatin1String("ssl"), Qt::CaseInsensitive) == 0)
        account.connectionType = SmtpClient::SslConnection;
    else if (connection.compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0)
        account.connectionType = SmtpClient::TcpConnection;
    else if (connection.compare(QLatin1String("starttls"), Qt::CaseInsensitive) != 0)
        qCritical() << "Ignoring the notification mail connection setting" << connection;

    const QString auth = settings.value(QStringLiteral("auth"), QStringLiteral("login")).toString();
    if (auth.compare(QLatin1String("plain"), Qt::CaseInsensitive) == 0)
        account.auth = Auth::Plain;
    else if (auth.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        account.auth = Auth::None;
    else if (auth.compare(QLatin1String("login"), Qt::CaseInsensitive) != 0)
        qCritical() << "Ignoring the notification mail auth setting" << auth;

    account.sender = settings.value(QStringLiteral("sender"), account.sender).toString();
    // The account signs in as its own mailbox unless told otherwise.
    account.user = settings.value(QStringLiteral("user"), account.sender).toString();
    account.password = settings.value(QStringLiteral("password"), account.password).toString();
    account.caCertificatesFile = settings.value(QStringLiteral("caCertificates")).toString();
    return account;
}
