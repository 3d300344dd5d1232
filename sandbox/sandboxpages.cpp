#include "sandboxpages.h"

#include "sandboxclock.h"

QString SandboxPages::escape(const QString& text) {
    return text.toHtmlEscaped();
}

QString SandboxPages::amount(qint64 cents) {
    return QString::number(double(cents) / 100.0, 'f', 2);
}

QString SandboxPages::money(const QString& currency, qint64 cents) {
    return currency + QLatin1Char(' ') + amount(cents);
}

QString SandboxPages::frame(const QString& title, const QString& body) {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title></head>\n"
               "<body>\n<div id=\"gh\"><a href=\"/\">eBay</a> (tollimer-sandbox)</div>\n%2\n</body></html>\n")
        .arg(escape(title), body);
}

QString SandboxPages::signInPage(const SandboxSessions::SignInValues& values, int siteId, const QString& message) {
    QString body = QStringLiteral("<h1>Sign in</h1>\n");
    if (!message.isEmpty())
        body += QStringLiteral("<div id=\"errf\" class=\"errf\">%1</div>\n").arg(escape(message));
    body += QStringLiteral(
                "<form id=\"SignInForm\" name=\"SignInForm\" method=\"post\" "
                "action=\"/ws/eBayISAPI.dll?co_partnerId=2&amp;siteid=%1&amp;UsingSSL=1\">\n"
                "<input type=\"hidden\" name=\"MfcISAPICommand\" value=\"SignInWelcome\">\n"
                "<input type=\"hidden\" name=\"lse\" value=\"false\">\n"
                "<input type=\"hidden\" name=\"siteid\" value=\"3\">\n"
                "<input type=\"hidden\" name=\"co_partnerId\" value=\"2\">\n"
                "<input type=\"hidden\" name=\"UsingSSL\" value=\"1\">\n"
                "<input type=\"hidden\" name=\"i1\" value=\"-1\">\n"
                "<input type=\"hidden\" name=\"pageType\" value=\"-1\">\n"
                "<label for=\"userid\">Email or user ID</label> <input type=\"text\" id=\"userid\" name=\"userid\">\n"
                "<label for=\"pass\">Password</label> <input type=\"password\" id=\"pass\" name=\"pass\">\n"
                "<input type=\"checkbox\" name=\"keepMeSignInOption\" value=\"1\" checked> Stay signed in\n"
                "<input type=\"hidden\" name=\"keepMeSignInOptio2\" value=\"1\">\n"
                "<input type=\"hidden\" name=\"keepMeSignInOptio3\" value=\"1\">\n"
                "<input type=\"hidden\" name=\"mid\" value=\"%2\">\n"
                "<input type=\"hidden\" name=\"srt\" value=\"%3\">\n"
                "<input type=\"hidden\" name=\"runId2\" value=\"%4\">\n"
                "<input type=\"submit\" id=\"sgnBt\" value=\"Sign in\">\n</form>\n")
                .arg(siteId)
                .arg(escape(values.mid), escape(values.srt), escape(values.runId2));
    return frame(QStringLiteral("Sign in or Register | eBay"), body);
}

QString SandboxPages::verificationPage() {
    return frame(QStringLiteral("Security Measure | eBay"),
                 QStringLiteral("<h1>Security Measure</h1>\n<p>Please verify yourself to continue.</p>\n"
                                "<form method=\"post\" action=\"/ws/eBayISAPI.dll?VerifyCaptcha\">\n"
                                "<img src=\"/captcha.jpg\" alt=\"captcha\"> <input type=\"text\" name=\"captcha\">\n"
                                "<input type=\"submit\" value=\"Continue\">\n</form>\n"));
}

QString SandboxPages::welcomePage(const QString& username) {
    return frame(QStringLiteral("Welcome | eBay"),
                 QStringLiteral("<h1>Welcome</h1>\n<p>Hi <b id=\"gh-ug\">%1</b>, you are signed in.</p>\n"
                                "<p><a href=\"/\">Continue to eBay</a></p>")
                     .arg(escape(username)));
}

