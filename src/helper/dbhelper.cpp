#include "dbhelper.h"

#include "clockmanager.h"
#include "descodec.h"
#include "messages.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <initializer_list>

const char DbHelper::passwordKey1[] = "Tq7#mZ2e";
const char DbHelper::passwordKey2[] = "v9Lk!4Rw";

namespace {

const char databaseFileName[] = "tollimerdata.dat";

// Existing files depend on these texts as they stand.
const char createSetting[] = "CREATE TABLE IF NOT EXISTS setting (id INTEGER NOT NULL PRIMARY KEY, db_version INTEGER "
                             "NOT NULL DEFAULT 1, auto_login_user_id INTEGER DEFAULT 0)";
const char createUsers[] =
    "CREATE TABLE IF NOT EXISTS users (id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT, username TEXT NOT NULL "
    "UNIQUE, password TEXT NOT NULL, remember_password INTEGER NOT NULL DEFAULT 0, refresh_interval INTEGER NOT NULL "
    "DEFAULT 10, default_lead_time INTEGER NOT NULL DEFAULT 5, auto_detect_lead_time INTEGER NOT NULL DEFAULT 1, "
    "email TEXT, outbid_notification INTEGER NOT NULL DEFAULT 0, won_notification INTEGER NOT NULL DEFAULT 0, "
    "lost_notification INTEGER NOT NULL DEFAULT 0, country_id INTEGER NOT NULL DEFAULT 20)";
const char createCountries[] = "CREATE TABLE IF NOT EXISTS countries (id INTEGER NOT NULL PRIMARY KEY, name TEXT NOT "
                               "NULL, domain TEXT NOT NULL, site_id INTEGER NOT NULL DEFAULT 0)";
const char createGroups[] =
    "CREATE TABLE IF NOT EXISTS groups (id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT, name TEXT COLLATE NOCASE NOT "
    "NULL, user_id INTEGER NOT NULL, max_won INTEGER NOT NULL DEFAULT 1, current_won INTEGER NOT NULL DEFAULT 0, "
    "UNIQUE(name, user_id) ON CONFLICT ABORT)";
const char createItems[] =
    "CREATE TABLE IF NOT EXISTS items (id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT, item_number TEXT NOT NULL, name "
    "TEXT NOT NULL, user_id INTEGER NOT NULL REFERENCES users(id) ON UPDATE CASCADE ON DELETE SET NULL, "
    "user_relation TEXT NOT NULL, is_ended INTEGER, bid_count INTEGER, current_bid REAL, next_bid REAL, currency "
    "TEXT, end_time DATETIME, is_reserve INTEGER, is_reserve_met INTEGER, user_bid REAL, lead_time INTEGER, "
    "actual_bid_time TEXT, bid_status INTEGER, error_message TEXT, group_id INTEGER REFERENCES groups(id) ON UPDATE "
    "CASCADE ON DELETE SET NULL, shipping REAL, seller TEXT, seller_score TEXT, notes TEXT, UNIQUE(item_number, "
    "user_id) ON CONFLICT ABORT)";
const char insertFirstSetting[] =
    "INSERT OR REPLACE INTO setting (id, db_version, auto_login_user_id) VALUES (1, 1, 0)";
const char migrateAddCloseSystray[] = "ALTER TABLE users ADD COLUMN close_systray INTEGER NOT NULL DEFAULT 0";
const char migrateSetVersion2[] = "UPDATE setting SET db_version = 2";

struct Country {
    int id;
    const char* name;
    const char* domain;
    int siteId;
};

const Country countries[] = {
    {1, "Australia", "ebay.com.au", 15},
    {2, "Austria", "ebay.at", 16},
    {3, "Belgium (Dutch)", "benl.ebay.be", 123},
    {4, "Belgium (French)", "befr.ebay.be", 23},
    {5, "Canada", "ebay.ca", 2},
    {6, "France", "ebay.fr", 71},
    {7, "Germany", "ebay.de", 77},
    {8, "Hong Kong", "ebay.com.hk", 201},
    {9, "India", "ebay.in", 203},
    {10, "Ireland", "ebay.ie", 205},
    {11, "Italy", "ebay.it", 101},
    {12, "Malaysia", "ebay.com.my", 207},
    {13, "Netherlands", "ebay.nl", 146},
    {14, "Philippines", "ebay.ph", 211},
    {15, "Poland", "ebay.pl", 212},
    {16, "Singapore", "ebay.com.sg", 216},
    {17, "Spain", "ebay.es", 186},
    {18, "Switzerland", "ebay.ch", 193},
    {19, "United Kingdom", "ebay.co.uk", 3},
    {20, "United States", "ebay.com", 0},
};

const char itemSetList[] =
    "UPDATE items SET name = ?, user_relation = ?, is_ended = ?, bid_count = ?, current_bid = ?, next_bid = ?, "
    "currency = ?, end_time = ?, is_reserve = ?, is_reserve_met = ?, user_bid = ?, lead_time = ?, actual_bid_time = "
    "?, bid_status = ?, error_message = ?, group_id = ?, shipping = ?, seller = ?, seller_score = ?, notes = ? ";

QVariantList fields(const QSqlRecord& record, std::initializer_list<const char*> names) {
    QVariantList values;
    for (const char* name : names)
        values << record.value(QLatin1String(name));
    return values;
}

bool hasNullId(const QSqlRecord& record) {
    return record.value(QStringLiteral("id")).isNull();
}

bool execute(QSqlQuery& query, const QString& statement, const QVariantList& binds) {
    if (!query.prepare(statement)) {
        qDebug() << "Statement rejected:" << statement << query.lastError().text();
        return false;
    }
    for (const QVariant& value : binds)
        query.addBindValue(value);
    if (!query.exec()) {
        qDebug() << "Statement failed:" << statement << query.lastError().text();
        return false;
    }
    return true;
}

bool execute(const QString& statement, const QVariantList& binds) {
    QSqlQuery query;
    return execute(query, statement, binds);
}

bool readRow(QSqlRecord& record, const QString& statement, const QVariantList& binds) {
    QSqlQuery query;
    if (!execute(query, statement, binds) || !query.next())
        return false;
    record = query.record();
    return true;
}

// With its id set a record finds its row by id, with a NULL id by its natural key.
bool readByIdOrKey(QSqlRecord& record, const char* table, std::initializer_list<const char*> key) {
    const QString select = QStringLiteral("SELECT * FROM %1 WHERE ").arg(QLatin1String(table));
    if (!hasNullId(record))
        return readRow(record, select + QStringLiteral("id = ?"), fields(record, {"id"}));
    QStringList conditions;
    for (const char* name : key)
        conditions << QLatin1String(name) + QStringLiteral(" = ?");
    return readRow(record, select + conditions.join(QStringLiteral(" AND ")), fields(record, key));
}

// The ids are substituted as text, so only a list of integers may reach the statement: a stray word such as
// "id" would otherwise be a valid expression that matches every row.
bool executeOnIds(const char* statement, const QString& ids) {
    QStringList numbers;
    const QStringList parts = ids.split(QLatin1Char(','));
    for (const QString& part : parts) {
        bool ok = false;
        const qlonglong id = part.trimmed().toLongLong(&ok);
        if (!ok) {
            qDebug() << "Rejected id list:" << ids;
            return false;
        }
        numbers << QString::number(id);
    }
    QSqlQuery query;
    return query.exec(QString::fromLatin1(statement).arg(numbers.join(QLatin1Char(','))));
}

bool runSchemaStatement(QSqlQuery& query, const QString& statement) {
    if (query.exec(statement))
        return true;
    qCritical() << "initDB failed:" << statement << query.lastError().text();
    return false;
}

bool migrateToVersion2(QSqlQuery& query) {
    return runSchemaStatement(query, migrateAddCloseSystray) && runSchemaStatement(query, migrateSetVersion2);
}

bool createOrMigrate() {
    QSqlQuery query;
    if (!runSchemaStatement(query, createSetting) ||
        !runSchemaStatement(query, QStringLiteral("SELECT db_version FROM setting WHERE id = 1")))
        return false;
    if (query.next()) {
        const int version = query.value(0).toInt();
        query.finish();
        return version == 1 ? migrateToVersion2(query) : true;
    }
    QStringList statements = {insertFirstSetting, createUsers, createCountries};
    for (const Country& country : countries) {
        statements << QStringLiteral("INSERT OR REPLACE INTO countries (id, name, domain, site_id) VALUES (%1, '%2', "
                                     "'%3', %4)")
                          .arg(country.id)
                          .arg(QLatin1String(country.name), QLatin1String(country.domain))
                          .arg(country.siteId);
    }
    statements << createGroups << createItems;
    for (const QString& statement : statements) {
        if (!runSchemaStatement(query, statement))
            return false;
    }
    return migrateToVersion2(query);
}

QString timeText(const QDateTime& time) {
    return ClockManager::storeText(time);
}

} // namespace

