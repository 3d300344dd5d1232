#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

struct SandboxHttpRequest;

// What the sandbox received: every request to the simulated site, and a ledger of every bid with its verdict.
// Owned by the server; read by tests through the control interface and written to the log file on exit.
class SandboxRecorder {
public:
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

    QJsonObject logJson() const;
    QJsonObject ledgerJson() const;
    bool writeFile(const QString& path, QString* error) const;

private:
    QJsonArray m_requests;
    QJsonArray m_bids;
    int m_nextRequestSeq = 1;
    int m_nextBidSeq = 1;
};
