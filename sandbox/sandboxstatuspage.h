#pragma once

#include <QString>

class SandboxClock;
class SandboxMarket;
class SandboxRecorder;

// The sandbox's own page for a person watching a demo or a test (GET /_sandbox/ in a browser): the auctions
// with their end, price, high bidder and winner, the bid ledger (newest first) and the mails received.
// It reloads itself every few seconds. Built by SandboxServer on request; holds nothing.
class SandboxStatusPage {
public:
    static QString render(SandboxMarket& market, const SandboxRecorder& recorder, const SandboxClock& clock,
                          quint16 smtpPort);

private:
    static QString auctionRows(SandboxMarket& market, const SandboxClock& clock);
    static QString bidRows(const SandboxRecorder& recorder, double offsetMs);
    static QString mailSection(const SandboxRecorder& recorder, double offsetMs);
    static QString clockText(double epochMs);
};