QString DbHelper::databaseFilePath() {
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (directory.isEmpty())
        return QString();
    return directory + QLatin1Char('/') + QLatin1String(databaseFileName);
}

bool DbHelper::connectDB() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    const QString path = databaseFilePath();
    qDebug() << "DB File Path:" << path;
    // Without a data location there is no place of ours for the file; that counts as not opened.
    bool opened = false;
    if (!path.isEmpty() && QDir().mkpath(QFileInfo(path).absolutePath())) {
        db.setDatabaseName(path);
        opened = db.open();
    }
    if (!opened) {
        qCritical() << "Cannot open database" << path << db.lastError().text();
        Messages::critical(nullptr, QCoreApplication::translate("DbHelper", "Cannot open database"),
                           QCoreApplication::translate("DbHelper", "Unable to establish a database connection. Please "
                                                                   "contact Tollimer support for help."),
                           QMessageBox::Abort);
        return false;
    }
    // A write-ahead log: a write waits for the disk once instead of twice, and at most at a checkpoint (bench_journal:
    // 21 ms down to 0.02 ms median for a one-row write). With it NORMAL is safe: a power cut may lose the last
    // commits, never the file. The mode is kept in the file, which older versions open as they always did.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    return true;
}

// One transaction around everything: a new store that fails half-way would otherwise keep a setting row at
// version 1 without its tables and fail at every later start; an old store whose version update fails after
// the column was added would fail for ever at the ALTER.
bool DbHelper::initDB() {
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.transaction()) {
        qCritical() << "initDB failed to begin:" << db.lastError().text();
        return false;
    }
    if (createOrMigrate() && db.commit())
        return true;
    qCritical() << "initDB rolls back:" << db.lastError().text();
    db.rollback();
    return false;
}

