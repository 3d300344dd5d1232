#pragma once

#include <QString>

// The notification mails: the won and lost mails of the bid thread and the low-scheduled-bid mail of the
// main window's refresh, and the one function that sends them.

// Subject and body of one notification mail.
struct NotificationText {
    QString subject;
    QString body;
};

// Sender display name of every notification mail.
QString notificationSenderName();

NotificationText wonNotification(const QString& username, const QString& itemNumber, const QString& itemName,
                                 double currentBid);
NotificationText lostNotification(const QString& username, const QString& itemNumber, const QString& itemName,
                                  double currentBid, double userBid);
NotificationText lowBidNotification(const QString& username, const QString& itemNumber, const QString& itemName,
                                    double nextBid, double userBid);

// Composes a mail and hands it to the notification mailer's thread; returns at once. Whatever goes wrong
// later (no connection, refused login, time-out) is dropped: the user still gets the tray message.
void sendNotificationMail(const QString& fromAddress, const QString& fromName, const QString& toAddress,
                          const QString& subject, const QString& body, bool html = false);

// Sends one of the mails above to toAddress from the notification account's sender.
void sendNotification(const QString& toAddress, const NotificationText& text);

class TrayMessenger;

// What the user is told when a snipe's outcome is known: the won or lost mail when the matching preference is
// set, and in any case the won or lost tray message (on tray, when there is one). A relation of "HIGHBIDDER",
// in any letter case, is a win. The amounts are the item's as last read before the confirming request.
struct SnipeResult {
    QString relation;
    QString username;
    QString itemNumber;
    QString itemName;
    double currentBid = 0.0;
    double userBid = 0.0;
    bool wonNotification = false;
    bool lostNotification = false;
    QString email;
};

bool isWinningRelation(const QString& relation);
void notifyResult(const SnipeResult& result, TrayMessenger* tray);
