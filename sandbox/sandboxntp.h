#pragma once

#include <QJsonObject>
#include <QObject>
#include <QUdpSocket>

class SandboxClock;

// The sandbox's time server: answers SNTP requests on a loopback UDP port with the sandbox's eBay clock, so that a
// client following a time server lands on the same time as one asking eBay. Faults come through the control
// interface as the endpoint "Ntp". Owned by SandboxServer.
class SandboxNtp : public QObject {
    Q_OBJECT

public:
    explicit SandboxNtp(const SandboxClock* clock, QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_socket.state() == QAbstractSocket::BoundState ? m_socket.localPort() : 0; }
    QString errorString() const { return m_socket.errorString(); }

    // {"endpoint":"Ntp","drop":bool,"stratum":N,"leap":N,"wrongOrigin":bool,"latencyMs":N,"times":N}; false with
    // a reason when invalid.
    bool setFault(const QJsonObject& object, QString* error);
    void clearFault() { m_fault = Fault(); }
    QJsonObject faultJson() const;
    int requestCount() const { return m_requests; }

private slots:
    void onReadyRead();

private:
    struct Fault {
        bool active = false;
        bool drop = false;        // no answer at all
        int stratum = 1;          // 0 and above 15 a client must refuse
        int leap = 0;             // 3: "not synchronised"
        bool wrongOrigin = false; // the originate time is not the one the client sent
        double latencyMs = 0.0;   // network delay, half on the way in and half on the way out
        int times = -1;           // requests left; -1: unlimited
    };

    void answer(const QByteArray& request, const QHostAddress& peer, quint16 peerPort, const Fault& fault);

    const SandboxClock* m_clock;
    QUdpSocket m_socket;
    Fault m_fault;
    int m_requests = 0;
};
