#pragma once

#include <QObject>
#include <QTcpServer>

class SandboxClock;
class SandboxRecorder;

// The sandbox's mail server: accepts SMTP on loopback without TLS, takes any AUTH, and hands every message it
// receives to the recorder, so that tests and the demo can see what the program sent. Owned by SandboxServer.
class SandboxSmtpServer : public QObject {
    Q_OBJECT

public:
    SandboxSmtpServer(const SandboxClock* clock, SandboxRecorder* recorder, QObject* parent = nullptr);

    bool listen(quint16 port);
    bool isListening() const { return m_tcpServer.isListening(); }
    quint16 port() const { return m_tcpServer.serverPort(); }
    QString errorString() const { return m_tcpServer.errorString(); }

private slots:
    void onNewConnection();

private:
    QTcpServer m_tcpServer;
    const SandboxClock* m_clock;
    SandboxRecorder* m_recorder;
};
