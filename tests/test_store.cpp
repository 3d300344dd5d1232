#include "dbhelper.h"
#include "messagerecorder.h"
#include "storefixture.h"

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

    QString storePath() const { return DbHelper::databaseFilePath(); }

    // A file made by another program before the first start, at the place the program will open.
    void prepareFile(const QStringList& statements) {
        QVERIFY(QDir().mkpath(QFileInfo(storePath()).absolutePath()));
        QCOMPARE(StoreFixture::runOnFile(storePath(), statements), QString());
    }

private slots:
    void init() { m_store = std::make_unique<StoreFixture>(); }
    void cleanup() {
        MessageRecorder::uninstall();
        m_store.reset();
    }

    void newStoreCreatesDirectoryAndCurrentSchema() {
        QVERIFY(!QFileInfo::exists(QFileInfo(storePath()).absolutePath()));
        QVERIFY(m_store->open());
        QVERIFY(QFileInfo(storePath()).isFile());
        QVERIFY(storePath().endsWith(QStringLiteral("/Tollimer/eBay Auction Sniper/tollimerdata.dat")));
        QCOMPARE(StoreFixture::scalar("SELECT db_version FROM setting WHERE id = 1").toInt(), 2);
        QCOMPARE(StoreFixture::scalar("SELECT auto_login_user_id FROM setting WHERE id = 1").toInt(), 0);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM countries").toInt(), 20);
        const QSqlRecord users = StoreFixture::emptyRecord("users");
        QCOMPARE(users.count(), 13);
        QCOMPARE(users.fieldName(12), QString("close_systray"));

        // The same tables, column for column and constraint for constraint, as older program versions wrote
        // them and then migrated: files in use depend on the exact form.
        const QString reference = m_store->home.filePath("reference.dat");
        QCOMPARE(StoreFixture::runOnFile(reference, StoreFixture::version1Schema() + StoreFixture::version2Migration()),
                 QString());
        QCOMPARE(StoreFixture::schemaOf(storePath()), StoreFixture::schemaOf(reference));
    }

    void foreignKeysAreOn() {
        QVERIFY(m_store->open());
        QCOMPARE(StoreFixture::scalar("PRAGMA foreign_keys").toInt(), 1);
        QCOMPARE(StoreFixture::addItem("110000000001", 42), 0);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM items").toInt(), 0);
    }

    void version1FileMigrates() {
        prepareFile(StoreFixture::version1Schema() +
                    QStringList{"INSERT INTO users (username, password) VALUES ('alice', '')",
                                "INSERT INTO countries VALUES (19, 'United Kingdom', 'ebay.co.uk', 3)",
                                "INSERT INTO items (item_number, name, user_id, user_relation, end_time) VALUES "
                                "('110000000001', 'Lens', 1, 'NONE', '2026-03-01T12:00:00')",
                                "UPDATE setting SET auto_login_user_id = 1"});
        const QString itemsBefore = StoreFixture::dumpFile(storePath(), "SELECT * FROM items");
        QVERIFY(m_store->open());
        QCOMPARE(StoreFixture::scalar("SELECT db_version FROM setting").toInt(), 2);
        QCOMPARE(StoreFixture::scalar("SELECT auto_login_user_id FROM setting").toInt(), 1);
        QCOMPARE(StoreFixture::scalar("SELECT close_systray FROM users WHERE username = 'alice'"), QVariant(0));
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM countries").toInt(), 1);
        QCOMPARE(StoreFixture::dumpFile(storePath(), "SELECT * FROM items"), itemsBefore);
    }

    void version2FileIsLeftAlone() {
        prepareFile(StoreFixture::version1Schema() + StoreFixture::version2Migration() +
                    QStringList{"INSERT INTO countries VALUES (7, 'Germany', 'ebay.de', 77)"});
        QFile file(storePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QVERIFY(m_store->open());
        StoreFixture::closeDefault();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // A start that fails half-way must leave the file as it found it, so that the next start, once the cause
    // is gone, creates or migrates it completely instead of failing for ever.
    void failedStartLeavesFileUnchanged_data() {
        QTest::addColumn<QStringList>("prepare");
        QTest::addColumn<QStringList>("repair");

        QTest::newRow("new store, a table name already taken")
            << QStringList{"CREATE TABLE other (x)", "CREATE INDEX items ON other (x)"}
            << QStringList{"DROP INDEX items"};
        QTest::newRow("new store, migration column already there")
            << (QStringList{StoreFixture::version1Schema().at(2)} + StoreFixture::version2Migration().mid(0, 1))
            << QStringList{"DROP TABLE users"};
        QTest::newRow("old store, version update refused")
            << (StoreFixture::version1Schema() +
                QStringList{"CREATE TRIGGER refuse BEFORE UPDATE ON setting BEGIN SELECT RAISE(ABORT, 'full'); END"})
            << QStringList{"DROP TRIGGER refuse"};
    }

    void failedStartLeavesFileUnchanged() {
        QFETCH(QStringList, prepare);
        QFETCH(QStringList, repair);
        prepareFile(prepare);
        const QString schemaBefore = StoreFixture::schemaOf(storePath());
        const QString settingBefore = StoreFixture::dumpFile(storePath(), "SELECT * FROM setting");

        QVERIFY(!m_store->open());
        StoreFixture::closeDefault();
        QCOMPARE(StoreFixture::schemaOf(storePath()), schemaBefore);
        QCOMPARE(StoreFixture::dumpFile(storePath(), "SELECT * FROM setting"), settingBefore);

        QCOMPARE(StoreFixture::runOnFile(storePath(), repair), QString());
        QVERIFY(m_store->open());
        QCOMPARE(StoreFixture::scalar("SELECT db_version FROM setting WHERE id = 1").toInt(), 2);
        for (const char* table : {"setting", "users", "countries", "groups", "items"})
            QVERIFY2(!StoreFixture::emptyRecord(table).isEmpty(), table);
        QCOMPARE(StoreFixture::emptyRecord("users").fieldName(12), QString("close_systray"));
    }

    void unopenableLocationTellsTheUser() {
        QFile blocker(m_store->home.filePath(".qttest"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MessageRecorder recorder;
        recorder.answer = QMessageBox::Abort;
        recorder.install();

        QVERIFY(!DbHelper::connectDB());
        QCOMPARE(recorder.boxes.size(), 1);
        const Messages::Box box = recorder.boxes.first();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(box.title, QString("Cannot open database"));
        QCOMPARE(box.text,
                 QString("Unable to establish a database connection. Please contact Tollimer support for help."));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Abort));
    }

    void countries_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("siteId");
        const struct {
            int id;
            const char* name;
            const char* domain;
            int siteId;
        } rows[] = {{1, "Australia", "ebay.com.au", 15},
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
                    {20, "United States", "ebay.com", 0}};
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.id << QString(row.name) << QString(row.domain) << row.siteId;
    }

    // The site list the user chooses from, found both by id (the user's country) and by eBay's site id.
    void countries() {
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(QString, domain);
        QFETCH(int, siteId);
        QVERIFY(m_store->open());

        QSqlRecord bySite = StoreFixture::emptyRecord("countries");
        bySite.setValue("site_id", siteId);
        QVERIFY(DbHelper::getCountry(bySite));
        QCOMPARE(bySite.value("id").toInt(), id);
        QCOMPARE(bySite.value("name").toString(), name);
        QCOMPARE(bySite.value("domain").toString(), domain);

        QSqlRecord byId = StoreFixture::emptyRecord("countries");
        byId.setValue("id", id);
        byId.setValue("site_id", 9999);
        QVERIFY(DbHelper::getCountry(byId));
        QCOMPARE(byId.value("site_id").toInt(), siteId);
    }

    void countriesComeInDomainOrder() {
        QVERIFY(m_store->open());
        QSqlQuery query;
        QVERIFY(DbHelper::getCountries(query));
        QStringList domains;
        while (query.next())
            domains << query.value("domain").toString();
        QCOMPARE(domains.size(), 20);
        QStringList sorted = domains;
        sorted.sort();
        QCOMPARE(domains, sorted);
        QCOMPARE(domains.first(), QString("befr.ebay.be"));

        QSqlRecord unknown = StoreFixture::emptyRecord("countries");
        unknown.setValue("site_id", 999);
        QVERIFY(!DbHelper::getCountry(unknown));
    }

    void passwordIsStoredEnciphered_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("storedLength");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("5 characters") << "abcde" << 32;
        QTest::newRow("7 characters") << "abcdefg" << 32;
        QTest::newRow("8 characters, full padding block") << "abcdefgh" << 48;
        QTest::newRow("15 characters") << "p@ss word 15 ch" << 48;
        QTest::newRow("16 characters") << "0123456789abcdef" << 64;
        QTest::newRow("accented letters, 13 bytes in UTF-8") << QString::fromUtf8("pässwörd€") << 48;
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

        QSqlRecord byName = StoreFixture::emptyRecord("users");
        byName.setValue("username", "sniper_uk");
        QVERIFY(DbHelper::getUser(byName));
        QCOMPARE(byName.value("password").toString(), password);
        QCOMPARE(byName.value("id").toInt(), id);
        QCOMPARE(byName.value("country_id").toInt(), 19);
        QCOMPARE(byName.value("refresh_interval").toInt(), 10);
        QCOMPARE(byName.value("default_lead_time").toInt(), 5);
        QCOMPARE(byName.value("auto_detect_lead_time").toInt(), 1);
        QCOMPARE(byName.value("close_systray").toInt(), 0);

        QSqlRecord byId = StoreFixture::emptyRecord("users");
        byId.setValue("id", id);
        byId.setValue("username", "somebody else");
        QVERIFY(DbHelper::getUser(byId));
        QCOMPARE(byId.value("username").toString(), QString("sniper_uk"));
        QCOMPARE(byId.value("password").toString(), password);
    }

    void unreadableStoredPasswordReadsEmpty_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("shorter than two blocks") << "0123456789abcdef0123456789abcd";
        QTest::newRow("not hexadecimal") << "zz23456789abcdef0123456789abcdef";
    }

    void unreadableStoredPasswordReadsEmpty() {
        QFETCH(QString, stored);
        QVERIFY(m_store->open());
        QVERIFY(StoreFixture::addUser("sniper_uk") > 0);
        QSqlQuery query;
        QVERIFY(query.exec(QString("UPDATE users SET password = '%1'").arg(stored)));
        QSqlRecord user = StoreFixture::emptyRecord("users");
        user.setValue("username", "sniper_uk");
        QVERIFY(DbHelper::getUser(user));
        QCOMPARE(user.value("password").toString(), QString());
    }

    void unknownOrDuplicateUser() {
        QVERIFY(m_store->open());
        QVERIFY(StoreFixture::addUser("sniper_uk") > 0);
        QCOMPARE(StoreFixture::addUser("sniper_uk", "other"), 0);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 1);

        QSqlRecord unknown = StoreFixture::emptyRecord("users");
        unknown.setValue("username", "nobody");
        unknown.setValue("password", "typed");
        const QSqlRecord before = unknown;
        QVERIFY(!DbHelper::getUser(unknown));
        QCOMPARE(unknown, before);
    }

    void updateUserWritesEveryPreference() {
        QVERIFY(m_store->open());
        const int id = StoreFixture::addUser("sniper_uk");
        QSqlRecord user = StoreFixture::emptyRecord("users");
        user.setValue("id", id);
        QVERIFY(DbHelper::getUser(user));
        const QList<QPair<QString, QVariant>> changes = {
            {"username", "sniper_de"},   {"password", "newpass"},    {"remember_password", 0},
            {"refresh_interval", 0},     {"default_lead_time", 8},   {"auto_detect_lead_time", 0},
            {"email", "me@example.org"}, {"outbid_notification", 1}, {"won_notification", 1},
            {"lost_notification", 1},    {"country_id", 7},          {"close_systray", 1}};
        for (const auto& change : changes)
            user.setValue(change.first, change.second);
        QVERIFY(DbHelper::updateUser(user));

        QCOMPARE(StoreFixture::scalar("SELECT password FROM users").toString().size(), 32);
        QSqlRecord reread = StoreFixture::emptyRecord("users");
        reread.setValue("id", id);
        QVERIFY(DbHelper::getUser(reread));
        for (const auto& change : changes)
            QCOMPARE(reread.value(change.first).toString(), change.second.toString());
    }

    void usersComeInNameOrderStillEnciphered() {
        QVERIFY(m_store->open());
        for (const char* name : {"zed", "bob", "Alice"})
            QVERIFY(StoreFixture::addUser(name, "secret") > 0);
        QSqlQuery query;
        QVERIFY(DbHelper::getUsers(query));
        QStringList names;
        while (query.next()) {
            names << query.value("username").toString();
            QCOMPARE(query.value("password").toString().size(), 32);
        }
        QCOMPARE(names, QStringList({"Alice", "bob", "zed"}));
    }

    void settingRow() {
        QVERIFY(m_store->open());
        QSqlRecord setting = StoreFixture::emptyRecord("setting");
        QVERIFY(DbHelper::getSetting(setting));
        QCOMPARE(setting.value("id").toInt(), 1);
        QCOMPARE(setting.value("db_version").toInt(), 2);

        setting.setValue("db_version", 7);
        setting.setValue("auto_login_user_id", 3);
        QVERIFY(DbHelper::updateSetting(setting));
        QSqlRecord reread = StoreFixture::emptyRecord("setting");
        QVERIFY(DbHelper::getSetting(reread));
        QCOMPARE(reread.value("db_version").toInt(), 2);
        QCOMPARE(reread.value("auto_login_user_id").toInt(), 3);
    }
};

QTEST_MAIN(TestStore)
#include "test_store.moc"
