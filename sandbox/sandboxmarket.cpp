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
        Offer offer;
        offer.itemNumber = due.itemNumber;
        offer.bidder = due.bid.bidder;
        offer.amountCents = due.bid.amountCents;
        offer.flow = QStringLiteral("scenario");
        offer.atMs = due.atMs;
        bid(offer);
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

SandboxMarket::Verdict SandboxMarket::bid(const Offer& offer) {
    Verdict verdict;
    verdict.auction = auction(offer.itemNumber);
    SandboxRecorder::Bid entry;
    entry.timeMs = offer.atMs;
    entry.item = offer.itemNumber;
    entry.bidder = offer.bidder;
    entry.amount = SandboxScenario::fromCents(offer.amountCents);
    entry.amountText = offer.amountText;
    entry.flow = offer.flow;
    entry.tokensValid = offer.tokensValid;
    entry.requestSeq = offer.requestSeq;
    if (!offer.refusedBecause.isEmpty())
        verdict.reason = offer.refusedBecause;
    else if (!verdict.auction)
        verdict.reason = QStringLiteral("unknownItem");
    if (verdict.auction) {
        entry.currency = verdict.auction->listing().currency;
        entry.endTimeMs = verdict.auction->endMs();
        verdict.result.minimumCents = verdict.auction->minimumToBidCents();
        if (verdict.reason.isEmpty()) {
            verdict.result = verdict.auction->placeBid(offer.bidder, offer.amountCents, offer.atMs);
            verdict.accepted = verdict.result.outcome == SandboxAuction::Outcome::Placed;
            verdict.reason = SandboxAuction::outcomeName(verdict.result.outcome);
        }
        entry.highBidder = verdict.auction->relation(offer.bidder) == QStringLiteral("HIGHBIDDER");
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
