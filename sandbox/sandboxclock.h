#pragma once

#include <QElapsedTimer>
#include <QString>

// The sandbox's one source of time. Arrival times are taken from a monotonic high-resolution counter anchored
// once to the wall clock, so that two arrivals compare to the microsecond even if the wall clock is adjusted.
// eBay time is that real time plus an offset the tests may set, so a client that synchronised to the sandbox
// can be told apart from one that read its own clock.
class SandboxClock {
public:
    SandboxClock();

    // Real UTC, milliseconds since the epoch, with a fractional part.
    double nowMs() const;
    // eBay's clock: nowMs() + offset.
    double ebayNowMs() const { return nowMs() + m_offsetMs; }

    double offsetMs() const { return m_offsetMs; }
    void setOffsetMs(double offsetMs) { m_offsetMs = offsetMs; }

    // "yyyy-MM-ddThh:mm:ss.zzzZ", as eBay writes its times.
    static QString formatEbayTime(double epochMs);

private:
    QElapsedTimer m_timer;
    qint64 m_anchorMs = 0;
    double m_offsetMs = 0.0;
};
