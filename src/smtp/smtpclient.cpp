#include "smtpclient.h"

#include "emailaddress.h"
#include "mimemessage.h"

#include <QDebug>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>

#include <limits>

namespace {
// Every wait is cut into slices this long so that cancel() takes effect soon.
constexpr int waitSliceMs = 100;
} // namespace

SmtpClient::SmtpClient(const QString& host, int port, ConnectionType connectionType)
    : m_host(host)
    , m_port(port) {
    qRegisterMetaType<SmtpClient::SmtpError>("SmtpClient::SmtpError");
    setConnectionType(connectionType);
}

SmtpClient::~SmtpClient() = default;

void SmtpClient::setConnectionType(ConnectionType type) {
    delete m_socket;
    m_socket = nullptr;
    m_connectionType = type;
    switch (type) {
    case TcpConnection:
        m_socket = new QTcpSocket(this);
        break;
    case SslConnection:
    case TlsConnection:
        m_socket = new QSslSocket(this);
        break;
    default:
        return;
    }
    // The program may route its eBay traffic through an HTTP proxy; mail always goes straight to the server.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    if (!m_extraCaCertificates.isEmpty())
        addCaCertificates({});
}

void SmtpClient::addCaCertificates(const QList<QSslCertificate>& certificates) {
    m_extraCaCertificates += certificates;
    auto* ssl = qobject_cast<QSslSocket*>(m_socket);
    if (!ssl || m_extraCaCertificates.isEmpty())
        return;
    QSslConfiguration configuration = ssl->sslConfiguration();
    configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + m_extraCaCertificates);
    ssl->setSslConfiguration(configuration);
}

bool SmtpClient::connectToHost() {
    if (!m_socket)
        return false;
    if (!connectSocket()) {
        m_socket->abort();
        emit smtpError(ConnectionTimeoutError);
        return false;
    }
    // A failed handshake is a connection failure, not a silent server.
    if (m_connectionType == SslConnection && !waitForHandshake()) {
        qDebug() << "SMTP TLS handshake failed:" << m_socket->errorString();
        m_socket->abort();
        return false;
    }

    if (!expect(220)) {
        emit smtpError(ServerError);
        return false;
    }
    sendMessage(QLatin1String("EHLO ") + m_name);
    if (!expect(250)) {
        emit smtpError(ServerError);
        return false;
    }

    if (m_connectionType == TlsConnection) {
        sendMessage(QStringLiteral("STARTTLS"));
        if (!expect(220)) {
            emit smtpError(ServerError);
            return false;
        }
        auto* ssl = static_cast<QSslSocket*>(m_socket);
        ssl->setPeerVerifyName(m_host);
        ssl->startClientEncryption();
        if (!waitForHandshake()) {
            qDebug() << "SMTP STARTTLS handshake failed:" << ssl->errorString();
            m_socket->abort();
            return false;
        }
        sendMessage(QLatin1String("EHLO ") + m_name);
        if (!expect(250)) {
            emit smtpError(ServerError);
            return false;
        }
    }
    return true;
}

bool SmtpClient::connectSocket() {
    QStringList addresses{m_host};
    // The socket's own lookup would also start one on Qt's shared lookup pool, which the process waits for at
    // exit; looked up here, a hanging name server holds this thread only.
    if (QHostAddress(m_host).isNull()) {
        addresses.clear();
        for (const QHostAddress& address : QHostInfo::fromName(m_host).addresses())
            addresses << address.toString();
    }
    const QDeadlineTimer phase(m_connectionTimeout);
    for (const QString& address : qAsConst(addresses)) {
        if (m_connectionType == SslConnection)
            static_cast<QSslSocket*>(m_socket)->connectToHostEncrypted(address, static_cast<quint16>(m_port), m_host);
        else
            m_socket->connectToHost(address, static_cast<quint16>(m_port));
        const bool connected = waitBounded(phase, [this](int ms) {
            if (m_socket->waitForConnected(ms))
                return Wait::Done;
            return m_socket->state() == QAbstractSocket::UnconnectedState ? Wait::Failed : Wait::Pending;
        });
        if (connected)
            return true;
        m_socket->abort();
    }
    return false;
}

bool SmtpClient::waitForHandshake() {
    auto* ssl = static_cast<QSslSocket*>(m_socket);
    return waitBounded(QDeadlineTimer(m_connectionTimeout), [ssl](int ms) {
        // waitForEncrypted answers false once the connection is encrypted, so that is asked first.
        if (ssl->isEncrypted() || ssl->waitForEncrypted(ms) || ssl->isEncrypted())
            return Wait::Done;
        return ssl->state() == QAbstractSocket::ConnectedState ? Wait::Pending : Wait::Failed;
    });
}

bool SmtpClient::waitBounded(const QDeadlineTimer& phase, const std::function<Wait(int)>& step) {
    for (;;) {
        if (m_cancelled)
            return false;
        const auto remaining = [](const QDeadlineTimer& deadline) {
            return deadline.isForever() ? std::numeric_limits<qint64>::max() : deadline.remainingTime();
        };
        const qint64 left = qMin(remaining(phase), remaining(m_deadline));
        if (left <= 0)
            return false;
        const Wait result = step(static_cast<int>(qMin<qint64>(left, waitSliceMs)));
        if (result != Wait::Pending)
            return result == Wait::Done;
    }
}