QString SandboxPages::homePage(const QString& domain, const QList<SandboxAuction*>& auctions, double nowMs) {
    QString rows;
    for (const SandboxAuction* auction : auctions) {
        const SandboxScenario::Auction& listing = auction->listing();
        rows += QStringLiteral("<li><a href=\"http://cgi.%1/ws/eBayISAPI.dll?ViewItem&amp;item=%2\">%3</a> "
                               "%4 %5</li>\n")
                    .arg(domain, listing.itemNumber, escape(listing.title),
                         money(listing.currency, auction->currentPriceCents()),
                         auction->isEnded(nowMs) ? QStringLiteral("(ended)") : QString());
    }
    return frame(QStringLiteral("Electronics, Cars, Fashion, Collectibles & More | eBay"),
                 QStringLiteral("<h1>eBay %1</h1>\n<ul id=\"listings\">\n%2</ul>").arg(escape(domain), rows));
}

QString SandboxPages::shippingMarkup(int form, const QString& text) {
    const QString value = escape(text);
    switch (form) {
    case 1:
        return QStringLiteral("<span id=\"fshippingCost\" class=\"notranslate sh-cst \"><span>%1</span></span>")
            .arg(value);
    case 2:
        return QStringLiteral("<span id=\"fshippingCost\" class=\"notranslate sh-fr-cst \"><span>%1</span></span>")
            .arg(value);
    case 3:
        return QStringLiteral("<div class=\"sh-ShipDtls sh_Prcpad\">%1</div>").arg(value);
    case 4:
        return QStringLiteral("<span class=\"vi-is1-sh-srvcCost vi-is1-hideElem vi-is1-showElem\">%1</span>")
            .arg(value);
    default:
        return {};
    }
}

QString SandboxPages::itemPage(const SandboxAuction& auction, const QString& domain, double nowMs,
                               double ebayOffsetMs) {
    const SandboxScenario::Auction& listing = auction.listing();
    const bool ended = auction.isEnded(nowMs);
    QString body = QStringLiteral("<h1 id=\"itemTitle\">%1</h1>\n"
                                  "<img id=\"icImg\" src=\"http://i.ebayimg.com/pict/%2.jpg\" alt=\"picture\">\n")
                       .arg(escape(listing.title), listing.itemNumber);
    body += QStringLiteral("<div id=\"prcIsum\">%1: %2</div>\n")
                .arg(auction.isAuction() ? QStringLiteral("Current bid") : QStringLiteral("Price"),
                     money(listing.currency, auction.currentPriceCents()));
    if (auction.isAuction()) {
        body += QStringLiteral("<div id=\"qty-test\">%1 bids</div>\n").arg(auction.bidCount());
        if (auction.hasReserve())
            body += auction.reserveMet() ? QStringLiteral("<div id=\"reserve\">Reserve met</div>\n")
                                         : QStringLiteral("<div id=\"reserve\">Reserve not met</div>\n");
    }
    body += QStringLiteral("<div id=\"bb_tlft\">%1 %2</div>\n")
                .arg(ended ? QStringLiteral("Ended:") : QStringLiteral("Ends:"),
                     SandboxClock::formatEbayTime(auction.endMs() + ebayOffsetMs));
    body += QStringLiteral("<div id=\"shipping\">Postage: %1</div>\n")
                .arg(shippingMarkup(listing.shippingMarkup, listing.shippingText));
    body += QStringLiteral("<div id=\"seller\">Seller: %1 (%2)</div>\n")
                .arg(escape(listing.seller))
                .arg(listing.feedbackScore);
    if (auction.isAuction() && !ended) {
        body += QStringLiteral("<form method=\"get\" action=\"http://offer.%1/ws/eBayISAPI.dll\">"
                               "<input type=\"hidden\" name=\"MakeBid\" value=\"\">"
                               "<input type=\"hidden\" name=\"item\" value=\"%2\">"
                               "<input type=\"text\" name=\"maxbid\" value=\"%3\">"
                               "<input type=\"submit\" value=\"Place bid\"></form>\n")
                    .arg(domain, listing.itemNumber, amount(auction.minimumToBidCents()));
    }
    body += QStringLiteral("<div id=\"viTabs_0_is\"><div class=\"u-flL iti-act-num\">%1</div>\n"
                           "<div class=\"u-flL\">Item number:</div><div class=\"u-flL\">%1</div></div>\n")
                .arg(listing.itemNumber);
    return frame(listing.title + QStringLiteral(" | eBay"), body);
}

