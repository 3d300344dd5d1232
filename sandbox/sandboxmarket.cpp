#include "sandboxmarket.h"

#include "sandboxclock.h"
#include "sandboxrecorder.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

SandboxMarket::SandboxMarket(SandboxClock* clock, SandboxRecorder* recorder)
    : m_clock(clock)
    , m_recorder(recorder) {}

void SandboxMarket::load(const SandboxScenario& scenario) {
    m_scenario = scenario;
    m_auctions.clear();
    m_pending.clear();
    m_recorder->clearLedger();
    m_clock->setOffsetMs(scenario.clockOffsetSeconds * 1000.0);
    const double startMs = m_clock->nowMs();
    const double offsetMs = m_clock->offsetMs();
    for (const SandboxScenario::Auction& listing : scenario.auctions) {
        // Auctions end on a whole second of eBay's clock, as eBay's end times do.
        const double ebayEndMs = std::ceil((startMs + offsetMs + listing.endsInSeconds * 1000.0) / 1000.0) * 1000.0;
        m_auctions.append(SandboxAuction(listing, startMs, ebayEndMs - offsetMs));
        for (const SandboxScenario::ScriptedBid& bid : listing.bids)
            m_pending.append({startMs + bid.atSeconds * 1000.0, listing.itemNumber, bid});
    }
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [](const Pending& a, const Pending& b) { return a.atMs < b.atMs; });
}

void SandboxMarket::advance() {
    if (m_advancing)
        return;
    m_advancing = true;
    const double now = m_clock->nowMs();
    while (!m_pending.isEmpty() && m_pending.first().atMs <= now) {
        const Pending due = m_pending.takeFirst();
        bid(due.itemNumber, due.bid.bidder, due.bid.amountCents, QStringLiteral("scenario"), true, QString(), 0,
            due.atMs);
    }
    m_advancing = false;
}

SandboxAuction* SandboxMarket::auction(const QString& itemNumber) {
    advance();
    for (SandboxAuction& auction : m_auctions) {
        if (auction.itemNumber() == itemNumber)
            return &auction;
    }
    return nullptr;
}

QList<SandboxAuction*> SandboxMarket::auctions() {
    advance();
    QList<SandboxAuction*> all;
    for (SandboxAuction& auction : m_auctions)
        all.append(&auction);
    return all;
}

SandboxMarket::Verdict SandboxMarket::bid(const QString& itemNumber, const QString& bidder, qint64 amountCents,
                                          const QString& flow, bool tokensValid, const QString& refusedBecause,
                                          int requestSeq, double atMs) {
    Verdict verdict;
    verdict.auction = auction(itemNumber);
    SandboxRecorder::Bid entry;
    entry.timeMs = atMs;
    entry.item = itemNumber;
    entry.bidder = bidder;
    entry.amount = SandboxScenario::fromCents(amountCents);
    entry.flow = flow;
    entry.tokensValid = tokensValid;
    entry.requestSeq = requestSeq;
    if (!verdict.auction) {
        verdict.reason = QStringLiteral("unknownItem");
    } else {
        entry.currency = verdict.auction->listing().currency;
        entry.endTimeMs = verdict.auction->endMs();
        verdict.result.minimumCents = verdict.auction->minimumToBidCents();
        if (!refusedBecause.isEmpty()) {
            verdict.reason = refusedBecause;
        } else {
            verdict.result = verdict.auction->placeBid(bidder, amountCents, atMs);
            verdict.accepted = verdict.result.outcome == SandboxAuction::Outcome::Placed;
            verdict.reason = SandboxAuction::outcomeName(verdict.result.outcome);
        }
        entry.highBidder = verdict.auction->relation(bidder) == QStringLiteral("HIGHBIDDER");
        entry.priceAfter = SandboxScenario::fromCents(verdict.auction->currentPriceCents());
    }
    entry.accepted = verdict.accepted;
    entry.reason = verdict.reason;
    m_recorder->recordBid(entry);
    return verdict;
}

QJsonObject SandboxMarket::stateJson() {
    const QList<SandboxAuction*> all = auctions();
    const double now = m_clock->nowMs();
    QJsonArray list;
    for (const SandboxAuction* auction : all)
        list.append(auction->stateJson(now, m_clock->offsetMs()));
    QJsonObject state;
    state[QStringLiteral("now")] = SandboxClock::formatEbayTime(m_clock->ebayNowMs());
    state[QStringLiteral("nowMs")] = now;
    state[QStringLiteral("offsetMs")] = m_clock->offsetMs();
    state[QStringLiteral("auctions")] = list;
    return state;
}
