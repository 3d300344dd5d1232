#include "sandboxclock.h"

#include <QDateTime>

#include <cmath>

SandboxClock::SandboxClock() {
    m_anchorMs = QDateTime::currentMSecsSinceEpoch();
    m_timer.start();
}

double SandboxClock::nowMs() const {
    return double(m_anchorMs) + double(m_timer.nsecsElapsed()) / 1.0e6;
}

QString SandboxClock::formatEbayTime(double epochMs) {
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(std::floor(epochMs)), Qt::UTC);
    return time.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz")) + QLatin1Char('Z');
}
