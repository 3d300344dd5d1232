#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QTimer;

// eBay time kept running between synchronisations: a base time plus the milliseconds a monotonic counter has
// counted since the base was set, so changes of the computer's wall clock do not move it. Also owns the program's
// one-second tick. Held by value by ClockManager. The counter stops while the computer sleeps; a second counter
// that does not lets the owner notice.
class InternalClock : public QObject {
    Q_OBJECT

public:
    // Milliseconds of a monotonic counter; the running program uses QElapsedTimer.
    using Counter = std::function<qint64()>;

    explicit InternalClock(QObject* parent = nullptr);
    ~InternalClock() override;

    void setDateTime(const QDateTime& dateTime);
    QDateTime currentDateTime() const;

    void start();
    bool isActive() const;
    int tickInterval() const { return 1000; }
    QTimer* timer() const { return m_timer; }

    // Replaces the counter (tests drive the clock with their own); the current time carries over unchanged.
    void setCounter(Counter counter);
    // Replaces the reference that keeps counting while the computer sleeps (time since boot where the system
    // has it, else the wall clock); tests simulate a suspend with it.
    void setReference(Counter reference);
    // How many milliseconds more the reference has counted than the counter since the last call: the time the
    // counter lost while the computer was suspended.
    qint64 takeLostMs();

private:
    QTimer* m_timer = nullptr;
    QElapsedTimer m_elapsed;
    Counter m_counter;
    Counter m_reference;
    qint64 m_lastCounter = 0;
    qint64 m_lastReference = 0;
    QDateTime m_baseTime;
    qint64 m_baseTick = 0;
};
