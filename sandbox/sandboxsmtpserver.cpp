#include "sandboxsmtpserver.h"

#include "sandboxsmtpsession.h"

SandboxSmtpServer::SandboxSmtpServer(const SandboxClock* clock, SandboxRecorder* recorder, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_recorder(recorder) {
    connect(&m_tcpServer, &QTcpServer::newConnection, this, &SandboxSmtpServer::onNewConnection);
}

bool SandboxSmtpServer::listen(quint16 port) {
    return m_tcpServer.listen(QHostAddress::LocalHost, port);
}

void SandboxSmtpServer::onNewConnection() {
    while (QTcpSocket* socket = m_tcpServer.nextPendingConnection())
        new SandboxSmtpSession(socket, m_clock, m_recorder, this);
}
