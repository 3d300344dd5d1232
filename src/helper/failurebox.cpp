#include "failurebox.h"

#include "messages.h"

#include <QNetworkReply>

namespace {
// However many requests are still out, a failure is shown within this time.
const int deadlineMs = 10000;
} // namespace

FailureBox* FailureBox::instance() {
    static FailureBox* box = new FailureBox;
    return box;
}

FailureBox::FailureBox(QObject* parent)
    : QObject(parent) {
    m_idleFlush.setSingleShot(true);
    m_idleFlush.setInterval(0);
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(deadlineMs);
    connect(&m_idleFlush, &QTimer::timeout, this, &FailureBox::flush);
    connect(&m_deadline, &QTimer::timeout, this, &FailureBox::flush);
}

void FailureBox::track(QNetworkReply* reply) {
    m_inFlight.insert(reply);
    connect(reply, &QNetworkReply::finished, this, [this, reply]() { untrack(reply); });
    connect(reply, &QObject::destroyed, this, &FailureBox::untrack);
}

void FailureBox::untrack(QObject* reply) {
    if (m_inFlight.remove(reply))
        scheduleFlushIfIdle();
}

void FailureBox::critical(const QString& title, const QString& message, const QString& error) {
    qCritical() << title << message.arg(error);
    bool held = false;
    for (Failure& failure : m_held) {
        if (failure.title == title && failure.message == message) {
            ++failure.count;
            held = true;
            break;
        }
    }
    if (!held)
        m_held.append({title, message, error, 1});
    if (!m_deadline.isActive())
        m_deadline.start();
    scheduleFlushIfIdle();
}

void FailureBox::scheduleFlushIfIdle() {
    if (!m_held.isEmpty() && m_inFlight.isEmpty())
        m_idleFlush.start();
}

QString FailureBox::burstText(const QString& message, const QString& firstError, int count) {
    QString text = message.arg(firstError);
    if (count > 1)
        text += tr("\n(%1 requests failed this way.)").arg(count);
    return text;
}

void FailureBox::flush() {
    // Failures that arrive while a box is open are shown together after it closes.
    if (m_showing || m_held.isEmpty())
        return;
    m_idleFlush.stop();
    m_deadline.stop();
    const QList<Failure> held = m_held;
    m_held.clear();
    QStringList texts;
    for (const Failure& failure : held) {
        if (failure.title == held.first().title)
            texts << burstText(failure.message, failure.firstError, failure.count);
        else
            m_held.append(failure);
    }
    m_showing = true;
    Messages::critical(nullptr, held.first().title, texts.join(QStringLiteral("\n\n")));
    m_showing = false;
    if (!m_held.isEmpty()) {
        m_deadline.start();
        scheduleFlushIfIdle();
    }
}
