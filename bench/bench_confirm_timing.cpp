// How close to its target moment does a confirming bid reach eBay?
//
// Starts tollimer-sandbox, signs in through the form, and for each round fetches a bid page (first request),
// then fires the confirming request from a precise single-shot timer at a chosen moment, exactly as a snipe
// does. The sandbox stamps the arrival of every request on its monotonic clock; the difference between arrival
// and target is what the user's snipe loses to the timer and the network stack. Both flows are measured.
//
//   bench_confirm_timing [rounds-per-flow] [lead-ms]
//
// Both processes anchor their monotonic clocks to the wall clock once, to the millisecond, so single figures
// carry about one millisecond of uncertainty; the spread between rounds does not.

#include "itemhelper.h"
#include "loginhelper.h"
#include "messages.h"
#include "networkmanager.h"
#include "sandboxprocess.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString itemNumber = QStringLiteral("110000000004"); // the demo's longest-running auction on the UK site
const QString domain = QStringLiteral("ebay.co.uk");

struct Clock {
    qint64 anchorMs = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer elapsed;
    Clock() { elapsed.start(); }
    double nowMs() const { return double(anchorMs) + double(elapsed.nsecsElapsed()) / 1e6; }
};

struct Sample {
    double timerLateMs;   // when the timer actually fired, after the target
    double arrivalLateMs; // when the sandbox saw the request, after the target
};

double arrivalOfLast(const SandboxProcess& sandbox, const QString& endpoint) {
    const QJsonArray requests =
        sandbox.controlJson("GET", QStringLiteral("/_sandbox/log")).object()["requests"].toArray();
    for (int i = requests.size() - 1; i >= 0; --i) {
        const QJsonObject request = requests.at(i).toObject();
        if (request["endpoint"].toString() == endpoint)
            return request["timeMs"].toDouble();
    }
    return 0.0;
}

bool waitFor(QSignalSpy& spy) {
    return !spy.isEmpty() || spy.wait(15000);
}

// One round: first request, then the confirming request at target = now + leadMs.
bool runRound(bool json, int round, int leadMs, const Clock& clock, const SandboxProcess& sandbox,
              std::vector<Sample>& samples) {
    ItemHelper helper;
    const double amount = 50.0 + round;
    QString stok, key, uiid;
    if (json) {
        QSignalSpy step1(&helper, &ItemHelper::placeBidJsonStep1Finished);
        helper.placeBidJsonStep1(domain, itemNumber, amount);
        if (!waitFor(step1) || step1.first().at(1).toString() != QLatin1String("Placed"))
            return false;
        stok = step1.first().at(2).toString();
        key = step1.first().at(3).toString();
        uiid = step1.first().at(4).toString();
    } else {
        QSignalSpy step1(&helper, &ItemHelper::placeBidHtmlStep1Finished);
        helper.placeBidHtmlStep1(itemNumber, amount);
        if (!waitFor(step1) || step1.first().at(1).toString() != QLatin1String("Placed"))
            return false;
        stok = step1.first().at(2).toString();
        uiid = step1.first().at(3).toString();
    }

    QSignalSpy finished(&helper, &ItemHelper::placeBidFinished);
    const double target = clock.nowMs() + leadMs;
    double firedAt = 0.0;
    QTimer::singleShot(leadMs, Qt::PreciseTimer, &helper, [&] {
        firedAt = clock.nowMs();
        if (json)
            helper.placeBidJsonStep2(domain, itemNumber, amount, stok, key, uiid);
        else
            helper.placeBidHtmlStep2(itemNumber, amount, QStringLiteral("sniper_uk"), stok, uiid);
    });
    if (!waitFor(finished))
        return false;
    const double arrival =
        arrivalOfLast(sandbox, json ? QStringLiteral("QuickBidStep2") : QStringLiteral("MakeBidStep2"));
    if (arrival <= 0.0)
        return false;
    samples.push_back({firedAt - target, arrival - target});
    return true;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

void report(QTextStream& out, const QString& flow, const std::vector<Sample>& samples) {
    std::vector<double> timer, arrival;
    for (const Sample& s : samples) {
        timer.push_back(s.timerLateMs);
        arrival.push_back(s.arrivalLateMs);
    }
    auto row = [&](const QString& what, const std::vector<double>& v) {
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(flow, -6)
                   .arg(what, -22)
                   .arg(v.size(), 4)
                   .arg(percentile(v, 0.0), 8, 'f', 2)
                   .arg(percentile(v, 0.5), 8, 'f', 2)
                   .arg(percentile(v, 0.95), 8, 'f', 2)
                   .arg(percentile(v, 1.0), 8, 'f', 2);
    };
    row(QStringLiteral("timer fired after"), timer);
    row(QStringLiteral("arrived after target"), arrival);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 20;
    const int leadMs = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 700;
    QTextStream out(stdout);

    // A failed request would show a modal box; count it as a failed round instead.
    Messages::setHandler([](const Messages::Box&) { return QMessageBox::Ok; });

    SandboxProcess sandbox;
    if (!sandbox.start({QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("demo"))})) {
        out << "could not start the sandbox: " << sandbox.output() << "\n";
        return 1;
    }
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();

    LoginHelper login;
    QSignalSpy signedIn(&login, &LoginHelper::loginStep2Finished);
    login.login(QStringLiteral("sniper_uk"), QStringLiteral("secret"), domain, 3);
    if (!signedIn.wait(15000) || !signedIn.first().at(0).toBool()) {
        out << "sign-in failed\n";
        return 1;
    }

    const Clock clock;
    out << QStringLiteral("confirming request timing: %1 rounds per flow, fired %2 ms after the first answer\n")
               .arg(rounds)
               .arg(leadMs);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("flow"), -6)
               .arg(QStringLiteral("ms"), -22)
               .arg(QStringLiteral("n"), 4)
               .arg(QStringLiteral("min"), 8)
               .arg(QStringLiteral("median"), 8)
               .arg(QStringLiteral("p95"), 8)
               .arg(QStringLiteral("max"), 8);
    int failures = 0;
    for (bool json : {true, false}) {
        std::vector<Sample> samples;
        for (int round = 0; round < rounds; ++round) {
            if (!runRound(json, round, leadMs, clock, sandbox, samples))
                ++failures;
        }
        if (!samples.empty())
            report(out, json ? QStringLiteral("json") : QStringLiteral("html"), samples);
    }
    out << QStringLiteral("failed rounds: %1\n").arg(failures);
    out.flush();
    return failures == 0 ? 0 : 1;
}
