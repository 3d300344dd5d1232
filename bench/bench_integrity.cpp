// The long randomized snipe integrity run: thousands of random snipes through the real engine against
// tollimer-sandbox, with the user's cancellations and edits and the sandbox's faults at random moments, every batch
// checked against the store and the sandbox's ledger.
//
//   bench_integrity [snipes] [seed] [batch-size] [window-seconds] [max-lead-seconds] [faults-per-second]
//
// Defaults: 10000 snipes, a seed from the clock (or TOLLIMER_INTEGRITY_SEED), batches of 250, auctions ending
// within 60 s of their batch's start, lead times up to 30 s, 0.6 faults a second. The seed is printed first; running
// again with it replays the same plan. Exits 1 when any violation was found.

#include "benchsupport.h"
#include "integrityrun.h"
#include "tollimerapp.h"

#include <QDateTime>
#include <QTextStream>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TollimerApp app(argc, argv);
    const QStringList args = app.arguments();
    const auto argument = [&args](int index, long long fallback) {
        bool ok = false;
        const long long value = args.size() > index ? args.at(index).toLongLong(&ok) : 0;
        return ok ? value : fallback;
    };
    IntegrityRun::Options options;
    options.snipes = int(argument(1, 10000));
    options.seed = quint32(
        argument(2, IntegrityRun::seedFromEnvironment(quint32(QDateTime::currentMSecsSinceEpoch() % 1000000007))));
    options.batchSize = int(argument(3, 250));
    options.windowSeconds = int(argument(4, 60));
    options.maxLeadSeconds = int(argument(5, 30));
    options.faultsPerSecond = args.size() > 6 ? args.at(6).toDouble() : options.faultsPerSecond;
    options.verbose = qEnvironmentVariableIsSet("TOLLIMER_INTEGRITY_VERBOSE");

    QTextStream out(stdout);
    out << "seed " << options.seed << "\n";
    out.flush();
    IntegrityRun run(options);
    QString error;
    if (!run.setUp(&error)) {
        out << "set-up failed: " << error << "\n";
        return 2;
    }
    const IntegrityRun::Totals totals = run.run();

    out << "\nsnipes " << totals.snipes << " in " << totals.batches << " batches, seed " << options.seed << "\n";
    out << "violations " << totals.violations.size() << "\n";
    for (const QString& violation : totals.violations)
        out << "  " << violation << "\n";
    std::vector<double> lateness(totals.lateness.cbegin(), totals.lateness.cend());
    if (!lateness.empty())
        out << QStringLiteral("confirming request arrival minus its moment, ms: median %1, max %2; %3 of %4 beyond "
                              "50 ms\n")
                   .arg(BenchSupport::percentile(lateness, 0.5))
                   .arg(BenchSupport::percentile(lateness, 1.0))
                   .arg(totals.late.size())
                   .arg(lateness.size());
    for (const QString& late : totals.late)
        out << "  " << late << "\n";
    out << "faults injected " << totals.faults << ":";
    for (auto it = totals.faultsByKind.cbegin(); it != totals.faultsByKind.cend(); ++it)
        out << " " << it.key() << " " << it.value() << ";";
    out << "\nuser actions " << totals.userActions << ":";
    for (auto it = totals.actionsByKind.cbegin(); it != totals.actionsByKind.cend(); ++it)
        out << " " << it.key() << " " << it.value() << ";";
    out << "\noutcomes:";
    for (auto it = totals.outcomes.cbegin(); it != totals.outcomes.cend(); ++it)
        out << " " << it.key() << " " << it.value() << ";";
    out << QStringLiteral("\nwall time %1 s (%2 snipes/min)\n")
               .arg(totals.wallMs / 1000.0, 0, 'f', 1)
               .arg(totals.wallMs > 0 ? totals.snipes * 60000.0 / totals.wallMs : 0.0, 0, 'f', 1);
    out << "command: " << args.join(' ') << "\n";
    return totals.violations.isEmpty() ? 0 : 1;
}
