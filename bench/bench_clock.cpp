// How far is the program's clock from eBay's after a synchronisation, for each source the clock can follow?
//
// Starts tollimer-sandbox with its time server, synchronises a clock with it several times per source (eBay's time
// call; a time server, eBay's call refused; eBay's Date header, eBay's call refused and the time server silent),
// with no injected latency and with an injected latency, and after each synchronisation compares the clock with the
// sandbox's own time ("nowMs" of its state), read between two readings of the clock. The time server's latency is
// split between the way there and back, eBay's comes before its answer.
//
//   bench_clock [syncs-per-latency] [latency-ms ...]        (defaults: 20, latencies 0 and 200)

#include "benchsupport.h"
#include "clockmanager.h"
#include "networkmanager.h"
#include "sandboxprocess.h"
#include "sntpclient.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cmath>
#include <vector>

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
    if (!sandbox.start({"--scenario", SandboxProcess::scenarioPath("demo"), "--ntp-port", "0"})) {
        out << "could not start the sandbox: " << sandbox.output() << "\n";
        return 1;
    }
    while (!sandbox.output().contains("ntp ") && sandbox.isRunning())
        QThread::msleep(20), QCoreApplication::processEvents();
    const QString ntpPort = QRegularExpression("ntp (\\d+)").match(sandbox.output()).captured(1);
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"))
        .setValue("Clock/timeServers", "127.0.0.1:" + ntpPort);

    out << QStringLiteral("clock error after synchronisation (program minus sandbox), %1 syncs per latency\n")
               .arg(syncs);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("source"), -12)
               .arg(QStringLiteral("latency"), 8)
               .arg(QStringLiteral("round trip"), 11)
               .arg(QStringLiteral("min"), 8)
               .arg(QStringLiteral("median"), 8)
               .arg(QStringLiteral("max"), 8)
               .arg(QStringLiteral("max |e|"), 8);
    const auto fault = [&sandbox](const QString& json) { sandbox.control("POST", "/_sandbox/fault", json.toUtf8()); };
    const QList<ClockManager::Source> sources{ClockManager::Source::Ebay, ClockManager::Source::TimeServer,
                                              ClockManager::Source::HttpDate};
    for (ClockManager::Source source : sources) {
        for (int latency : latencies) {
            sandbox.control("DELETE", QStringLiteral("/_sandbox/fault"));
            const QString delay = QStringLiteral("\"latencyMs\":%1").arg(latency);
            if (source == ClockManager::Source::Ebay)
                fault("{\"endpoint\":\"GeteBayTime\"," + delay + "}");
            else
                fault("{\"endpoint\":\"GeteBayTime\",\"status\":503," +
                      (source == ClockManager::Source::HttpDate ? delay : QStringLiteral("\"latencyMs\":0")) + "}");
            if (source == ClockManager::Source::TimeServer)
                fault("{\"endpoint\":\"Ntp\"," + delay + "}");
            if (source == ClockManager::Source::HttpDate)
                fault("{\"endpoint\":\"Ntp\",\"drop\":true}");
            std::vector<double> errors, absolute, roundTrips;
            QString name;
            for (int i = 0; i < syncs; ++i) {
                ClockManager clock;
                clock.sntpClient()->setSampleGapMs(50);
                clock.syncTimeAndWait();
                if (clock.source() != source)
                    continue;
                name = clock.sourceText().section(QLatin1Char(' '), 0, 1);
                const double before = double(clock.currentDateTime().toMSecsSinceEpoch());
                const double ebay = sandbox.controlJson("GET", "/_sandbox/state").object()["nowMs"].toDouble();
                const double after = double(clock.currentDateTime().toMSecsSinceEpoch());
                const double error = (before + after) / 2.0 - ebay;
                errors.push_back(error);
                absolute.push_back(std::fabs(error));
                roundTrips.push_back(double(clock.lastRoundTripMs()));
            }
            if (errors.empty()) {
                out << "no synchronisation reached the source\n";
                return 1;
            }
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                       .arg(name, -12)
                       .arg(latency, 8)
                       .arg(BenchSupport::percentile(roundTrips, 0.5), 11, 'f', 1)
                       .arg(BenchSupport::percentile(errors, 0.0), 8, 'f', 1)
                       .arg(BenchSupport::percentile(errors, 0.5), 8, 'f', 1)
                       .arg(BenchSupport::percentile(errors, 1.0), 8, 'f', 1)
                       .arg(BenchSupport::percentile(absolute, 1.0), 8, 'f', 1);
            out.flush();
        }
    }
    return 0;
}
