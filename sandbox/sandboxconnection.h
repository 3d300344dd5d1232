#pragma once

#include "sandboxhttpparser.h"
#include "sandboxhttpresponse.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

class SandboxServer;
class SandboxClock;

// One client connection: reads requests, hands them to the server one at a time in order, and writes the answers.
// Keep-alive is the default for HTTP/1.1, as the program's network access managers expect of a proxy.
// Owned by the server; deletes itself when the socket closes.
class SandboxConnection : public QObject {
    Q_OBJECT

public:
    SandboxConnection(QTcpSocket* socket, SandboxServer* server, const SandboxClock* clock, int id);

    // Answers the request in progress; the next queued request is served after it.
    void respond(const SandboxHttpResponse& response);
    // Closes the connection without answering the request in progress.
    void drop();

private slots:
    void onReadyRead();
    void onDisconnected();

private:
    void serveNext();

    QTcpSocket* m_socket;
    SandboxServer* m_server;
    const SandboxClock* m_clock;
    SandboxHttpParser m_parser;
    int m_id;
    bool m_busy = false;
    bool m_closing = false;
    SandboxHttpRequest m_current;
};