bool DbHelper::addUser(const QSqlRecord& user) {
    return execute(QStringLiteral("INSERT INTO users (username, password, remember_password, country_id) VALUES (?, ?, "
                                  "?, ?)"),
                   {user.value(QStringLiteral("username")),
                    encryptPassword(user.value(QStringLiteral("password")).toString(), passwordKey1, passwordKey2),
                    user.value(QStringLiteral("remember_password")), user.value(QStringLiteral("country_id")).toInt()});
}

bool DbHelper::getUser(QSqlRecord& user) {
    QSqlRecord row = user;
    if (!readByIdOrKey(row, "users", {"username"}))
        return false;
    row.setValue(QStringLiteral("password"),
                 decryptPassword(row.value(QStringLiteral("password")).toString(), passwordKey1, passwordKey2));
    user = row;
    return true;
}

bool DbHelper::updateUser(const QSqlRecord& user) {
    QVariantList binds = fields(user, {"username", "password", "remember_password", "refresh_interval",
                                       "default_lead_time", "auto_detect_lead_time", "email", "outbid_notification",
                                       "won_notification", "lost_notification", "country_id", "close_systray", "id"});
    binds[1] = encryptPassword(binds[1].toString(), passwordKey1, passwordKey2);
    return execute(
        QStringLiteral("UPDATE users SET username = ?, password = ?, remember_password = ?, refresh_interval "
                       "= ?, default_lead_time = ?, auto_detect_lead_time = ?, email = ?, "
                       "outbid_notification = ?, won_notification = ?, lost_notification = ?, country_id = "
                       "?, close_systray = ? WHERE id = ?"),
        binds);
}

