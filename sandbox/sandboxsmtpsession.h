#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QTcpSocket;
class SandboxClock;
class SandboxRecorder;

// One SMTP client connection: the command dialogue (EHLO/HELO, AUTH PLAIN and LOGIN with any credentials,
// MAIL, RCPT, DATA with dot-unstuffing, RSET, NOOP, QUIT), line by line, so pipelined commands are answered in
// order. Each accepted message goes to the recorder. Owned by SandboxSmtpServer; deletes itself when the socket
// closes.
class SandboxSmtpSession : public QObject {
    Q_OBJECT

public:
    SandboxSmtpSession(QTcpSocket* socket, const SandboxClock* clock, SandboxRecorder* recorder, QObject* parent);

    static constexpr int maxMessageBytes = 16 * 1024 * 1024;
    static constexpr int maxCommandBytes = 4096;
    static constexpr int maxRecipients = 100;
    static constexpr int idleTimeoutMs = 5 * 60 * 1000;

private slots:
    void onReadyRead();
    void onIdle();

private:
    enum class State { Command, AuthPlain, AuthLoginUser, AuthLoginPassword, Data };

    void handleLine(const QByteArray& line);
    void command(const QByteArray& line);
    void auth(const QByteArray& arguments);
    void mailFrom(const QByteArray& arguments);
    void rcptTo(const QByteArray& arguments);
    void dataLine(const QByteArray& line);
    void finishData();
    // Decodes a base64 SASL answer; answers 501 and returns false when it is not base64 or the client gave up.
    bool saslAnswer(const QByteArray& line, QByteArray* decoded);
    void authenticated(const QString& mechanism, const QString& user);
    void resetTransaction();
    void reply(const QByteArray& text);
    void close();
    // "<a@b> SIZE=12" after "MAIL FROM:" -> "a@b"; false when there is no path.
    static bool parsePath(const QByteArray& arguments, QString* address);

    QTcpSocket* m_socket;
    const SandboxClock* m_clock;
    SandboxRecorder* m_recorder;
    QTimer m_idleTimer;
    QByteArray m_buffer;
    State m_state = State::Command;
    bool m_discardingLongLine = false;
    bool m_closing = false;

    QString m_clientName; // from EHLO/HELO
    QString m_authMechanism;
    QString m_authUser;
    QString m_pendingUser; // AUTH LOGIN between its two answers

    bool m_hasSender = false;
    QString m_sender;
    QStringList m_recipients;
    QByteArray m_data;
    bool m_dataTooLarge = false;
};
