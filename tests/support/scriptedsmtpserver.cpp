#include "scriptedsmtpserver.h"

#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

// Lives on the server's thread; the test reads its log under the mutex.
class ScriptedSmtpCore : public QObject {
public:
    ScriptedSmtpCore(const QList<QByteArray>& replies, int trickleMs)
        : m_replies(replies) {
        m_trickle.setInterval(trickleMs);
        connect(&m_trickle, &QTimer::timeout, this, [this] {
            if (m_socket && !m_unsent.isEmpty())
                m_socket->write(m_unsent.left(1));
            m_unsent.remove(0, 1);
        });
    }

    quint16 listen() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                locked([](ScriptedSmtpServer::Log& log) {
                    ++log.connections;
                    log.clientGone = false;
                });
                m_socket = socket;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, this,
                        [this] { locked([](ScriptedSmtpServer::Log& log) { log.clientGone = true; }); });
                reply(socket);
            }
        });
        return m_server.listen(QHostAddress::LocalHost, 0) ? m_server.serverPort() : 0;
    }

    template <typename F> void locked(F change) {
        QMutexLocker locker(&m_mutex);
        change(m_log);
    }

    void read(QTcpSocket* socket) {
        while (socket->canReadLine()) {
            const QByteArray line = socket->readLine();
            const QByteArray bare = QByteArray(line).replace('\r', "").replace('\n', "");
            if (m_inData && bare != ".") {
                locked([&line](ScriptedSmtpServer::Log& log) { log.data += line; });
                continue;
            }
            m_inData = false;
            locked([&bare](ScriptedSmtpServer::Log& log) { log.commands << bare; });
            reply(socket);
        }
    }

    void reply(QTcpSocket* socket) {
        if (m_next >= m_replies.size())
            return;
        const QByteArray answer = m_replies.at(m_next++);
        if (answer.isEmpty())
            return socket->abort();
        m_inData = answer.startsWith("354");
        if (m_trickle.interval() <= 0)
            return static_cast<void>(socket->write(answer));
        m_unsent += answer;
        m_trickle.start();
    }

    QMutex m_mutex;
    ScriptedSmtpServer::Log m_log;
    QTcpSocket* m_socket = nullptr;

private:
    QTcpServer m_server{this};
    QTimer m_trickle{this};
    QByteArray m_unsent;
    QList<QByteArray> m_replies;
    int m_next = 0;
    bool m_inData = false;
};

ScriptedSmtpServer::ScriptedSmtpServer(const QList<QByteArray>& replies, int trickleMs)
    : m_thread(new QThread)
    , m_core(new ScriptedSmtpCore(replies, trickleMs)) {
    m_core->moveToThread(m_thread);
    m_thread->start();
    QMetaObject::invokeMethod(
        m_core, [this] { m_port = m_core->listen(); }, Qt::BlockingQueuedConnection);
}

ScriptedSmtpServer::~ScriptedSmtpServer() {
    // Deferred deletions still run when the thread finishes, on the thread that owns the core.
    m_core->deleteLater();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

ScriptedSmtpServer::Log ScriptedSmtpServer::log() const {
    QMutexLocker locker(&m_core->m_mutex);
    return m_core->m_log;
}
