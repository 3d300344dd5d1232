#include "smtpserverprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>

namespace {
// The certificate and its key, made once per run.
QString certificatePath(const QString& name) {
    static QTemporaryDir dir;
    return QDir(dir.path()).filePath(name);
}
} // namespace

SmtpServerProcess::~SmtpServerProcess() {
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    delete m_process;
}

bool SmtpServerProcess::start(const QString& connection) {
    const QString script =
        QDir(QString::fromUtf8(TOLLIMER_TEST_DATA)).filePath(QStringLiteral("../support/smtp_server.py"));
    QStringList arguments{script,    QStringLiteral("--dir"),      m_spool.path(), QStringLiteral("--user"),
                          user(),    QStringLiteral("--password"), password(),     QStringLiteral("--mode"),
                          connection};
    if (connection != QLatin1String("tcp")) {
        const QString cert = certificateFile();
        if (cert.isEmpty())
            return false;
        arguments << QStringLiteral("--cert") << cert << QStringLiteral("--key")
                  << certificatePath(QStringLiteral("key.pem"));
    }
    // Debian's interpreter: the one first on the PATH may lack aiosmtpd.
    m_process = new QProcess;
    m_process->start(QStringLiteral("/usr/bin/python3"), arguments);
    // The first line is the port; anything else means the server did not come up.
    QElapsedTimer timer;
    timer.start();
    while (!m_process->canReadLine() && m_process->state() != QProcess::NotRunning && timer.elapsed() < 10000)
        m_process->waitForReadyRead(1000);
    bool ok = false;
    const uint port = m_process->readLine().trimmed().toUInt(&ok);
    m_port = ok && port > 0 && port <= 65535 ? static_cast<quint16>(port) : 0;
    return m_port != 0;
}

void SmtpServerProcess::writeAccount(quint16 port, const QString& connection, const QString& auth) {
    QSettings settings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
    settings.beginGroup(QStringLiteral("NotificationMail"));
    settings.setValue(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("port"), port);
    if (!connection.isEmpty())
        settings.setValue(QStringLiteral("connection"), connection);
    settings.setValue(QStringLiteral("auth"), auth);
    settings.setValue(QStringLiteral("sender"), QStringLiteral("notify@example.test"));
    settings.setValue(QStringLiteral("user"), user());
    settings.setValue(QStringLiteral("password"), password());
    if (connection != QLatin1String("tcp"))
        settings.setValue(QStringLiteral("caCertificates"), certificateFile());
    settings.endGroup();
    settings.sync();
}

QString SmtpServerProcess::certificateFile() {
    static const QString made = [] {
        const QString cert = certificatePath(QStringLiteral("cert.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      QStringLiteral("req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -addext "
                                     "subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout")
                              .split(QLatin1Char(' '))
                          << certificatePath(QStringLiteral("key.pem")) << QStringLiteral("-out") << cert);
        const bool ok = openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit &&
                        openssl.exitCode() == 0 && QFile::exists(cert);
        if (!ok)
            qCritical() << "openssl could not make a certificate:" << openssl.readAllStandardError();
        return ok ? cert : QString();
    }();
    return made;
}

QList<SmtpServerProcess::Received> SmtpServerProcess::received() const {
    QList<Received> list;
    const QDir dir(m_spool.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        QStringList to;
        for (const QJsonValue& recipient : object.value(QStringLiteral("to")).toArray())
            to << recipient.toString();
        const QString envelope =
            QStringLiteral("from %1 to %2 by %3 over %4")
                .arg(object.value(QStringLiteral("from")).toString(), to.join(QStringLiteral(", ")),
                     object.value(QStringLiteral("mechanism")).toString(),
                     object.value(QStringLiteral("tls")).toBool() ? "tls" : "tcp");
        const Received mail{envelope,
                            QByteArray::fromBase64(object.value(QStringLiteral("content")).toString().toLatin1())};
        list << mail;
    }
    return list;
}

QByteArray SmtpServerProcess::output() const {
    if (m_process)
        m_output += m_process->readAllStandardOutput() + m_process->readAllStandardError();
    return m_output;
}
