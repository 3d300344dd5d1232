// How far is the program's clock from eBay's after a synchronisation?
//
// Starts tollimer-sandbox, synchronises a clock with it several times, with no injected latency and with an
// injected latency on every GeteBayTime answer, and after each synchronisation compares the clock with the
// sandbox's own time ("nowMs" of its state), read between two readings of the clock.
//
//   bench_clock [syncs-per-latency] [latency-ms ...]        (defaults: 20, latencies 0 and 200)

#include "benchsupport.h"
#include "clockmanager.h"
#include "networkmanager.h"
#include "sandboxprocess.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
double msOf(const QDateTime& time) {
    return double(time.toMSecsSinceEpoch());
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int syncs = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 20;
    QList<int> latencies;
    for (int i = 2; i < args.size(); ++i)
        latencies << args.at(i).toInt();
    if (latencies.isEmpty())
        latencies = {0, 200};
    QTextStream out(stdout);

    SandboxProcess sandbox;
    if (!BenchSupport::startSandbox(sandbox, out))
        return 1;

    out << QStringLiteral("clock error after synchronisation (program minus sandbox), %1 syncs per latency\n")
               .arg(syncs);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("latency"), 8)
               .arg(QStringLiteral("round trip"), 11)
               .arg(QStringLiteral("min"), 8)
               .arg(QStringLiteral("median"), 8)
               .arg(QStringLiteral("max"), 8)
               .arg(QStringLiteral("max |e|"), 8);
    for (int latency : latencies) {
        sandbox.control("DELETE", QStringLiteral("/_sandbox/fault"));
        if (latency > 0)
            sandbox.control("POST", QStringLiteral("/_sandbox/fault"),
                            QStringLiteral("{\"endpoint\":\"GeteBayTime\",\"latencyMs\":%1}").arg(latency).toUtf8());
        std::vector<double> errors, absolute, roundTrips;
        for (int i = 0; i < syncs; ++i) {
            ClockManager clock;
            clock.syncTimeAndWait();
            if (!clock.isSynchronised())
                continue;
            const double before = msOf(clock.currentDateTime());
            const double ebay =
                sandbox.controlJson("GET", QStringLiteral("/_sandbox/state")).object()["nowMs"].toDouble();
            const double after = msOf(clock.currentDateTime());
            const double error = (before + after) / 2.0 - ebay;
            errors.push_back(error);
            absolute.push_back(std::fabs(error));
            roundTrips.push_back(double(clock.lastRoundTripMs()));
        }
        if (errors.empty()) {
            out << "no synchronisation succeeded\n";
            return 1;
        }
        out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(latency, 8)
                   .arg(BenchSupport::percentile(roundTrips, 0.5), 11, 'f', 1)
                   .arg(BenchSupport::percentile(errors, 0.0), 8, 'f', 1)
                   .arg(BenchSupport::percentile(errors, 0.5), 8, 'f', 1)
                   .arg(BenchSupport::percentile(errors, 1.0), 8, 'f', 1)
                   .arg(BenchSupport::percentile(absolute, 1.0), 8, 'f', 1);
    }
    out.flush();
    return 0;
}
