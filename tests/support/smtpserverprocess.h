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
    enum class Mode { Plain, StartTls, Ssl };

    // One message as the server accepted it.
    struct Received {
        QString from;
        QStringList to;
        QString mechanism;
        bool tls = false;
        QByteArray content;
    };

    SmtpServerProcess() = default;
    ~SmtpServerProcess();
    SmtpServerProcess(const SmtpServerProcess&) = delete;
    SmtpServerProcess& operator=(const SmtpServerProcess&) = delete;

    // The TLS modes need a certificate and its key (see makeCertificate).
    bool start(Mode mode = Mode::Plain, const QString& certFile = QString(), const QString& keyFile = QString());
    void stop();

    quint16 port() const { return m_port; }
    static QString user() { return QStringLiteral("tester"); }
    static QString password() { return QStringLiteral("s3cret pass"); }

    QList<Received> received() const;
    // Runs the event loop until count messages have arrived or the time is up.
    bool waitForMessages(int count, int timeoutMs = 10000) const;

    // A self-signed certificate for 127.0.0.1 and localhost, made with the openssl command into dir.
    static bool makeCertificate(const QString& dir, QString* certFile, QString* keyFile);

    QByteArray output() const;

private:
    QProcess* m_process = nullptr;
    QTemporaryDir m_spool;
    quint16 m_port = 0;
    mutable QByteArray m_output;
};
