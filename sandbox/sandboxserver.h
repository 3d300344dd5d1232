#pragma once

#include "sandboxclock.h"
#include "sandboxfaults.h"
#include "sandboxmarket.h"
#include "sandboxntp.h"
#include "sandboxrecorder.h"
#include "sandboxsessions.h"
#include "sandboxsite.h"
#include "sandboxsmtpserver.h"

#include <QObject>
#include <QSet>
#include <QTcpServer>
#include <QTimer>

class SandboxConnection;

// tollimer-sandbox as a whole: the listening socket, the simulated site, its auctions, sessions, faults and
// records, the control interface and status page, and optionally the SMTP side. main() owns one; tests may run
// one in-process. What happens (bids, auction ends, mails) is announced one line at a time by happened().
class SandboxServer : public QObject {
    Q_OBJECT

public:
    explicit SandboxServer(QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_tcpServer.serverPort(); }
    QString errorString() const { return m_tcpServer.errorString(); }
    // Starts the SMTP side on 127.0.0.1 (0: any free port).
    bool listenSmtp(quint16 port) { return m_smtp.listen(port); }
    quint16 smtpPort() const { return m_smtp.isListening() ? m_smtp.port() : 0; }
    QString smtpErrorString() const { return m_smtp.errorString(); }
    // Starts the time server on 127.0.0.1 (0: any free UDP port).
    bool listenNtp(quint16 port) { return m_ntp.listen(port); }
    quint16 ntpPort() const { return m_ntp.port(); }
    QString ntpErrorString() const { return m_ntp.errorString(); }

    void loadScenario(const SandboxScenario& scenario);
    void resetScenario();
    bool writeRecords(const QString& path, QString* error) const { return m_recorder.writeFile(path, error); }

    SandboxClock& clock() { return m_clock; }
    SandboxMarket& market() { return m_market; }
    SandboxRecorder& recorder() { return m_recorder; }
    SandboxFaults& faults() { return m_faults; }
    SandboxSessions& sessions() { return m_sessions; }

    // Called by a connection for each request, in order; answers through the connection.
    void serve(SandboxConnection* connection, const SandboxHttpRequest& request);

signals:
    // POST /_sandbox/quit was answered.
    void quitRequested();
    // One line for a person watching: a bid and its verdict, an auction's end and winner, a mail received.
    void happened(const QString& line);

private slots:
    void onNewConnection();
    // Applies due scripted bids and announces auctions that have just ended.
    void watchAuctions();

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
    SandboxSmtpServer m_smtp;
    SandboxNtp m_ntp;
    QTimer m_watchTimer;
    QSet<QString> m_announcedEnds;
    int m_connections = 0;
};
