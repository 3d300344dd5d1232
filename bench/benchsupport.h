#pragma once

#include "networkmanager.h"
#include "sandboxprocess.h"

#include <QTextStream>

#include <algorithm>
#include <vector>

// What the engine and clock benchmarks share: the sandbox made the program's proxy, and the figures they print.
namespace BenchSupport {

// Starts the sandbox with the bundled demo and points the program at it; must run before the first
// NetworkManager::instance(). Says why on out when it cannot.
inline bool startSandbox(SandboxProcess& sandbox, QTextStream& out) {
    if (!sandbox.start({QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("demo"))})) {
        out << "could not start the sandbox: " << sandbox.output() << "\n";
        return false;
    }
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    return true;
}

// The value at fraction p (0: least, 1: greatest) of non-empty samples.
inline double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

} // namespace BenchSupport