QString SandboxPages::itemNotFoundPage(const QString& itemNumber) {
    return frame(QStringLiteral("Error | eBay"),
                 QStringLiteral("<h1>The item you're looking for cannot be found</h1>\n<p>Item %1 does not exist or "
                                "has been removed.</p>")
                     .arg(escape(itemNumber)));
}

QString SandboxPages::hiddenInput(const QString& name, const QString& value, bool valueFirst) {
    if (valueFirst)
        return QStringLiteral("<input type=\"hidden\" value=\"%1\" name=\"%2\">\n").arg(escape(value), name);
    return QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"%2\">\n").arg(name, escape(value));
}

QString SandboxPages::reviewBidPage(const SandboxAuction& auction, qint64 maxCents, const QString& inputs) {
    const SandboxScenario::Auction& listing = auction.listing();
    return frame(QStringLiteral("Review and confirm your bid | eBay"),
                 QStringLiteral("<h1>Review and confirm your bid</h1>\n<p>%1</p>\n<p>Your maximum bid: %2</p>\n"
                                "<form id=\"reviewbid\" method=\"get\" action=\"/ws/eBayISAPI.dll\">\n%3"
                                "<input type=\"submit\" value=\"Confirm bid\">\n</form>")
                     .arg(escape(listing.title), money(listing.currency, maxCents), inputs));
}

QString SandboxPages::quickBidForm(const SandboxAuction& auction, qint64 maxCents,
                                   const SandboxSessions::Tokens& tokens, bool withKey) {
    QString inputs = hiddenInput(QStringLiteral("MakeQuickBid"), QString(), false) +
                     hiddenInput(QStringLiteral("mode"), QStringLiteral("1"), false) +
                     hiddenInput(QStringLiteral("f"), QStringLiteral("json"), false) +
                     hiddenInput(QStringLiteral("maxbid"), amount(maxCents), false) +
                     hiddenInput(QStringLiteral("item"), auction.itemNumber(), false) +
                     hiddenInput(QStringLiteral("stok"), tokens.stok, false);
    if (withKey)
        inputs += hiddenInput(QStringLiteral("key"), tokens.key, false);
    inputs += hiddenInput(QStringLiteral("uiid"), tokens.uiid, false);
    return reviewBidPage(auction, maxCents, inputs);
}

QString SandboxPages::redirectPage(const QString& target) {
    return QStringLiteral("<!DOCTYPE html>\n<html><head><script type=\"text/javascript\">\n"
                          "window.parent.location = \"%1\";\n</script></head><body></body></html>\n")
        .arg(target);
}

QString SandboxPages::bidErrorPage(const QString& message) {
    return frame(QStringLiteral("Bid error | eBay"),
                 QStringLiteral("<div id=\"PageViewBids_MakeBidError\" class=\"err\">%1</div>").arg(escape(message)));
}

QString SandboxPages::makeBidForm(const SandboxAuction& auction, qint64 maxCents, const SandboxSessions::Tokens& tokens,
                                  const QString& user) {
    // Some of eBay's bid pages write an input's value before its name; the scenario says which inputs do.
    const QString valueFirst = auction.listing().htmlValueFirst;
    const bool both = valueFirst == QStringLiteral("both");
    const QString inputs =
        hiddenInput(QStringLiteral("MfcISAPICommand"), QStringLiteral("MakeBid"), false) +
        hiddenInput(QStringLiteral("item"), auction.itemNumber(), false) +
        hiddenInput(QStringLiteral("maxbid"), amount(maxCents), false) +
        hiddenInput(QStringLiteral("stok"), tokens.stok, both || valueFirst == QStringLiteral("stok")) +
        hiddenInput(QStringLiteral("uiid"), tokens.uiid, both || valueFirst == QStringLiteral("uiid")) +
        hiddenInput(QStringLiteral("mode"), QStringLiteral("1"), false) +
        hiddenInput(QStringLiteral("user"), user, false);
    return reviewBidPage(auction, maxCents, inputs);
}

