#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

struct SandboxHttpRequest;

// What the sandbox received: every request to the simulated site, a ledger of every bid with its verdict, and
// every mail its SMTP side accepted. Owned by the server; read by tests through the control interface and
// written to the log file on exit. Bids and mails are also told, one line each, to an event sink (stdout).
class SandboxRecorder {
public:
    using EventSink = std::function<void(const QString& line)>;
    void setEventSink(const EventSink& sink) { m_eventSink = sink; }
    void event(const QString& line) const;

    // Returns the request's sequence number.
    int logRequest(const SandboxHttpRequest& request, const QString& endpoint);
    void clearLog() { m_requests = QJsonArray(); }

    struct Bid {
        double timeMs = 0.0;
        QString item;
        QString bidder;
        double amount = 0.0;
        QString amountText;
        QString currency;
        QString flow; // "json", "html", "scenario" or "control"
        bool tokensValid = true;
        bool accepted = false;
        QString reason;
        int requestSeq = 0; // 0 when no request carried the bid
        double endTimeMs = 0.0;
        bool highBidder = false;
        double priceAfter = 0.0;
    };
    void recordBid(const Bid& bid);
    void clearLedger() { m_bids = QJsonArray(); }

    struct Mail {
        double timeMs = 0.0;
        QString client; // the name given in EHLO/HELO
        QString authMechanism;
        QString authUser;
        QString sender;
        QStringList recipients;
        QByteArray data; // the message as sent, dot-unstuffed, CRLF lines
    };
    // Returns the mail's sequence number.
    int recordMail(const Mail& mail);
    void clearMails() { m_mails = QJsonArray(); }

    QJsonObject logJson() const;
    QJsonObject ledgerJson() const;
    QJsonObject mailsJson() const;
    const QJsonArray& bids() const { return m_bids; }
    const QJsonArray& mails() const { return m_mails; }
    bool writeFile(const QString& path, QString* error) const;

private:
    QJsonArray m_requests;
    QJsonArray m_bids;
    QJsonArray m_mails;
    int m_nextRequestSeq = 1;
    int m_nextBidSeq = 1;
    int m_nextMailSeq = 1;
    EventSink m_eventSink;
};
