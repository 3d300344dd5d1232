#include "integrityrun.h"

#include "bidengine.h"
#include "bidthread.h"
#include "clientsession.h"
#include "clockmanager.h"
#include "dbhelper.h"
#include "messages.h"
#include "snipescheduler.h"
#include "storefixture.h"
#include "tollimerapp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QVector>

#include <cmath>

namespace {
const QString sniper = QStringLiteral("sniper_uk");
const QStringList faultEndpoints = {QStringLiteral("QuickBidStep1"), QStringLiteral("QuickBidStep2"),
                                    QStringLiteral("MakeBidStep1"), QStringLiteral("MakeBidStep2"),
                                    QStringLiteral("ViewItemLite")};
// The program's bid flows: the quick bid on the UK site, the page flow on the Spanish one.
constexpr int quickBidSite = 3;
constexpr int pageFlowSite = 16;
// How far past its end plus the time-outs a snipe may still show Bidding before it counts as stuck (CI is slow).
constexpr qint64 overdueSlackMs = 10000;

qint64 wallMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

bool fail(QString* error, const QString& why) {
    *error = why;
    return false;
}

QtMessageHandler s_previousHandler = nullptr;

// The engine logs every step of every snipe; a run of thousands keeps only its own lines and real warnings.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtCriticalMsg || type == QtWarningMsg)
        return;
    if (s_previousHandler)
        s_previousHandler(type, context, message);
}
} // namespace

struct IntegrityRun::Action {
    enum Kind { Cancel, ChangeMax, Reschedule, RescheduleAfter, Delete, StandIn };
    enum Phase { BeforeStart, FirstStep, Waiting, AfterConfirmation };
    Kind kind = Cancel;
    Phase phase = BeforeStart;
    int delayMs = 0;
    double value = 0.0;
    bool keepStatus = false;

    QString name() const {
        static const char* kinds[] = {"cancel",         "change maximum", "schedule again",
                                      "schedule again", "delete the row", "stand-in stored"};
        static const char* phases[] = {"before the start", "during the first request", "while waiting",
                                       "after the confirming request"};
        return QStringLiteral("%1 %2").arg(QLatin1String(kinds[kind]), QLatin1String(phases[phase]));
    }
};

struct IntegrityRun::Snipe {
    SnipeHistory history;
    int endsIn = 0;
    double maximum = 0.0;
    int leadTime = 0;
    bool hasAction = false;
    bool actionDone = false;
    Action action;
    qint64 startedMs = -1;
    qint64 confirmationSeenMs = -1;
    // Stored this long after the batch began rather than with the others (-1).
    int addAtMs = -1;
};

struct IntegrityRun::Batch {
    QVector<Snipe> snipes;
    QList<GroupHistory> groups;
    QList<std::pair<int, QVariantMap>> faults; // ms after the start, fault
    QList<int> reloads;                        // ms after the start
    QHash<int, int> statuses;                  // row id → bid status at the last poll
    QHash<QString, QVariantMap> states;        // item number → the sandbox's auction
    int signOutAtMs = -1;                      // another user signs in for a moment
    qint64 offsetMs = 0;                       // eBay time minus the sandbox's time base
    qint64 lastEndMs = 0;
    int siteId = quickBidSite;
    Totals* totals = nullptr;
};

quint32 IntegrityRun::seedFromEnvironment(quint32 fallback) {
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("TOLLIMER_INTEGRITY_SEED").toUInt(&ok);
    return ok ? seed : fallback;
}

