#pragma once

#include "dbhelper.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

// A private store for one test case. HOME points at a fresh temporary directory and Qt's test mode is on, so
// the store's file lives below that directory and the user's real data is never touched. The default
// connection is closed and removed again when the fixture goes, so the next case can open its own.
// Header only: it needs the program's store, which the shared test library does not link.
class StoreFixture {
public:
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

    // The statements of the first schema as older versions of the program wrote it, kept apart from the
    // program's own copy so that a change there shows up as a difference from files already in use.
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
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            if (!db.open())
                failure = db.lastError().text();
            QSqlQuery query(db);
            for (const QString& statement : statements) {
                if (failure.isEmpty() && !query.exec(statement))
                    failure = statement + QStringLiteral(": ") + query.lastError().text();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return failure;
    }

    // Every row of a query on a file as text, one line per row; for comparing states before and after.
    static QString dumpFile(const QString& path, const QString& select) {
        QString dump;
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
            QSqlQuery query(db);
            if (!query.exec(select))
                dump = QStringLiteral("error: ") + query.lastError().text();
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i)
                    values << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
                dump += values.join(QLatin1Char('|')) + QLatin1Char('\n');
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return dump;
    }

    static QString schemaOf(const QString& path) {
        return dumpFile(path, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name"));
    }

    // A record with the fields of a table and every value NULL, as the program builds them.
    static QSqlRecord emptyRecord(const QString& table) { return QSqlDatabase::database().record(table); }

    // The first value of a statement on the default connection, or an invalid QVariant.
    static QVariant scalar(const QString& select) {
        QSqlQuery query;
        if (!query.exec(select) || !query.next())
            return QVariant();
        return query.value(0);
    }

    static int addUser(const QString& username, const QString& password = QStringLiteral("secret")) {
        QSqlRecord user = emptyRecord(QStringLiteral("users"));
        user.setValue(QStringLiteral("username"), username);
        user.setValue(QStringLiteral("password"), password);
        user.setValue(QStringLiteral("remember_password"), 1);
        user.setValue(QStringLiteral("country_id"), 19);
        if (!DbHelper::addUser(user) || !DbHelper::getUser(user))
            return 0;
        return user.value(QStringLiteral("id")).toInt();
    }

    static int addGroup(const QString& name, int userId, int maxWon = 1) {
        QSqlRecord group = emptyRecord(QStringLiteral("groups"));
        group.setValue(QStringLiteral("name"), name);
        group.setValue(QStringLiteral("user_id"), userId);
        group.setValue(QStringLiteral("max_won"), maxWon);
        if (!DbHelper::addGroup(group) || !DbHelper::getGroup(group))
            return 0;
        return group.value(QStringLiteral("id")).toInt();
    }

    // An item as the watch action adds it; returns its id, or 0 when the store refused it.
    static int addItem(const QString& number, int userId, const QString& relation = QStringLiteral("NONE"),
                       const QString& endTime = QStringLiteral("2026-03-01T12:00:00")) {
        QSqlRecord item = emptyRecord(QStringLiteral("items"));
        item.setValue(QStringLiteral("item_number"), number);
        item.setValue(QStringLiteral("name"), QStringLiteral("Item ") + number);
        item.setValue(QStringLiteral("user_id"), userId);
        item.setValue(QStringLiteral("user_relation"), relation);
        item.setValue(QStringLiteral("is_ended"), 0);
        item.setValue(QStringLiteral("bid_count"), 3);
        item.setValue(QStringLiteral("current_bid"), 12.5);
        item.setValue(QStringLiteral("next_bid"), 13.0);
        item.setValue(QStringLiteral("currency"), QStringLiteral("GBP"));
        item.setValue(QStringLiteral("end_time"), endTime);
        item.setValue(QStringLiteral("is_reserve"), 1);
        item.setValue(QStringLiteral("is_reserve_met"), 0);
        item.setValue(QStringLiteral("seller"), QStringLiteral("seller_") + number);
        item.setValue(QStringLiteral("seller_score"), QStringLiteral("1520"));
        if (!DbHelper::addItem(item) || !DbHelper::getItem(item))
            return 0;
        return item.value(QStringLiteral("id")).toInt();
    }

    // Puts a snipe on an item the way the snipe action does: read the whole row, change it, write it back.
    static bool setSnipe(int itemId, const QVariant& bidStatus, const QVariant& groupId = QVariant()) {
        QSqlRecord item = emptyRecord(QStringLiteral("items"));
        item.setValue(QStringLiteral("id"), itemId);
        if (!DbHelper::getItem(item))
            return false;
        item.setValue(QStringLiteral("user_bid"), 20.0);
        item.setValue(QStringLiteral("lead_time"), 5);
        item.setValue(QStringLiteral("bid_status"), bidStatus);
        item.setValue(QStringLiteral("group_id"), groupId);
        return DbHelper::updateItem(item);
    }
};
