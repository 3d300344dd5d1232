#include "notificationmailer.h"

#include "clockmanager.h"
#include "emailaddress.h"
#include "mimehtml.h"
#include "mimemessage.h"
#include "mimetext.h"
#include "smtpclient.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutex>
#include <QQueue>
#include <QSslCertificate>
#include <QThread>
#include <QWaitCondition>

#include <memory>

struct NotificationMailer::Queue {
    QMutex mutex;
    QWaitCondition wake;
    QQueue<OutgoingMail> mails;
    bool busy = false;
    bool stopping = false;
    bool aborting = false;
    SmtpClient* current = nullptr;
    // Null once the mailer is gone: the worker then reports to no one.
    NotificationMailer* owner = nullptr;
};

namespace {
NotificationMailer* s_instance = nullptr;

void shutdownInstance() {
    if (!s_instance)
        return;
    s_instance->shutdown(NotificationMailer::exitGraceMs);
    delete s_instance;
    s_instance = nullptr;
}
} // namespace

NotificationMailer::NotificationMailer()
    : m_queue(std::make_shared<Queue>()) {
    m_queue->owner = this;
}

NotificationMailer::~NotificationMailer() {
    if (!m_thread)
        return;
    bool aborted = false;
    {
        QMutexLocker locker(&m_queue->mutex);
        aborted = m_queue->aborting;
    }
    // After a shutdown that already gave up, waiting again would only lengthen the exit.
    if (m_thread->isFinished() || (!aborted && shutdown(0)))
        return;
    QMutexLocker locker(&m_queue->mutex);
    m_queue->owner = nullptr;
    m_thread->setParent(nullptr);
    qCritical() << "Notification mailer still resolving a host at destruction; its thread is left to the process end";
}

NotificationMailer* NotificationMailer::instance() {
    if (!s_instance) {
        s_instance = new NotificationMailer;
        qAddPostRoutine(shutdownInstance);
    }
    return s_instance;
}

void NotificationMailer::enqueue(const OutgoingMail& mail) {
    QMutexLocker locker(&m_queue->mutex);
    if (m_queue->stopping) {
        qDebug() << "Notification mail dropped at exit:" << mail.subject;
        return;
    }
    if (!m_thread) {
        m_thread = QThread::create([queue = m_queue] { runQueue(queue); });
        m_thread->setObjectName(QStringLiteral("NotificationMailer"));
        m_thread->setParent(this);
        m_thread->start();
    }
    m_queue->mails.enqueue(mail);
    if (!m_queue->mails.last().date.isValid())
        m_queue->mails.last().date = ClockManager::instance()->currentDateTime();
    m_queue->wake.wakeOne();
}

int NotificationMailer::pendingMails() const {
    QMutexLocker locker(&m_queue->mutex);
    return m_queue->mails.size() + (m_queue->busy ? 1 : 0);
}

bool NotificationMailer::shutdown(int graceMs) {
    {
        QMutexLocker locker(&m_queue->mutex);
        m_queue->stopping = true;
        m_queue->wake.wakeAll();
    }
    if (!m_thread)
        return true;
    if (m_thread->wait(static_cast<unsigned long>(qMax(0, graceMs))))
        return true;

    int dropped = 0;
    {
        QMutexLocker locker(&m_queue->mutex);
        m_queue->aborting = true;
        dropped = m_queue->mails.size();
        m_queue->mails.clear();
        if (m_queue->current)
            m_queue->current->cancel();
    }
    qDebug() << "Notification mails given up at exit:" << dropped << "queued and the one being sent";
    return m_thread->wait(cancelGraceMs);
}

void NotificationMailer::runQueue(const std::shared_ptr<Queue>& queue) {
    for (;;) {
        OutgoingMail mail;
        {
            QMutexLocker locker(&queue->mutex);
            while (queue->mails.isEmpty() && !queue->stopping)
                queue->wake.wait(&queue->mutex);
            if (queue->mails.isEmpty())
                return;
            mail = queue->mails.dequeue();
            queue->busy = true;
        }
        const bool delivered = deliver(*queue, mail);
        QMutexLocker locker(&queue->mutex);
        queue->busy = false;
        // Posted under the lock, so the mailer cannot go away in between; a posted call dies with its target.
        if (NotificationMailer* owner = queue->owner)
            QMetaObject::invokeMethod(
                owner, [owner, delivered] { emit owner->mailFinished(delivered); }, Qt::QueuedConnection);
    }
}

// Failures are dropped: a notification that cannot be delivered must not disturb the snipes.
bool NotificationMailer::deliver(Queue& queue, const OutgoingMail& mail) {
    const NotificationAccount& account = mail.account;
    SmtpClient client(account.host, account.port, account.connectionType);
    client.setDeadline(QDeadlineTimer(mailDeadlineMs));
    if (!account.caCertificatesFile.isEmpty())
        client.addCaCertificates(QSslCertificate::fromPath(account.caCertificatesFile));
    {
        QMutexLocker locker(&queue.mutex);
        if (queue.aborting)
            return false;
        queue.current = &client;
    }

    bool delivered = false;
    try {
        EmailAddress sender(mail.fromAddress, mail.fromName);
        EmailAddress recipient(mail.toAddress, QString());
        MimeMessage message;
        message.setSender(&sender);
        message.addRecipient(&recipient, MimeMessage::To);
        message.setSubject(mail.subject);
        message.setDate(mail.date);
        std::unique_ptr<MimeText> part(mail.html ? new MimeHtml(mail.body) : new MimeText(mail.body));
        message.addPart(part.get());

        // Without a connection (or with a refused STARTTLS) the credentials must not be sent at all.
        if (client.connectToHost()) {
            bool loggedIn = true;
            if (account.auth == NotificationAccount::Auth::Login)
                loggedIn = client.login(account.user, account.password, SmtpClient::AuthLogin);
            else if (account.auth == NotificationAccount::Auth::Plain)
                loggedIn = client.login(account.user, account.password, SmtpClient::AuthPlain);
            // A server that needs no sign-in may still take the mail after a refused login.
            const bool sent = client.sendMail(message);
            client.quit();
            delivered = sent;
            if (!loggedIn && sent)
                qDebug() << "Notification mail accepted without sign-in";
        }
    } catch (...) {
        delivered = false;
    }

    QMutexLocker locker(&queue.mutex);
    queue.current = nullptr;
    return delivered;
}
