#include "notificationmailer.h"

#include "clockmanager.h"
#include "emailaddress.h"
#include "mimehtml.h"
#include "mimemessage.h"
#include "mimetext.h"
#include "smtpclient.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSslCertificate>
#include <QThread>

#include <memory>

namespace {
NotificationMailer* s_instance = nullptr;

void shutdownInstance() {
    if (!s_instance)
        return;
    const bool ended = s_instance->shutdown(NotificationMailer::exitGraceMs);
    // A worker that is still running cannot be destroyed safely; the process end will take it.
    if (ended)
        delete s_instance;
    s_instance = nullptr;
}
} // namespace

NotificationMailer::NotificationMailer() = default;

NotificationMailer::~NotificationMailer() {
    if (m_thread && !shutdown(0)) {
        qCritical() << "Notification mailer still busy at destruction; its thread is left to the process end";
        m_thread->setParent(nullptr);
        m_thread = nullptr;
    }
}

NotificationMailer* NotificationMailer::instance() {
    if (!s_instance) {
        s_instance = new NotificationMailer;
        qAddPostRoutine(shutdownInstance);
    }
    return s_instance;
}

void NotificationMailer::enqueue(const OutgoingMail& mail) {
    QMutexLocker locker(&m_mutex);
    if (m_stopping) {
        qDebug() << "Notification mail dropped at exit:" << mail.subject;
        return;
    }
    if (!m_thread) {
        m_thread = QThread::create([this] { runQueue(); });
        m_thread->setObjectName(QStringLiteral("NotificationMailer"));
        m_thread->setParent(this);
        m_thread->start();
    }
    m_queue.enqueue(mail);
    if (!m_queue.last().date.isValid())
        m_queue.last().date = ClockManager::instance()->currentDateTime();
    m_wake.wakeOne();
}

int NotificationMailer::pendingMails() const {
    QMutexLocker locker(&m_mutex);
    return m_queue.size() + (m_busy ? 1 : 0);
}

bool NotificationMailer::shutdown(int graceMs) {
    {
        QMutexLocker locker(&m_mutex);
        m_stopping = true;
        m_wake.wakeAll();
    }
    if (!m_thread)
        return true;
    if (m_thread->wait(static_cast<unsigned long>(qMax(0, graceMs))))
        return true;

    int dropped = 0;
    int connectionTimeout = 0;
    {
        QMutexLocker locker(&m_mutex);
        m_aborting = true;
        dropped = m_queue.size();
        m_queue.clear();
        if (m_current) {
            m_current->cancel();
            connectionTimeout = m_current->getConnectionTimeout();
        }
    }
    qDebug() << "Notification mails given up at exit:" << dropped << "queued and the one being sent";
    // Reply waits stop at once; a connection attempt or TLS handshake runs out its own timeout.
    return m_thread->wait(static_cast<unsigned long>(2 * connectionTimeout + 1000));
}

void NotificationMailer::runQueue() {
    for (;;) {
        OutgoingMail mail;
        {
            QMutexLocker locker(&m_mutex);
            while (m_queue.isEmpty() && !m_stopping)
                m_wake.wait(&m_mutex);
            if (m_queue.isEmpty())
                return;
            mail = m_queue.dequeue();
            m_busy = true;
        }
        const bool delivered = deliver(mail);
        {
            QMutexLocker locker(&m_mutex);
            m_busy = false;
        }
        QMetaObject::invokeMethod(
            this, [this, delivered] { emit mailFinished(delivered); }, Qt::QueuedConnection);
    }
}

// Failures are dropped: a notification that cannot be delivered must not disturb the snipes.
bool NotificationMailer::deliver(const OutgoingMail& mail) {
    const NotificationAccount& account = mail.account;
    SmtpClient client(account.host, account.port, account.connectionType);
    if (!account.caCertificatesFile.isEmpty())
        client.addCaCertificates(QSslCertificate::fromPath(account.caCertificatesFile));
    {
        QMutexLocker locker(&m_mutex);
        if (m_aborting)
            return false;
        m_current = &client;
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

    QMutexLocker locker(&m_mutex);
    m_current = nullptr;
    return delivered;
}
