#pragma once

#include "notificationaccount.h"

#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QWaitCondition>

class QThread;
class SmtpClient;

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

    NotificationMailer();
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
    void runQueue();
    bool deliver(const OutgoingMail& mail);

    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    QQueue<OutgoingMail> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    bool m_aborting = false;
    SmtpClient* m_current = nullptr;
    QThread* m_thread = nullptr;
};
