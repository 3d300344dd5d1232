#include "sandboxprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QUrl>

SandboxProcess::~SandboxProcess() {
    stop();
}

QString SandboxProcess::scenarioPath(const QString& name) {
    return QDir(QString::fromUtf8(TOLLIMER_SANDBOX_SCENARIOS)).filePath(name + QStringLiteral(".json"));
}

bool SandboxProcess::start(const QStringList& arguments) {
    stop();
    m_output.clear();
    m_process = new QProcess;
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->start(QString::fromUtf8(TOLLIMER_SANDBOX_BIN),
                     QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    if (!m_process->waitForStarted(10000))
        return false;

    QElapsedTimer timer;
    timer.start();
    QByteArray firstLine;
    while (timer.elapsed() < 10000) {
        if (m_process->canReadLine()) {
            firstLine = m_process->readLine().trimmed();
            break;
        }
        if (m_process->state() != QProcess::Running)
            break;
        m_process->waitForReadyRead(100);
    }
    bool ok = false;
    const uint port = firstLine.toUInt(&ok);
    if (!ok || port == 0 || port > 65535) {
        m_output += firstLine + m_process->readAllStandardOutput() + m_process->readAllStandardError();
        stop();
        return false;
    }
    m_port = static_cast<quint16>(port);
    return true;
}

void SandboxProcess::stop() {
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    m_output += m_process->readAllStandardOutput() + m_process->readAllStandardError();
    delete m_process;
    m_process = nullptr;
    m_port = 0;
}

quint16 SandboxProcess::smtpPort() const {
    QElapsedTimer timer;
    timer.start();
    while (m_process && !output().contains('\n') && timer.elapsed() < 10000)
        m_process->waitForReadyRead(100);
    // start() consumed the first line, so the output begins with the second.
    const QByteArray line = m_output.left(m_output.indexOf('\n'));
    return line.startsWith("smtp ") ? quint16(line.mid(5).toUInt()) : 0;
}

bool SandboxProcess::isRunning() const {
    return m_process && m_process->state() == QProcess::Running;
}

QString SandboxProcess::proxyUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QByteArray SandboxProcess::control(const QByteArray& method, const QString& pathAndQuery, const QByteArray& body,
                                   int* status) const {
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(QUrl(proxyUrl() + pathAndQuery));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* reply = manager.sendCustomRequest(request, method, body);
    if (!reply->isFinished() && !QSignalSpy(reply, &QNetworkReply::finished).wait(15000))
        reply->abort();
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray answer = reply->readAll();
    delete reply;
    return answer;
}

QJsonDocument SandboxProcess::controlJson(const QByteArray& method, const QString& pathAndQuery,
                                          const QByteArray& body) const {
    return QJsonDocument::fromJson(control(method, pathAndQuery, body));
}

QByteArray SandboxProcess::output() const {
    if (m_process)
        m_output += m_process->readAllStandardOutput() + m_process->readAllStandardError();
    return m_output;
}