IntegrityRun::IntegrityRun(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_random(options.seed) {}

IntegrityRun::~IntegrityRun() {
    delete m_engine;
    Messages::resetHandler();
}

void IntegrityRun::showTrayMessage(const QString& title, const QString&, Icon) {
    m_tray.append({wallMs(), title});
}

void IntegrityRun::useSite(int siteId) {
    QSqlRecord country = StoreFixture::record(QStringLiteral("countries"), {{"site_id", siteId}});
    if (DbHelper::getCountry(country))
        TollimerApp::instance()->setCountry(country);
}

bool IntegrityRun::setUp(QString* error) {
    if (!TollimerApp::instance())
        return fail(error, QStringLiteral("the run needs a TollimerApp"));
    m_store = std::make_unique<StoreFixture>();
    if (!m_store->open())
        return fail(error, QStringLiteral("could not open the store"));
    if (!m_sandbox.start({QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("demo"))}))
        return fail(error, QStringLiteral("could not start the sandbox: ") + QString::fromUtf8(m_sandbox.output()));
    qputenv("TOLLIMER_SANDBOX", m_sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    Messages::setHandler([this](const Messages::Box& box) {
        m_boxes << box.title + QStringLiteral(": ") + box.text;
        return QMessageBox::Ok;
    });
    m_userId = StoreFixture::addUser(sniper);
    QSqlRecord user = StoreFixture::record(QStringLiteral("users"), {{"id", m_userId}});
    if (!m_userId || !DbHelper::getUser(user))
        return fail(error, QStringLiteral("could not add the user"));
    m_user = user;
    m_otherUser =
        StoreFixture::record(QStringLiteral("users"), {{"id", StoreFixture::addUser(QStringLiteral("rival9"))}});
    DbHelper::getUser(m_otherUser);
    TollimerApp::instance()->setUser(user);
    useSite(quickBidSite);
    return true;
}

IntegrityRun::Totals IntegrityRun::run() {
    Totals totals;
    QElapsedTimer wall;
    wall.start();
    s_previousHandler = m_options.verbose ? nullptr : qInstallMessageHandler(quietHandler);
    qInfo("integrity run: seed %u, %d snipes in batches of %d, window %d s, lead up to %d s", m_options.seed,
          m_options.snipes, m_options.batchSize, m_options.windowSeconds, m_options.maxLeadSeconds);
    for (int index = 0; totals.snipes < m_options.snipes; ++index) {
        const int count = qMin(m_options.batchSize, m_options.snipes - totals.snipes);
        QString error;
        const int before = totals.violations.size();
        if (!runBatch(index, count, totals, &error)) {
            totals.violations << QStringLiteral("batch %1 could not run: %2").arg(index).arg(error);
            break;
        }
        totals.snipes += count;
        totals.batches++;
        qInfo("batch %d: %d snipes, %d violations; %d snipes, %d faults, %lld s so far", index, count,
              int(totals.violations.size() - before), totals.snipes, totals.faults, wall.elapsed() / 1000);
        for (int i = before; i < totals.violations.size(); ++i)
            qInfo("  %s", qPrintable(totals.violations.at(i)));
    }
    if (!m_options.verbose)
        qInstallMessageHandler(s_previousHandler);
    totals.wallMs = wall.elapsed();
    return totals;
}

QVariantMap IntegrityRun::planBatch(Batch& batch, int index, int count) {
    const int window = qMax(6, m_options.windowSeconds);
    const auto chance = [this](int percent) { return int(m_random.bounded(100)) < percent; };
    const auto amount = [this](int low, int high) {
        return double(low + int(m_random.bounded(high - low))) + (m_random.bounded(2) ? 0.5 : 0.0);
    };
    batch.siteId = m_options.alternateFlows && index % 2 ? pageFlowSite : quickBidSite;

    batch.snipes.resize(count);
    for (int i = 0; i < count; ++i) {
        Snipe& snipe = batch.snipes[i];
        snipe.history.itemNumber =
            QStringLiteral("16%1%2").arg(index % 10000, 4, 10, QLatin1Char('0')).arg(i, 6, 10, QLatin1Char('0'));
        snipe.endsIn = chance(3) ? -1 - int(m_random.bounded(60)) : 3 + int(m_random.bounded(window - 2));
    }
    // Groups whose snipes end close together, so that one's verdict comes while the others are under way.
    int next = 0;
    for (int g = 0; g < count / 15 && next + 2 <= count; ++g) {
        GroupHistory group;
        group.name = QStringLiteral("G%1-%2").arg(index).arg(g);
        group.maxWon = 1 + int(m_random.bounded(3));
        batch.groups.append(group);
        const int center = 5 + int(m_random.bounded(window - 4));
        const int size = qMin(count - next, 2 + int(m_random.bounded(4)));
        for (int k = 0; k < size; ++k, ++next) {
            batch.snipes[next].history.groupId = -(g + 1); // the store's id comes later
            batch.snipes[next].endsIn = qBound(2, center + int(m_random.bounded(7)) - 3, window);
        }
    }

    QVariantList auctions;
    for (Snipe& snipe : batch.snipes) {
        QVariantMap auction{
            {"itemNumber", snipe.history.itemNumber}, {"endsInSeconds", snipe.endsIn}, {"startPrice", amount(1, 10)}};
        if (chance(2))
            auction.insert("listingType", "FixedPriceItem");
        if (chance(8))
            auction.insert("reserve", amount(15, 80));
        QVariantList rivals;
        for (int r = int(m_random.bounded(3)); r > 0; --r)
            rivals << QVariantMap{{"bidder", QStringLiteral("rival%1").arg(r)},
                                  {"amount", amount(3, 90)},
                                  {"atSeconds", int(m_random.bounded(qMax(1, snipe.endsIn + 2)))}};
        auction.insert("bids", rivals);
        const int answer = int(m_random.bounded(100));
        auction.insert("step1Answer", answer < 90   ? "form"
                                      : answer < 93 ? "formNoKey"
                                      : answer < 97 ? "redirect"
                                                    : "bidError");
        if (chance(3))
            auction.insert("refusal", "You are blocked from this seller's auctions.");
        auctions << auction;

        snipe.maximum = amount(2, 100);
        const int lead = int(m_random.bounded(100));
        snipe.leadTime = lead < 30 ? 0 : lead < 33 ? -1 : 1 + int(m_random.bounded(m_options.maxLeadSeconds));
        if (snipe.history.groupId == 0 && snipe.endsIn > snipe.leadTime + 8 && chance(10))
            snipe.addAtMs = int(m_random.bounded((snipe.endsIn - qMax(snipe.leadTime, 3) - 5) * 1000));
        if (chance(30)) {
            snipe.hasAction = true;
            const int kind = int(m_random.bounded(100));
            snipe.action.kind = kind < 30   ? Action::Cancel
                                : kind < 60 ? Action::ChangeMax
                                : kind < 72 ? Action::Reschedule
                                : kind < 82 ? Action::RescheduleAfter
                                : kind < 92 ? Action::Delete
                                            : Action::StandIn;
            const Action::Kind k = snipe.action.kind;
            snipe.action.phase = k == Action::Reschedule || k == Action::Delete ? Action::Waiting
                                 : k == Action::RescheduleAfter                 ? Action::AfterConfirmation
                                 : k == Action::StandIn                         ? Action::BeforeStart
                                                                                : Action::Phase(m_random.bounded(4));
            if (snipe.addAtMs >= 0 && snipe.action.phase == Action::BeforeStart)
                snipe.hasAction = false;
            snipe.action.delayMs = snipe.action.phase == Action::Waiting ? 200 + int(m_random.bounded(window * 500))
                                                                         : int(m_random.bounded(1500));
            snipe.action.value = k == Action::Reschedule || k == Action::RescheduleAfter
                                     ? snipe.maximum + 1 + m_random.bounded(20)
                                     : amount(2, 120);
            snipe.action.keepStatus = m_random.bounded(2);
        }
    }

    // Faults at random moments (a Poisson stream), each on the next one to three requests of an endpoint.
    const double rate = m_options.faultsPerSecond;
    for (double at = 0.0; rate > 0.0;) {
        at += -std::log(1.0 - m_random.generateDouble()) / rate;
        if (at > window + 10)
            break;
        QVariantMap fault{{"endpoint", faultEndpoints.at(int(m_random.bounded(faultEndpoints.size())))},
                          {"times", 1 + int(m_random.bounded(3))}};
        const int kind = int(m_random.bounded(100));
        if (kind < 30)
            fault.insert("latencyMs", 100 + int(m_random.bounded(3000)));
        else if (kind < 45)
            fault.insert("latencyMs", 21000 + int(m_random.bounded(5000))); // no answer within the time-outs
        else if (kind < 70)
            fault.insert("status", QList<int>{500, 502, 503, 404}.at(int(m_random.bounded(4))));
        else if (kind < 85)
            fault.insert("drop", true);
        else if (kind < 93)
            fault.insert("silent", true); // takes the bid, never answers
        else
            fault.insert("malformed", true);
        batch.faults.append({int(at * 1000), fault});
    }
    for (int r = int(m_random.bounded(3)); r > 0; --r)
        batch.reloads << int(m_random.bounded(window * 1000));
    if (chance(20))
        batch.signOutAtMs = int(m_random.bounded(window * 1000));

    const double offset = chance(50) ? 0.0 : double(int(m_random.bounded(14400)) - 7200) + m_random.generateDouble();
    batch.offsetMs = qint64(std::llround(offset * 1000.0));
    return QVariantMap{{"clockOffsetSeconds", offset},
                       {"users", QVariantList{QVariantMap{{"username", sniper}, {"password", "secret"}}}},
                       {"auctions", auctions}};
}

bool IntegrityRun::storeSnipes(Batch& batch, QString* error) {
    QSqlQuery query;
    if (!query.exec(QStringLiteral("DELETE FROM items")) || !query.exec(QStringLiteral("DELETE FROM groups")))
        return fail(error, QStringLiteral("could not empty the store"));
    QSqlDatabase::database().transaction();
    for (GroupHistory& group : batch.groups)
        group.id = StoreFixture::addGroup(group.name, m_userId, group.maxWon);
    for (const QVariant& entry : ClientSession::control(m_sandbox, "/_sandbox/state").value("auctions").toList())
        batch.states.insert(entry.toMap().value("itemNumber").toString(), entry.toMap());
    for (Snipe& snipe : batch.snipes) {
        const QVariantMap state = batch.states.value(snipe.history.itemNumber);
        if (snipe.history.groupId < 0)
            snipe.history.groupId = batch.groups.at(-snipe.history.groupId - 1).id;
        snipe.history.endMs = qint64(state.value("endTimeMs").toDouble());
        batch.lastEndMs = qMax(batch.lastEndMs, snipe.history.endMs);
        if (snipe.addAtMs < 0 && !storeSnipe(batch, snipe)) {
            *error = QStringLiteral("could not store the snipe on ") + snipe.history.itemNumber;
            QSqlDatabase::database().rollback();
            return false;
        }
    }
    QSqlDatabase::database().commit();
    return true;
}

bool IntegrityRun::storeSnipe(Batch& batch, Snipe& snipe) {
    const QVariantMap state = batch.states.value(snipe.history.itemNumber);
    const int id = StoreFixture::addItem(snipe.history.itemNumber, m_userId, QStringLiteral("NONE"),
                                         state.value("endTime").toString().left(19));
    QSqlQuery update;
    update.prepare(QStringLiteral("UPDATE items SET user_bid = ?, lead_time = ?, bid_status = 1, group_id = ? "
                                  "WHERE id = ?"));
    update.addBindValue(snipe.maximum);
    update.addBindValue(snipe.leadTime);
    update.addBindValue(snipe.history.groupId > 0 ? QVariant(snipe.history.groupId) : QVariant(QVariant::Int));
    update.addBindValue(id);
    if (!id || !update.exec())
        return false;
    snipe.history.id = id;
    snipe.history.maxima.append({wallMs(), snipe.maximum});
    return true;
}

bool IntegrityRun::runBatch(int index, int count, Totals& totals, QString* error) {
    Batch batch;
    batch.totals = &totals;
    const QVariantMap scenario = planBatch(batch, index, count);
    int status = 0;
    m_sandbox.control("POST", QStringLiteral("/_sandbox/scenario"), ClientSession::json(scenario), &status);
    if (status != 200)
        return fail(error, QStringLiteral("the sandbox refused the scenario (%1)").arg(status));
    // The sandbox's clock moved with the scenario; the program follows it as it would follow eBay.
    ClockManager::instance()->syncTimeAndWait();
    useSite(batch.siteId);
    if (!ClientSession::signIn(sniper, QStringLiteral("secret")))
        return fail(error, QStringLiteral("sign-in failed"));
    m_sandbox.control("DELETE", QStringLiteral("/_sandbox/log"));
    m_tray.clear();
    m_boxes.clear();
    if (!storeSnipes(batch, error))
        return false;

    m_engine = new BidEngine(this);
    connect(m_engine->scheduler(), &SnipeScheduler::confirmationScheduled, this,
            [&batch](int, int itemId, int, qint64 momentMs) {
                for (Snipe& snipe : batch.snipes)
                    if (snipe.history.id == itemId)
                        snipe.history.moments << momentMs - batch.offsetMs;
            });
    for (Snipe& snipe : batch.snipes)
        if (snipe.hasAction && snipe.action.phase == Action::BeforeStart)
            perform(batch, snipe, false);
    ClockManager::instance()->connectTick(m_engine, SLOT(onTimer()));
    m_engine->onTimer();

    QObject batchScope;
    QTimer poller(&batchScope);
    connect(&poller, &QTimer::timeout, &batchScope, [this, &batch] { poll(batch); });
    poller.start(50);
    for (const auto& fault : qAsConst(batch.faults)) {
        QTimer::singleShot(fault.first, &batchScope, [this, &totals, fault] {
            m_sandbox.control("POST", QStringLiteral("/_sandbox/fault"), ClientSession::json(fault.second));
            totals.faults++;
            QString kind = fault.second.contains("silent")                   ? QStringLiteral("bid taken, no answer")
                           : fault.second.contains("drop")                   ? QStringLiteral("dropped connection")
                           : fault.second.contains("malformed")              ? QStringLiteral("malformed answer")
                           : fault.second.contains("status")                 ? QStringLiteral("HTTP error")
                           : fault.second.value("latencyMs").toInt() > 20000 ? QStringLiteral("no answer")
                                                                             : QStringLiteral("latency");
            totals.faultsByKind[kind]++;
        });
    }
    for (int at : qAsConst(batch.reloads))
        QTimer::singleShot(at, &batchScope, [this] { forceReload(); });
    // Snipes the user adds while others are under way; the window has the engine read them at once.
    for (Snipe& snipe : batch.snipes)
        if (snipe.addAtMs >= 0)
            QTimer::singleShot(snipe.addAtMs, &batchScope, [this, &batch, &snipe] {
                if (storeSnipe(batch, snipe))
                    forceReload();
                batch.totals->actionsByKind[QStringLiteral("snipe added mid-batch")]++;
            });
    // Another user signs in with snipes in flight, and the sniper again a moment later.
    if (batch.signOutAtMs >= 0) {
        QTimer::singleShot(batch.signOutAtMs, &batchScope, [this, &totals] {
            TollimerApp::instance()->setUser(m_otherUser);
            forceReload();
            totals.actionsByKind[QStringLiteral("sign-out with snipes in flight")]++;
        });
        QTimer::singleShot(batch.signOutAtMs + 1500, &batchScope, [this] {
            TollimerApp::instance()->setUser(m_user);
            forceReload();
        });
    }

    const SnipeSettings limits = m_engine->scheduler()->settings();
    const qint64 deadline = batch.lastEndMs + limits.confirmTimeoutMs + (m_options.maxLeadSeconds + 1) * 1000 +
                            BidThread::relationAfterEndMs +
                            limits.relationTries * (limits.relationTimeoutMs + limits.relationRetryMs) + 20000;
    QEventLoop loop;
    QTimer watch(&batchScope);
    connect(&watch, &QTimer::timeout, &loop, [&] {
        if (batchDone(batch) || wallMs() > deadline)
            loop.quit();
    });
    watch.start(250);
    loop.exec();
    poll(batch);
    delete m_engine;
    m_engine = nullptr;
    m_sandbox.control("DELETE", QStringLiteral("/_sandbox/fault"));

    const IntegrityChecker::Result result = IntegrityChecker::check(collect(batch));
    totals.violations << result.violations;
    totals.lateness << result.lateness;
    totals.late << result.late;
    for (auto it = result.outcomes.cbegin(); it != result.outcomes.cend(); ++it)
        totals.outcomes[it.key()] += it.value();
    return true;
}

// Watches every snipe's progress and performs the user's action when its moment comes.
void IntegrityRun::poll(Batch& batch) {
    if (!m_engine)
        return;
    QSqlQuery query(QStringLiteral("SELECT id, bid_status FROM items"));
    batch.statuses.clear();
    while (query.next())
        batch.statuses.insert(query.value(0).toInt(), query.value(1).toInt());
    const qint64 now = wallMs();
    for (Snipe& snipe : batch.snipes) {
        const int id = snipe.history.id;
        if (id == 0)
            continue; // not added yet
        const int status = batch.statuses.value(id);
        const bool inFlight = m_engine->isInFlight(id);
        const bool awaiting = m_engine->scheduler()->isAwaitingConfirmation(id);
        if (inFlight && snipe.startedMs < 0)
            snipe.startedMs = now;
        if (status == BidStatus::Bidding && snipe.startedMs >= 0 &&
            now > snipe.history.endMs + m_engine->scheduler()->settings().confirmTimeoutMs + overdueSlackMs)
            snipe.history.overdue = true;
        if (!snipe.hasAction || snipe.actionDone)
            continue;
        const bool confirmationLeft = (inFlight && !awaiting && snipe.startedMs >= 0) || status == BidStatus::Placed ||
                                      status == BidStatus::Failed;
        if (confirmationLeft && snipe.confirmationSeenMs < 0)
            snipe.confirmationSeenMs = now;
        const Action::Phase phase = snipe.action.phase;
        const bool due = phase == Action::AfterConfirmation
                             ? snipe.confirmationSeenMs >= 0 && now >= snipe.confirmationSeenMs + snipe.action.delayMs
                             : inFlight && awaiting &&
                                   (phase == Action::FirstStep ||
                                    (phase == Action::Waiting && now >= snipe.startedMs + snipe.action.delayMs));
        if (due)
            perform(batch, snipe, confirmationLeft);
        else if (!inFlight && snipe.startedMs >= 0)
            snipe.actionDone = true; // its moment never came
    }
}

// What the user does in the watch list: cancel, change the maximum in the snipe dialog (which schedules the snipe
// again) or only the maximum, or schedule a snipe again while it is being placed.
void IntegrityRun::perform(Batch& batch, Snipe& snipe, bool confirmationLeft) {
    snipe.actionDone = true;
    const int id = snipe.history.id;
    const int status =
        StoreFixture::scalar(QStringLiteral("SELECT bid_status FROM items WHERE id = %1").arg(id)).toInt();
    QSqlQuery query;
    const qint64 now = wallMs();
    const Action& action = snipe.action;
    switch (action.kind) {
    case Action::Cancel:
    case Action::Delete:
        query.exec((action.kind == Action::Delete
                        ? QStringLiteral("DELETE FROM items WHERE id = %1")
                        : QStringLiteral(
                              "UPDATE items SET bid_status = NULL, user_bid = NULL, lead_time = NULL WHERE id = %1"))
                       .arg(id));
        snipe.history.deleted = action.kind == Action::Delete;
        snipe.history.cancelledMs = now;
        snipe.history.cancelledAfterConfirmation = confirmationLeft;
        snipe.history.maxima.append({now, QVariant()});
        break;
    case Action::StandIn:
        // What a refresh stored for an item eBay reported as invalid.
        query.exec(QStringLiteral("UPDATE items SET end_time = '1970-01-01T00:00:00', current_bid = -1, name = "
                                  "'Invalid or non-existent item' WHERE id = %1")
                       .arg(id));
        snipe.history.standIn = true;
        break;
    default: {
        const bool bidding = status == BidStatus::Bidding;
        const bool again = action.kind == Action::RescheduleAfter;
        if (!(bidding || (again && (status == BidStatus::Placed || status == BidStatus::Failed)) ||
              (status == BidStatus::Scheduled && action.kind == Action::ChangeMax)))
            return;
        const bool schedule = action.kind != Action::ChangeMax || !action.keepStatus;
        query.prepare(schedule ? QStringLiteral("UPDATE items SET user_bid = ?, bid_status = 1 WHERE id = ?")
                               : QStringLiteral("UPDATE items SET user_bid = ? WHERE id = ?"));
        query.addBindValue(action.value);
        query.addBindValue(id);
        query.exec();
        snipe.history.maxima.append({now, action.value});
        if (schedule && (again || confirmationLeft))
            snipe.history.allowedBids++;
    }
    }
    // The window has the engine read the rows again after every change.
    forceReload();
    // The driver sees the worker's progress a moment late: whether the stop came before the confirming request is
    // what the engine's hand-over decided.
    if (snipe.history.cancelledMs == now)
        snipe.history.cancelledAfterConfirmation = confirmationLeft || m_engine->scheduler()->hasSent(id);
    batch.totals->userActions++;
    batch.totals->actionsByKind[action.name()]++;
    snipe.history.notes << QStringLiteral("%1 to %2, %3 ms before the end (status %4)")
                               .arg(action.name())
                               .arg(action.kind == Action::Cancel ? QStringLiteral("none")
                                                                  : QString::number(action.value))
                               .arg(snipe.history.endMs - now)
                               .arg(status);
}

// What the window does after every change of the user's: the engine reads its list and running rows again.
void IntegrityRun::forceReload() {
    if (m_engine)
        m_engine->reload();
}

bool IntegrityRun::batchDone(const Batch& batch) const {
    if (wallMs() < batch.lastEndMs + 2500 || !m_engine->scheduler()->tickets().isEmpty())
        return false;
    for (const Snipe& snipe : batch.snipes) {
        const int status = batch.statuses.value(snipe.history.id);
        if (snipe.history.id == 0 ||
            (!snipe.history.standIn && (status == BidStatus::Scheduled || status == BidStatus::Bidding)))
            return false;
    }
    return true;
}

BatchEvidence IntegrityRun::collect(Batch& batch) {
    BatchEvidence evidence;
    for (const Snipe& snipe : qAsConst(batch.snipes))
        evidence.snipes << snipe.history;
    evidence.groups = batch.groups;
    QSqlQuery query(QStringLiteral("SELECT * FROM items"));
    while (query.next()) {
        QVariantMap row;
        for (int i = 0; i < query.record().count(); ++i)
            row.insert(query.record().fieldName(i), query.value(i));
        evidence.rows << row;
    }
    evidence.ledger = ClientSession::bids(m_sandbox);
    evidence.requests = ClientSession::requests(m_sandbox);
    evidence.auctions = ClientSession::control(m_sandbox, "/_sandbox/state").value("auctions").toList();
    evidence.tray = m_tray;
    evidence.boxes = m_boxes;
    evidence.sniper = sniper;
    return evidence;
}
