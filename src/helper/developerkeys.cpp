#include "developerkeys.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "descodec.h"

#include <QSettings>
#include <QTimeZone>

namespace {
const QString group = QStringLiteral("DeveloperKeys/");
const QString idKey = group + QStringLiteral("clientId");
const QString secretKey = group + QStringLiteral("clientSecret");
const QString limitKey = group + QStringLiteral("dailyLimit");
const QString dayKey = group + QStringLiteral("callsDay");
const QString usedKey = group + QStringLiteral("callsUsed");
const QString stoppedKey = group + QStringLiteral("limitReached");

QDateTime asUtc(const QDateTime& ebayTime) {
    return QDateTime(ebayTime.date(), ebayTime.time(), Qt::UTC);
}

QDateTime inPacificTime(const QDateTime& utc) {
    static const QTimeZone pacific("America/Los_Angeles");
    // Without the zone database the standard offset is a day's fair guess, wrong by an hour in summer.
    return pacific.isValid() ? utc.toTimeZone(pacific) : utc.toOffsetFromUtc(-8 * 3600);
}
} // namespace

QString DeveloperKeys::clientId() {
    return QSettings().value(idKey).toString().trimmed();
}

QString DeveloperKeys::clientSecret() {
    return decryptPassword(QSettings().value(secretKey).toString(), DbHelper::passwordKey1, DbHelper::passwordKey2);
}

bool DeveloperKeys::isSet() {
    return !clientId().isEmpty() && !clientSecret().isEmpty();
}

void DeveloperKeys::save(const QString& clientId, const QString& clientSecret) {
    QSettings settings;
    if (clientId.trimmed() != DeveloperKeys::clientId()) {
        settings.remove(dayKey);
        settings.remove(usedKey);
        settings.remove(stoppedKey);
    }
    settings.setValue(idKey, clientId.trimmed());
    settings.setValue(secretKey,
                      encryptPassword(clientSecret.trimmed(), DbHelper::passwordKey1, DbHelper::passwordKey2));
}

int DeveloperKeys::dailyLimit() {
    const int limit = QSettings().value(limitKey, defaultDailyLimit).toInt();
    return limit > 0 ? limit : defaultDailyLimit;
}

QString DeveloperKeys::today() {
    return ebayDay(ClockManager::instance()->currentDateTime()).toString(Qt::ISODate);
}

int DeveloperKeys::callsLeftToday() {
    QSettings settings;
    if (settings.value(dayKey).toString() != today())
        return dailyLimit();
    if (settings.value(stoppedKey).toBool())
        return 0;
    return qMax(0, dailyLimit() - settings.value(usedKey).toInt());
}

void DeveloperKeys::countCall() {
    QSettings settings;
    const QString day = today();
    if (settings.value(dayKey).toString() != day) {
        settings.setValue(dayKey, day);
        settings.setValue(usedKey, 0);
        settings.setValue(stoppedKey, false);
    }
    settings.setValue(usedKey, settings.value(usedKey).toInt() + 1);
}

void DeveloperKeys::stopForToday() {
    QSettings settings;
    settings.setValue(dayKey, today());
    settings.setValue(stoppedKey, true);
}

QDate DeveloperKeys::ebayDay(const QDateTime& ebayTime) {
    return inPacificTime(asUtc(ebayTime)).date();
}

QDateTime DeveloperKeys::nextDayStartsUtc(const QDateTime& ebayTime) {
    const QDateTime local = inPacificTime(asUtc(ebayTime));
    return QDateTime(local.date().addDays(1), QTime(0, 0), local.timeZone()).toUTC();
}
