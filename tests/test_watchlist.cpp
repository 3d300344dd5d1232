#include "dbhelper.h"
#include "storefixture.h"

#include <QtTest>

#include <memory>

// The watch-list filters of the main window and the bid engine's due-snipe query, on one fixed watch list
// around a fixed eBay time. The boundaries matter: an auction ending exactly now is still running.
class TestWatchList : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_store;
    const QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0), Qt::UTC);
    int m_userId = 0;
    int m_otherUserId = 0;
    QHash<QString, int> m_groups;

    void add(const QString& number, int userId, const QVariant& status, const QString& relation, int endsInSeconds,
             const QString& group = QString()) {
        const QString endTime = m_now.addSecs(endsInSeconds).toString("yyyy-MM-ddThh:mm:ss");
        const int id = StoreFixture::addItem(number, userId, relation, endTime);
        QVERIFY(id > 0);
        if (!status.isNull() || !group.isEmpty())
            QVERIFY(StoreFixture::setSnipe(id, status, group.isEmpty() ? QVariant() : QVariant(m_groups[group])));
    }

    static QStringList numbers(QSqlQuery& query) {
        QStringList result;
        while (query.next())
            result << query.value("item_number").toString();
        return result;
    }

private slots:
    void init() {
        m_store = std::make_unique<StoreFixture>();
        QVERIFY(m_store->open());
        m_userId = StoreFixture::addUser("sniper_uk");
        m_otherUserId = StoreFixture::addUser("sniper_de");
        QVERIFY(QSqlDatabase::database().transaction());
        m_groups = {{"G1", StoreFixture::addGroup("G1", m_userId, 2)},
                    {"G2", StoreFixture::addGroup("G2", m_userId)},
                    {"OtherG", StoreFixture::addGroup("G1", m_otherUserId)}};
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
        add("othersScheduled", m_otherUserId, BidStatus::Scheduled, "HIGHBIDDER", 10, "OtherG");
        add("othersWon", m_otherUserId, none, "HIGHBIDDER", -100);
        QVERIFY(QSqlDatabase::database().commit());
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
        QTest::newRow("negative code selects all") << -1 << "" << all;
        QTest::newRow("group G1") << 0 << "G1" << QStringList{"watchEndedG1", "scheduledG1"};
        QTest::newRow("group G1, Bid Scheduled") << 2 << "G1" << QStringList{"scheduledG1"};
        QTest::newRow("group G2, Out Bidder") << 4 << "G2" << QStringList{"outPlacedG2"};
        QTest::newRow("group G2, Won") << 5 << "G2" << QStringList{};
    }

    void filters() {
        QFETCH(int, filter);
        QFETCH(QString, group);
        QFETCH(QStringList, expected);
        QSqlQuery query;
        QVERIFY(DbHelper::getItems(query, m_now, m_userId, group.isEmpty() ? 0 : m_groups[group], filter));
        QStringList found = numbers(query);
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
    }

    void rowsCarryTheirGroup() {
        QSqlQuery query;
        QVERIFY(DbHelper::getItems(query, m_now, m_userId, 0, ItemFilter::All));
        int seen = 0;
        while (query.next()) {
            const QString number = query.value("item_number").toString();
            if (number == "scheduledG1") {
                QCOMPARE(query.value("group_name").toString(), QString("G1"));
                QCOMPARE(query.value("max_won").toInt(), 2);
                QCOMPARE(query.value("current_won").toInt(), 0);
                QCOMPARE(query.value("name").toString(), QString("Item scheduledG1"));
                ++seen;
            } else if (number == "watch") {
                QVERIFY(query.isNull("group_name"));
                QVERIFY(query.isNull("max_won"));
                QVERIFY(query.isNull("current_won"));
                ++seen;
            }
        }
        QCOMPARE(seen, 2);
    }

    void dueSnipes_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("0 s: already ended but still scheduled") << 0 << QStringList{"scheduledEnded"};
        QTest::newRow("60 s: ending exactly at the bound") << 60 << QStringList{"scheduledG1", "scheduledEnded"};
        QTest::newRow("600 s, latest end first")
            << 600 << QStringList{"scheduledIn600", "scheduledG1", "scheduledEnded"};
        QTest::newRow("601 s") << 601
                               << QStringList{"scheduledIn601", "scheduledIn600", "scheduledG1", "scheduledEnded"};
    }

    void dueSnipes() {
        QFETCH(int, seconds);
        QFETCH(QStringList, expected);
        QSqlQuery query;
        QVERIFY(DbHelper::getDueItems(query, m_userId, seconds, m_now));
        QCOMPARE(numbers(query), expected);
    }

    void cancelledSnipeIsNoLongerDue() {
        QSqlRecord record = StoreFixture::emptyRecord("items");
        record.setValue("item_number", "scheduledG1");
        record.setValue("user_id", m_userId);
        QVERIFY(DbHelper::getItem(record));
        QVERIFY(DbHelper::cancelSnipes(record.value("id").toString()));
        QSqlQuery query;
        QVERIFY(DbHelper::getDueItems(query, m_userId, 600, m_now));
        QCOMPARE(numbers(query), QStringList({"scheduledIn600", "scheduledEnded"}));
    }
};

QTEST_MAIN(TestWatchList)
#include "test_watchlist.moc"