bool DbHelper::getUsers(QSqlQuery& query) {
    return execute(query, QStringLiteral("SELECT * FROM users ORDER BY username"), {});
}

bool DbHelper::getSetting(QSqlRecord& setting) {
    return readRow(setting, QStringLiteral("SELECT * FROM setting WHERE id = 1"), {});
}

bool DbHelper::updateSetting(const QSqlRecord& setting) {
    return execute(QStringLiteral("UPDATE setting SET auto_login_user_id = ? WHERE id = 1"),
                   fields(setting, {"auto_login_user_id"}));
}

bool DbHelper::getCountry(QSqlRecord& country) {
    return readByIdOrKey(country, "countries", {"site_id"});
}

bool DbHelper::getCountries(QSqlQuery& query) {
    return query.exec(QStringLiteral("SELECT * FROM countries ORDER BY domain"));
}

bool DbHelper::addItem(const QSqlRecord& item) {
    return execute(
        QStringLiteral("INSERT INTO items (item_number, name, user_id, user_relation, is_ended, bid_count, "
                       "current_bid, next_bid, currency, end_time, is_reserve, is_reserve_met, seller, "
                       "seller_score) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        fields(item, {"item_number", "name", "user_id", "user_relation", "is_ended", "bid_count", "current_bid",
                      "next_bid", "currency", "end_time", "is_reserve", "is_reserve_met", "seller", "seller_score"}));
}

bool DbHelper::updateItem(const QSqlRecord& item) {
    QVariantList binds = fields(item, {"name",     "user_relation", "is_ended",        "bid_count",    "current_bid",
                                       "next_bid", "currency",      "end_time",        "is_reserve",   "is_reserve_met",
                                       "user_bid", "lead_time",     "actual_bid_time", "bid_status",   "error_message",
                                       "group_id", "shipping",      "seller",          "seller_score", "notes"});
    if (hasNullId(item)) {
        binds << fields(item, {"item_number", "user_id"});
        return execute(QLatin1String(itemSetList) + QLatin1String("WHERE item_number = ? AND user_id = ?"), binds);
    }
    binds << fields(item, {"id"});
    return execute(QLatin1String(itemSetList) + QLatin1String("WHERE id = ?"), binds);
}

bool DbHelper::getItem(QSqlRecord& item) {
    return readByIdOrKey(item, "items", {"item_number", "user_id"});
}

bool DbHelper::cancelSnipes(const QString& ids) {
    return executeOnIds("UPDATE items SET user_bid = NULL, lead_time = NULL, bid_status = NULL WHERE id IN (%1)", ids);
}

bool DbHelper::deleteItems(const QString& ids) {
    return executeOnIds("DELETE FROM items WHERE id IN (%1)", ids);
}

bool DbHelper::updateUserRelation(const QSqlRecord& item) {
    return execute(QStringLiteral("UPDATE items SET user_relation = ? WHERE id = ?"),
                   fields(item, {"user_relation", "id"}));
}

bool DbHelper::addGroup(const QSqlRecord& group) {
    return execute(QStringLiteral("INSERT INTO groups (name, user_id, max_won) VALUES (?, ?, ?)"),
                   fields(group, {"name", "user_id", "max_won"}));
}

