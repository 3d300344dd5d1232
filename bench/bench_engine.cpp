// When do the confirming requests of snipes reach eBay, placed through the real bid engine and bid worker?
//
// Starts tollimer-sandbox, signs in, stores snipes in a temporary store and lets the engine, driven by the
// clock's tick, place them. The engine announces when each confirming request is due (eBay time); the sandbox
// stamps the arrival of every request. Arrival minus due moment is what a snipe loses to timers, the event loop,
// the connections and the network stack.
//
//   bench_engine fire  [snipes]                 one snipe ending per second                 (default 50)
//   bench_engine burst [snipes] [latency-ms]    all ending in the same second, sandbox latency on every
//                                               request                                   (defaults 100, 150)
//   bench_engine window [snipes] [items]        one snipe ending per second while the main window holds the
//                                               items, reloads and refreshes them without pause and the store
//                                               is written                                (defaults 50, 2000)
//
// The program's eBay clock is synchronised with the sandbox's, so single figures carry about one millisecond of
// uncertainty.

#include "benchsupport.h"
#include "bidengine.h"
#include "bidthread.h"
#include "clockmanager.h"
#include "dbhelper.h"
#include "loginhelper.h"
#include "mainwindow.h"
#include "messages.h"
#include "networkmanager.h"
#include "sandboxprocess.h"
#include "snipescheduler.h"
#include "storefixture.h"
#include "tollimerapp.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTextStream>
#include <QTimer>
#include <QUrlQuery>

#include <algorithm>
#include <vector>

namespace {

QString itemNumber(int i) {
    return QString::number(150000000000LL + i);
}

// Runs the event loop until done() holds or timeoutMs have passed.
bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Calls due(item number, eBay ms) whenever the engine has fixed the moment of a confirming request, and tells
// whether snipes are still under way.
void watchConfirmations(BidEngine* engine, const std::function<void(const QString&, double)>& due) {
    QObject::connect(engine->scheduler(), &SnipeScheduler::confirmationScheduled, engine,
                     [due](int, int itemId, int, qint64 momentMs) {
                         const QVariant number = StoreFixture::scalar(
                             QStringLiteral("SELECT item_number FROM items WHERE id = %1").arg(itemId));
                         due(number.toString(), double(momentMs));
                     });
}

bool underWay(BidEngine* engine) {
    return !engine->scheduler()->tickets().isEmpty();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TollimerApp app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1, QStringLiteral("fire"));
    const bool burst = mode == QLatin1String("burst");
    const bool window = mode == QLatin1String("window");
    const int snipes = args.size() > 2 ? std::max(1, args.at(2).toInt()) : (burst ? 100 : 50);
    const int latencyMs = burst ? (args.size() > 3 ? args.at(3).toInt() : 150) : 0;
    const int items = window ? std::max(snipes, args.size() > 3 ? args.at(3).toInt() : 2000) : snipes;
    QTextStream out(stdout);
    Messages::setHandler([](const Messages::Box&) { return QMessageBox::Ok; });

    StoreFixture store;
    if (!store.open()) {
        out << "could not open the store\n";
        return 1;
    }
    SandboxProcess sandbox;
    if (!BenchSupport::startSandbox(sandbox, out))
        return 1;

    // Auctions far enough away that every snipe is started by the engine's rule, not at once.
    const int lead = 2;
    const int firstEnd = 40;
    QJsonArray auctions;
    // With the window, the window's first table build and refresh come before the first snipe starts.
    const int firstEndAt = window ? firstEnd + 60 : firstEnd;
    for (int i = 0; i < items; ++i)
        auctions.append(QJsonObject{{"itemNumber", itemNumber(i)},
                                    {"endsInSeconds", i < snipes ? firstEndAt + (burst ? 0 : i) : 3600 + i}});
    const QJsonObject scenario{{"clockOffsetSeconds", 0},
                               {"users", QJsonArray{QJsonObject{{"username", "sniper_uk"}, {"password", "secret"}}}},
                               {"auctions", auctions}};
    sandbox.control("POST", QStringLiteral("/_sandbox/scenario"), QJsonDocument(scenario).toJson());

    LoginHelper login;
    QSignalSpy signedIn(&login, &LoginHelper::loginStep2Finished);
    login.login(QStringLiteral("sniper_uk"), QStringLiteral("secret"), QStringLiteral("ebay.co.uk"), 3);
    if (!signedIn.wait(15000) || !signedIn.first().at(0).toBool()) {
        out << "sign-in failed\n";
        return 1;
    }
    ClockManager::instance()->syncTimeAndWait();

