#pragma once

#include "smtpclient.h"

#include <QString>

// The SMTP account the notification mails go out through. The maker's account is built in; every value can
// be overridden in the program's settings file (QSettings of "Tollimer" / "eBay Auction Sniper"), group
// "NotificationMail":
//   host            SMTP server host name                      (mail.tollimer.com)
//   port            SMTP server port                           (25)
//   connection      "starttls", "ssl" (TLS from the first byte) or "tcp"   (starttls)
//   auth            "login", "plain" or "none"                 (login)
//   user            account user name                          (the sender address)
//   password        account password                           (the built-in one)
//   sender          sender address of the mails                (notify@tollimer.com)
//   caCertificates  PEM file of certificates to trust besides the system's, for a server with its own CA
// The password goes over an unencrypted connection only when "connection" says "tcp" in so many words: a
// missing or unreadable value keeps STARTTLS, and a server that refuses it gets no credentials at all.
struct NotificationAccount {
    enum class Auth { Plain, Login, None };

    QString host = QStringLiteral("mail.tollimer.com");
    int port = 25;
    SmtpClient::ConnectionType connectionType = SmtpClient::TlsConnection;
    Auth auth = Auth::Login;
    QString user = QStringLiteral("notify@tollimer.com");
    QString password = QStringLiteral("q7Rm2x@Lp9Tz");
    QString sender = QStringLiteral("notify@tollimer.com");
    QString caCertificatesFile;

    // The built-in account with the settings file's overrides applied. Values that cannot be understood are
    // logged and the built-in value is kept.
    static NotificationAccount fromSettings();
};
