#include "dbhelper.h"
#include "storefixture.h"
#include "testrow.h"
#include "watchlistmodel.h"

#include <QtTest>

#include <functional>
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
    using Fields = QVariantMap;

    // Every item and group row by "item <id>" or "group <id>", with the columns the writes must keep apart.
    static QMap<QString, QString> state() {
        QMap<QString, QString> rows;
        const QString dump =
            StoreFixture::dump("SELECT 'item ' || id, item_number, user_id, user_relation, current_bid, "
                               "user_bid, lead_time, bid_status, group_id, notes FROM items") +
            StoreFixture::dump("SELECT 'group ' || id, name, user_id, max_won, current_won FROM groups");
        for (const QString& line : dump.split('\n', Qt::SkipEmptyParts))
            rows[line.section('|', 0, 0)] = line.section('|', 1);
        return rows;
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
        QTest::addColumn<QString>("expected");
        const QString all = "watch watchEndedG1 scheduledG1 scheduledEnded scheduledIn600 scheduledIn601 biddingNow "
                            "biddingEnded highEndsNow highPlaced wonSecondAgo outEndsNow outFailedEnded outPlacedG2 "
                            "failedEnded failedRunning failedEndsNow";
        testRow("All", 0, "", all);
        testRow("Watching, ended or not", 1, "", "watch watchEndedG1");
        testRow("Bid Scheduled, ended or not", 2, "", "scheduledG1 scheduledEnded scheduledIn600 scheduledIn601");
        testRow("High Bidder, ending exactly now included", 3, "", "highEndsNow highPlaced");
        testRow("Out Bidder, ending exactly now included", 4, "", "outEndsNow outPlacedG2");
        testRow("Won, only after the end", 5, "", "wonSecondAgo");
        testRow("Didn't Win: outbid or failed without a bid, after the end", 6, "", "outFailedEnded failedEnded");
        testRow("unknown code selects all", 7, "", all);
        testRow("group G1", 0, "G1", "watchEndedG1 scheduledG1");
        testRow("group G2, Out Bidder", 4, "G2", "outPlacedG2");
    }

    void filters() {
        QFETCH(int, filter);
        QFETCH(QString, group);
        QFETCH(QString, expected);
        QStringList wanted = expected.split(' ');
        wanted.sort();
        addWatchList();
        QSqlQuery query;
        QVERIFY(DbHelper::getItems(query, m_now, m_userId, group.isEmpty() ? 0 : m_groups[group], filter));
        QStringList found;
        while (query.next()) {
            found << query.value("item_number").toString();
            // The list shows the group's name from the same rows.
            if (found.last() == "watch" || found.last() == "scheduledG1")
                QCOMPARE(query.value("group_name").toString(), QString(found.last() == "watch" ? "" : "G1"));
        }
        found.sort();
        QCOMPARE(found, wanted);
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
        QCOMPARE(shown, wanted);
    }

    void dueSnipes_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("expected");
        testRow("60 s: ending exactly at the bound", 60, "scheduledG1 scheduledEnded");
        testRow("600 s, latest end first", 600, "scheduledIn600 scheduledG1 scheduledEnded");
    }

    void dueSnipes() {
        QFETCH(int, seconds);
        QFETCH(QString, expected);
        addWatchList();
        QSqlQuery query;
        QVERIFY(DbHelper::getDueItems(query, m_userId, seconds, m_now));
        QCOMPARE(StoreFixture::column(query, "item_number").join(' '), expected);
    }

    // Each write on one fixed list (items 1-3 sniped in groups 1, 2, 1; item 4 another user's copy of item 1):
    // the rows it changed, with their new values or "gone", and nothing else.
    void writes_data() {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QVariant>("input"); // the list of ids, or the fields set on the record
        QTest::addColumn<QStringList>("changed");
        // The lists are substituted into the statement as text; whatever is not a list of ids must change nothing.
        for (const char* write : {"cancelSnipes", "deleteItems", "deleteGroups"}) {
            for (const char* ids : {"", "1,x", "1,", "1) OR (1=1", "1); DELETE FROM items; --"})
                QTest::addRow("%s \"%s\"", write, ids) << QString(write) << QVariant(ids) << QStringList{"refused"};
        }
        testRow("cancel clears the snipe only", "cancelSnipes", QVariant("1,3"),
                QStringList{"item 1: 110000000001|1|OUTBIDDER|12.5|NULL|NULL|NULL|1|NULL",
                            "item 3: 110000000003|1|OUTBIDDER|12.5|NULL|NULL|NULL|1|NULL"});
        testRow("delete items", "deleteItems", QVariant(" 1 , 3 "), QStringList{"item 1: gone", "item 3: gone"});
        testRow("deleting a group keeps its snipes", "deleteGroups", QVariant("1"),
                QStringList{"group 1: gone", "item 1: 110000000001|1|OUTBIDDER|12.5|20|5|1|NULL|NULL",
                            "item 3: 110000000003|1|OUTBIDDER|12.5|20|5|1|NULL|NULL"});
        // An item is held once per user; updateItem finds its row by id, or else by number and user.
        const QStringList updated{"item 1: 110000000001|1|OUTBIDDER|12.5|42.5|5|1|1|keep"};
        testRow("update by item number and user", "updateItem", QVariant(Fields{{"id", QVariant()}}), updated);
        testRow("update by id, whatever number and user it holds", "updateItem",
                QVariant(Fields{{"item_number", "110000000002"}, {"user_id", 2}}), updated);
        // A refresh that writes eBay's relation must not write back a stale snipe.
        testRow("relation only", "updateUserRelation",
                QVariant(Fields{{"user_relation", "HIGHBIDDER"}, {"bid_status", 3}}),
                QStringList{"item 1: 110000000001|1|HIGHBIDDER|12.5|20|5|1|1|NULL"});
        // The win counter and the group editor must not overwrite each other's columns.
        testRow("win counter", "updateGroupWon",
                QVariant(Fields{{"name", "ignored"}, {"max_won", 9}, {"current_won", 2}}),
                QStringList{"group 1: Cameras|1|3|2"});
        testRow("group editor", "updateGroup", QVariant(Fields{{"name", "Optics"}, {"user_id", 1}, {"max_won", 2}}),
                QStringList{"group 1: Optics|1|2|1"});
    }

    void writes() {
        QFETCH(QString, write);
        QFETCH(QVariant, input);
        QFETCH(QStringList, changed);
        const int other = StoreFixture::addUser("sniper_de");
        const int cameras = StoreFixture::addGroup("Cameras", m_userId, 3);
        const int lenses = StoreFixture::addGroup("Lenses", m_userId);
        for (const char* number : {"110000000001", "110000000002", "110000000003"}) {
            const int groupId = QByteArray(number).endsWith('2') ? lenses : cameras;
            QVERIFY(StoreFixture::setSnipe(StoreFixture::addItem(number, m_userId, "OUTBIDDER"), 1, groupId));
        }
        QVERIFY(StoreFixture::addItem("110000000001", other) > 0);
        QCOMPARE(StoreFixture::addItem("110000000001", m_userId), 0);
        QVERIFY(QSqlQuery().exec("UPDATE groups SET current_won = 1 WHERE id = 1"));

        // Item 1 as read with a snipe changed on it, or group 1 built from an empty record, with the row's fields.
        const bool isGroup = write.contains("Group");
        QSqlRecord row = StoreFixture::record(isGroup ? "groups" : "items", {{"id", 1}});
        if (!isGroup) {
            QVERIFY(DbHelper::getItem(row));
            row.setValue("user_bid", 42.5);
            row.setValue("notes", "keep");
        }
        const Fields fields = input.toMap();
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            row.setValue(it.key(), it.value());
        const QMap<QString, std::function<bool()>> writes{
            {"cancelSnipes", [&] { return DbHelper::cancelSnipes(input.toString()); }},
            {"deleteItems", [&] { return DbHelper::deleteItems(input.toString()); }},
            {"deleteGroups", [&] { return DbHelper::deleteGroups(input.toString()); }},
            {"updateItem", [&] { return DbHelper::updateItem(row); }},
            {"updateUserRelation", [&] { return DbHelper::updateUserRelation(row); }},
            {"updateGroup", [&] { return DbHelper::updateGroup(row); }},
            {"updateGroupWon", [&] { return DbHelper::updateGroupWon(row); }}};
        const QMap<QString, QString> before = state();
        const bool done = writes[write]();
        QCOMPARE(done, changed != QStringList{"refused"});
        const QMap<QString, QString> after = state();
        QStringList found;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (after.value(it.key()) != it.value())
                found << it.key() + ": " + after.value(it.key(), "gone");
        }
        QCOMPARE(found, done ? changed : QStringList{});
    }
};

QTEST_MAIN(TestWatchList)
#include "test_watchlist.moc"