    const int userId = StoreFixture::addUser(QStringLiteral("sniper_uk"));
    QSqlRecord user = StoreFixture::record(QStringLiteral("users"), {{"id", userId}});
    QSqlRecord country = StoreFixture::record(QStringLiteral("countries"), {{"site_id", 3}});
    DbHelper::getUser(user);
    DbHelper::getCountry(country);
    app.setUser(user);
    app.setCountry(country);
    const QJsonArray state =
        sandbox.controlJson("GET", QStringLiteral("/_sandbox/state")).object()["auctions"].toArray();
    for (const QJsonValue& auction : state) {
        const QJsonObject object = auction.toObject();
        const int id = StoreFixture::addItem(object["itemNumber"].toString(), userId, QStringLiteral("NONE"),
                                             object["endTime"].toString().left(19));
        QSqlQuery query;
        if (object["itemNumber"].toString().toLongLong() - itemNumber(0).toLongLong() < snipes)
            query.exec(QStringLiteral("UPDATE items SET user_bid = 50, lead_time = %1, bid_status = 1 WHERE id = %2")
                           .arg(lead)
                           .arg(id));
    }
    sandbox.control("DELETE", QStringLiteral("/_sandbox/log"));
    if (latencyMs > 0)
        sandbox.control("POST", QStringLiteral("/_sandbox/fault"),
                        QStringLiteral("{\"endpoint\":\"*\",\"latencyMs\":%1}").arg(latencyMs).toUtf8());

    QHash<QString, double> due; // item number -> eBay moment its confirming request is due
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<BidEngine> ownEngine;
    QTimer reloads;
    QTimer writes;
    BidEngine* engine = nullptr;
    if (window) {
        // The window refreshes every minute on its own and is told to reload without pause, through its action,
        // while the store is written beside it.
        QSqlQuery(QStringLiteral("UPDATE users SET refresh_interval = 1"));
        user = StoreFixture::record(QStringLiteral("users"), {{"id", userId}});
        DbHelper::getUser(user);
        app.setUser(user);
        mainWindow = std::make_unique<MainWindow>();
        mainWindow->show();
        engine = mainWindow->findChild<BidEngine*>();
        auto* reload = mainWindow->findChild<QAction*>(QStringLiteral("actionReload"));
        if (!engine || !reload) {
            out << "the window has no engine or no reload action\n";
            return 1;
        }
        QObject::connect(&reloads, &QTimer::timeout, reload, &QAction::trigger);
        reloads.start(1000);
        QObject::connect(&writes, &QTimer::timeout, [items] {
            QSqlQuery query;
            query.exec(QStringLiteral("UPDATE items SET notes = '%1' WHERE item_number = '%2'")
                           .arg(QRandomGenerator::global()->bounded(1000))
                           .arg(itemNumber(QRandomGenerator::global()->bounded(items))));
        });
        writes.start(20);
    } else {
        ownEngine = std::make_unique<BidEngine>(nullptr);
        engine = ownEngine.get();
        ClockManager::instance()->connectTick(engine, SLOT(onTimer()));
    }
    watchConfirmations(engine, [&due](const QString& number, double moment) { due.insert(number, moment); });
    engine->onTimer();

    const int endsWithin = (firstEndAt + (burst ? 0 : snipes)) * 1000 + 30000;
    if (!waitUntil([&] { return due.size() == snipes && !underWay(engine); }, endsWithin + latencyMs * 10))
        out << QStringLiteral("not every snipe finished: %1 of %2 scheduled\n").arg(due.size()).arg(snipes);
    reloads.stop();
    writes.stop();

    std::vector<double> late;
    const QJsonArray requests =
        sandbox.controlJson("GET", QStringLiteral("/_sandbox/log")).object()["requests"].toArray();
    for (const QJsonValue& value : requests) {
        const QJsonObject request = value.toObject();
        if (request["endpoint"].toString() != QLatin1String("QuickBidStep2"))
            continue;
        const QString item = QUrlQuery(QUrl(request["url"].toString())).queryItemValue(QStringLiteral("item"));
        if (due.contains(item))
            late.push_back(request["timeMs"].toDouble() - due.value(item));
    }
    int placed = 0;
    const QJsonArray bids = sandbox.controlJson("GET", QStringLiteral("/_sandbox/ledger")).object()["bids"].toArray();
    for (const QJsonValue& bid : bids)
        placed += bid.toObject()["reason"].toString() == QLatin1String("placed") ? 1 : 0;

    out << QStringLiteral("%1: %2 snipes, %3 items, latency %4 ms; confirming requests received %5, bids "
                          "placed %6\n")
               .arg(mode)
               .arg(snipes)
               .arg(items)
               .arg(latencyMs)
               .arg(late.size())
               .arg(placed);
    if (late.empty())
        return 1;
    out << QStringLiteral("arrival after due moment, ms: min %1  median %2  p99 %3  max %4\n")
               .arg(BenchSupport::percentile(late, 0.0), 0, 'f', 2)
               .arg(BenchSupport::percentile(late, 0.5), 0, 'f', 2)
               .arg(BenchSupport::percentile(late, 0.99), 0, 'f', 2)
               .arg(BenchSupport::percentile(late, 1.0), 0, 'f', 2);
    out.flush();
    return 0;
}
