// How does the main window scale with the watch list? For each list size it fills a private store and the
// sandbox with that many auctions, opens the window and measures: the list ready on screen (window built, rows read
// and painted), reading the list again from the store, one per-second tick, one row re-read in place (what the
// engine's report of a changed snipe costs), one refresh round against the sandbox (item data in calls of twenty,
// then shipping and relation for every row, until the last answer is applied), and the process's resident memory.
//
//   bench_watchlist [size ...]          (default: 200 2000 10000)
//
// Goals at 2,000 items: list ready <= 300 ms, tick <= 2 ms, one row <= 1 ms, RSS <= 150 MB;
// at 10,000: list ready <= 1.5 s, RSS <= 300 MB.

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

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

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

// Waits until every request of the window is answered; itemsMs, when given, gets the moment the item data were
// in (the refresh then asks for every row's shipping and relation at once, so more than one request is alive).
bool waitForRequests(MainWindow& window, int timeoutMs, double* itemsMs = nullptr) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QTest::qWait(5);
        const int alive = window.findChildren<ItemHelper*>().size();
        if (itemsMs && *itemsMs == 0 && alive > 1)
            *itemsMs = timer.nsecsElapsed() / 1e6;
        if (alive == 0)
            return true;
    }
    return false;
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
    // Showing, polishing and painting the visible rows happens in the event loop; it is part of the cost.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const double readyMs = timer.nsecsElapsed() / 1e6;
    const double readyRss = rssMb();
    double itemsMs = 0;
    const bool refreshed = waitForRequests(window, 30 * 60 * 1000, &itemsMs);
    const double refreshMs = timer.nsecsElapsed() / 1e6 - readyMs;

    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::vector<double> loads;
    for (int round = 0; round < 3; ++round) {
        timer.restart();
        window.loadItemsFromDb();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        loads.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::vector<double> ticks;
    for (int round = 0; round < 20; ++round) {
        timer.restart();
        window.onTimer();
        QCoreApplication::processEvents();
        ticks.push_back(timer.nsecsElapsed() / 1e6);
    }
    // One snipe's row written and reported, as the engine does at each step of a bid.
    std::vector<double> rows;
    const int id = window.model()->row(size / 2).id;
    for (int round = 0; round < 20; ++round) {
        StoreFixture::setSnipe(id, round % 2 ? BidStatus::Scheduled : BidStatus::Placed);
        timer.restart();
        window.itemChanged(id);
        QCoreApplication::processEvents();
        rows.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%6d  ready %7.0f ms  load %7.0f ms  tick %6.2f ms (max %6.2f)  row %6.2f ms  refresh %8.0f ms (item "
                "data %6.0f ms)%s  "
                "RSS %5.0f MB (at ready %5.0f MB)\n",
                size, readyMs, median(loads), median(ticks), *std::max_element(ticks.begin(), ticks.end()),
                median(rows), refreshMs, itemsMs, refreshed ? "" : " (not finished)", rssMb(), readyRss);
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
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {200, 2000, 10000};
    std::printf("items  (medians; load = loadItemsFromDb, refresh = the window's first refresh round)\n");
    for (int size : sizes)
        measure(sandbox, userId, size);
    return 0;
}
