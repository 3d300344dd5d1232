#include "sntpclient.h"

#include "hosts.h"

#include <QDateTime>
#include <QDebug>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

#include <cmath>

namespace {

constexpr int packetSize = 48;
constexpr qint64 unixFromNtpSeconds = 2208988800LL; // 1900-01-01 to 1970-01-01
constexpr double fractionUnit = 4294967296.0;       // 2^32

double msFromNtp(const uchar* stamp) {
    const quint64 seconds = qFromBigEndian<quint32>(stamp);
    const quint32 fraction = qFromBigEndian<quint32>(stamp + 4);
    // Without the top bit the 32-bit seconds have wrapped: the second era begins in February 2036.
    const qint64 unixSeconds = qint64(seconds) - unixFromNtpSeconds + ((seconds & 0x80000000u) ? 0 : (1LL << 32));
    return double(unixSeconds) * 1000.0 + double(fraction) * 1000.0 / fractionUnit;
}

// Splits "host", "host:port" and "[address]:port"; false when the port is not a number from 1 to 65535.
bool splitServer(const QString& entry, QString* host, quint16* port) {
    *port = SntpClient::defaultPort;
    QString portText;
    if (entry.startsWith(QLatin1Char('['))) {
        const int close = entry.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        *host = entry.mid(1, close - 1);
        portText = entry.mid(close + 1);
        if (!portText.isEmpty() && !portText.startsWith(QLatin1Char(':')))
            return false;
        portText = portText.mid(1);
    } else if (entry.count(QLatin1Char(':')) == 1) {
        *host = entry.section(QLatin1Char(':'), 0, 0);
        portText = entry.section(QLatin1Char(':'), 1);
    } else {
        *host = entry; // a bare IPv6 address or a plain name
    }
    if (!portText.isEmpty()) {
        bool ok = false;
        const uint value = portText.toUInt(&ok);
        if (!ok || value == 0 || value > 65535)
            return false;
        *port = quint16(value);
    }
    return !host->isEmpty();
}

} // namespace

SntpClient::SntpClient(QObject* parent)
    : QObject(parent)
    , m_timeout(new QTimer(this))
    , m_gap(new QTimer(this)) {
    m_monotonic.start();
    m_timeout->setSingleShot(true);
    m_gap->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, &SntpClient::onTimeout);
    connect(m_gap, &QTimer::timeout, this, &SntpClient::sendSample);
}

SntpClient::~SntpClient() {
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
}

QByteArray SntpClient::request(qint64 nowMs) {
    uchar bytes[packetSize] = {};
    bytes[0] = (4 << 3) | 3; // no leap warning, version 4, client
    const qint64 seconds = nowMs / 1000 + unixFromNtpSeconds;
    quint32 fraction = quint32(double(nowMs % 1000) / 1000.0 * fractionUnit);
    // The low bits (under 16 microseconds) are chance, so an answer cannot be forged by guessing our clock.
    fraction = (fraction & 0xffff0000u) | QRandomGenerator::global()->bounded(0x10000u);
    qToBigEndian<quint32>(quint32(seconds & 0xffffffffLL), bytes + 40);
    qToBigEndian<quint32>(fraction, bytes + 44);
    return QByteArray(reinterpret_cast<const char*>(bytes), packetSize);
}

bool SntpClient::readAnswer(const QByteArray& answer, const QByteArray& sent, double* receivedMs, double* transmitMs,
                            QString* refusal) {
    const auto* bytes = reinterpret_cast<const uchar*>(answer.constData());
    const int leap = answer.size() >= packetSize ? bytes[0] >> 6 : 0;
    const int stratum = answer.size() >= packetSize ? bytes[1] : 0;
    if (answer.size() < packetSize)
        *refusal = QStringLiteral("only %1 bytes").arg(answer.size());
    else if ((bytes[0] & 7) != 4)
        *refusal = QStringLiteral("not a server's answer (mode %1)").arg(bytes[0] & 7);
    else if (answer.mid(24, 8) != sent.mid(40, 8))
        *refusal = QStringLiteral("its originate time is not the one sent");
    else if (leap == 3)
        *refusal = QStringLiteral("leap indicator 3 (the server is not synchronised)");
    else if (stratum == 0 || stratum > 15)
        *refusal = QStringLiteral("stratum %1").arg(stratum);
    else if (answer.mid(40, 8) == QByteArray(8, '\0'))
        *refusal = QStringLiteral("no transmit time");
    else {
        *receivedMs = msFromNtp(bytes + 32);
        *transmitMs = msFromNtp(bytes + 40);
        return true;
    }
    return false;
}

