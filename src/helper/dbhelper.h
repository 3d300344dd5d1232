#pragma once

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

// items.bid_status; NULL means no snipe.
namespace BidStatus {
enum Code { Scheduled = 1, Bidding = 2, Placed = 3, Failed = 4 };
}

// items.user_relation, exactly these texts.
namespace UserRelation {
constexpr char none[] = "NONE";
constexpr char highBidder[] = "HIGHBIDDER";
constexpr char outBidder[] = "OUTBIDDER";
} // namespace UserRelation

// The watch-list filters, in the order of the main window's status filter; unknown codes select like All.
namespace ItemFilter {
enum Code { All = 0, Watching = 1, BidScheduled = 2, HighBidder = 3, OutBidder = 4, Won = 5, DidntWin = 6 };
}

// The local store: one SQLite file per operating-system user on Qt's default connection, its schema and
// every record operation. Static operations only, all on the GUI thread, so the one connection needs no lock.
// Records are QSqlRecord values whose field names are the column names; a lookup takes a record whose id is
// NULL to search by the natural key instead. Operations report success by their result and show nothing,
// except connectDB, which tells the user when the file cannot be opened.
class DbHelper {
public:
    // The stored-password key; a store enciphered under one key cannot be read under another.
    static const char passwordKey1[];
    static const char passwordKey2[];

    static QString databaseFilePath();
    static bool connectDB();
    // Creates a new store or brings an old one to the current version; all or nothing.
    static bool initDB();

    static bool addUser(const QSqlRecord& user);
    static bool getUser(QSqlRecord& user);
    static bool updateUser(const QSqlRecord& user);
    static bool getUsers(QSqlQuery& query);
    static bool getSetting(QSqlRecord& setting);
    static bool updateSetting(const QSqlRecord& setting);
    static bool getCountry(QSqlRecord& country);
    static bool getCountries(QSqlQuery& query);

    static bool addItem(const QSqlRecord& item);
    static bool updateItem(const QSqlRecord& item);
    static bool getItem(QSqlRecord& item);
    // ids: comma-separated item ids; anything else fails without touching the store.
    static bool cancelSnipes(const QString& ids);
    static bool deleteItems(const QString& ids);
    static bool updateUserRelation(const QSqlRecord& item);

    static bool addGroup(const QSqlRecord& group);
    static bool getGroup(QSqlRecord& group);
    static bool updateGroup(const QSqlRecord& group);
    static bool updateGroupWon(const QSqlRecord& group);
    static bool getGroups(QSqlQuery& query, int userId);
    static bool deleteGroups(const QString& ids);

    static bool getItems(QSqlQuery& query, const QDateTime& now, int userId, int groupId, int filter);
    static bool getDueItems(QSqlQuery& query, int userId, int seconds, const QDateTime& now);
};
