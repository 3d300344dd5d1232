#include "sandboxscenario.h"
#include "sandboxserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    const ssize_t written = ::write(signalPipe[1], &byte, 1);
    (void)written;
}

// Without --scenario the bundled demo is used: next to the executable when installed, else in the source tree.
QString defaultScenario() {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        QDir(appDir).filePath(QStringLiteral("scenarios/demo.json")),
        QDir(appDir).filePath(QStringLiteral("../share/tollimer-sandbox/scenarios/demo.json")),
        // A build tree finds the source tree's scenarios (__FILE__ may be relative when a compiler cache
        // rewrites paths, so the directory is given by the build).
        QDir(QStringLiteral(TOLLIMER_SANDBOX_SOURCE_SCENARIOS)).filePath(QStringLiteral("demo.json"))};
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return candidates.last();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tollimer-sandbox"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A simulated eBay for Tollimer, reached as an HTTP proxy."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0: any free one)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption scenarioOption(QStringLiteral("scenario"), QStringLiteral("Scenario file (JSON)."),
                                            QStringLiteral("FILE"));
    const QCommandLineOption logOption(QStringLiteral("log-file"),
                                       QStringLiteral("Where to write the request log and bid ledger on exit."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption smtpOption(
        QStringLiteral("smtp-port"),
        QStringLiteral("Also accept mail by SMTP on this port of 127.0.0.1 (0: any free one); printed on the second "
                       "line as \"smtp N\"."),
        QStringLiteral("N"));
    const QCommandLineOption ntpOption(
        QStringLiteral("ntp-port"),
        QStringLiteral("Also answer SNTP on this UDP port of 127.0.0.1 (0: any free one); printed after the other "
                       "ports as \"ntp N\"."),
        QStringLiteral("N"));
    parser.addOptions({portOption, scenarioOption, logOption, smtpOption, ntpOption});
    const QCommandLineOption cookieOption(QStringLiteral("session-cookie"),
                                          QStringLiteral("Name of the session cookie (default ebay_sid)."),
                                          QStringLiteral("NAME"));
    parser.addOption(cookieOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    bool smtpPortOk = true;
    const uint smtpPort = parser.isSet(smtpOption) ? parser.value(smtpOption).toUInt(&smtpPortOk) : 0;
    bool ntpPortOk = true;
    const uint ntpPort = parser.isSet(ntpOption) ? parser.value(ntpOption).toUInt(&ntpPortOk) : 0;
    if (!portOk || port > 65535 || !smtpPortOk || smtpPort > 65535 || !ntpPortOk || ntpPort > 65535) {
        const QString bad = !portOk || port > 65535           ? parser.value(portOption)
                            : !smtpPortOk || smtpPort > 65535 ? parser.value(smtpOption)
                                                              : parser.value(ntpOption);
        std::fprintf(stderr, "tollimer-sandbox: bad port %s\n", qPrintable(bad));
        return 2;
    }
    const QString scenarioPath = parser.isSet(scenarioOption) ? parser.value(scenarioOption) : defaultScenario();
    SandboxScenario scenario;
    QString error;
    if (!SandboxScenario::loadFile(scenarioPath, &scenario, &error)) {
        std::fprintf(stderr, "tollimer-sandbox: %s\n", qPrintable(error));
        return 2;
    }

    SandboxServer server;
    server.loadScenario(scenario);
    if (parser.isSet(cookieOption))
        server.sessions().setSessionCookie(parser.value(cookieOption));
    if (!server.listen(quint16(port))) {
        std::fprintf(stderr, "tollimer-sandbox: cannot listen on 127.0.0.1:%u: %s\n", port,
                     qPrintable(server.errorString()));
        return 1;
    }
    if (parser.isSet(smtpOption) && !server.listenSmtp(quint16(smtpPort))) {
        std::fprintf(stderr, "tollimer-sandbox: cannot listen for SMTP on 127.0.0.1:%u: %s\n", smtpPort,
                     qPrintable(server.smtpErrorString()));
        return 1;
    }
    if (parser.isSet(ntpOption) && !server.listenNtp(quint16(ntpPort))) {
        std::fprintf(stderr, "tollimer-sandbox: cannot listen for SNTP on 127.0.0.1:%u: %s\n", ntpPort,
                     qPrintable(server.ntpErrorString()));
        return 1;
    }
    // Whoever started us reads the port from the first line, the SMTP port from the second and the time server's
    // after them.
    std::printf("%u\n", unsigned(server.port()));
    if (server.smtpPort())
        std::printf("smtp %u\n", unsigned(server.smtpPort()));
    if (server.ntpPort())
        std::printf("ntp %u\n", unsigned(server.ntpPort()));
    std::fflush(stdout);
    QObject::connect(&server, &SandboxServer::happened, &app, [&server](const QString& line) {
        const QString time = SandboxClock::formatEbayTime(server.clock().ebayNowMs()).mid(11, 8);
        std::printf("%s %s\n", qPrintable(time), line.toUtf8().constData());
        std::fflush(stdout);
    });

    const QString logFile = parser.value(logOption);
    auto finish = [&server, &logFile]() {
        QString writeError;
        if (!logFile.isEmpty() && !server.writeRecords(logFile, &writeError))
            std::fprintf(stderr, "tollimer-sandbox: cannot write %s: %s\n", qPrintable(logFile),
                         qPrintable(writeError));
        QCoreApplication::quit();
    };
    QObject::connect(&server, &SandboxServer::quitRequested, &app, finish);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, finish]() {
            notifier->setEnabled(false);
            char byte = 0;
            const ssize_t got = ::read(signalPipe[0], &byte, 1);
            (void)got;
            finish();
        });
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
    }
    // Whoever started us may stop reading stdout once it has the ports; an event line must not kill us then.
    std::signal(SIGPIPE, SIG_IGN);
    return app.exec();
}
