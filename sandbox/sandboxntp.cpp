#include "sandboxntp.h"

#include "sandboxclock.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

void writeStamp(uchar* at, double epochMs) {
    const double seconds = std::floor(epochMs / 1000.0);
    const quint64 ntpSeconds = quint64(qint64(seconds) + 2208988800LL);
    qToBigEndian<quint32>(quint32(ntpSeconds & 0xffffffffu), at);
    qToBigEndian<quint32>(quint32((epochMs - seconds * 1000.0) / 1000.0 * 4294967296.0), at + 4);
}

} // namespace

SandboxNtp::SandboxNtp(const SandboxClock* clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &SandboxNtp::onReadyRead);
}

bool SandboxNtp::listen(quint16 port) {
    return m_socket.bind(QHostAddress::LocalHost, port);
}

bool SandboxNtp::setFault(const QJsonObject& object, QString* error) {
    Fault fault;
    fault.active = true;
    fault.drop = object.value(QStringLiteral("drop")).toBool(false);
    fault.stratum = object.value(QStringLiteral("stratum")).toInt(1);
    fault.leap = object.value(QStringLiteral("leap")).toInt(0);
    fault.wrongOrigin = object.value(QStringLiteral("wrongOrigin")).toBool(false);
    fault.latencyMs = object.value(QStringLiteral("latencyMs")).toDouble(0.0);
    fault.times = object.value(QStringLiteral("times")).toInt(-1);
    if (fault.stratum < 0 || fault.stratum > 255 || fault.leap < 0 || fault.leap > 3 || fault.latencyMs < 0.0 ||
        fault.times == 0) {
        *error = QStringLiteral("stratum must be 0..255, leap 0..3, latencyMs >= 0, times > 0");
        return false;
    }
    m_fault = fault;
    return true;
}

QJsonObject SandboxNtp::faultJson() const {
    return QJsonObject{{QStringLiteral("endpoint"), QStringLiteral("Ntp")},
                       {QStringLiteral("drop"), m_fault.drop},
                       {QStringLiteral("stratum"), m_fault.stratum},
                       {QStringLiteral("leap"), m_fault.leap},
                       {QStringLiteral("wrongOrigin"), m_fault.wrongOrigin},
                       {QStringLiteral("latencyMs"), m_fault.latencyMs},
                       {QStringLiteral("times"), m_fault.times}};
}

void SandboxNtp::onReadyRead() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        ++m_requests;
        Fault fault;
        if (m_fault.active) {
            fault = m_fault;
            if (m_fault.times > 0 && --m_fault.times == 0)
                m_fault = Fault();
        }
        // Not a client's request (too short, or not mode 3): a real server says nothing either.
        const QByteArray request = datagram.data();
        if (request.size() < 48 || (uchar(request.at(0)) & 7) != 3 || fault.drop)
            continue;
        const QHostAddress peer = datagram.senderAddress();
        const quint16 peerPort = quint16(datagram.senderPort());
        if (fault.latencyMs > 0.0) {
            QTimer::singleShot(int(fault.latencyMs / 2.0 + 0.5), Qt::PreciseTimer, this,
                               [this, request, peer, peerPort, fault] { answer(request, peer, peerPort, fault); });
        } else {
            answer(request, peer, peerPort, fault);
        }
    }
}

void SandboxNtp::answer(const QByteArray& request, const QHostAddress& peer, quint16 peerPort, const Fault& fault) {
    const double received = m_clock->ebayNowMs();
    uchar bytes[48] = {};
    const int version = (uchar(request.at(0)) >> 3) & 7;
    bytes[0] = uchar((fault.leap << 6) | (version << 3) | 4);
    bytes[1] = uchar(fault.stratum);
    bytes[2] = uchar(request.at(2)); // the client's poll interval
    bytes[3] = uchar(-20);           // about a microsecond
    std::memcpy(bytes + 12, "SBOX", 4);
    writeStamp(bytes + 16, received);
    std::memcpy(bytes + 24, request.constData() + 40, 8);
    if (fault.wrongOrigin)
        bytes[31] ^= 0x5a;
    writeStamp(bytes + 32, received);
    writeStamp(bytes + 40, m_clock->ebayNowMs());
    const QByteArray reply(reinterpret_cast<const char*>(bytes), sizeof bytes);
    auto send = [this, reply, peer, peerPort] { m_socket.writeDatagram(reply, peer, peerPort); };
    // The stamps are taken as the answer leaves the server; the way back takes the other half of the latency.
    if (fault.latencyMs > 0.0)
        QTimer::singleShot(int(fault.latencyMs / 2.0 + 0.5), Qt::PreciseTimer, this, send);
    else
        send();
}
