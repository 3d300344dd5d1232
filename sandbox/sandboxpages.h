#pragma once

#include "sandboxauction.h"
#include "sandboxsessions.h"

#include <QList>
#include <QString>

// The HTML the simulated site answers with. Each page carries the markers and phrases the program reads from
// eBay's pages and, around them, enough of a page that a browser shows something sensible.
class SandboxPages {
public:
    static QString escape(const QString& text);
    static QString amount(qint64 cents);
    static QString money(const QString& currency, qint64 cents);

    static QString signInPage(const SandboxSessions::SignInValues& values, int siteId, const QString& message);
    static QString welcomePage(const QString& username);
    // What eBay answers a right password when it wants more proof: a captcha form, no session.
    static QString verificationPage();
    static QString homePage(const QString& domain, const QList<SandboxAuction*>& auctions, double nowMs);
    static QString itemPage(const SandboxAuction& auction, const QString& domain, double nowMs, double ebayOffsetMs);
    static QString itemNotFoundPage(const QString& itemNumber);
    static QString shippingMarkup(int form, const QString& text);

    static QString quickBidForm(const SandboxAuction& auction, qint64 maxCents, const SandboxSessions::Tokens& tokens,
                                bool withKey);
    static QString redirectPage(const QString& target);
    static QString bidErrorPage(const QString& message);
    static QString makeBidForm(const SandboxAuction& auction, qint64 maxCents, const SandboxSessions::Tokens& tokens,
                               const QString& user);
    static QString bidConfirmationPage(const SandboxAuction& auction, qint64 maxCents, bool highBidder);
    static QString lowBidPage(const SandboxAuction& auction, qint64 minimumCents);
    static QString endedPage(const SandboxAuction& auction);
    static QString refusalPage(const QString& reason);
    static QString bidProblemPage(const QString& detail);

    // What a signed-in session gets for My eBay's summary.
    static QString myEbaySummaryPage(const QString& username);
    static QString myEbayPage(const QString& title, const QStringList& itemNumbers,
                              const QList<SandboxAuction*>& auctions);
    static QString versionXml(const QString& version);

private:
    static QString hiddenInput(const QString& name, const QString& value, bool valueFirst);
    static QString reviewBidPage(const SandboxAuction& auction, qint64 maxCents, const QString& inputs);
    static QString frame(const QString& title, const QString& body);
};
