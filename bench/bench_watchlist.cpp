// How does the main window scale with the watch list? For each list size it fills a private store and the
// sandbox with that many auctions, opens the window and measures: building the table from the store, one
// per-second tick, one refresh round against the sandbox (item data in calls of twenty, then shipping and
// relation for every row, until the last answer is applied), and the process's resident memory.
//
//   bench_watchlist [size ...]          (default: 200 2000 10000)
//   bench_watchlist --plain [size ...]  the same table without cell widgets, for comparison: the rich texts
//                                       drawn by a delegate for the visible rows only, the group as text
//
// Goals at 2,000 items: table <= 1 s, tick <= 5 ms, RSS <= 250 MB.

#include "clockmanager.h"
#include "dbhelper.h"
#include "itemhelper.h"
#include "loginhelper.h"
#include "mainwindow.h"
#include "messages.h"
#include "networkmanager.h"
#include "sandboxprocess.h"
#include "storefixture.h"
#include "tollimerapp.h"
#include "watchlisttexts.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QPainter>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString number(int i) {
    return QStringLiteral("5%1").arg(i, 11, 10, QLatin1Char('0'));
}

double rssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

bool loadScenario(const SandboxProcess& sandbox, int size) {
    QJsonArray auctions;
    for (int i = 0; i < size; ++i)
        auctions.append(QJsonObject{{"itemNumber", number(i)},
                                    {"title", QStringLiteral("Benchmark lot %1 with a title of a usual length").arg(i)},
                                    {"endsInSeconds", 3600 + i},
                                    {"shippingText", QStringLiteral("£%1.50").arg(i % 20)}});
    const QJsonObject scenario{{"users", QJsonArray{QJsonObject{{"username", "sniper_uk"}, {"password", "secret"}}}},
                               {"auctions", auctions}};
    int status = 0;
    sandbox.control("POST", QStringLiteral("/_sandbox/scenario"), QJsonDocument(scenario).toJson(), &status);
    return status == 200;
}

bool signIn() {
    LoginHelper helper;
    QSignalSpy finished(&helper, &LoginHelper::loginStep2Finished);
    helper.login(QStringLiteral("sniper_uk"), QStringLiteral("secret"), QStringLiteral("ebay.co.uk"), 3);
    return finished.wait(20000) && finished.first().at(0).toBool();
}

void fillStore(int userId, int size) {
    QSqlQuery query;
    query.exec(QStringLiteral("DELETE FROM items"));
    QSqlDatabase::database().transaction();
    const QString end = ClockManager::storeText(ClockManager::instance()->currentDateTime().addSecs(3600));
    for (int i = 0; i < size; ++i) {
        const int id = StoreFixture::addItem(number(i), userId, QStringLiteral("NONE"), end);
        if (i % 3 == 0)
            StoreFixture::setSnipe(id, BidStatus::Scheduled);
    }
    QSqlDatabase::database().commit();
}

bool waitForRequests(MainWindow& window, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QTest::qWait(5);
        if (window.findChildren<ItemHelper*>().isEmpty())
            return true;
    }
    return false;
}

// Draws a cell's display text as rich text; only the rows on screen are ever drawn.
class RichTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        QTextDocument document;
        document.setHtml(plain.text);
        plain.text.clear();
        plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        painter->save();
        painter->translate(plain.rect.topLeft());
        document.drawContents(painter, QRectF(0, 0, plain.rect.width(), plain.rect.height()));
        painter->restore();
    }
};

// The watch list as plain cells: the same texts and sort values, no widget per cell.
void fillPlainTable(QTableWidget& table, int userId) {
    table.clearContents();
    table.setRowCount(0);
    table.setSortingEnabled(false);
    QSqlQuery query;
    query.setForwardOnly(true);
    DbHelper::getItems(query, ClockManager::instance()->currentDateTime(), userId, 0, 0);
    const QDateTime now = ClockManager::instance()->currentDateTime();
    while (query.next()) {
        const QSqlRecord item = query.record();
        const QString currency = item.value("currency").toString();
        const QDateTime end = ClockManager::parseEbayTime(item.value("end_time").toString());
        const int row = table.rowCount();
        table.insertRow(row);
        auto cell = [&](int column, const QString& text, const QVariant& value) {
            auto* entry = new QTableWidgetItem(text);
            entry->setData(Qt::UserRole, value);
            table.setItem(row, column, entry);
        };
        cell(0,
             WatchListTexts::statusText(item.value("bid_status").toInt(), item.value("user_relation").toString(), end,
                                        item.value("is_reserve").toBool(), item.value("is_reserve_met").toBool(), now),
             QString());
        cell(1, item.value("item_number").toString(), item.value("id"));
        cell(2, QStringLiteral("<a href=\"#\">%1</a>").arg(item.value("name").toString()), item.value("name"));
        cell(3, WatchListTexts::timeLeft(end, now).text, end);
        cell(4,
             WatchListTexts::currentBidText(currency, item.value("current_bid").toDouble(),
                                            item.value("bid_count").toInt()),
             item.value("current_bid"));
        cell(5,
             WatchListTexts::shippingText(currency,
                                          item.value("shipping").isNull() ? -1 : item.value("shipping").toDouble()),
             item.value("shipping"));
        cell(6,
             WatchListTexts::bidText(item.value("id").toInt(), currency, item.value("user_bid").toDouble(),
                                     item.value("next_bid").toDouble(), item.value("bid_status").toInt(),
                                     item.value("lead_time").toInt()),
             item.value("user_bid"));
        cell(7, item.value("group_name").toString(), item.value("group_id"));
        cell(8, item.value("seller").toString(), item.value("seller"));
    }
    table.horizontalHeader()->setResizeContentsPrecision(100);
    table.resizeColumnsToContents();
    table.setSortingEnabled(true);
}

