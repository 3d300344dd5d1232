#include "sandboxsmtpsession.h"

#include "sandboxclock.h"
#include "sandboxrecorder.h"

#include <QTcpSocket>

namespace {

const QByteArray serverName = "tollimer-sandbox";

bool startsWithWord(const QByteArray& upperLine, const char* word) {
    const QByteArray w(word);
    return upperLine.startsWith(w) && (upperLine.size() == w.size() || upperLine.at(w.size()) == ' ');
}

} // namespace

SandboxSmtpSession::SandboxSmtpSession(QTcpSocket* socket, const SandboxClock* clock, SandboxRecorder* recorder,
                                       QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_clock(clock)
    , m_recorder(recorder) {
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &SandboxSmtpSession::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleTimeoutMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &SandboxSmtpSession::onIdle);
    m_idleTimer.start();
    reply("220 " + serverName + " ESMTP ready (plain, any AUTH accepted)");
}

void SandboxSmtpSession::reply(const QByteArray& text) {
    m_socket->write(text + "\r\n");
}

void SandboxSmtpSession::close() {
    m_closing = true;
    m_socket->disconnectFromHost();
}

void SandboxSmtpSession::onIdle() {
    reply("421 4.4.2 " + serverName + " closing an idle connection");
    close();
}

void SandboxSmtpSession::onReadyRead() {
    m_idleTimer.start();
    m_buffer += m_socket->readAll();
    // Lines are taken by position and the buffer is cut once, so a large message costs linear time.
    int pos = 0;
    while (!m_closing) {
        const int newline = m_buffer.indexOf('\n', pos);
        if (newline < 0)
            break;
        QByteArray line = m_buffer.mid(pos, newline - pos);
        pos = newline + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (m_discardingLongLine) {
            m_discardingLongLine = false;
            continue;
        }
        handleLine(line);
    }
    m_buffer.remove(0, pos);
    // A command line without end is cut off; a message line may be long (up to the message limit).
    const int limit = m_state == State::Data ? maxMessageBytes : maxCommandBytes;
    if (m_closing || m_buffer.size() <= limit)
        return;
    if (m_state == State::Data) {
        m_dataTooLarge = true;
    } else if (!m_discardingLongLine) {
        reply("500 5.5.2 Line too long");
        m_discardingLongLine = true;
    }
    m_buffer.clear();
}

void SandboxSmtpSession::handleLine(const QByteArray& line) {
    QByteArray decoded;
    switch (m_state) {
    case State::Data:
        dataLine(line);
        return;
    case State::Command:
        command(line);
        return;
    case State::AuthPlain: {
        m_state = State::Command;
        if (!saslAnswer(line, &decoded))
            return;
        const QList<QByteArray> parts = decoded.split('\0');
        if (parts.size() != 3) {
            reply("501 5.5.2 AUTH PLAIN wants authzid NUL authcid NUL password");
            return;
        }
        authenticated(QStringLiteral("PLAIN"), QString::fromUtf8(parts.at(1)));
        return;
    }
    case State::AuthLoginUser:
        m_state = State::Command;
        if (!saslAnswer(line, &decoded))
            return;
        m_pendingUser = QString::fromUtf8(decoded);
        m_state = State::AuthLoginPassword;
        reply("334 UGFzc3dvcmQ6"); // "Password:"
        return;
    case State::AuthLoginPassword:
        m_state = State::Command;
        if (!saslAnswer(line, &decoded))
            return;
        authenticated(QStringLiteral("LOGIN"), m_pendingUser);
        return;
    }
}

bool SandboxSmtpSession::saslAnswer(const QByteArray& line, QByteArray* decoded) {
    if (line == "*") {
        reply("501 5.7.0 Authentication cancelled");
        return false;
    }
    const auto result = QByteArray::fromBase64Encoding(line, QByteArray::AbortOnBase64DecodingErrors);
    if (!result) {
        reply("501 5.5.2 Cannot decode the base64 answer");
        return false;
    }
    *decoded = result.decoded;
    return true;
}

void SandboxSmtpSession::authenticated(const QString& mechanism, const QString& user) {
    m_authMechanism = mechanism;
    m_authUser = user;
    reply("235 2.7.0 Authentication successful");
}

void SandboxSmtpSession::resetTransaction() {
    m_hasSender = false;
    m_sender.clear();
    m_recipients.clear();
    m_data.clear();
    m_dataTooLarge = false;
}

