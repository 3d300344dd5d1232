#pragma once

#include "dbhelper.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <utility>

// A private store for one test case, owned by the test: HOME points at a fresh temporary directory in Qt's test
// mode, so the user's real data is never touched; the default connection goes with the fixture.
// Header only: it needs the program's store, which the shared test library does not link.
class StoreFixture {
public:
    using Fields = std::initializer_list<std::pair<const char*, QVariant>>;

    QTemporaryDir home;

    StoreFixture() {
        QCoreApplication::setOrganizationName(QStringLiteral("Tollimer"));
        QCoreApplication::setApplicationName(QStringLiteral("eBay Auction Sniper"));
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", home.path().toLocal8Bit());
    }
    ~StoreFixture() { closeDefault(); }

    // connectDB and initDB as the program calls them at start-up.
    bool open() { return DbHelper::connectDB() && DbHelper::initDB(); }

    static void closeDefault() {
        if (!QSqlDatabase::contains(QSqlDatabase::defaultConnection))
            return;
        QSqlDatabase::database(QSqlDatabase::defaultConnection, false).close();
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    }

    // The first schema as older versions of the program wrote it, kept apart from the program's own copy so
    // that a change there shows up as a difference from files already in use.
    static QStringList version1Schema() {
        return {
            "CREATE TABLE IF NOT EXISTS setting (id INTEGER NOT NULL PRIMARY KEY, db_version INTEGER NOT NULL DEFAULT "
            "1, auto_login_user_id INTEGER DEFAULT 0)",
            "INSERT OR REPLACE INTO setting (id, db_version, auto_login_user_id) VALUES (1, 1, 0)",
            "CREATE TABLE IF NOT EXISTS users (id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT, username TEXT NOT NULL "
            "UNIQUE, password TEXT NOT NULL, remember_password INTEGER NOT NULL DEFAULT 0, refresh_interval INTEGER "
            "NOT NULL DEFAULT 10, default_lead_time INTEGER NOT NULL DEFAULT 5, auto_detect_lead_time INTEGER NOT "
            "NULL DEFAULT 1, email TEXT, outbid_notification INTEGER NOT NULL DEFAULT 0, won_notification INTEGER NOT "
            "NULL DEFAULT 0, lost_notification INTEGER NOT NULL DEFAULT 0, country_id INTEGER NOT NULL DEFAULT 20)",
            "CREATE TABLE IF NOT EXISTS countries (id INTEGER NOT NULL PRIMARY KEY, name TEXT NOT NULL, domain TEXT "
            "NOT NULL, site_id INTEGER NOT NULL DEFAULT 0)",
            "CREATE TABLE IF NOT EXISTS groups (id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT, name TEXT COLLATE "
            "NOCASE NOT NULL, user_id INTEGER NOT NULL, max_won INTEGER NOT NULL DEFAULT 1, current_won INTEGER NOT "
            "NULL DEFAULT 0, UNIQUE(name, user_id) ON CONFLICT ABORT)",
            "CREATE TABLE IF NOT EXISTS items (id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT, item_number TEXT NOT "
            "NULL, name TEXT NOT NULL, user_id INTEGER NOT NULL REFERENCES users(id) ON UPDATE CASCADE ON DELETE SET "
            "NULL, user_relation TEXT NOT NULL, is_ended INTEGER, bid_count INTEGER, current_bid REAL, next_bid REAL, "
            "currency TEXT, end_time DATETIME, is_reserve INTEGER, is_reserve_met INTEGER, user_bid REAL, lead_time "
            "INTEGER, actual_bid_time TEXT, bid_status INTEGER, error_message TEXT, group_id INTEGER REFERENCES "
            "groups(id) ON UPDATE CASCADE ON DELETE SET NULL, shipping REAL, seller TEXT, seller_score TEXT, notes "
            "TEXT, UNIQUE(item_number, user_id) ON CONFLICT ABORT)",
        };
    }

    static QStringList version2Migration() {
        return {"ALTER TABLE users ADD COLUMN close_systray INTEGER NOT NULL DEFAULT 0",
                "UPDATE setting SET db_version = 2"};
    }