bool DbHelper::getGroup(QSqlRecord& group) {
    return readByIdOrKey(group, "groups", {"name", "user_id"});
}

bool DbHelper::updateGroup(const QSqlRecord& group) {
    return execute(QStringLiteral("UPDATE groups SET name = ?, user_id = ?, max_won = ? WHERE id = ?"),
                   fields(group, {"name", "user_id", "max_won", "id"}));
}

bool DbHelper::updateGroupWon(const QSqlRecord& group) {
    return execute(QStringLiteral("UPDATE groups SET current_won = ? WHERE id = ?"),
                   fields(group, {"current_won", "id"}));
}

bool DbHelper::getGroups(QSqlQuery& query, int userId) {
    return execute(query, QStringLiteral("SELECT * FROM groups WHERE user_id = ? ORDER BY name"), {userId});
}

bool DbHelper::deleteGroups(const QString& ids) {
    return executeOnIds("DELETE FROM groups WHERE id IN (%1)", ids);
}

bool DbHelper::getItems(QSqlQuery& query, const QDateTime& now, int userId, int groupId, int filter) {
    QString statement = QStringLiteral("SELECT i.*, g.name group_name, g.max_won, g.current_won FROM items i LEFT JOIN "
                                       "groups g ON i.group_id = g.id WHERE i.user_id = %1 ")
                            .arg(userId);
    if (groupId > 0)
        statement += QStringLiteral("AND i.group_id = %1 ").arg(groupId);
    const QString notSniped = QStringLiteral("(i.bid_status IS NULL OR (i.bid_status <> %1 AND i.bid_status <> %2))")
                                  .arg(BidStatus::Scheduled)
                                  .arg(BidStatus::Bidding);
    const QString notEnded = QStringLiteral("datetime(i.end_time) >= datetime('%1')").arg(timeText(now));
    const QString ended = QStringLiteral("datetime(i.end_time) < datetime('%1')").arg(timeText(now));
    switch (filter) {
    case ItemFilter::Watching:
        statement += QStringLiteral("AND i.bid_status IS NULL AND i.user_relation = 'NONE' ");
        break;
    case ItemFilter::BidScheduled:
        statement += QStringLiteral("AND i.bid_status = %1 ").arg(BidStatus::Scheduled);
        break;
    case ItemFilter::HighBidder:
        statement +=
            QStringLiteral("AND ") + notSniped + QStringLiteral(" AND i.user_relation = 'HIGHBIDDER' AND ") + notEnded;
        break;
    case ItemFilter::OutBidder:
        statement +=
            QStringLiteral("AND ") + notSniped + QStringLiteral(" AND i.user_relation = 'OUTBIDDER' AND ") + notEnded;
        break;
    case ItemFilter::Won:
        statement +=
            QStringLiteral("AND ") + notSniped + QStringLiteral(" AND i.user_relation = 'HIGHBIDDER' AND ") + ended;
        break;
    case ItemFilter::DidntWin:
        statement += QStringLiteral("AND ((") + notSniped +
                     QStringLiteral(" AND i.user_relation = 'OUTBIDDER') OR i.bid_status = %1 AND i.user_relation = "
                                    "'NONE') AND ")
                         .arg(BidStatus::Failed) +
                     ended;
        break;
    default:
        break;
    }
    qDebug() << "getItems query:" << statement;
    return query.exec(statement);
}

bool DbHelper::getDueItems(QSqlQuery& query, int userId, int seconds, const QDateTime& now) {
    return query.exec(
        QStringLiteral("SELECT * FROM items WHERE user_id = %1 AND bid_status = %2 AND datetime(end_time) "
                       "<= datetime('%3', '+%4 seconds') ORDER BY end_time DESC")
            .arg(userId)
            .arg(BidStatus::Scheduled)
            .arg(timeText(now))
            .arg(seconds));
}
