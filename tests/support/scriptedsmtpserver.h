#pragma once

#include <QByteArray>
#include <QList>

class QThread;
class ScriptedSmtpCore;

// A short scripted SMTP peer on loopback for the reply edge cases a real server will not produce. It runs
// on a thread of its own, so a blocking SmtpClient on the test's thread can talk to it.
class ScriptedSmtpServer {
public:
    // What the server has seen so far.
    struct Log {
        QList<QByteArray> commands; // without their line ends
        QByteArray data;            // after the 354 reply, up to and excluding the end-of-data line
        int connections = 0;
        bool clientGone = false;
    };

    // replies[0] is sent when a client connects, replies[i] after the client's i-th line (the end-of-data
    // line "." counts as one; the lines after a 354 reply up to it do not). An empty reply drops the client.
    // Past the list the server is silent. With trickleMs the replies go out one byte every trickleMs.
    explicit ScriptedSmtpServer(const QList<QByteArray>& replies, int trickleMs = 0);
    ~ScriptedSmtpServer();
    ScriptedSmtpServer(const ScriptedSmtpServer&) = delete;
    ScriptedSmtpServer& operator=(const ScriptedSmtpServer&) = delete;

    quint16 port() const { return m_port; }
    Log log() const;
    QList<QByteArray> commands() const { return log().commands; }

private:
    QThread* m_thread;
    ScriptedSmtpCore* m_core;
    quint16 m_port = 0;
};
