#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QStringList>

// Starts tollimer-sandbox on a free loopback port for one test and talks to its control interface.
// The process is stopped when the object goes away.
class SandboxProcess {
public:
    SandboxProcess() = default;
    ~SandboxProcess();
    SandboxProcess(const SandboxProcess&) = delete;
    SandboxProcess& operator=(const SandboxProcess&) = delete;

    // Runs the sandbox with "--port 0" and the given arguments and waits for the port on its first line.
    bool start(const QStringList& arguments = {});
    void stop();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    // Started with "--smtp-port": the SMTP port the sandbox printed on its second line (waits for it); else 0.
    quint16 smtpPort() const;
    // "http://127.0.0.1:PORT": the value for TOLLIMER_SANDBOX.
    QString proxyUrl() const;
    // The bundled scenario file of that name (without ".json").
    static QString scenarioPath(const QString& name);

    // A plain origin-form request to the sandbox itself; status is the HTTP status or 0 on a transport error.
    QByteArray control(const QByteArray& method, const QString& pathAndQuery, const QByteArray& body = {},
                       int* status = nullptr) const;
    QJsonDocument controlJson(const QByteArray& method, const QString& pathAndQuery, const QByteArray& body = {}) const;

    // Everything the process wrote so far (both channels), for failure messages.
    QByteArray output() const;

private:
    QProcess* m_process = nullptr;
    quint16 m_port = 0;
    mutable QByteArray m_output;
};
