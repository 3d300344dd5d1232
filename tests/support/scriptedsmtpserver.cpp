#include "scriptedsmtpserver.h"

#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

// Lives on the server's thread; the test reads what it recorded under the mutex.
class ScriptedSmtpCore : public QObject {
public:
    explicit ScriptedSmtpCore(const QList<QByteArray>& replies)
        : m_replies(replies) {}

    quint16 listen() {
        m_server = new QTcpServer(this);
        QObject::connect(m_server, &QTcpServer::newConnection, this, [this] { accept(); });
        return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->serverPort() : 0;
    }

    void accept() {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            {
                QMutexLocker locker(&m_mutex);
                ++m_connections;
                m_gone = false;
            }
            m_socket = socket;
            QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, this, [this] {
                QMutexLocker locker(&m_mutex);
                m_gone = true;
            });
            reply(socket);
        }
    }

    void read(QTcpSocket* socket) {
        while (socket->canReadLine()) {
            const QByteArray line = socket->readLine();
            QByteArray bare = line;
            while (bare.endsWith('\n') || bare.endsWith('\r'))
                bare.chop(1);
            {
                QMutexLocker locker(&m_mutex);
                if (m_inData && bare != ".") {
                    m_data += line;
                    continue;
                }
                m_commands << bare;
                m_inData = false;
            }
            reply(socket);
        }
    }

    void reply(QTcpSocket* socket) {
        if (m_next >= m_replies.size())
            return;
        const QByteArray answer = m_replies.at(m_next++);
        if (answer.isEmpty()) {
            socket->abort();
            return;
        }
        {
            QMutexLocker locker(&m_mutex);
            m_inData = answer.startsWith("354");
        }
        socket->write(answer);
    }

    void closeConnection() {
        if (m_socket)
            m_socket->abort();
    }

    mutable QMutex m_mutex;
    QList<QByteArray> m_commands;
    QByteArray m_data;
    int m_connections = 0;
    bool m_gone = false;

private:
    QList<QByteArray> m_replies;
    int m_next = 0;
    bool m_inData = false;
    QTcpServer* m_server = nullptr;
    QTcpSocket* m_socket = nullptr;
};

ScriptedSmtpServer::ScriptedSmtpServer(const QList<QByteArray>& replies)
    : m_thread(new QThread)
    , m_core(new ScriptedSmtpCore(replies)) {
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

QList<QByteArray> ScriptedSmtpServer::commands() const {
    QMutexLocker locker(&m_core->m_mutex);
    return m_core->m_commands;
}

QByteArray ScriptedSmtpServer::data() const {
    QMutexLocker locker(&m_core->m_mutex);
    return m_core->m_data;
}

int ScriptedSmtpServer::connectionCount() const {
    QMutexLocker locker(&m_core->m_mutex);
    return m_core->m_connections;
}

bool ScriptedSmtpServer::clientGone() const {
    QMutexLocker locker(&m_core->m_mutex);
    return m_core->m_gone;
}

void ScriptedSmtpServer::closeConnection() {
    QMetaObject::invokeMethod(
        m_core, [this] { m_core->closeConnection(); }, Qt::BlockingQueuedConnection);
}