void SntpClient::query(const QStringList& servers) {
    m_queue = servers;
    m_busy = true;
    nextServer();
}

qint64 SntpClient::serverTimeNowMs() const {
    return qint64(std::floor(m_best.serverMs + (monotonicMs() - m_best.arrivedMs) + 0.5));
}

void SntpClient::nextServer() {
    delete m_socket;
    m_socket = nullptr;
    m_timeout->stop();
    m_gap->stop();
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
    m_best = Sample();
    m_sent = 0;
    m_silentInARow = 0;
    if (m_queue.isEmpty()) {
        // Announced from the event loop, so that a caller may start a query from its own finished() slot.
        QTimer::singleShot(0, this, [this] { finish(false); });
        return;
    }
    m_server = m_queue.takeFirst().trimmed();
    QString host;
    quint16 port = 0;
    if (!splitServer(m_server, &host, &port)) {
        qWarning().noquote() << QStringLiteral("Time server \"%1\" is not host[:port]; skipped").arg(m_server);
        nextServer();
        return;
    }
    m_port = port;
    m_lookupId = QHostInfo::lookupHost(host, this, &SntpClient::onLookedUp);
}

void SntpClient::onLookedUp(const QHostInfo& info) {
    m_lookupId = -1;
    QHostAddress address;
    for (const QHostAddress& candidate : info.addresses()) {
        if (address.isNull() || (candidate.protocol() == QAbstractSocket::IPv4Protocol &&
                                 address.protocol() != QAbstractSocket::IPv4Protocol))
            address = candidate;
    }
    if (address.isNull()) {
        qWarning().noquote() << QStringLiteral("Time server %1 not found: %2").arg(m_server, info.errorString());
        nextServer();
        return;
    }
    // With the simulated eBay nothing may leave this machine, whatever the settings say.
    if (Hosts::sandboxMode() && !address.isLoopback()) {
        qWarning().noquote() << QStringLiteral(
                                    "Time server %1 is not on this machine; not asked with TOLLIMER_SANDBOX set")
                                    .arg(m_server);
        nextServer();
        return;
    }
    m_socket = new QUdpSocket(this);
    connect(m_socket, &QUdpSocket::readyRead, this, &SntpClient::onReadyRead);
    m_socket->connectToHost(address, m_port);
    sendSample();
}

void SntpClient::sendSample() {
    ++m_sent;
    m_sentStamp = request(QDateTime::currentMSecsSinceEpoch());
    m_sentAtMs = monotonicMs();
    m_socket->write(m_sentStamp);
    m_timeout->start(answerTimeoutMs);
}

void SntpClient::onReadyRead() {
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const QByteArray answer = m_socket->receiveDatagram().data();
        const double arrivedMs = monotonicMs();
        if (!m_timeout->isActive())
            continue; // an answer after its time-out, or between samples
        double receivedMs = 0.0;
        double transmitMs = 0.0;
        QString refusal;
        if (!readAnswer(answer, m_sentStamp, &receivedMs, &transmitMs, &refusal)) {
            qWarning().noquote() << QStringLiteral("Time server %1: answer refused, %2").arg(m_server, refusal);
            // An answer to an earlier request (or a forged one) is not this sample's: keep waiting for it.
            if (!refusal.startsWith(QStringLiteral("its originate")))
                sampleDone(true);
            continue;
        }
        // The time the server spent between receiving and answering is not network delay.
        const double roundTripMs = std::max(0.0, (arrivedMs - m_sentAtMs) - (transmitMs - receivedMs));
        if (m_best.roundTripMs < 0.0 || roundTripMs < m_best.roundTripMs)
            m_best = Sample{transmitMs + roundTripMs / 2.0, arrivedMs, roundTripMs};
        sampleDone(true);
    }
}

void SntpClient::onTimeout() {
    sampleDone(false);
}

void SntpClient::sampleDone(bool answered) {
    m_timeout->stop();
    m_silentInARow = answered ? 0 : m_silentInARow + 1;
    // A server silent twice in a row is taken for gone; waiting out all its samples would delay the next one.
    if (m_sent >= samplesPerServer || m_silentInARow >= 2) {
        if (m_best.roundTripMs >= 0.0) {
            finish(true);
            return;
        }
        qWarning().noquote() << QStringLiteral("Time server %1 gave no usable answer").arg(m_server);
        nextServer();
        return;
    }
    m_gap->start(m_sampleGapMs);
}

void SntpClient::finish(bool ok) {
    delete m_socket;
    m_socket = nullptr;
    m_timeout->stop();
    m_gap->stop();
    m_queue.clear();
    m_busy = false;
    emit finished(ok);
}