QString SandboxPages::bidConfirmationPage(const SandboxAuction& auction, qint64 maxCents, bool highBidder) {
    const SandboxScenario::Auction& listing = auction.listing();
    const QString standing = highBidder ? QStringLiteral("You're the highest bidder on this item.")
                                        : QStringLiteral("You've been outbid by an earlier maximum bid.");
    return frame(QStringLiteral("Bid confirmation | eBay"),
                 QStringLiteral("<h1>Bid Confirmation</h1>\n<p>%1</p>\n<p>%2</p>\n<p>Your maximum bid: %3. "
                                "Current bid: %4.</p>")
                     .arg(standing, escape(listing.title), money(listing.currency, maxCents),
                          money(listing.currency, auction.currentPriceCents())));
}

QString SandboxPages::lowBidPage(const SandboxAuction& auction, qint64 minimumCents) {
    return frame(QStringLiteral("Place bid | eBay"),
                 QStringLiteral("<h1>Place bid</h1>\n<div class=\"statusmsg\">Please enter %1 or more.</div>")
                     .arg(money(auction.listing().currency, minimumCents)));
}

QString SandboxPages::endedPage(const SandboxAuction& auction) {
    return frame(QStringLiteral("Place bid | eBay"),
                 QStringLiteral("<h1>%1</h1>\n<div class=\"statusmsg\">Bidding has ended on this item.</div>")
                     .arg(escape(auction.listing().title)));
}

QString SandboxPages::refusalPage(const QString& reason) {
    return frame(QStringLiteral("Place bid | eBay"),
                 QStringLiteral("<h1>Place bid</h1>\n<div class=\"statusmsg\">You are unable to bid on or buy this "
                                "item because:</div><ul><li>%1</li></ul>")
                     .arg(escape(reason)));
}

QString SandboxPages::bidProblemPage(const QString& detail) {
    return frame(QStringLiteral("Place bid | eBay"),
                 QStringLiteral("<h1>Sorry, there was a problem</h1>\n<div class=\"statusmsg\">We couldn't process "
                                "your request (%1). Please try again.</div>")
                     .arg(escape(detail)));
}

QString SandboxPages::myEbayPage(const QString& title, const QStringList& itemNumbers,
                                 const QList<SandboxAuction*>& auctions) {
    QString rows;
    for (const QString& number : itemNumbers) {
        QString name = QStringLiteral("Item %1").arg(number);
        for (const SandboxAuction* auction : auctions) {
            if (auction->itemNumber() == number)
                name = auction->listing().title;
        }
        rows += QStringLiteral("<tr><td><a href=\"http://www.ebay.co.uk/itm/%1?pt=LH_DefaultDomain_3&amp;"
                               "hash=item%1\">%2</a></td><td>%1</td></tr>\n")
                    .arg(number, escape(name));
    }
    return frame(QStringLiteral("My eBay: %1").arg(title),
                 QStringLiteral("<h1>%1</h1>\n<table class=\"print\">\n%2</table>").arg(escape(title), rows));
}

QString SandboxPages::myEbaySummaryPage(const QString& username) {
    return frame(
        QStringLiteral("My eBay: Summary"),
        QStringLiteral("<h1>My eBay</h1>\n<p>Hi <b id=\"gh-ug\">%1</b></p>\n<ul><li>Watching</li><li>Bidding</li>"
                       "</ul>")
            .arg(escape(username)));
}

QString SandboxPages::versionXml(const QString& version) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Tollimer>\n  <Tollimer4Ver>%1</Tollimer4Ver>\n"
                          "</Tollimer>\n")
        .arg(escape(version));
}
