#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

// Runs smtp_server.py (a real SMTP server on loopback, with Debian's aiosmtpd) for one test and reads back
// the messages it accepted. The process is stopped when the object goes away.
class SmtpServerProcess {
public:
    // One message as the server accepted it; envelope reads "from <sender> to <recipients, ...> by <sign-in
    // mechanism> over <tcp|tls>".
    struct Received {
        QString envelope;
        QByteArray content;
    };

    SmtpServerProcess() = default;
    ~SmtpServerProcess();
    SmtpServerProcess(const SmtpServerProcess&) = delete;
    SmtpServerProcess& operator=(const SmtpServerProcess&) = delete;

    // connection as in the settings file: "tcp", "starttls" or "ssl" (TLS from the first byte).
    bool start(const QString& connection = QStringLiteral("tcp"));

    quint16 port() const { return m_port; }
    static QString user() { return QStringLiteral("tester"); }
    static QString password() { return QStringLiteral("s3cret pass"); }
    // The self-signed certificate (127.0.0.1, localhost) of the TLS modes, made once per run with openssl;
    // clients must be told to trust it.
    static QString certificateFile();
    // Points the program's notification account (its settings file) at a server on this machine's port, signing
    // in as user() from notify@example.test; connection as for start(), auth "login", "plain" or "none".
    static void writeAccount(quint16 port, const QString& connection = QStringLiteral("tcp"),
                             const QString& auth = QStringLiteral("login"));

    QList<Received> received() const;
    QByteArray output() const;

private:
    QProcess* m_process = nullptr;
    QTemporaryDir m_spool;
    quint16 m_port = 0;
    mutable QByteArray m_output;
};
