#include "dbhelper.h"
#include "messagerecorder.h"
#include "storefixture.h"
#include "testrow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

// The store's file: creation, migration of older files, all-or-nothing start-up, and the user, setting and
// country records that the login dialogs and preferences rely on.
class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_store;

    static QString storePath() { return DbHelper::databaseFilePath(); }

    // A file made by another program before the first start, at the place the program will open.
    static void prepareFile(const QStringList& statements) {
        QVERIFY(QDir().mkpath(QFileInfo(storePath()).absolutePath()));
        QCOMPARE(StoreFixture::runOnFile(storePath(), statements), QString());
    }

    static QSqlRecord userNamed(const QString& username) {
        QSqlRecord user = StoreFixture::record("users", {{"username", username}});
        return DbHelper::getUser(user) ? user : QSqlRecord();
    }

private slots:
    void init() { m_store = std::make_unique<StoreFixture>(); }
    void cleanup() {
        MessageRecorder::uninstall();
        m_store.reset();
    }

    // A first start must create the directory and the exact tables older versions made and then migrated.
    void newStoreCreatesDirectoryAndCurrentSchema() {
        QVERIFY(!QFileInfo::exists(QFileInfo(storePath()).absolutePath()));
        QVERIFY(m_store->open());
        QVERIFY(storePath().endsWith(QStringLiteral("/Tollimer/eBay Auction Sniper/tollimerdata.dat")));
        QVERIFY(QFileInfo(storePath()).isFile());
        QCOMPARE(StoreFixture::dump("SELECT * FROM setting"), QString("1|2|0\n"));
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM countries").toInt(), 20);
        const QString reference = m_store->home.filePath("reference.dat");
        QCOMPARE(StoreFixture::runOnFile(reference, StoreFixture::version1Schema() + StoreFixture::version2Migration()),
                 QString());
        QCOMPARE(StoreFixture::schemaOf(storePath()), StoreFixture::schemaOf(reference));
    }

    // An older file gains the new column and version but keeps its rows, its auto-login and its own countries.
    void version1FileMigrates() {
        prepareFile(StoreFixture::version1Schema() +
                    QStringList{"INSERT INTO users (username, password) VALUES ('alice', '')",
                                "INSERT INTO countries VALUES (19, 'United Kingdom', 'ebay.co.uk', 3)",
                                "INSERT INTO items (item_number, name, user_id, user_relation, end_time) VALUES "
                                "('110000000001', 'Lens', 1, 'NONE', '2026-03-01T12:00:00')",
                                "UPDATE setting SET auto_login_user_id = 1"});
        const QString itemsBefore = StoreFixture::dump("SELECT * FROM items");
        QVERIFY(m_store->open());
        QCOMPARE(StoreFixture::dump("SELECT * FROM setting"), QString("1|2|1\n"));
        QCOMPARE(StoreFixture::scalar("SELECT close_systray FROM users WHERE username = 'alice'"), QVariant(0));
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM countries").toInt(), 1);
        QCOMPARE(StoreFixture::dump("SELECT * FROM items"), itemsBefore);
    }

    void version2FileIsLeftAlone() {
        prepareFile(StoreFixture::version1Schema() + StoreFixture::version2Migration() +
                    QStringList{"INSERT INTO countries VALUES (7, 'Germany', 'ebay.de', 77)"});
        const QByteArray before = StoreFixture::contents(storePath());
        QVERIFY(m_store->open());
        StoreFixture::closeDefault();
        QCOMPARE(StoreFixture::contents(storePath()), before);
    }

    // A start that fails half-way leaves the file as it was, so the next start, once the cause is gone,
    // creates or migrates it completely instead of failing for ever.
    void failedStartLeavesFileUnchanged_data() {
        QTest::addColumn<QStringList>("prepare");
        QTest::addColumn<QStringList>("repair");
        testRow("new store, a table name already taken",
                QStringList{"CREATE TABLE other (x)", "CREATE INDEX items ON other (x)"},
                QStringList{"DROP INDEX items"});
        testRow("new store, migration column already there",
                (QStringList{StoreFixture::version1Schema().at(2)} + StoreFixture::version2Migration().mid(0, 1)),
                QStringList{"DROP TABLE users"});
        testRow("old store, version update refused",
                (StoreFixture::version1Schema() +
                 QStringList{"CREATE TRIGGER refuse BEFORE UPDATE ON setting BEGIN SELECT RAISE(ABORT, 'full'); END"}),
                QStringList{"DROP TRIGGER refuse"});
    }

    void failedStartLeavesFileUnchanged() {
        QFETCH(QStringList, prepare);
        QFETCH(QStringList, repair);
        prepareFile(prepare);
        const QString schemaBefore = StoreFixture::schemaOf(storePath());
        const QString settingBefore = StoreFixture::dump("SELECT * FROM setting");

        QVERIFY(!m_store->open());
        StoreFixture::closeDefault();
        QCOMPARE(StoreFixture::schemaOf(storePath()), schemaBefore);
        QCOMPARE(StoreFixture::dump("SELECT * FROM setting"), settingBefore);

        QCOMPARE(StoreFixture::runOnFile(storePath(), repair), QString());
        QVERIFY(m_store->open());
        QCOMPARE(StoreFixture::scalar("SELECT db_version FROM setting WHERE id = 1").toInt(), 2);
        for (const char* table : {"setting", "countries", "groups", "items"})
            QVERIFY2(!StoreFixture::record(table).isEmpty(), table);
        QCOMPARE(StoreFixture::record("users").fieldName(12), QString("close_systray"));
    }

    // A wrong site id or domain sends the user's bids to another eBay.
    void countries_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("siteId");
        const auto row = [](int id, const char* name, const char* domain, int siteId) {
            QTest::newRow(name) << id << QString(name) << QString(domain) << siteId;
        };
        row(4, "Belgium (French)", "befr.ebay.be", 23);
        row(19, "United Kingdom", "ebay.co.uk", 3);
    }

    void countries() {
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(QString, domain);
        QFETCH(int, siteId);
        QVERIFY(m_store->open());
        QSqlRecord bySite = StoreFixture::record("countries", {{"site_id", siteId}});
        QVERIFY(DbHelper::getCountry(bySite));
        QCOMPARE(bySite.value("id").toInt(), id);
        QCOMPARE(bySite.value("name").toString(), name);
        QCOMPARE(bySite.value("domain").toString(), domain);
        QSqlRecord byId = StoreFixture::record("countries", {{"id", id}, {"site_id", 9999}});
        QVERIFY(DbHelper::getCountry(byId));
        QCOMPARE(byId.value("site_id").toInt(), siteId);

        QSqlQuery query;
        QVERIFY(DbHelper::getCountries(query));
        const QStringList domains = StoreFixture::column(query, "domain");
        QStringList sorted = domains;
        sorted.sort();
        QCOMPARE(domains.size(), 20);
        QCOMPARE(domains, sorted);
        QSqlRecord unknown = StoreFixture::record("countries", {{"site_id", 999}});
        QVERIFY(!DbHelper::getCountry(unknown));
    }

    // The stored form must hide the password, have the length of its cipher blocks and read back exactly.
    void passwordIsStoredEnciphered_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("storedLength");
        testRow("empty", QString(), 0);
        testRow("8 characters, full padding block", "abcdefgh", 48);
        testRow("accented letters, 13 bytes in UTF-8", QString::fromUtf8("pässwörd€"), 48);
    }

    void passwordIsStoredEnciphered() {
        QFETCH(QString, password);
        QFETCH(int, storedLength);
        if (password.toLocal8Bit() != password.toUtf8())
            QSKIP("these lengths hold for a UTF-8 locale");
        QVERIFY(m_store->open());
        const int id = StoreFixture::addUser("sniper_uk", password);
        QVERIFY(id > 0);

        const QString stored = StoreFixture::scalar("SELECT password FROM users").toString();
        QCOMPARE(stored.size(), storedLength);
        QVERIFY(QRegularExpression("^[0-9a-f]*$").match(stored).hasMatch());
        if (!password.isEmpty())
            QVERIFY(!stored.contains(password));

        const QSqlRecord byName = userNamed("sniper_uk");
        QCOMPARE(byName.value("password").toString(), password);
        QCOMPARE(byName.value("id").toInt(), id);
        QCOMPARE(byName.value("country_id").toInt(), 19);
        QSqlRecord byId = StoreFixture::record("users", {{"id", id}, {"username", "somebody else"}});
        QVERIFY(DbHelper::getUser(byId));
        QCOMPARE(byId.value("username").toString(), QString("sniper_uk"));
        QCOMPARE(byId.value("password").toString(), password);
    }

    // A damaged stored password must not lock the user out of the login dialog.
    void unreadableStoredPasswordReadsEmpty() {
        QVERIFY(m_store->open());
        QVERIFY(StoreFixture::addUser("sniper_uk") > 0);
        QVERIFY(QSqlQuery().exec("UPDATE users SET password = 'zz23456789abcdef0123456789abcdef'"));
        const QSqlRecord user = userNamed("sniper_uk");
        QVERIFY(!user.isEmpty());
        QCOMPARE(user.value("password").toString(), QString());
    }

    void unknownOrDuplicateUser() {
        QVERIFY(m_store->open());
        QVERIFY(StoreFixture::addUser("sniper_uk") > 0);
        QCOMPARE(StoreFixture::addUser("sniper_uk", "other"), 0);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 1);

        QSqlRecord unknown = StoreFixture::record("users", {{"username", "nobody"}, {"password", "typed"}});
        const QSqlRecord before = unknown;
        QVERIFY(!DbHelper::getUser(unknown));
        QCOMPARE(unknown, before);
    }

    void updateUserWritesEveryPreference() {
        QVERIFY(m_store->open());
        const int id = StoreFixture::addUser("sniper_uk");
        QSqlRecord user = userNamed("sniper_uk");
        const QList<QPair<QString, QVariant>> changes = {
            {"username", "sniper_de"},   {"password", "newpass"},    {"remember_password", 0},
            {"refresh_interval", 0},     {"default_lead_time", 8},   {"auto_detect_lead_time", 0},
            {"email", "me@example.org"}, {"outbid_notification", 1}, {"won_notification", 1},
            {"lost_notification", 1},    {"country_id", 7},          {"close_systray", 1}};
        for (const auto& change : changes)
            user.setValue(change.first, change.second);
        QVERIFY(DbHelper::updateUser(user));

        QCOMPARE(StoreFixture::scalar("SELECT password FROM users").toString().size(), 32);
        QSqlRecord reread = StoreFixture::record("users", {{"id", id}});
        QVERIFY(DbHelper::getUser(reread));
        for (const auto& change : changes)
            QCOMPARE(reread.value(change.first).toString(), change.second.toString());
    }

    // The schema version is the migration's alone; preferences must not be able to change it.
    void settingRow() {
        QVERIFY(m_store->open());
        QSqlRecord setting = StoreFixture::record("setting");
        QVERIFY(DbHelper::getSetting(setting));
        QCOMPARE(setting.value("id").toInt(), 1);
        setting.setValue("db_version", 7);
        setting.setValue("auto_login_user_id", 3);
        QVERIFY(DbHelper::updateSetting(setting));
        QCOMPARE(StoreFixture::dump("SELECT * FROM setting"), QString("1|2|3\n"));
    }
};

QTEST_MAIN(TestStore)
#include "test_store.moc"
