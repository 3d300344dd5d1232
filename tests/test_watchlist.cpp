#include "dbhelper.h"
#include "storefixture.h"
#include "watchlistmodel.h"

#include <QtTest>

#include <memory>

// Watch-list items and bidding groups in the store: the main window's filters and the bid engine's due-snipe
// query on their boundaries, and what each write touches and must leave alone, since a snipe field overwritten
// by the wrong write is a lost or unwanted bid.
class TestWatchList : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_store;
    const QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0), Qt::UTC);
    int m_userId = 0;
    QHash<QString, int> m_groups;

    static QSqlRecord item(int id) {
        QSqlRecord record = StoreFixture::record("items", {{"id", id}});
        DbHelper::getItem(record);
        return record;
    }

    void add(const QString& number, int userId, const QVariant& status, const QString& relation, int endsInSeconds,
             const QString& group = QString()) {
        const QString endTime = m_now.addSecs(endsInSeconds).toString("yyyy-MM-ddThh:mm:ss");
        const int id = StoreFixture::addItem(number, userId, relation, endTime);
        QVERIFY(id > 0);
        if (!status.isNull() || !group.isEmpty())
            QVERIFY(StoreFixture::setSnipe(id, status, group.isEmpty() ? QVariant() : QVariant(m_groups[group])));
    }

    // One fixed watch list around m_now, with a second user's items that must never show.
    void addWatchList() {
        const int other = StoreFixture::addUser("sniper_de");
        QVERIFY(QSqlDatabase::database().transaction());
        m_groups = {{"G1", StoreFixture::addGroup("G1", m_userId, 2)},
                    {"G2", StoreFixture::addGroup("G2", m_userId)},
                    {"OtherG", StoreFixture::addGroup("G1", other)}};
        const QVariant none;
        add("watch", m_userId, none, "NONE", 3600);
        add("watchEndedG1", m_userId, none, "NONE", -3600, "G1");
        add("scheduledG1", m_userId, BidStatus::Scheduled, "NONE", 60, "G1");
        add("scheduledEnded", m_userId, BidStatus::Scheduled, "HIGHBIDDER", -10);
        add("scheduledIn600", m_userId, BidStatus::Scheduled, "OUTBIDDER", 600);
        add("scheduledIn601", m_userId, BidStatus::Scheduled, "NONE", 601);
        add("biddingNow", m_userId, BidStatus::Bidding, "OUTBIDDER", 5);
        add("biddingEnded", m_userId, BidStatus::Bidding, "HIGHBIDDER", -5);
        add("highEndsNow", m_userId, none, "HIGHBIDDER", 0);
        add("highPlaced", m_userId, BidStatus::Placed, "HIGHBIDDER", 100);
        add("wonSecondAgo", m_userId, none, "HIGHBIDDER", -1);
        add("outEndsNow", m_userId, none, "OUTBIDDER", 0);
        add("outFailedEnded", m_userId, BidStatus::Failed, "OUTBIDDER", -100);
        add("outPlacedG2", m_userId, BidStatus::Placed, "OUTBIDDER", 1, "G2");
        add("failedEnded", m_userId, BidStatus::Failed, "NONE", -1);
        add("failedRunning", m_userId, BidStatus::Failed, "NONE", 1);
        add("failedEndsNow", m_userId, BidStatus::Failed, "NONE", 0);
        add("othersScheduled", other, BidStatus::Scheduled, "HIGHBIDDER", 10, "OtherG");
        add("othersWon", other, none, "HIGHBIDDER", -100);
        QVERIFY(QSqlDatabase::database().commit());
    }