void measurePlain(int userId, int size) {
    fillStore(userId, size);
    QTableWidget table(0, 9);
    auto* delegate = new RichTextDelegate(&table);
    for (int column : {2, 4, 6})
        table.setItemDelegateForColumn(column, delegate);
    table.resize(1000, 400);
    table.show();
    std::vector<double> builds;
    QElapsedTimer timer;
    for (int round = 0; round < 3; ++round) {
        timer.start();
        fillPlainTable(table, userId);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        builds.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(builds.begin(), builds.end());
    std::printf("%6d  plain table %8.0f ms  RSS %6.0f MB\n", size, builds[builds.size() / 2], rssMb());
    std::fflush(stdout);
}

void measure(const SandboxProcess& sandbox, int userId, int size) {
    if (!loadScenario(sandbox, size) || !signIn()) {
        std::printf("%6d  sandbox or sign-in failed\n", size);
        return;
    }
    fillStore(userId, size);
    sandbox.control("DELETE", QStringLiteral("/_sandbox/log"));

    QElapsedTimer timer;
    timer.start();
    MainWindow window;
    window.show();
    const double constructMs = timer.nsecsElapsed() / 1e6;
    const bool refreshed = waitForRequests(window, 30 * 60 * 1000);
    const double refreshMs = timer.nsecsElapsed() / 1e6 - constructMs;

    std::vector<double> builds;
    for (int round = 0; round < 3; ++round) {
        timer.restart();
        window.loadItemsFromDb();
        // Showing, polishing and laying out the new cells happens in the event loop; it is part of the cost.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        builds.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::vector<double> ticks;
    for (int round = 0; round < 20; ++round) {
        timer.restart();
        window.onTimer();
        ticks.push_back(timer.nsecsElapsed() / 1e6);
        QTest::qWait(1);
    }
    std::sort(builds.begin(), builds.end());
    std::sort(ticks.begin(), ticks.end());
    std::printf("%6d  window %8.0f ms  table %8.0f ms  tick %7.2f ms (max %7.2f)  refresh %9.0f ms%s  RSS %6.0f MB\n",
                size, constructMs, builds[builds.size() / 2], ticks[ticks.size() / 2], ticks.back(), refreshMs,
                refreshed ? "" : " (not finished)", rssMb());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TollimerApp app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    Messages::setHandler([](const Messages::Box& box) {
        std::printf("box: %s / %s\n", qPrintable(box.title), qPrintable(box.text));
        return QMessageBox::Ok;
    });

    StoreFixture store;
    SandboxProcess sandbox;
    if (!store.open() ||
        !sandbox.start({QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("tests"))})) {
        std::printf("cannot start the store or the sandbox\n");
        return 1;
    }
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    ClockManager::instance()->syncTimeAndWait();

    const int userId = StoreFixture::addUser(QStringLiteral("sniper_uk"));
    QSqlRecord user = StoreFixture::record(QStringLiteral("users"), {{"id", userId}});
    QSqlRecord country = StoreFixture::record(QStringLiteral("countries"), {{"id", 19}});
    DbHelper::getUser(user);
    DbHelper::getCountry(country);
    app.setUser(user);
    app.setCountry(country);

    QList<int> sizes;
    bool plain = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--plain")
            plain = true;
        else
            sizes << QString::fromLocal8Bit(argv[i]).toInt();
    }
    if (sizes.isEmpty())
        sizes = {200, 2000, 10000};
    std::printf("items  (medians; table = loadItemsFromDb, refresh = the window's first refresh round)\n");
    for (int size : sizes)
        plain ? measurePlain(userId, size) : measure(sandbox, userId, size);
    return 0;
}
