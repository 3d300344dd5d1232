#include "dbhelper.h"
#include "descodec.h"
#include "messagerecorder.h"
#include "storefixture.h"
#include "testrow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

// The store's file: creation, migration of older files, all-or-nothing start-up, and the user, setting and
// country records that the login dialogs and preferences rely on. And the password codec, checked against an
// independent implementation, the openssl command: a password the program stores must be readable by anyone holding
// the key, and the other way round, or a user's saved password is lost.
class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_store;

    // Runs "openssl enc" in two-key triple-DES chaining with the first eight bytes of each key text.
    static QByteArray openssl(const QStringList& options, const QString& key1, const QString& key2,
                              const QByteArray& iv, const QByteArray& input) {
        const QByteArray key = key1.toLocal8Bit().left(8) + key2.toLocal8Bit().left(8);
        QProcess process;
        process.start("openssl", QStringList{"enc", "-des-ede-cbc", "-K", QString::fromLatin1(key.toHex()), "-iv",
                                             QString::fromLatin1(iv.toHex())} +
                                     options);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            qWarning() << "openssl failed:" << process.errorString() << process.readAllStandardError();
            return "openssl failed";
        }
        return process.readAllStandardOutput();
    }

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
        QCOMPARE(StoreFixture::dump("SELECT * FROM setting"), QString("1|2|0\n"));
        QCOMPARE(StoreFixture::scalar("PRAGMA journal_mode").toString() +
                     StoreFixture::scalar("PRAGMA synchronous").toString(),
                 QString("wal1")); // writes do not hold up the GUI thread
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
        // Past the file header, which now marks the write-ahead log.
        QCOMPARE(StoreFixture::contents(storePath()).mid(100), before.mid(100));
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

    // A wrong site id or domain sends the user's bids to another eBay. Each row is named after its country.
    void countries_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("siteId");
        testRow("Belgium (French)", 4, QString("befr.ebay.be"), 23);
        testRow("United Kingdom", 19, QString("ebay.co.uk"), 3);
    }

    void countries() {
        QFETCH(int, id);
        QFETCH(QString, domain);
        QFETCH(int, siteId);
        const QString name = QTest::currentDataTag();
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
        QCOMPARE(userNamed("sniper_uk").value("password").toString(), password);
        QSqlRecord byId = StoreFixture::record("users", {{"id", id}, {"username", "somebody else"}});
        QVERIFY(DbHelper::getUser(byId));
        QCOMPARE(byId.value("username").toString(), QString("sniper_uk"));
        QCOMPARE(byId.value("password").toString(), password);
    }

    void unknownOrDuplicateUser() {
        QVERIFY(m_store->open());
        QVERIFY(StoreFixture::addUser("sniper_uk") > 0);
        QCOMPARE(StoreFixture::addUser("sniper_uk", "other"), 0);

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
        setting.setValue("db_version", 7);
        setting.setValue("auto_login_user_id", 3);
        QVERIFY(DbHelper::updateSetting(setting));
        QCOMPARE(StoreFixture::dump("SELECT * FROM setting"), QString("1|2|3\n"));
    }

    void opensslAgrees_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("key1");
        QTest::addColumn<QString>("key2");
        const QString key1 = DbHelper::passwordKey1;
        const QString key2 = DbHelper::passwordKey2;
        testRow("eight characters, full padding block", "12345678", key1, key2);
        testRow("long", QString("correct horse battery staple ").repeated(4), key1, key2);
        testRow("accented letters", QString::fromUtf8("pässwörd€"), key1, key2);
        testRow("keys longer than eight bytes", "hunter2", "ABCDEFGHijk", "abcdefghIJK");
    }

    // Both directions: openssl reads what the program stores, and the program reads what openssl wrote.
    // Each store starts with a fresh random block, so equal passwords do not show as equal texts.
    void opensslAgrees() {
        QFETCH(QString, password);
        QFETCH(QString, key1);
        QFETCH(QString, key2);
        if (QString::fromLocal8Bit(password.toLocal8Bit()) != password)
            QSKIP("the local 8-bit encoding cannot hold this password");
        const QString storedText = encryptPassword(password, key1, key2);
        QVERIFY(storedText != encryptPassword(password, key1, key2));
        const QByteArray stored = QByteArray::fromHex(storedText.toLatin1());
        QCOMPARE(openssl({"-d"}, key1, key2, stored.left(8), stored.mid(8)), password.toLocal8Bit());

        QByteArray iv(8, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(iv.data()), 2);
        const QByteArray cipher = openssl({}, key1, key2, iv, password.toLocal8Bit());
        QCOMPARE(decryptPassword(QString::fromLatin1((iv + cipher).toHex()), key1, key2), password);
    }

    // A damaged stored text reads as no password rather than as garbage, and does not lock the user out of the
    // login dialog; extra trailing digits are ignored.
    void damagedStoredText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        const QString good = encryptPassword("hunter2", DbHelper::passwordKey1, DbHelper::passwordKey2);
        testRow("empty", QString(""), QString());
        testRow("just under two blocks", good.left(31), QString());
        testRow("not hexadecimal", QString(good).replace(4, 1, "g"), QString());
        testRow("capital hex digits still read", good.toUpper(), "hunter2");
        testRow("trailing partial block ignored", good + "abc", "hunter2");
    }

    void damagedStoredText() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QVERIFY(m_store->open());
        QVERIFY(StoreFixture::addUser("sniper_uk") > 0);
        QCOMPARE(StoreFixture::runOnFile(storePath(), {"UPDATE users SET password = '" + stored + "'"}), QString());
        const QSqlRecord user = userNamed("sniper_uk");
        QVERIFY(!user.isEmpty());
        QCOMPARE(user.value("password").toString(), expected);
    }
};

QTEST_MAIN(TestStore)
#include "test_store.moc"
