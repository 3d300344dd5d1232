#include "dbhelper.h"
#include "storefixture.h"

#include <QtTest>

#include <memory>

// Watch-list items and bidding groups in the store: what each write touches and what it must leave alone,
// since a snipe field overwritten by the wrong write is a lost or unwanted bid.
class TestItems : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_store;
    int m_userId = 0;

    static QSqlRecord item(int id) {
        QSqlRecord record = StoreFixture::emptyRecord("items");
        record.setValue("id", id);
        DbHelper::getItem(record);
        return record;
    }

    static QSqlRecord group(int id) {
        QSqlRecord record = StoreFixture::emptyRecord("groups");
        record.setValue("id", id);
        DbHelper::getGroup(record);
        return record;
    }

private slots:
    void init() {
        m_store = std::make_unique<StoreFixture>();
        QVERIFY(m_store->open());
        m_userId = StoreFixture::addUser("sniper_uk");
        QVERIFY(m_userId > 0);
    }
    void cleanup() { m_store.reset(); }

    void addItemStoresWhatEbayReportedOnly() {
        const int id = StoreFixture::addItem("110000000001", m_userId, "NONE", "2026-03-01T12:34:56");
        QVERIFY(id > 0);
        const QSqlRecord stored = item(id);
        QCOMPARE(stored.value("item_number").toString(), QString("110000000001"));
        QCOMPARE(stored.value("name").toString(), QString("Item 110000000001"));
        QCOMPARE(stored.value("user_id").toInt(), m_userId);
        QCOMPARE(stored.value("current_bid").toDouble(), 12.5);
        QCOMPARE(stored.value("next_bid").toDouble(), 13.0);
        QCOMPARE(stored.value("currency").toString(), QString("GBP"));
        QCOMPARE(stored.value("end_time").toString(), QString("2026-03-01T12:34:56"));
        QCOMPARE(stored.value("seller_score").toString(), QString("1520"));
        for (const char* column : {"user_bid", "lead_time", "actual_bid_time", "bid_status", "error_message",
                                   "group_id", "shipping", "notes"})
            QVERIFY2(stored.isNull(column), column);
    }

    void anItemIsHeldOncePerUser() {
        const int other = StoreFixture::addUser("sniper_de");
        QVERIFY(StoreFixture::addItem("110000000001", m_userId) > 0);
        QCOMPARE(StoreFixture::addItem("110000000001", m_userId), 0);
        QVERIFY(StoreFixture::addItem("110000000001", other) > 0);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM items").toInt(), 2);
    }

    void updateItemFindsItsRow_data() {
        QTest::addColumn<bool>("byId");
        QTest::newRow("by item number and user") << false;
        QTest::newRow("by id, whatever number and user the record holds") << true;
    }

    void updateItemFindsItsRow() {
        QFETCH(bool, byId);
        const int other = StoreFixture::addUser("sniper_de");
        const int target = StoreFixture::addItem("110000000001", m_userId);
        const int sameNumber = StoreFixture::addItem("110000000001", other);
        const int bystander = StoreFixture::addItem("110000000002", m_userId);

        QSqlRecord record = item(target);
        record.setValue("user_bid", 42.5);
        record.setValue("bid_status", int(BidStatus::Scheduled));
        record.setValue("notes", "keep");
        if (byId) {
            record.setValue("item_number", "110000000002");
            record.setValue("user_id", other);
        } else {
            record.setNull("id");
        }
        QVERIFY(DbHelper::updateItem(record));

        const QSqlRecord updated = item(target);
        QCOMPARE(updated.value("user_bid").toDouble(), 42.5);
        QCOMPARE(updated.value("bid_status").toInt(), int(BidStatus::Scheduled));
        QCOMPARE(updated.value("notes").toString(), QString("keep"));
        QCOMPARE(updated.value("item_number").toString(), QString("110000000001"));
        QCOMPARE(updated.value("user_id").toInt(), m_userId);
        for (int untouched : {sameNumber, bystander}) {
            QVERIFY(item(untouched).isNull("user_bid"));
            QVERIFY(item(untouched).isNull("bid_status"));
        }
    }

    void getItemByNaturalKey() {
        const int id = StoreFixture::addItem("110000000001", m_userId);
        QSqlRecord record = StoreFixture::emptyRecord("items");
        record.setValue("item_number", "110000000001");
        record.setValue("user_id", m_userId);
        QVERIFY(DbHelper::getItem(record));
        QCOMPARE(record.value("id").toInt(), id);

        QSqlRecord missing = StoreFixture::emptyRecord("items");
        missing.setValue("item_number", "110000000001");
        missing.setValue("user_id", m_userId + 1);
        QVERIFY(!DbHelper::getItem(missing));
        QVERIFY(missing.isNull("id"));
    }

    void cancelSnipesClearsOnlyTheSnipeOfListedItems() {
        const int groupId = StoreFixture::addGroup("Cameras", m_userId);
        QList<int> ids;
        for (const char* number : {"110000000001", "110000000002", "110000000003"}) {
            const int id = StoreFixture::addItem(number, m_userId, "OUTBIDDER");
            QVERIFY(StoreFixture::setSnipe(id, int(BidStatus::Scheduled), groupId));
            ids << id;
        }
        QVERIFY(DbHelper::cancelSnipes(QString("%1,%2").arg(ids[0]).arg(ids[2])));
        for (int id : {ids[0], ids[2]}) {
            const QSqlRecord cancelled = item(id);
            QVERIFY(cancelled.isNull("user_bid"));
            QVERIFY(cancelled.isNull("lead_time"));
            QVERIFY(cancelled.isNull("bid_status"));
            QCOMPARE(cancelled.value("group_id").toInt(), groupId);
            QCOMPARE(cancelled.value("user_relation").toString(), QString("OUTBIDDER"));
            QCOMPARE(cancelled.value("current_bid").toDouble(), 12.5);
        }
        QCOMPARE(item(ids[1]).value("bid_status").toInt(), int(BidStatus::Scheduled));
        QCOMPARE(item(ids[1]).value("user_bid").toDouble(), 20.0);
    }

    // The lists are substituted into the statement as text; whatever is not a list of ids must change nothing.
    void idListOperationsRefuseBadLists_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("ids");
        const QStringList lists = {
            "", " ", "abc", "1,x", "1,", "id", "1, id", "1) OR (1=1", "1); DELETE FROM items; --", "1.5"};
        for (const char* operation : {"cancelSnipes", "deleteItems", "deleteGroups"}) {
            for (const QString& ids : lists)
                QTest::addRow("%s \"%s\"", operation, qPrintable(ids)) << QString(operation) << ids;
        }
    }

    void idListOperationsRefuseBadLists() {
        QFETCH(QString, operation);
        QFETCH(QString, ids);
        const int groupId = StoreFixture::addGroup("Cameras", m_userId);
        for (const char* number : {"110000000001", "110000000002"})
            QVERIFY(StoreFixture::setSnipe(StoreFixture::addItem(number, m_userId), 1, groupId));
        const QString itemsBefore = StoreFixture::dumpFile(DbHelper::databaseFilePath(), "SELECT * FROM items");
        const QString groupsBefore = StoreFixture::dumpFile(DbHelper::databaseFilePath(), "SELECT * FROM groups");

        bool result = true;
        if (operation == "cancelSnipes")
            result = DbHelper::cancelSnipes(ids);
        else if (operation == "deleteItems")
            result = DbHelper::deleteItems(ids);
        else
            result = DbHelper::deleteGroups(ids);
        QVERIFY(!result);
        QCOMPARE(StoreFixture::dumpFile(DbHelper::databaseFilePath(), "SELECT * FROM items"), itemsBefore);
        QCOMPARE(StoreFixture::dumpFile(DbHelper::databaseFilePath(), "SELECT * FROM groups"), groupsBefore);
    }

    void deleteItemsRemovesListedOnly() {
        const int first = StoreFixture::addItem("110000000001", m_userId);
        const int second = StoreFixture::addItem("110000000002", m_userId);
        const int third = StoreFixture::addItem("110000000003", m_userId);
        QVERIFY(DbHelper::deleteItems(QString(" %1 , %2 ").arg(first).arg(third)));
        QCOMPARE(StoreFixture::scalar("SELECT GROUP_CONCAT(id) FROM items").toInt(), second);
    }

    void updateUserRelationWritesOnlyTheRelation() {
        const int id = StoreFixture::addItem("110000000001", m_userId);
        QVERIFY(StoreFixture::setSnipe(id, int(BidStatus::Placed)));
        QSqlRecord stale = item(id);
        stale.setValue("user_relation", "HIGHBIDDER");
        stale.setValue("bid_status", int(BidStatus::Scheduled));
        stale.setValue("user_bid", 1.0);
        QVERIFY(DbHelper::updateUserRelation(stale));
        const QSqlRecord stored = item(id);
        QCOMPARE(stored.value("user_relation").toString(), QString("HIGHBIDDER"));
        QCOMPARE(stored.value("bid_status").toInt(), int(BidStatus::Placed));
        QCOMPARE(stored.value("user_bid").toDouble(), 20.0);
    }

    void groupNamesIgnoreLetterCase_data() {
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("sameUser");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("same name") << "Cameras" << true << false;
        QTest::newRow("capitals only differ") << "CAMERAS" << true << false;
        QTest::newRow("other name") << "Lenses" << true << true;
        QTest::newRow("same name, other user") << "cameras" << false << true;
    }

    void groupNamesIgnoreLetterCase() {
        QFETCH(QString, second);
        QFETCH(bool, sameUser);
        QFETCH(bool, accepted);
        const int owner = sameUser ? m_userId : StoreFixture::addUser("sniper_de");
        QVERIFY(StoreFixture::addGroup("Cameras", m_userId) > 0);
        QCOMPARE(StoreFixture::addGroup(second, owner) > 0, accepted);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM groups").toInt(), accepted ? 2 : 1);
    }

    void groupLookupByNameIgnoresLetterCase() {
        const int id = StoreFixture::addGroup("Cameras", m_userId, 2);
        QSqlRecord byName = StoreFixture::emptyRecord("groups");
        byName.setValue("name", "cAMERAS");
        byName.setValue("user_id", m_userId);
        QVERIFY(DbHelper::getGroup(byName));
        QCOMPARE(byName.value("id").toInt(), id);
        QCOMPARE(byName.value("max_won").toInt(), 2);
        QCOMPARE(byName.value("current_won").toInt(), 0);

        byName = StoreFixture::emptyRecord("groups");
        byName.setValue("name", "Cameras");
        byName.setValue("user_id", m_userId + 1);
        QVERIFY(!DbHelper::getGroup(byName));
    }

    void groupEditorAndWinCounterWriteTheirOwnColumns() {
        const int id = StoreFixture::addGroup("Cameras", m_userId, 3);
        QSqlRecord won = group(id);
        won.setValue("current_won", 2);
        won.setValue("name", "ignored");
        won.setValue("max_won", 9);
        QVERIFY(DbHelper::updateGroupWon(won));
        QCOMPARE(group(id).value("current_won").toInt(), 2);
        QCOMPARE(group(id).value("name").toString(), QString("Cameras"));
        QCOMPARE(group(id).value("max_won").toInt(), 3);

        // The group editor builds its record from an empty one, so current_won arrives NULL.
        QSqlRecord edited = StoreFixture::emptyRecord("groups");
        edited.setValue("id", id);
        edited.setValue("name", "Lenses");
        edited.setValue("user_id", m_userId);
        edited.setValue("max_won", 1);
        QVERIFY(DbHelper::updateGroup(edited));
        QCOMPARE(group(id).value("name").toString(), QString("Lenses"));
        QCOMPARE(group(id).value("max_won").toInt(), 1);
        QCOMPARE(group(id).value("current_won").toInt(), 2);
    }

    void groupsComeInNameOrderIgnoringCase() {
        const int other = StoreFixture::addUser("sniper_de");
        for (const char* name : {"beta", "Delta", "alpha", "Gamma"})
            QVERIFY(StoreFixture::addGroup(name, m_userId) > 0);
        QVERIFY(StoreFixture::addGroup("aardvark", other) > 0);
        QSqlQuery query;
        QVERIFY(DbHelper::getGroups(query, m_userId));
        QStringList names;
        while (query.next())
            names << query.value("name").toString();
        QCOMPARE(names, QStringList({"alpha", "beta", "Delta", "Gamma"}));
    }

    void deletingAGroupKeepsItsSnipes() {
        const int cameras = StoreFixture::addGroup("Cameras", m_userId);
        const int lenses = StoreFixture::addGroup("Lenses", m_userId);
        const int inCameras = StoreFixture::addItem("110000000001", m_userId);
        const int inLenses = StoreFixture::addItem("110000000002", m_userId);
        QVERIFY(StoreFixture::setSnipe(inCameras, int(BidStatus::Scheduled), cameras));
        QVERIFY(StoreFixture::setSnipe(inLenses, int(BidStatus::Scheduled), lenses));

        QVERIFY(DbHelper::deleteGroups(QString::number(cameras)));
        QVERIFY(item(inCameras).isNull("group_id"));
        QCOMPARE(item(inCameras).value("bid_status").toInt(), int(BidStatus::Scheduled));
        QCOMPARE(item(inCameras).value("user_bid").toDouble(), 20.0);
        QCOMPARE(item(inLenses).value("group_id").toInt(), lenses);
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM groups").toInt(), 1);
    }
};

QTEST_MAIN(TestItems)
#include "test_items.moc"
