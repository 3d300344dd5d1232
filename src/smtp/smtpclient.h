#pragma once

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>

class MimeMessage;
class QTcpSocket;

// Sends composed messages to one SMTP server over plain TCP, TLS from the first byte, or STARTTLS. Every
// operation writes its command and blocks its thread until the reply has been read, so the client is used
// on a thread that may block: the notification mailer's worker owns one per mail.
class SmtpClient : public QObject {
    Q_OBJECT

public:
    enum AuthMethod { AuthPlain, AuthLogin };
    Q_ENUM(AuthMethod)
    enum SmtpError {
        ConnectionTimeoutError,
        ResponseTimeoutError,
        AuthenticationFailedError,
        ServerError,
        ClientError
    };
    Q_ENUM(SmtpError)
    enum ConnectionType { TcpConnection, SslConnection, TlsConnection };
    Q_ENUM(ConnectionType)

    // Thrown when a whole reply does not arrive within the response timeout, the deadline has passed or the
    // wait was cancelled.
    class ResponseTimeoutException : public std::exception {
    public:
        const char* what() const noexcept override { return "SMTP server did not answer in time"; }
    };

    explicit SmtpClient(const QString& host = QStringLiteral("localhost"), int port = 25,
                        ConnectionType connectionType = TcpConnection);
    ~SmtpClient() override;

    const QString& getHost() const { return m_host; }
    void setHost(const QString& host) { m_host = host; }
    int getPort() const { return m_port; }
    void setPort(int port) { m_port = port; }
    const QString& getName() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const QString& getUser() const { return m_user; }
    void setUser(const QString& user) { m_user = user; }
    const QString& getPassword() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    AuthMethod getAuthMethod() const { return m_authMethod; }
    void setAuthMethod(AuthMethod method) { m_authMethod = method; }
    int getConnectionTimeout() const { return m_connectionTimeout; }
    void setConnectionTimeout(int ms) { m_connectionTimeout = ms; }
    int getResponseTimeout() const { return m_responseTimeout; }
    void setResponseTimeout(int ms) { m_responseTimeout = ms; }
    // The moment after which no operation waits any more, whatever its own timeout: a server that answers
    // each step just in time cannot hold the client longer than this. None by default.
    void setDeadline(const QDeadlineTimer& deadline) { m_deadline = deadline; }

    ConnectionType getConnectionType() const { return m_connectionType; }
    // Replaces the socket by a new one of the matching kind.
    void setConnectionType(ConnectionType type);
    QTcpSocket* getSocket() const { return m_socket; }
    const QString& getResponseText() const { return m_responseText; }
    int getResponseCode() const { return m_responseCode; }

    // Certificates trusted in addition to the system's, for a server with its own certificate authority.
    // Certificate errors are never ignored.
    void addCaCertificates(const QList<QSslCertificate>& certificates);

    bool connectToHost();
    bool login();
    bool login(const QString& user, const QString& password, AuthMethod method = AuthPlain);
    bool sendMail(MimeMessage& message);
    // Sends QUIT and does not wait for the answer.
    void quit();

    // May be called from any thread: makes the wait in progress (connecting, the TLS handshake or a reply),
    // and every later one, give up within a fraction of a second. Only a host name lookup runs to its end.
    void cancel() { m_cancelled = true; }

    // The bytes sent after DATA for a message text: every line ends in CR LF and a line starting with "."
    // gets a second one, so that no line of the mail can end the data early.
    static QByteArray dataBlock(const QString& text);
    // One line of a server's reply as read from the socket: its text without the line break and its code (the
    // number its first three characters make, else 0). True when the line ends the reply.
    static bool readReplyLine(QByteArray line, int* code, QString* text);

signals:
    void smtpError(SmtpClient::SmtpError error);

private:
    enum class Wait { Done, Failed, Pending };

    void sendMessage(const QString& text);
    void waitForResponse();
    bool expect(int code);
    bool connectSocket();
    bool waitForHandshake();
    // Runs step (given the milliseconds it may block) in short slices until it is done or fails, the phase or
    // the deadline runs out, or cancel() is called; true only when done.
    bool waitBounded(const QDeadlineTimer& phase, const std::function<Wait(int)>& step);

    QTcpSocket* m_socket = nullptr;
    QString m_host;
    int m_port;
    ConnectionType m_connectionType = TcpConnection;
    QString m_name = QStringLiteral("localhost");
    QString m_user;
    QString m_password;
    AuthMethod m_authMethod = AuthPlain;
    int m_connectionTimeout = 5000;
    int m_responseTimeout = 5000;
    QDeadlineTimer m_deadline{QDeadlineTimer::Forever};
    QString m_responseText;
    int m_responseCode = 0;
    QList<QSslCertificate> m_extraCaCertificates;
    std::atomic<bool> m_cancelled{false};
};
