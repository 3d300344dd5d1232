#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The user's eBay developer keys (an application keyset's production client id and secret) and the count of
// Browse API calls left in eBay's day. They belong to the person, not to one eBay account, so they live in the
// program's settings (group "DeveloperKeys"), not in a user's row; the secret is kept enciphered as stored
// passwords are. With keys set, item data comes from the Browse API. Static functions only: the preferences'
// keys box writes, the Browse reader counts.
class DeveloperKeys {
public:
    // eBay's daily limit for a new application; a user whom eBay granted more sets "dailyLimit" in the group.
    static constexpr int defaultDailyLimit = 5000;

    static QString clientId();
    static QString clientSecret();
    static bool isSet();
    // New keys belong to another application, whose calls eBay counts apart: the count starts again.
    static void save(const QString& clientId, const QString& clientSecret);

    static int dailyLimit();
    // Calls left in eBay's current day by the program's own count (0 once eBay said the limit is reached).
    static int callsLeftToday();
    // One call eBay answered.
    static void countCall();
    // eBay refused a call for the limit: none is sent again before its next day.
    static void stopForToday();

    // eBay counts calls per day of US Pacific time: the day an eBay moment (UTC digits) falls in, and when the next
    // one begins, in UTC.
    static QDate ebayDay(const QDateTime& ebayTime);
    static QDateTime nextDayStartsUtc(const QDateTime& ebayTime);

private:
    // Today's eBay day as the settings keep it, "yyyy-MM-dd".
    static QString today();
};
