#pragma once

#include "sandboxclock.h"
#include "sandboxfaults.h"
#include "sandboxmarket.h"
#include "sandboxrecorder.h"
#include "sandboxsessions.h"
#include "sandboxsite.h"

#include <QObject>
#include <QTcpServer>

class SandboxConnection;

// tollimer-sandbox as a whole: the listening socket, the simulated site, its auctions, sessions, faults and
// records, and the control interface. main() owns one; tests may run one in-process.
class SandboxServer : public QObject {
    Q_OBJECT

public:
    explicit SandboxServer(QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_tcpServer.serverPort(); }
    QString errorString() const { return m_tcpServer.errorString(); }

    void loadScenario(const SandboxScenario& scenario);
    void resetScenario();
    bool writeRecords(const QString& path, QString* error) const { return m_recorder.writeFile(path, error); }

    SandboxClock& clock() { return m_clock; }
    SandboxMarket& market() { return m_market; }
    SandboxRecorder& recorder() { return m_recorder; }
    SandboxFaults& faults() { return m_faults; }

    // Called by a connection for each request, in order; answers through the connection.
    void serve(SandboxConnection* connection, const SandboxHttpRequest& request);

signals:
    // POST /_sandbox/quit was answered.
    void quitRequested();

private slots:
    void onNewConnection();

private:
    SandboxHttpResponse control(const SandboxHttpRequest& request, bool* quit);
    static QByteArray garble(const QByteArray& body);

    QTcpServer m_tcpServer;
    SandboxClock m_clock;
    SandboxRecorder m_recorder;
    SandboxMarket m_market;
    SandboxSessions m_sessions;
    SandboxSite m_site;
    SandboxFaults m_faults;
    int m_connections = 0;
};