private slots:
    void init() {
        m_store = std::make_unique<StoreFixture>();
        QVERIFY(m_store->open());
        m_userId = StoreFixture::addUser("sniper_uk");
        QVERIFY(m_userId > 0);
    }
    void cleanup() { m_store.reset(); }

    void filters_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("expected");
        const QStringList all = {"watch",          "watchEndedG1", "scheduledG1",    "scheduledEnded", "scheduledIn600",
                                 "scheduledIn601", "biddingNow",   "biddingEnded",   "highEndsNow",    "highPlaced",
                                 "wonSecondAgo",   "outEndsNow",   "outFailedEnded", "outPlacedG2",    "failedEnded",
                                 "failedRunning",  "failedEndsNow"};
        QTest::newRow("All") << 0 << "" << all;
        QTest::newRow("Watching, ended or not") << 1 << "" << QStringList{"watch", "watchEndedG1"};
        QTest::newRow("Bid Scheduled, ended or not")
            << 2 << "" << QStringList{"scheduledG1", "scheduledEnded", "scheduledIn600", "scheduledIn601"};
        QTest::newRow("High Bidder, ending exactly now included")
            << 3 << "" << QStringList{"highEndsNow", "highPlaced"};
        QTest::newRow("Out Bidder, ending exactly now included") << 4 << "" << QStringList{"outEndsNow", "outPlacedG2"};
        QTest::newRow("Won, only after the end") << 5 << "" << QStringList{"wonSecondAgo"};
        QTest::newRow("Didn't Win: outbid or failed without a bid, after the end")
            << 6 << "" << QStringList{"outFailedEnded", "failedEnded"};
        QTest::newRow("unknown code selects all") << 7 << "" << all;
        QTest::newRow("group G1") << 0 << "G1" << QStringList{"watchEndedG1", "scheduledG1"};
        QTest::newRow("group G2, Out Bidder") << 4 << "G2" << QStringList{"outPlacedG2"};
    }

    void filters() {
        QFETCH(int, filter);
        QFETCH(QString, group);
        QFETCH(QStringList, expected);
        addWatchList();
        QSqlQuery query;
        QVERIFY(DbHelper::getItems(query, m_now, m_userId, group.isEmpty() ? 0 : m_groups[group], filter));
        QStringList found;
        while (query.next()) {
            found << query.value("item_number").toString();
            if (found.last() == "watch")
                QVERIFY(query.isNull("group_name") && query.isNull("max_won") && query.isNull("current_won"));
            if (found.last() == "scheduledG1") {
                QCOMPARE(query.value("group_name").toString(), QString("G1"));
                QCOMPARE(query.value("max_won").toInt(), 2);
                QCOMPARE(query.value("current_won").toInt(), 0);
            }
        }
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        // The list view filters rows it holds by the same rules.
        QVERIFY(DbHelper::getItems(query, m_now, m_userId, 0, 0));
        QStringList shown;
        while (query.next()) {
            const WatchListModel::Row row = WatchListModel::readRow(query.record());
            if ((group.isEmpty() || row.groupId == m_groups[group]) &&
                WatchListModel::matchesFilter(filter, row, m_now))
                shown << row.itemNumber;
        }
        shown.sort();
        QCOMPARE(shown, expected);
    }

    void dueSnipes_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("60 s: ending exactly at the bound") << 60 << QStringList{"scheduledG1", "scheduledEnded"};
        QTest::newRow("600 s, latest end first")
            << 600 << QStringList{"scheduledIn600", "scheduledG1", "scheduledEnded"};
    }

    void dueSnipes() {
        QFETCH(int, seconds);
        QFETCH(QStringList, expected);
        addWatchList();
        QSqlQuery query;
        QVERIFY(DbHelper::getDueItems(query, m_userId, seconds, m_now));
        QCOMPARE(StoreFixture::column(query, "item_number"), expected);
    }

    // An item is held once per user; updateItem changes its own row only, found by id or else by number and user.
    void updateItemFindsItsRow_data() {
        QTest::addColumn<bool>("byId");
        QTest::newRow("by item number and user") << false;
        QTest::newRow("by id, whatever number and user the record holds") << true;
    }

    void updateItemFindsItsRow() {
        QFETCH(bool, byId);
        const int other = StoreFixture::addUser("sniper_de");
        const int target = StoreFixture::addItem("110000000001", m_userId);
        QVERIFY(StoreFixture::addItem("110000000001", other) > 0);
        QCOMPARE(StoreFixture::addItem("110000000001", m_userId), 0);
        QVERIFY(StoreFixture::addItem("110000000002", m_userId) > 0);

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
        QCOMPARE(StoreFixture::dump("SELECT id, item_number, user_id, user_bid, bid_status, notes FROM items"),
                 QString("1|110000000001|1|42.5|1|keep\n2|110000000001|2|NULL|NULL|NULL\n"
                         "3|110000000002|1|NULL|NULL|NULL\n"));
    }

    // Cancelling clears the snipe of the listed items only, and nothing else of theirs; deleting removes them.
    void idListOperationsTouchListedItemsOnly() {
        const int groupId = StoreFixture::addGroup("Cameras", m_userId);
        for (const char* number : {"110000000001", "110000000002", "110000000003"})
            QVERIFY(StoreFixture::setSnipe(StoreFixture::addItem(number, m_userId, "OUTBIDDER"), 1, groupId));
        QVERIFY(DbHelper::cancelSnipes("1,3"));
        QCOMPARE(StoreFixture::dump("SELECT id, user_bid, lead_time, bid_status, group_id, user_relation, current_bid "
                                    "FROM items"),
                 QString("1|NULL|NULL|NULL|1|OUTBIDDER|12.5\n2|20|5|1|1|OUTBIDDER|12.5\n"
                         "3|NULL|NULL|NULL|1|OUTBIDDER|12.5\n"));
        QVERIFY(DbHelper::deleteItems(" 1 , 3 "));
        QCOMPARE(StoreFixture::dump("SELECT id FROM items"), QString("2\n"));
    }

    // The lists are substituted into the statement as text; whatever is not a list of ids must change nothing.
    void idListOperationsRefuseBadLists_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("ids");
        for (const char* operation : {"cancelSnipes", "deleteItems", "deleteGroups"}) {
            for (const char* ids : {"", "1,x", "1,", "1) OR (1=1", "1); DELETE FROM items; --"})
                QTest::addRow("%s \"%s\"", operation, ids) << QString(operation) << QString(ids);
        }
    }

    void idListOperationsRefuseBadLists() {
        QFETCH(QString, operation);
        QFETCH(QString, ids);
        const int groupId = StoreFixture::addGroup("Cameras", m_userId);
        for (const char* number : {"110000000001", "110000000002"})
            QVERIFY(StoreFixture::setSnipe(StoreFixture::addItem(number, m_userId), 1, groupId));
        const QString select = "SELECT * FROM items, groups ORDER BY items.id";
        const QString before = StoreFixture::dump(select);
        if (operation == "cancelSnipes")
            QVERIFY(!DbHelper::cancelSnipes(ids));
        else if (operation == "deleteItems")
            QVERIFY(!DbHelper::deleteItems(ids));
        else
            QVERIFY(!DbHelper::deleteGroups(ids));
        QCOMPARE(StoreFixture::dump(select), before);
    }

    // A refresh that writes eBay's relation must not write back a stale snipe.
    void updateUserRelationWritesOnlyTheRelation() {
        const int id = StoreFixture::addItem("110000000001", m_userId);
        QVERIFY(StoreFixture::setSnipe(id, int(BidStatus::Placed)));
        QSqlRecord stale = item(id);
        stale.setValue("user_relation", "HIGHBIDDER");
        stale.setValue("bid_status", int(BidStatus::Scheduled));
        stale.setValue("user_bid", 1.0);
        QVERIFY(DbHelper::updateUserRelation(stale));
        QCOMPARE(StoreFixture::dump("SELECT user_relation, bid_status, user_bid FROM items"),
                 QString("HIGHBIDDER|3|20\n"));
    }

    // The win counter and the group editor must not overwrite each other's columns.
    void groupEditorAndWinCounterWriteTheirOwnColumns() {
        const int id = StoreFixture::addGroup("Cameras", m_userId, 3);
        QSqlRecord won = StoreFixture::record("groups", {{"id", id}});
        QVERIFY(DbHelper::getGroup(won));
        won.setValue("current_won", 2);
        won.setValue("name", "ignored");
        won.setValue("max_won", 9);
        QVERIFY(DbHelper::updateGroupWon(won));
        const QString select = "SELECT name, max_won, current_won FROM groups";
        QCOMPARE(StoreFixture::dump(select), QString("Cameras|3|2\n"));

        // The group editor builds its record from an empty one, so current_won arrives NULL.
        QVERIFY(DbHelper::updateGroup(
            StoreFixture::record("groups", {{"id", id}, {"name", "Lenses"}, {"user_id", m_userId}, {"max_won", 1}})));
        QCOMPARE(StoreFixture::dump(select), QString("Lenses|1|2\n"));
    }

    // Deleting a group clears the group of its items but keeps their snipes.
    void deletingAGroupKeepsItsSnipes() {
        const int cameras = StoreFixture::addGroup("Cameras", m_userId);
        const int lenses = StoreFixture::addGroup("Lenses", m_userId);
        QVERIFY(StoreFixture::setSnipe(StoreFixture::addItem("110000000001", m_userId), 1, cameras));
        QVERIFY(StoreFixture::setSnipe(StoreFixture::addItem("110000000002", m_userId), 1, lenses));
        QVERIFY(DbHelper::deleteGroups(QString::number(cameras)));
        QCOMPARE(StoreFixture::dump("SELECT id, group_id, bid_status, user_bid FROM items"),
                 QString("1|NULL|1|20\n2|2|1|20\n"));
        QCOMPARE(StoreFixture::dump("SELECT name FROM groups"), QString("Lenses\n"));
    }
};

QTEST_MAIN(TestWatchList)
#include "test_watchlist.moc"
