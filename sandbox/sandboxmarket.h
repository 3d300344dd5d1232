#pragma once

#include "sandboxauction.h"
#include "sandboxscenario.h"

#include <QJsonObject>
#include <QList>
#include <QString>

class SandboxClock;
class SandboxRecorder;

// The auctions of the loaded scenario as they run in real time. Scripted rival bids are applied when their moment
// has passed, before anything reads or bids, so every reader sees the auctions exactly as at that moment.
// Every bid, from whatever source, goes through bid() so that the ledger is complete.
class SandboxMarket {
public:
    SandboxMarket(SandboxClock* clock, SandboxRecorder* recorder);

    // Starts the scenario now: end times and scripted bids count from this moment; the clock takes its offset.
    void load(const SandboxScenario& scenario);
    void reset() { load(m_scenario); }
    const SandboxScenario& scenario() const { return m_scenario; }

    // Applies the scripted bids that are due.
    void advance();
    // The auction with that number after advance(), or null.
    SandboxAuction* auction(const QString& itemNumber);
    QList<SandboxAuction*> auctions();

    struct Verdict {
        bool accepted = false;
        QString reason; // "placed" or why not
        SandboxAuction::BidResult result;
        SandboxAuction* auction = nullptr;
    };
    struct Offer {
        QString itemNumber;
        QString bidder;
        qint64 amountCents = 0;
        QString amountText; // as sent, when a request carried it
        QString flow;       // "json", "html", "scenario" or "control"
        bool tokensValid = true;
        QString refusedBecause; // refuses the bid before the auction sees it (bad tokens, no session, ...)
        int requestSeq = 0;
        double atMs = 0.0;
    };
    // Judges a bid and writes it to the ledger.
    Verdict bid(const Offer& offer);

    QJsonObject stateJson();

private:
    struct Pending {
        double atMs;
        QString itemNumber;
        SandboxScenario::ScriptedBid bid;
    };

    SandboxClock* m_clock;
    SandboxRecorder* m_recorder;
    SandboxScenario m_scenario;
    QList<SandboxAuction> m_auctions;
    QList<Pending> m_pending; // sorted by time
    bool m_advancing = false;
};
