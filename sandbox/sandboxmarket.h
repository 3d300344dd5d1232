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
    // Judges a bid and writes it to the ledger. A non-empty refusedBecause refuses it before the auction sees it
    // (bad tokens, no session, a seller's refusal) and is recorded as the reason.
    Verdict bid(const QString& itemNumber, const QString& bidder, qint64 amountCents, const QString& flow,
                bool tokensValid, const QString& refusedBecause, int requestSeq, double atMs);

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
