#include "sandboxauction.h"

#include "sandboxclock.h"

#include <QJsonArray>

#include <algorithm>

SandboxAuction::SandboxAuction(const SandboxScenario::Auction& listing, double startMs, double endMs)
    : m_listing(listing)
    , m_startMs(startMs)
    , m_endMs(endMs)
    , m_priceCents(listing.startCents) {}

qint64 SandboxAuction::increment(qint64 priceCents) {
    struct Band {
        qint64 below;
        qint64 step;
    };
    static const Band bands[] = {{100, 5},     {500, 25},      {2500, 50},     {10000, 100},  {25000, 250},
                                 {50000, 500}, {100000, 1000}, {250000, 2500}, {500000, 5000}};
    for (const Band& band : bands) {
        if (priceCents < band.below)
            return band.step;
    }
    return 10000;
}

QString SandboxAuction::outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Placed:
        return QStringLiteral("placed");
    case Outcome::TooLow:
        return QStringLiteral("bidTooLow");
    case Outcome::Ended:
        return QStringLiteral("auctionEnded");
    case Outcome::NotAuction:
        return QStringLiteral("notAuction");
    }
    return {};
}

qint64 SandboxAuction::minimumToBidCents() const {
    if (m_bidCount == 0)
        return m_listing.startCents;
    return m_priceCents + increment(m_priceCents);
}

QString SandboxAuction::canonicalBidder(const QString& bidder) const {
    return bidder.toLower();
}

SandboxAuction::BidResult SandboxAuction::placeBid(const QString& bidder, qint64 maxCents, double atMs) {
    BidResult result;
    result.minimumCents = minimumToBidCents();
    if (!isAuction()) {
        result.outcome = Outcome::NotAuction;
        return result;
    }
    if (isEnded(atMs)) {
        result.outcome = Outcome::Ended;
        return result;
    }
    const QString key = canonicalBidder(bidder);
    const bool isHigh = !m_highBidder.isEmpty() && canonicalBidder(m_highBidder) == key;
    if (isHigh) {
        // Raising one's own maximum never raises the price, except to meet the reserve.
        result.minimumCents = std::max(result.minimumCents, m_highMaxCents + 1);
        if (maxCents <= m_highMaxCents) {
            result.outcome = Outcome::TooLow;
            return result;
        }
        m_highMaxCents = maxCents;
    } else {
        if (maxCents < result.minimumCents) {
            result.outcome = Outcome::TooLow;
            return result;
        }
        if (m_highBidder.isEmpty()) {
            m_highBidder = bidder;
            m_highMaxCents = maxCents;
            m_priceCents = m_listing.startCents;
        } else if (maxCents > m_highMaxCents) {
            const qint64 second = m_highMaxCents;
            m_highBidder = bidder;
            m_highMaxCents = maxCents;
            m_priceCents = std::min(maxCents, second + increment(second));
        } else {
            m_priceCents = std::min(m_highMaxCents, maxCents + increment(maxCents));
        }
    }
    if (hasReserve() && m_highMaxCents >= m_listing.reserveCents)
        m_priceCents = std::max(m_priceCents, m_listing.reserveCents);
    m_maxByBidder[key] = std::max(m_maxByBidder.value(key, 0), maxCents);
    ++m_bidCount;
    result.outcome = Outcome::Placed;
    result.highBidder = canonicalBidder(m_highBidder) == key;
    return result;
}

bool SandboxAuction::hasBidFrom(const QString& user) const {
    return m_maxByBidder.contains(canonicalBidder(user));
}

QString SandboxAuction::relation(const QString& user) const {
    if (!hasBidFrom(user))
        return QStringLiteral("NONE");
    if (canonicalBidder(m_highBidder) == canonicalBidder(user))
        return QStringLiteral("HIGHBIDDER");
    return QStringLiteral("OUTBIDDER");
}

QString SandboxAuction::winner(double nowMs) const {
    if (!isEnded(nowMs) || m_highBidder.isEmpty() || (hasReserve() && !reserveMet()))
        return {};
    return m_highBidder;
}

QJsonObject SandboxAuction::stateJson(double nowMs, double ebayOffsetMs) const {
    QJsonObject state;
    state[QStringLiteral("itemNumber")] = m_listing.itemNumber;
    state[QStringLiteral("title")] = m_listing.title;
    state[QStringLiteral("listingType")] = m_listing.listingType;
    state[QStringLiteral("site")] = m_listing.site;
    state[QStringLiteral("currency")] = m_listing.currency;
    state[QStringLiteral("currentPrice")] = SandboxScenario::fromCents(m_priceCents);
    state[QStringLiteral("minimumToBid")] = SandboxScenario::fromCents(minimumToBidCents());
    state[QStringLiteral("bidCount")] = m_bidCount;
    state[QStringLiteral("highBidder")] = m_highBidder;
    state[QStringLiteral("highBidderMax")] = SandboxScenario::fromCents(m_highMaxCents);
    state[QStringLiteral("endTime")] = SandboxClock::formatEbayTime(m_endMs + ebayOffsetMs);
    state[QStringLiteral("endTimeMs")] = m_endMs;
    state[QStringLiteral("ended")] = isEnded(nowMs);
    state[QStringLiteral("winner")] = winner(nowMs);
    if (hasReserve()) {
        state[QStringLiteral("reserve")] = SandboxScenario::fromCents(m_listing.reserveCents);
        state[QStringLiteral("reserveMet")] = reserveMet();
    }
    return state;
}
