#include "notifications.h"

#include "notificationaccount.h"
#include "notificationmailer.h"
#include "traymessenger.h"

#include <QCoreApplication>

namespace {
// Prices are money: always two decimals, never rounded to significant digits or written with an exponent.
QString amountF(double amount) {
    return QString::number(amount, 'f', 2);
}
} // namespace

QString notificationSenderName() {
    return QStringLiteral("Tollimer Bid Notification");
}

// The placeholders are filled in one pass, so an item name that itself contains "%4" stays as it is.
NotificationText wonNotification(const QString& username, const QString& itemNumber, const QString& itemName,
                                 double currentBid) {
    const QString body =
        QCoreApplication::translate("BidThread", "Hi %1,\r\n\r\nCongratulations on winning this item!\r\n\r\n"
                                                 "Item Number:\t%2\r\nItem Name:\t%3\r\nPrice:\t%4\r\n\r\n"
                                                 "Regards,\r\nwww.tollimer.com");
    return {QStringLiteral("Tollimer winning bid: ") + itemName,
            body.arg(username, itemNumber, itemName, amountF(currentBid))};
}

NotificationText lostNotification(const QString& username, const QString& itemNumber, const QString& itemName,
                                  double currentBid, double userBid) {
    const QString body = QCoreApplication::translate(
        "BidThread", "Hi %1,\r\n\r\nSorry you didn't win this item!\r\n\r\n"
                     "Item Number:\t%2\r\nItem Name:\t%3\r\nWinning Price:\t%4\r\nYour Bid:\t%5\r\n\r\n"
                     "Regards,\r\nwww.tollimer.com");
    return {QStringLiteral("Tollimer lost bid: ") + itemName,
            body.arg(username, itemNumber, itemName, amountF(currentBid), amountF(userBid))};
}

NotificationText lowBidNotification(const QString& username, const QString& itemNumber, const QString& itemName,
                                    double nextBid, double userBid) {
    const QString body = QCoreApplication::translate(
        "MainWindow", "Hi %1,\r\n\r\nYour scheduled bid is lower than the current bid! You need to raise your bid "
                      "if you want to win the item.\r\n\r\n"
                      "Item Number:\t%2\r\nItem Name:\t%3\r\nNext Bid:\t%4\r\nYour Bid:\t%5\r\n\r\n"
                      "Regards,\r\nwww.tollimer.com");
    return {QStringLiteral("Tollimer low scheduled bid: ") + itemName,
            body.arg(username, itemNumber, itemName, amountF(nextBid), amountF(userBid))};
}

void sendNotificationMail(const QString& fromAddress, const QString& fromName, const QString& toAddress,
                          const QString& subject, const QString& body, bool html) {
    OutgoingMail mail;
    mail.account = NotificationAccount::fromSettings();
    mail.fromAddress = fromAddress;
    mail.fromName = fromName;
    mail.toAddress = toAddress;
    mail.subject = subject;
    mail.body = body;
    mail.html = html;
    NotificationMailer::instance()->enqueue(mail);
}

void sendNotification(const QString& toAddress, const NotificationText& text) {
    sendNotificationMail(NotificationAccount::fromSettings().sender, notificationSenderName(), toAddress, text.subject,
                         text.body, false);
}

bool isWinningRelation(const QString& relation) {
    return relation.compare(QLatin1String("HIGHBIDDER"), Qt::CaseInsensitive) == 0;
}

void notifyResult(const SnipeResult& result, TrayMessenger* tray) {
    if (isWinningRelation(result.relation)) {
        if (result.wonNotification)
            sendNotification(result.email,
                             wonNotification(result.username, result.itemNumber, result.itemName, result.currentBid));
        if (tray)
            tray->showTrayMessage(QStringLiteral("Winning bid on item ") + result.itemNumber,
                                  QStringLiteral("Congratulations on winning this item!\r\nItem Name: ") +
                                      result.itemName,
                                  TrayMessenger::Information);
        return;
    }
    if (result.lostNotification)
        sendNotification(result.email, lostNotification(result.username, result.itemNumber, result.itemName,
                                                        result.currentBid, result.userBid));
    if (tray)
        tray->showTrayMessage(QStringLiteral("Lost bid on item ") + result.itemNumber,
                              QStringLiteral("You didn't win this item!\r\nItem Name: ") + result.itemName,
                              TrayMessenger::Information);
}
