#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QStringList>

class QHostInfo;
class QTimer;
class QUdpSocket;

// Asks internet time servers for the time (SNTP over UDP) when eBay no longer tells it. The servers are tried in
// the order given; from the first that answers, several samples are taken and the one with the shortest round
// trip is kept, since its half round trip is the smallest possible error. Owned by ClockManager; one query at a
// time, a new query abandons the one in progress.
class SntpClient : public QObject {
    Q_OBJECT

public:
    static constexpr int samplesPerServer = 4;
    static constexpr int answerTimeoutMs = 1500;
    static constexpr quint16 defaultPort = 123;

    explicit SntpClient(QObject* parent = nullptr);
    ~SntpClient() override;

    // Each entry is "host" or "host:port" ("[v6 address]:port" for IPv6). finished() follows, also for an empty
    // list.
    void query(const QStringList& servers);
    bool isBusy() const { return m_busy; }
    // Time between the samples of one server. Servers expect no more than a short burst at start.
    void setSampleGapMs(int ms) { m_sampleGapMs = ms; }

    // After finished(true): the server's time now (milliseconds since the epoch, UTC), the server that gave it and
    // the round trip of the sample kept.
    qint64 serverTimeNowMs() const;
    QString server() const { return m_server; }
    qint64 roundTripMs() const { return qint64(m_best.roundTripMs + 0.5); }

    // Reads an answer to the request whose transmit stamp was `sent`; on success the server's receive and
    // transmit times (milliseconds since the epoch), else false with the reason it was refused.
    static bool readAnswer(const QByteArray& answer, const QByteArray& sent, double* receivedMs, double* transmitMs,
                           QString* refusal);
    // A request packet stamped with this time (milliseconds since the epoch); its transmit stamp is bytes 40..47.
    static QByteArray request(qint64 nowMs);

signals:
    void finished(bool ok);

private slots:
    void onLookedUp(const QHostInfo& info);
    void onReadyRead();
    void onTimeout();

private:
    struct Sample {
        double serverMs = 0.0;     // the server's time when the answer arrived
        double arrivedMs = 0.0;    // m_monotonic at arrival
        double roundTripMs = -1.0; // < 0: none
    };

    void nextServer();
    void sendSample();
    void sampleDone(bool answered);
    void finish(bool ok);
    double monotonicMs() const { return double(m_monotonic.nsecsElapsed()) / 1.0e6; }

    QStringList m_queue;
    QString m_server;
    QUdpSocket* m_socket = nullptr;
    QTimer* m_timeout = nullptr;
    QTimer* m_gap = nullptr;
    QElapsedTimer m_monotonic;
    QByteArray m_sentStamp;
    double m_sentAtMs = 0.0;
    int m_sent = 0;
    int m_silentInARow = 0;
    int m_lookupId = -1;
    quint16 m_port = defaultPort;
    int m_sampleGapMs = 1000;
    bool m_busy = false;
    Sample m_best;
};
