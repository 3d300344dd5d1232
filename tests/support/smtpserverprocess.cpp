#include "smtpserverprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {
// Debian's interpreter: the one first on the PATH may lack aiosmtpd.
const QString pythonBinary = QStringLiteral("/usr/bin/python3");

QString scriptPath() {
    return QDir(QString::fromUtf8(TOLLIMER_TEST_DATA)).filePath(QStringLiteral("../support/smtp_server.py"));
}
} // namespace

SmtpServerProcess::~SmtpServerProcess() {
    stop();
}

bool SmtpServerProcess::start(Mode mode, const QString& certFile, const QString& keyFile) {
    stop();
    QStringList arguments{scriptPath(), QStringLiteral("--dir"),      m_spool.path(), QStringLiteral("--user"),
                          user(),       QStringLiteral("--password"), password()};
    if (mode != Mode::Plain) {
        arguments << QStringLiteral("--mode")
                  << (mode == Mode::Ssl ? QStringLiteral("ssl") : QStringLiteral("starttls"))
                  << QStringLiteral("--cert") << certFile << QStringLiteral("--key") << keyFile;
    }
    m_process = new QProcess;
    m_process->start(pythonBinary, arguments);
    if (!m_process->waitForStarted(10000))
        return false;
    // The first line is the port; anything else means the server did not come up.
    QElapsedTimer timer;
    timer.start();
    while (!m_process->canReadLine() && m_process->state() == QProcess::Running && timer.elapsed() < 10000)
        m_process->waitForReadyRead(1000);
    bool ok = false;
    const uint port = m_process->readLine().trimmed().toUInt(&ok);
    if (!ok || port == 0 || port > 65535) {
        stop();
        return false;
    }
    m_port = static_cast<quint16>(port);
    return true;
}

void SmtpServerProcess::stop() {
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    m_output += m_process->readAllStandardOutput() + m_process->readAllStandardError();
    delete m_process;
    m_process = nullptr;
    m_port = 0;
}

QList<SmtpServerProcess::Received> SmtpServerProcess::received() const {
    QList<Received> list;
    const QDir dir(m_spool.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        Received mail;
        mail.from = object.value(QStringLiteral("from")).toString();
        for (const QJsonValue& to : object.value(QStringLiteral("to")).toArray())
            mail.to << to.toString();
        mail.mechanism = object.value(QStringLiteral("mechanism")).toString();
        mail.tls = object.value(QStringLiteral("tls")).toBool();
        mail.content = QByteArray::fromBase64(object.value(QStringLiteral("content")).toString().toLatin1());
        list << mail;
    }
    return list;
}

bool SmtpServerProcess::waitForMessages(int count, int timeoutMs) const {
    return QTest::qWaitFor([&] { return received().size() >= count; }, timeoutMs);
}

bool SmtpServerProcess::makeCertificate(const QString& dir, QString* certFile, QString* keyFile) {
    *certFile = QDir(dir).filePath(QStringLiteral("cert.pem"));
    *keyFile = QDir(dir).filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-subj"), QStringLiteral("/CN=localhost"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1"), QStringLiteral("-keyout"), *keyFile,
                   QStringLiteral("-out"), *certFile});
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0 &&
           QFile::exists(*certFile);
}

QByteArray SmtpServerProcess::output() const {
    if (m_process)
        m_output += m_process->readAllStandardOutput() + m_process->readAllStandardError();
    return m_output;
}
