#pragma once

#include "notificationaccount.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>

class QThread;

// One mail waiting to be sent, with the account it goes out through.
struct OutgoingMail {
    NotificationAccount account;
    QString fromAddress;
    QString fromName;
    QString toAddress;
    QString subject;
    QString body;
    bool html = false;
    // When the mail was handed over; set from the program's clock when left invalid.
    QDateTime date;
};

// Sends notification mails on a worker thread of its own, one after the other, so that a slow or silent
// mail server never holds up the GUI thread, where the clock tick and every snipe's timers run. The
// process-wide instance is created on first use and shut down when the application object goes away.
class NotificationMailer : public QObject {
    Q_OBJECT

public:
    // How long pending mails may still take at exit before they are given up.
    static constexpr int exitGraceMs = 3000;
    // How long the worker may take to end once its mail is cancelled; the SMTP client gives up any wait
    // within a tenth of a second, so exit takes at most the sum of the two.
    static constexpr int cancelGraceMs = 500;
    // Longest time one mail may take, however its server spreads out its replies.
    static constexpr int mailDeadlineMs = 30000;

    NotificationMailer();
    // Gives pending mails up at once. A worker caught in a host name lookup is left to end by itself; it
    // touches nothing of the mailer's after this.
    ~NotificationMailer() override;

    static NotificationMailer* instance();

    // Returns at once; the mail is composed and sent on the worker thread.
    void enqueue(const OutgoingMail& mail);
    // Mails queued or being sent.
    int pendingMails() const;

    // Lets pending mails go on for up to graceMs, then cancels the one being sent and drops the rest.
    // Returns whether the worker has ended; later mails are dropped.
    bool shutdown(int graceMs);

signals:
    // Emitted in the mailer's own thread after each mail: whether the server accepted it.
    void mailFinished(bool delivered);

private:
    // Everything the worker uses; it holds its own reference, so the mailer can go while it still runs.
    struct Queue;

    static void runQueue(const std::shared_ptr<Queue>& queue);
    static bool deliver(Queue& queue, const OutgoingMail& mail);

    std::shared_ptr<Queue> m_queue;
    QThread* m_thread = nullptr;
};