    // Runs statements on a file through a connection of its own, as another program would; empty on success,
    // else the failing statement and its error.
    static QString runOnFile(const QString& path, const QStringList& statements) {
        QString failure;
        onFile(path, [&](QSqlQuery& query) {
            for (const QString& statement : statements) {
                if (failure.isEmpty() && !query.exec(statement))
                    failure = statement + QStringLiteral(": ") + query.lastError().text();
            }
        });
        return failure;
    }

    // Every row of a query on a file (by default the program's own store) as text, one line per row; for comparing
    // states before and after.
    static QString dump(const QString& select, const QString& path = DbHelper::databaseFilePath()) {
        QString dump;
        onFile(path, [&](QSqlQuery& query) {
            if (!query.exec(select))
                dump = QStringLiteral("error: ") + query.lastError().text();
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i)
                    values << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
                dump += values.join(QLatin1Char('|')) + QLatin1Char('\n');
            }
        });
        return dump;
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString schemaOf(const QString& path) {
        return dump(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name"), path);
    }

    // A record with the fields of a table, the given values set and every other value NULL, as the program
    // builds them.
    static QSqlRecord record(const QString& table, Fields values = {}) {
        QSqlRecord result = QSqlDatabase::database().record(table);
        for (const auto& value : values)
            result.setValue(QLatin1String(value.first), value.second);
        return result;
    }

    // The first value of a statement on the default connection, or an invalid QVariant.
    static QVariant scalar(const QString& select) {
        QSqlQuery query;
        if (!query.exec(select) || !query.next())
            return QVariant();
        return query.value(0);
    }

    // The given column of every row of a query, in order.
    static QStringList column(QSqlQuery& query, const QString& name) {
        QStringList values;
        while (query.next())
            values << query.value(name).toString();
        return values;
    }

    static int addUser(const QString& username, const QString& password = QStringLiteral("secret")) {
        QSqlRecord user =
            record(QStringLiteral("users"),
                   {{"username", username}, {"password", password}, {"remember_password", 1}, {"country_id", 19}});
        return DbHelper::addUser(user) && DbHelper::getUser(user) ? user.value(QStringLiteral("id")).toInt() : 0;
    }

    static int addGroup(const QString& name, int userId, int maxWon = 1) {
        QSqlRecord group = record(QStringLiteral("groups"), {{"name", name}, {"user_id", userId}, {"max_won", maxWon}});
        return DbHelper::addGroup(group) && DbHelper::getGroup(group) ? group.value(QStringLiteral("id")).toInt() : 0;
    }

    // An item as the watch action adds it; returns its id, or 0 when the store refused it.
    static int addItem(const QString& number, int userId, const QString& relation = QStringLiteral("NONE"),
                       const QString& endTime = QStringLiteral("2026-03-01T12:00:00")) {
        QSqlRecord item = record(QStringLiteral("items"), {{"item_number", number},
                                                           {"name", QStringLiteral("Item ") + number},
                                                           {"user_id", userId},
                                                           {"user_relation", relation},
                                                           {"is_ended", 0},
                                                           {"current_bid", 12.5},
                                                           {"currency", "GBP"},
                                                           {"end_time", endTime}});
        return DbHelper::addItem(item) && DbHelper::getItem(item) ? item.value(QStringLiteral("id")).toInt() : 0;
    }

    // Puts a snipe on an item the way the snipe action does: read the whole row, change it, write it back.
    static bool setSnipe(int itemId, const QVariant& bidStatus, const QVariant& groupId = QVariant()) {
        QSqlRecord item = record(QStringLiteral("items"), {{"id", itemId}});
        if (!DbHelper::getItem(item))
            return false;
        item.setValue(QStringLiteral("user_bid"), 20.0);
        item.setValue(QStringLiteral("lead_time"), 5);
        item.setValue(QStringLiteral("bid_status"), bidStatus);
        item.setValue(QStringLiteral("group_id"), groupId);
        return DbHelper::updateItem(item);
    }

private:
    static void onFile(const QString& path, const std::function<void(QSqlQuery&)>& work) {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
            QSqlQuery query(db);
            work(query);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};