void SandboxSmtpSession::command(const QByteArray& rawLine) {
    const QByteArray line = rawLine.trimmed();
    const QByteArray upper = line.toUpper();
    const int space = line.indexOf(' ');
    const QByteArray arguments = space < 0 ? QByteArray() : line.mid(space + 1).trimmed();
    if (startsWithWord(upper, "EHLO") || startsWithWord(upper, "HELO")) {
        if (arguments.isEmpty()) {
            reply("501 5.5.4 " + upper.left(4) + " wants the client's name");
            return;
        }
        resetTransaction();
        m_clientName = QString::fromUtf8(arguments);
        if (upper.startsWith("HELO")) {
            reply("250 " + serverName);
            return;
        }
        reply("250-" + serverName + " greets " + arguments);
        reply("250-AUTH PLAIN LOGIN");
        reply("250-8BITMIME");
        reply("250 SIZE " + QByteArray::number(maxMessageBytes));
    } else if (startsWithWord(upper, "AUTH")) {
        auth(arguments);
    } else if (upper.startsWith("MAIL FROM:")) {
        mailFrom(line.mid(10).trimmed());
    } else if (upper.startsWith("RCPT TO:")) {
        rcptTo(line.mid(8).trimmed());
    } else if (upper == "DATA") {
        if (!m_hasSender || m_recipients.isEmpty()) {
            reply(m_hasSender ? "554 5.5.1 No valid recipients" : "503 5.5.1 MAIL FROM first");
            return;
        }
        m_state = State::Data;
        m_data.clear();
        m_dataTooLarge = false;
        reply("354 End data with <CR><LF>.<CR><LF>");
    } else if (upper == "RSET") {
        resetTransaction();
        reply("250 2.0.0 Ok");
    } else if (startsWithWord(upper, "NOOP")) {
        reply("250 2.0.0 Ok");
    } else if (upper == "QUIT") {
        reply("221 2.0.0 " + serverName + " closing connection");
        close();
    } else if (upper == "STARTTLS") {
        reply("454 4.7.0 TLS not available: the sandbox speaks plain SMTP only");
    } else if (startsWithWord(upper, "VRFY")) {
        reply("252 2.1.5 Cannot verify, but will accept");
    } else if (startsWithWord(upper, "HELP")) {
        reply("214 2.0.0 EHLO HELO AUTH MAIL RCPT DATA RSET NOOP QUIT");
    } else {
        reply("500 5.5.1 Command not recognised");
    }
}

void SandboxSmtpSession::auth(const QByteArray& arguments) {
    if (m_clientName.isEmpty()) {
        reply("503 5.5.1 EHLO first");
        return;
    }
    if (!m_authMechanism.isEmpty()) {
        reply("503 5.5.1 Already authenticated");
        return;
    }
    if (m_hasSender) {
        reply("503 5.5.1 AUTH is not allowed during a mail transaction");
        return;
    }
    const QList<QByteArray> words = arguments.split(' ');
    const QByteArray mechanism = words.value(0).toUpper();
    const QByteArray initial = words.value(1);
    if (mechanism == "PLAIN") {
        m_state = State::AuthPlain;
        if (initial.isEmpty())
            reply("334 ");
        else
            handleLine(initial == "=" ? QByteArray() : initial);
    } else if (mechanism == "LOGIN") {
        m_state = State::AuthLoginUser;
        if (initial.isEmpty())
            reply("334 VXNlcm5hbWU6"); // "Username:"
        else
            handleLine(initial);
    } else {
        reply("504 5.5.4 Unrecognised authentication type");
    }
}

bool SandboxSmtpSession::parsePath(const QByteArray& arguments, QString* address) {
    QByteArray path;
    if (arguments.startsWith('<')) {
        const int close = arguments.indexOf('>');
        if (close < 0)
            return false;
        path = arguments.mid(1, close - 1);
        // A source route ("@a,@b:user@host") is ignored, as RFC 5321 allows.
        if (path.startsWith('@') && path.contains(':'))
            path = path.mid(path.indexOf(':') + 1);
    } else {
        path = arguments.split(' ').value(0);
        if (path.isEmpty())
            return false;
    }
    *address = QString::fromUtf8(path);
    return true;
}

void SandboxSmtpSession::mailFrom(const QByteArray& arguments) {
    if (m_clientName.isEmpty()) {
        reply("503 5.5.1 EHLO or HELO first");
        return;
    }
    if (m_hasSender) {
        reply("503 5.5.1 Sender already given");
        return;
    }
    QString sender;
    if (!parsePath(arguments, &sender)) {
        reply("501 5.1.7 Bad sender address syntax");
        return;
    }
    const int size = arguments.toUpper().indexOf("SIZE=");
    if (size >= 0 && arguments.mid(size + 5).split(' ').value(0).toLongLong() > maxMessageBytes) {
        reply("552 5.3.4 Message size exceeds the limit");
        return;
    }
    m_hasSender = true;
    m_sender = sender;
    reply("250 2.1.0 Ok");
}

void SandboxSmtpSession::rcptTo(const QByteArray& arguments) {
    if (!m_hasSender) {
        reply("503 5.5.1 MAIL FROM first");
        return;
    }
    QString recipient;
    if (!parsePath(arguments, &recipient) || recipient.isEmpty()) {
        reply("501 5.1.3 Bad recipient address syntax");
        return;
    }
    if (m_recipients.size() >= maxRecipients) {
        reply("452 4.5.3 Too many recipients");
        return;
    }
    m_recipients.append(recipient);
    reply("250 2.1.5 Ok");
}

void SandboxSmtpSession::dataLine(const QByteArray& line) {
    if (line == ".") {
        finishData();
        return;
    }
    if (m_dataTooLarge)
        return;
    // Dot-unstuffing: the client doubled every leading dot.
    const QByteArray text = line.startsWith('.') ? line.mid(1) : line;
    if (m_data.size() + text.size() + 2 > maxMessageBytes) {
        m_dataTooLarge = true;
        m_data.clear();
        return;
    }
    m_data += text + "\r\n";
}

void SandboxSmtpSession::finishData() {
    m_state = State::Command;
    if (m_dataTooLarge) {
        resetTransaction();
        reply("552 5.3.4 Message size exceeds the limit");
        return;
    }
    SandboxRecorder::Mail mail;
    mail.timeMs = m_clock->nowMs();
    mail.client = m_clientName;
    mail.authMechanism = m_authMechanism;
    mail.authUser = m_authUser;
    mail.sender = m_sender;
    mail.recipients = m_recipients;
    mail.data = m_data;
    const int seq = m_recorder->recordMail(mail);
    resetTransaction();
    reply("250 2.0.0 Ok: queued as " + QByteArray::number(seq));
}
