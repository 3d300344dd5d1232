#include "sandboxconnection.h"

#include "sandboxclock.h"
#include "sandboxserver.h"

#include <QDateTime>
#include <QLocale>

SandboxConnection::SandboxConnection(QTcpSocket* socket, SandboxServer* server, const SandboxClock* clock, int id)
    : QObject(server)
    , m_socket(socket)
    , m_server(server)
    , m_clock(clock)
    , m_id(id) {
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::readyRead, this, &SandboxConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &SandboxConnection::onDisconnected);
    if (m_socket->bytesAvailable() > 0)
        onReadyRead();
}

void SandboxConnection::onReadyRead() {
    const double arrival = m_clock->nowMs();
    if (m_closing) {
        m_socket->readAll();
        return;
    }
    if (!m_parser.feed(m_socket->readAll(), arrival) && !m_busy && !m_parser.hasRequest()) {
        SandboxHttpResponse response =
            SandboxHttpResponse::text(m_parser.errorText() + QLatin1Char('\n'), m_parser.errorStatus());
        m_closing = true;
        m_socket->write(response.serialize(false));
        m_socket->disconnectFromHost();
        return;
    }
    serveNext();
}

void SandboxConnection::serveNext() {
    if (m_busy || m_closing)
        return;
    if (!m_parser.hasRequest()) {
        if (m_parser.failed()) {
            m_closing = true;
            m_socket->write(SandboxHttpResponse::text(m_parser.errorText() + QLatin1Char('\n'), m_parser.errorStatus())
                                .serialize(false));
            m_socket->disconnectFromHost();
        }
        return;
    }
    m_busy = true;
    m_current = m_parser.takeRequest();
    m_current.connectionId = m_id;
    m_server->serve(this, m_current);
}

void SandboxConnection::respond(const SandboxHttpResponse& response) {
    if (!m_busy || m_closing)
        return;
    const bool keepAlive = m_current.keepAlive() && m_current.method != "CONNECT";
    SandboxHttpResponse stamped = response;
    // As every web server, with eBay's time cut to the second: the program's last resort for eBay's clock.
    if (stamped.header("Date").isEmpty()) {
        const QDateTime now = QDateTime::fromMSecsSinceEpoch(qint64(m_clock->ebayNowMs()), Qt::UTC);
        stamped.setHeader("Date",
                          QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")).toLatin1());
    }
    m_socket->write(stamped.serialize(keepAlive, m_current.method == "HEAD"));
    m_socket->flush();
    m_busy = false;
    if (!keepAlive) {
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    serveNext();
}

void SandboxConnection::drop() {
    m_closing = true;
    m_busy = false;
    m_socket->abort();
    deleteLater();
}

void SandboxConnection::onDisconnected() {
    m_closing = true;
    deleteLater();
}
