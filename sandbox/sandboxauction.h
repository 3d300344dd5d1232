#pragma once

#include "sandboxscenario.h"

#include <QJsonObject>
#include <QMap>
#include <QString>

// One running listing and its proxy bidding, in cents. Owned by SandboxMarket; tests drive it directly.
// The high bidder pays one increment over the second-highest maximum (never more than their own maximum);
// equal maxima go to the earlier bid; a reserve that a maximum reaches lifts the price to the reserve.
class SandboxAuction {
public:
    enum class Outcome { Placed, TooLow, Ended, NotAuction };
    struct BidResult {
        Outcome outcome = Outcome::Placed;
        bool highBidder = false;
        qint64 minimumCents = 0; // what the bidder would have had to offer
    };

    SandboxAuction(const SandboxScenario::Auction& listing, double startMs, double endMs);

    // eBay's bid increment at a price level, the same bands for every currency.
    static qint64 increment(qint64 priceCents);
    static QString outcomeName(Outcome outcome);

    BidResult placeBid(const QString& bidder, qint64 maxCents, double atMs);

    const SandboxScenario::Auction& listing() const { return m_listing; }
    QString itemNumber() const { return m_listing.itemNumber; }
    bool isAuction() const { return m_listing.isAuction(); }
    double startMs() const { return m_startMs; }
    double endMs() const { return m_endMs; }
    bool isEnded(double nowMs) const { return nowMs >= m_endMs; }

    qint64 currentPriceCents() const { return m_priceCents; }
    qint64 minimumToBidCents() const;
    int bidCount() const { return m_bidCount; }
    QString highBidder() const { return m_highBidder; }
    qint64 highMaxCents() const { return m_highMaxCents; }
    bool hasReserve() const { return m_listing.reserveCents >= 0; }
    bool reserveMet() const { return hasReserve() && m_highMaxCents >= m_listing.reserveCents; }
    // "NONE", "HIGHBIDDER" or "OUTBIDDER" for a signed-in user; after the end the high bidder stays HIGHBIDDER.
    QString relation(const QString& user) const;
    QStringList bidders() const { return m_maxByBidder.keys(); }
    bool hasBidFrom(const QString& user) const;
    QString winner(double nowMs) const;

    QJsonObject stateJson(double nowMs, double ebayOffsetMs) const;

private:
    QString canonicalBidder(const QString& bidder) const;

    SandboxScenario::Auction m_listing;
    double m_startMs = 0.0;
    double m_endMs = 0.0;
    QString m_highBidder;
    qint64 m_highMaxCents = 0;
    qint64 m_priceCents = 0;
    int m_bidCount = 0;
    QMap<QString, qint64> m_maxByBidder; // key: bidder name in lower case
};
