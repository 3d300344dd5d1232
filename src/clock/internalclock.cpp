#include "internalclock.h"

#include <QTimer>

InternalClock::InternalClock(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this)) {
    m_elapsed.start();
    m_counter = [this] { return m_elapsed.elapsed(); };
    m_timer->setTimerType(Qt::PreciseTimer);
    m_baseTick = m_counter();
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
    setDateTime(now);
}
