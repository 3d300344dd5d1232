#include "internalclock.h"

#include <QTimer>

#include <time.h>

namespace {
qint64 sinceBootMs() {
#ifdef CLOCK_BOOTTIME
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
#endif
    // Elsewhere the wall clock, which also goes on while the computer sleeps.
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

InternalClock::InternalClock(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this)) {
    m_elapsed.start();
    m_counter = [this] { return m_elapsed.elapsed(); };
    m_timer->setTimerType(Qt::PreciseTimer);
    m_reference = sinceBootMs;
    m_baseTick = m_counter();
    m_lastCounter = m_baseTick;
    m_lastReference = m_reference();
    // Until eBay has answered, the clock runs on the computer's UTC time.
    m_baseTime = QDateTime::currentDateTimeUtc();
}

InternalClock::~InternalClock() {
    if (m_timer->isActive())
        m_timer->stop();
}

void InternalClock::setDateTime(const QDateTime& dateTime) {
    m_baseTick = m_counter();
    m_baseTime = dateTime;
}

QDateTime InternalClock::currentDateTime() const {
    return m_baseTime.addMSecs(m_counter() - m_baseTick);
}

void InternalClock::start() {
    if (!m_timer->isActive())
        m_timer->start(tickInterval());
}

bool InternalClock::isActive() const {
    return m_timer->isActive();
}

void InternalClock::setCounter(Counter counter) {
    const QDateTime now = currentDateTime();
    m_counter = std::move(counter);
    m_lastCounter = m_counter();
    setDateTime(now);
}

void InternalClock::setReference(Counter reference) {
    m_reference = std::move(reference);
    m_lastCounter = m_counter();
    m_lastReference = m_reference();
}

qint64 InternalClock::takeLostMs() {
    const qint64 counter = m_counter();
    const qint64 reference = m_reference();
    const qint64 lost = (reference - m_lastReference) - (counter - m_lastCounter);
    m_lastCounter = counter;
    m_lastReference = reference;
    return lost;
}