bool SmtpClient::login() {
    return login(m_user, m_password, m_authMethod);
}

bool SmtpClient::login(const QString& user, const QString& password, AuthMethod method) {
    bool ok = true;
    if (method == AuthPlain) {
        const QByteArray credentials = QByteArray(1, '\0') + user.toUtf8() + QByteArray(1, '\0') + password.toUtf8();
        sendMessage(QLatin1String("AUTH PLAIN ") + QString::fromLatin1(credentials.toBase64()));
        ok = expect(235);
    } else if (method == AuthLogin) {
        sendMessage(QStringLiteral("AUTH LOGIN"));
        ok = expect(334);
        if (ok) {
            sendMessage(QString::fromLatin1(user.toUtf8().toBase64()));
            ok = expect(334);
        }
        if (ok) {
            sendMessage(QString::fromLatin1(password.toUtf8().toBase64()));
            ok = expect(235);
        }
    }
    if (!ok)
        emit smtpError(AuthenticationFailedError);
    return ok;
}

bool SmtpClient::sendMail(MimeMessage& message) {
    QStringList recipients;
    for (const auto type : {MimeMessage::To, MimeMessage::Cc, MimeMessage::Bcc}) {
        for (const EmailAddress* address : message.getRecipients(type))
            recipients << address->getAddress();
    }
    const QString sender = message.getSender() ? message.getSender()->getAddress() : QString();
    // An address with a line break would smuggle further commands into the session.
    for (const QString& address : recipients + QStringList{sender}) {
        if (address.contains(QLatin1Char('\r')) || address.contains(QLatin1Char('\n'))) {
            qDebug() << "SMTP refuses an address containing a line break";
            return false;
        }
    }

    sendMessage(QLatin1String("MAIL FROM: <") + sender + QLatin1Char('>'));
    if (!expect(250))
        return false;
    for (const QString& recipient : qAsConst(recipients)) {
        sendMessage(QLatin1String("RCPT TO: <") + recipient + QLatin1Char('>'));
        if (!expect(250))
            return false;
    }
    sendMessage(QStringLiteral("DATA"));
    if (!expect(354))
        return false;
    m_socket->write(dataBlock(message.toString()));
    sendMessage(QStringLiteral("."));
    return expect(250);
}

void SmtpClient::quit() {
    sendMessage(QStringLiteral("QUIT"));
    // The socket goes with the client; let the command leave before that, but not at any price.
    if (!m_socket)
        return;
    waitBounded(QDeadlineTimer(qMin(m_responseTimeout, 1000)), [this](int ms) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return Wait::Failed;
        if (m_socket->bytesToWrite() == 0)
            return Wait::Done;
        m_socket->waitForBytesWritten(ms);
        return Wait::Pending;
    });
}

QByteArray SmtpClient::dataBlock(const QString& text) {
    const QByteArray raw = text.toUtf8() + "\r\n";
    QByteArray out;
    out.reserve(raw.size() + raw.size() / 50 + 8);
    bool lineStart = true;
    for (int i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < raw.size() && raw.at(i + 1) == '\n')
                ++i;
            out += "\r\n";
            lineStart = true;
            continue;
        }
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = false;
    }
    return out;
}

void SmtpClient::sendMessage(const QString& text) {
    if (!m_socket)
        return;
    m_socket->write(text.toUtf8() + "\r\n");
    m_socket->flush();
}

bool SmtpClient::readReplyLine(QByteArray line, int* code, QString* text) {
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    // The whole line: a zero byte must not cut it short and so decide where the reply ends.
    *text = QString::fromUtf8(line.constData(), line.size());
    *code = text->left(3).toInt();
    // "250-..." continues the reply; "250 ..." and a bare "250" are its last line.
    return text->size() == 3 || (text->size() > 3 && text->at(3) == QLatin1Char(' '));
}

void SmtpClient::waitForResponse() {
    if (!m_socket) {
        emit smtpError(ResponseTimeoutError);
        throw ResponseTimeoutException();
    }
    // The whole reply must arrive within the response timeout: a server that trickles its bytes does not
    // earn a fresh timeout with each one.
    const QDeadlineTimer replyTime(m_responseTimeout);
    for (;;) {
        // Lines already buffered count before any wait: a reply may arrive together with the handshake.
        while (m_socket->canReadLine()) {
            const bool last = readReplyLine(m_socket->readLine(), &m_responseCode, &m_responseText);
            if (m_responseCode >= 400 && m_responseCode <= 499)
                emit smtpError(ServerError);
            else if (m_responseCode >= 500 && m_responseCode <= 599)
                emit smtpError(ClientError);
            if (last)
                return;
        }
        const bool more = waitBounded(replyTime, [this](int ms) {
            if (m_socket->waitForReadyRead(ms))
                return Wait::Done;
            return m_socket->state() == QAbstractSocket::ConnectedState ? Wait::Pending : Wait::Failed;
        });
        if (!more) {
            emit smtpError(ResponseTimeoutError);
            throw ResponseTimeoutException();
        }
    }
}

bool SmtpClient::expect(int code) {
    waitForResponse();
    return m_responseCode == code;
}
