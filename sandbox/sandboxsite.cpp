#include "sandboxsite.h"

#include "sandboxclock.h"
#include "sandboxmarket.h"
#include "sandboxpages.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString applicationId = QStringLiteral("Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14");
const int maxItemsPerCall = 20;

QJsonObject amountJson(qint64 cents, const QString& currency) {
    return QJsonObject{{QStringLiteral("Value"), SandboxScenario::fromCents(cents)},
                       {QStringLiteral("CurrencyID"), currency}};
}

QString timeLeft(double remainingMs) {
    qint64 seconds = std::max<qint64>(0, qint64(remainingMs / 1000.0));
    const qint64 days = seconds / 86400;
    seconds %= 86400;
    return QStringLiteral("P%1DT%2H%3M%4S").arg(days).arg(seconds / 3600).arg((seconds % 3600) / 60).arg(seconds % 60);
}

QString siteName(int siteId) {
    switch (siteId) {
    case 0:
        return QStringLiteral("US");
    case 3:
        return QStringLiteral("UK");
    case 77:
        return QStringLiteral("Germany");
    case 71:
        return QStringLiteral("France");
    case 15:
        return QStringLiteral("Australia");
    default:
        return QStringLiteral("Site%1").arg(siteId);
    }
}

QJsonObject jsonFailure(const QString& error, const QStringList& debugErrors = {}) {
    QJsonObject answer{{QStringLiteral("Status"), QStringLiteral("FAILURE")}, {QStringLiteral("Error"), error}};
    if (!debugErrors.isEmpty())
        answer[QStringLiteral("DebugError")] = QJsonArray::fromStringList(debugErrors);
    return answer;
}

} // namespace

SandboxSite::SandboxSite(SandboxClock* clock, SandboxMarket* market, SandboxSessions* sessions)
    : m_clock(clock)
    , m_market(market)
    , m_sessions(sessions)
    , m_browse(clock, market) {}

int SandboxSite::siteIdForDomain(const QString& domain) {
    static const QHash<QString, int> sites{{QStringLiteral("ebay.com.au"), 15},   {QStringLiteral("ebay.at"), 16},
                                           {QStringLiteral("benl.ebay.be"), 123}, {QStringLiteral("befr.ebay.be"), 23},
                                           {QStringLiteral("ebay.ca"), 2},        {QStringLiteral("ebay.fr"), 71},
                                           {QStringLiteral("ebay.de"), 77},       {QStringLiteral("ebay.com.hk"), 201},
                                           {QStringLiteral("ebay.in"), 203},      {QStringLiteral("ebay.ie"), 205},
                                           {QStringLiteral("ebay.it"), 101},      {QStringLiteral("ebay.com.my"), 207},
                                           {QStringLiteral("ebay.nl"), 146},      {QStringLiteral("ebay.ph"), 211},
                                           {QStringLiteral("ebay.pl"), 212},      {QStringLiteral("ebay.com.sg"), 216},
                                           {QStringLiteral("ebay.es"), 186},      {QStringLiteral("ebay.ch"), 193},
                                           {QStringLiteral("ebay.co.uk"), 3},     {QStringLiteral("ebay.com"), 0}};
    return sites.value(domain, 3);
}

QString SandboxSite::domainOfHost(const QString& host) {
    const int dot = host.indexOf(QLatin1Char('.'));
    return dot < 0 ? host : host.mid(dot + 1);
}

QString SandboxSite::cookieDomainAttribute(const QString& host) const {
    static const QRegularExpression address(QStringLiteral("^[0-9.]+$|^\\["));
    if (!host.contains(QLatin1Char('.')) || address.match(host).hasMatch())
        return {};
    return QStringLiteral("; Domain=.") + domainOfHost(host);
}

QString SandboxSite::endpointFor(const SandboxHttpRequest& request) {
    if (request.method == "CONNECT")
        return QStringLiteral("Unknown");
    const QString path = request.path;
    const QString rest = SandboxBrowse::endpointFor(request);
    if (!rest.isEmpty())
        return rest;
    if (path == QStringLiteral("/shopping")) {
        const QString call = request.queryValue(QStringLiteral("callname"));
        if (call == QStringLiteral("GetMultipleItems"))
            return call;
        if (call == QStringLiteral("GeteBayTime"))
            return call;
        return QStringLiteral("Unknown");
    }
    if (path.compare(QStringLiteral("/ws/eBayISAPI.dll"), Qt::CaseInsensitive) == 0) {
        const QString key = request.firstQueryKey();
        if (key == QStringLiteral("SignIn"))
            return QStringLiteral("SignInPage");
        if (request.method == "POST" && request.hasQueryItem(QStringLiteral("co_partnerId")))
            return QStringLiteral("SignInPost");
        if (key == QStringLiteral("ViewItemLite"))
            return QStringLiteral("ViewItemLite");
        if (key == QStringLiteral("ViewItem"))
            return QStringLiteral("ViewItem");
        if (key == QStringLiteral("MakeQuickBid"))
            return request.queryValue(QStringLiteral("mode")) == QStringLiteral("1") ? QStringLiteral("QuickBidStep2")
                                                                                     : QStringLiteral("QuickBidStep1");
        if (key == QStringLiteral("MakeBid"))
            return QStringLiteral("MakeBidStep1");
        if (key == QStringLiteral("MfcISAPICommand") &&
            request.queryValue(QStringLiteral("MfcISAPICommand")) == QStringLiteral("MakeBid"))
            return QStringLiteral("MakeBidStep2");
        if (key == QStringLiteral("MyEbayBeta")) {
            if (request.hasQueryItem(QStringLiteral("SubmitAction.ItemsPerPageSave")))
                return QStringLiteral("MyeBayPageSize");
            if (request.queryValue(QStringLiteral("CurrentPage")) == QStringLiteral("MyeBayNextBidding"))
                return QStringLiteral("MyeBayBidding");
            if (request.queryValue(QStringLiteral("CurrentPage")) == QStringLiteral("MyeBaySummary"))
                return QStringLiteral("MyeBaySummary");
            return QStringLiteral("MyeBayWatching");
        }
        return QStringLiteral("Unknown");
    }
    if (path == QStringLiteral("/version.xml"))
        return QStringLiteral("Version");
    if (path.startsWith(QStringLiteral("/itm/")))
        return QStringLiteral("ViewItem");
    if (path.startsWith(QStringLiteral("/pict/")))
        return QStringLiteral("Picture");
    if (path.isEmpty() || path == QStringLiteral("/"))
        return QStringLiteral("Home");
    return QStringLiteral("Unknown");
}

SandboxHttpResponse SandboxSite::handle(const SandboxHttpRequest& request, const QString& endpoint, int requestSeq) {
    if (endpoint == QStringLiteral("GetMultipleItems"))
        return shopping(request, true);
    if (endpoint == QStringLiteral("GeteBayTime"))
        return shopping(request, false);
    if (endpoint == QStringLiteral("BrowseToken"))
        return m_browse.token(request);
    if (endpoint == QStringLiteral("BrowseItem"))
        return m_browse.item(request);
    if (endpoint == QStringLiteral("SignInPage"))
        return signInPage(request, QString());
    if (endpoint == QStringLiteral("SignInPost"))
        return signInPost(request);
    if (endpoint == QStringLiteral("ViewItemLite"))
        return viewItemLite(request);
    if (endpoint == QStringLiteral("ViewItem"))
        return viewItem(request);
    if (endpoint == QStringLiteral("QuickBidStep1"))
        return quickBidStep1(request);
    if (endpoint == QStringLiteral("QuickBidStep2"))
        return quickBidStep2(request, requestSeq);
    if (endpoint == QStringLiteral("MakeBidStep1"))
        return makeBidStep1(request);
    if (endpoint == QStringLiteral("MakeBidStep2"))
        return makeBidStep2(request, requestSeq);
    if (endpoint.startsWith(QStringLiteral("MyeBay")))
        return myEbay(request, endpoint);
    if (endpoint == QStringLiteral("Version")) {
        SandboxHttpResponse response =
            SandboxHttpResponse::html(SandboxPages::versionXml(m_market->scenario().publishedVersion));
        response.setHeader("Content-Type", "text/xml; charset=utf-8");
        return response;
    }
    if (endpoint == QStringLiteral("Home"))
        return home(request);
    if (endpoint == QStringLiteral("Picture"))
        return picture(request);
    if (request.method == "CONNECT")
        return SandboxHttpResponse::text(
            QStringLiteral("tollimer-sandbox does not tunnel https (CONNECT): in sandbox mode use http URLs.\n"), 501);
    return SandboxHttpResponse::html(
        QStringLiteral("<html><body><h1>Not found</h1><p>tollimer-sandbox has no page at %1</p></body></html>")
            .arg(SandboxPages::escape(request.fullUrl())),
        404);
}

QString SandboxSite::sessionUser(const SandboxHttpRequest& request, QString* session) const {
    const QString value = request.cookies().value(m_sessions->sessionCookie());
    if (session)
        *session = value;
    return value.isEmpty() ? QString() : m_sessions->userOfSession(value);
}

SandboxHttpResponse SandboxSite::shopping(const SandboxHttpRequest& request, bool items) {
    const double ebayNow = m_clock->ebayNowMs();
    QJsonObject answer;
    answer[QStringLiteral("Timestamp")] = SandboxClock::formatEbayTime(ebayNow);
    answer[QStringLiteral("Build")] = QStringLiteral("E1201_CORE_APILW2_sandbox");
    answer[QStringLiteral("Version")] = request.queryValue(QStringLiteral("version"));
    QJsonArray errors;
    if (request.queryValue(QStringLiteral("appid")) != applicationId) {
        errors.append(QJsonObject{
            {QStringLiteral("ShortMessage"), QStringLiteral("Invalid Application ID.")},
            {QStringLiteral("LongMessage"), QStringLiteral("Application ID invalid or not allowed for this call.")},
            {QStringLiteral("ErrorCode"), QStringLiteral("1.20")},
            {QStringLiteral("SeverityCode"), QStringLiteral("Error")},
            {QStringLiteral("ErrorClassification"), QStringLiteral("RequestError")}});
        answer[QStringLiteral("Ack")] = QStringLiteral("Failure");
        answer[QStringLiteral("Errors")] = errors;
        return SandboxHttpResponse::json(answer);
    }
    if (!items) {
        answer[QStringLiteral("Ack")] = QStringLiteral("Success");
        return SandboxHttpResponse::json(answer);
    }
    const QStringList numbers =
        request.queryValue(QStringLiteral("ItemID")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    // eBay takes at most twenty numbers per call and refuses a longer list whole.
    if (numbers.size() > maxItemsPerCall) {
        errors.append(QJsonObject{
            {QStringLiteral("ShortMessage"), QStringLiteral("Too many item IDs.")},
            {QStringLiteral("LongMessage"),
             QStringLiteral("The number of item IDs in the request exceeds the maximum of %1.").arg(maxItemsPerCall)},
            {QStringLiteral("ErrorCode"), QStringLiteral("1.23")},
            {QStringLiteral("SeverityCode"), QStringLiteral("Error")},
            {QStringLiteral("ErrorClassification"), QStringLiteral("RequestError")}});
        answer[QStringLiteral("Ack")] = QStringLiteral("Failure");
        answer[QStringLiteral("Errors")] = errors;
        return SandboxHttpResponse::json(answer);
    }
    const double now = m_clock->nowMs();
    QJsonArray found;
    QStringList unknown;
    for (const QString& part : numbers) {
        const QString number = part.trimmed();
        if (number.isEmpty())
            continue;
        SandboxAuction* auction = m_market->auction(number);
        if (!auction) {
            unknown.append(number);
            continue;
        }
        const SandboxScenario::Auction& listing = auction->listing();
        const bool ended = auction->isEnded(now);
        QJsonObject item;
        item[QStringLiteral("ItemID")] = listing.itemNumber;
        item[QStringLiteral("Title")] = listing.title;
        item[QStringLiteral("ListingType")] = listing.listingType;
        item[QStringLiteral("ListingStatus")] = ended ? QStringLiteral("Completed") : QStringLiteral("Active");
        item[QStringLiteral("EndTime")] = SandboxClock::formatEbayTime(auction->endMs() + m_clock->offsetMs());
        item[QStringLiteral("TimeLeft")] = timeLeft(auction->endMs() - now);
        item[QStringLiteral("BidCount")] = auction->bidCount();
        item[QStringLiteral("CurrentPrice")] = amountJson(auction->currentPriceCents(), listing.currency);
        item[QStringLiteral("ConvertedCurrentPrice")] = amountJson(auction->currentPriceCents(), listing.currency);
        item[QStringLiteral("MinimumToBid")] = amountJson(auction->minimumToBidCents(), listing.currency);
        item[QStringLiteral("Site")] = siteName(listing.site);
        item[QStringLiteral("PictureURL")] =
            QJsonArray{QStringLiteral("http://i.ebayimg.com/pict/%1.jpg").arg(listing.itemNumber)};
        item[QStringLiteral("ViewItemURLForNaturalSearch")] =
            QStringLiteral("http://www.ebay.co.uk/itm/%1").arg(listing.itemNumber);
        item[QStringLiteral("Seller")] =
            QJsonObject{{QStringLiteral("UserID"), listing.seller},
                        {QStringLiteral("FeedbackScore"), listing.feedbackScore},
                        {QStringLiteral("PositiveFeedbackPercent"), listing.positiveFeedbackPercent}};
        if (auction->hasReserve())
            item[QStringLiteral("ReserveMet")] = auction->reserveMet();
        if (!auction->highBidder().isEmpty() && auction->isAuction())
            item[QStringLiteral("HighBidder")] = QJsonObject{{QStringLiteral("UserID"), auction->highBidder()}};
        found.append(item);
    }
    if (!unknown.isEmpty()) {
        const QString value = unknown.join(QLatin1Char(','));
        errors.append(QJsonObject{
            {QStringLiteral("ShortMessage"), QStringLiteral("Invalid item ID.")},
            {QStringLiteral("LongMessage"), QStringLiteral("Item ID \"%1\" is invalid, not activated, or no longer in "
                                                           "our database, or an Live Auction item.")
                                                .arg(value)},
            {QStringLiteral("ErrorCode"), QStringLiteral("10.12")},
            {QStringLiteral("SeverityCode"), QStringLiteral("Error")},
            {QStringLiteral("ErrorParameters"),
             QJsonArray{
                 QJsonObject{{QStringLiteral("Value"), value}, {QStringLiteral("ParamID"), QStringLiteral("0")}}}},
            {QStringLiteral("ErrorClassification"), QStringLiteral("RequestError")}});
        answer[QStringLiteral("Errors")] = errors;
        answer[QStringLiteral("Ack")] = found.isEmpty() ? QStringLiteral("Failure") : QStringLiteral("PartialFailure");
    } else {
        answer[QStringLiteral("Ack")] = QStringLiteral("Success");
    }
    if (!found.isEmpty())
        answer[QStringLiteral("Item")] = found;
    return SandboxHttpResponse::json(answer);
}

SandboxHttpResponse SandboxSite::signInPage(const SandboxHttpRequest& request, const QString& message) {
    const SandboxSessions::SignInValues values = m_sessions->issueSignInValues();
    SandboxHttpResponse response = SandboxHttpResponse::html(
        SandboxPages::signInPage(values, siteIdForDomain(domainOfHost(request.host)), message));
    response.addHeader("Set-Cookie", (SandboxSessions::preSessionCookie + QLatin1Char('=') + values.preSession +
                                      cookieDomainAttribute(request.host) + QStringLiteral("; Path=/"))
                                         .toLatin1());
    response.setHeader("Cache-Control", "no-cache");
    return response;
}

SandboxHttpResponse SandboxSite::signInPost(const SandboxHttpRequest& request) {
    QString userid;
    QString pass;
    QString srt;
    bool sawSrt = false;
    for (const auto& item : request.formItems()) {
        if (item.first == QStringLiteral("userid"))
            userid = item.second;
        else if (item.first == QStringLiteral("pass"))
            pass = item.second;
        else if (item.first == QStringLiteral("srt")) {
            srt = item.second;
            sawSrt = true;
        }
    }
    const QString incorrect = QStringLiteral("Your user ID or password is incorrect.");
    if (!sawSrt || !m_sessions->isIssuedSrt(srt))
        return signInPage(request, incorrect + QStringLiteral(" (The form's srt value is not one this sign-in page "
                                                              "issued.)"));
    const QString username = m_sessions->checkPassword(userid, pass);
    if (username.isEmpty())
        return signInPage(request, incorrect);
    if (m_sessions->user(username)->challenge)
        return SandboxHttpResponse::html(SandboxPages::verificationPage());
    const QString session = m_sessions->openSession(username);
    SandboxHttpResponse response = SandboxHttpResponse::html(SandboxPages::welcomePage(username));
    response.addHeader("Set-Cookie", (m_sessions->sessionCookie() + QLatin1Char('=') + session +
                                      cookieDomainAttribute(request.host) + QStringLiteral("; Path=/"))
                                         .toLatin1());
    return response;
}

SandboxHttpResponse SandboxSite::viewItemLite(const SandboxHttpRequest& request) {
    const QString user = sessionUser(request);
    const QString number = request.queryValue(QStringLiteral("item"));
    SandboxAuction* auction = m_market->auction(number);
    QJsonObject inner;
    if (user.isEmpty()) {
        inner[QStringLiteral("Error")] = QJsonObject{{QStringLiteral("Code"), QStringLiteral("SIGNIN_REQUIRED")},
                                                     {QStringLiteral("Message"), QStringLiteral("Please sign in.")}};
    } else if (!auction) {
        inner[QStringLiteral("Error")] = QJsonObject{{QStringLiteral("Code"), QStringLiteral("INVALID_ITEM")},
                                                     {QStringLiteral("Message"), QStringLiteral("Item not found.")}};
    } else {
        const double now = m_clock->nowMs();
        QJsonObject item;
        item[QStringLiteral("Id")] = auction->itemNumber();
        if (!auction->listing().omitRelation)
            item[QStringLiteral("ViewerItemRelation")] = auction->relation(user);
        item[QStringLiteral("IsEnded")] = auction->isEnded(now);
        item[QStringLiteral("BidCount")] = auction->bidCount();
        item[QStringLiteral("CurrentPrice")] = SandboxScenario::fromCents(auction->currentPriceCents());
        item[QStringLiteral("EndDate")] = SandboxClock::formatEbayTime(auction->endMs() + m_clock->offsetMs());
        inner[QStringLiteral("Item")] = QJsonArray{item};
    }
    return SandboxHttpResponse::json(QJsonObject{{QStringLiteral("ViewItemLiteResponse"), inner}});
}

SandboxHttpResponse SandboxSite::viewItem(const SandboxHttpRequest& request) {
    QString number = request.queryValue(QStringLiteral("item"));
    if (request.path.startsWith(QStringLiteral("/itm/")))
        number = request.path.mid(5).section(QLatin1Char('/'), -1);
    SandboxAuction* auction = m_market->auction(number);
    if (!auction)
        return SandboxHttpResponse::html(SandboxPages::itemNotFoundPage(number));
    return SandboxHttpResponse::html(
        SandboxPages::itemPage(*auction, domainOfHost(request.host), m_clock->nowMs(), m_clock->offsetMs()));
}

SandboxHttpResponse SandboxSite::quickBidStep1(const SandboxHttpRequest& request) {
    QString session;
    const QString user = sessionUser(request, &session);
    const QString domain = domainOfHost(request.host);
    if (user.isEmpty())
        return SandboxHttpResponse::html(
            SandboxPages::redirectPage(QStringLiteral("http://signin.%1/ws/eBayISAPI.dll?SignIn&ru=").arg(domain)));
    const QString number = request.queryValue(QStringLiteral("item"));
    SandboxAuction* auction = m_market->auction(number);
    if (!auction)
        return SandboxHttpResponse::html(SandboxPages::bidErrorPage(QStringLiteral("This item cannot be found.")));
    if (!auction->isAuction() || auction->isEnded(m_clock->nowMs()))
        return SandboxHttpResponse::html(
            SandboxPages::bidErrorPage(QStringLiteral("Bidding is not available for this item.")));
    const QString answer = auction->listing().step1Answer;
    if (answer == QStringLiteral("redirect"))
        return SandboxHttpResponse::html(SandboxPages::redirectPage(
            QStringLiteral("http://cgi.%1/ws/eBayISAPI.dll?ViewItem&item=%2").arg(domain, number)));
    if (answer == QStringLiteral("bidError"))
        return SandboxHttpResponse::html(
            SandboxPages::bidErrorPage(QStringLiteral("There was a problem placing your bid.")));
    const SandboxSessions::Tokens tokens = m_sessions->issueTokens(session, number, QStringLiteral("json"));
    const qint64 cents = SandboxScenario::toCents(request.queryValue(QStringLiteral("maxbid")).toDouble());
    return SandboxHttpResponse::html(
        SandboxPages::quickBidForm(*auction, cents, tokens, answer != QStringLiteral("formNoKey")));
}

SandboxMarket::Verdict SandboxSite::confirmBid(const SandboxHttpRequest& request, const QString& flow, int requestSeq,
                                               qint64* cents) {
    static const QRegularExpression plainAmount(QStringLiteral("^[0-9]+(\\.[0-9]{1,2})?$"));
    QString session;
    const QString user = sessionUser(request, &session);
    const QString number = request.queryValue(QStringLiteral("item"));
    const QString maxbid = request.queryValue(QStringLiteral("maxbid"));
    const bool amountOk = plainAmount.match(maxbid).hasMatch();
    *cents = amountOk ? SandboxScenario::toCents(maxbid.toDouble()) : 0;
    QString refusal;
    bool tokensValid = false;
    if (user.isEmpty()) {
        refusal = QStringLiteral("signedOut");
    } else {
        SandboxSessions::Tokens offered;
        offered.stok = request.queryValue(QStringLiteral("stok"));
        offered.key = request.queryValue(QStringLiteral("key"));
        offered.uiid = request.queryValue(QStringLiteral("uiid"));
        const SandboxSessions::TokenCheck check = m_sessions->checkTokens(session, number, flow, offered);
        tokensValid = check == SandboxSessions::TokenCheck::Valid;
        const SandboxAuction* auction = m_market->auction(number);
        if (!tokensValid)
            refusal = SandboxSessions::tokenCheckName(check);
        else if (!amountOk)
            refusal = QStringLiteral("badAmount");
        else if (flow == QStringLiteral("html") &&
                 request.queryValue(QStringLiteral("user")).compare(user, Qt::CaseInsensitive) != 0)
            refusal = QStringLiteral("userMismatch");
        else if (auction && !auction->listing().refusal.isEmpty())
            refusal = QStringLiteral("refusal");
    }
    SandboxMarket::Offer offer;
    offer.itemNumber = number;
    offer.bidder = user;
    offer.amountCents = *cents;
    offer.amountText = maxbid;
    offer.flow = flow;
    offer.tokensValid = tokensValid;
    offer.refusedBecause = refusal;
    offer.requestSeq = requestSeq;
    offer.atMs = m_clock->nowMs();
    return m_market->bid(offer);
}

SandboxHttpResponse SandboxSite::quickBidStep2(const SandboxHttpRequest& request, int requestSeq) {
    qint64 cents = 0;
    const SandboxMarket::Verdict verdict = confirmBid(request, QStringLiteral("json"), requestSeq, &cents);
    const QString number = request.queryValue(QStringLiteral("item"));
    const QString& reason = verdict.reason;
    if (verdict.accepted) {
        const SandboxAuction* a = verdict.auction;
        return SandboxHttpResponse::json(
            QJsonObject{{QStringLiteral("Status"), QStringLiteral("CONFIRMBID")},
                        {QStringLiteral("ItemId"), number},
                        {QStringLiteral("HighBidder"), verdict.result.highBidder},
                        {QStringLiteral("BidCount"), a->bidCount()},
                        {QStringLiteral("CurrentPrice"), amountJson(a->currentPriceCents(), a->listing().currency)}});
    }
    if (reason == QStringLiteral("bidTooLow")) {
        QJsonObject answer = jsonFailure(QStringLiteral("LOW_BIDAMOUNT"));
        answer[QStringLiteral("MinimumToBid")] =
            amountJson(verdict.result.minimumCents, verdict.auction->listing().currency);
        return SandboxHttpResponse::json(answer);
    }
    if (reason == QStringLiteral("auctionEnded"))
        return SandboxHttpResponse::json(jsonFailure(QStringLiteral("REDIRECT"), {QStringLiteral("AUCTION_ENDED")}));
    if (reason == QStringLiteral("notAuction"))
        return SandboxHttpResponse::json(jsonFailure(QStringLiteral("REDIRECT"), {QStringLiteral("NOT_AN_AUCTION")}));
    if (reason == QStringLiteral("signedOut"))
        return SandboxHttpResponse::json(jsonFailure(QStringLiteral("REDIRECT"), {QStringLiteral("SIGNIN_REQUIRED")}));
    if (reason == QStringLiteral("unknownItem"))
        return SandboxHttpResponse::json(jsonFailure(QStringLiteral("INVALID_ITEM")));
    if (reason == QStringLiteral("refusal"))
        return SandboxHttpResponse::json(jsonFailure(verdict.auction->listing().refusal));
    if (reason == QStringLiteral("badAmount"))
        return SandboxHttpResponse::json(jsonFailure(QStringLiteral("INVALID_BIDAMOUNT")));
    // Token problems: eBay sends the browser back to the bid page without saying why.
    return SandboxHttpResponse::json(jsonFailure(QStringLiteral("REDIRECT")));
}

SandboxHttpResponse SandboxSite::makeBidStep1(const SandboxHttpRequest& request) {
    QString session;
    const QString user = sessionUser(request, &session);
    if (user.isEmpty())
        return signInPage(request, QStringLiteral("Please sign in to bid."));
    const QString number = request.queryValue(QStringLiteral("item"));
    SandboxAuction* auction = m_market->auction(number);
    if (!auction)
        return SandboxHttpResponse::html(SandboxPages::itemNotFoundPage(number));
    if (!auction->isAuction())
        return SandboxHttpResponse::html(SandboxPages::bidProblemPage(QStringLiteral("this item is not an auction")));
    if (auction->isEnded(m_clock->nowMs()))
        return SandboxHttpResponse::html(SandboxPages::endedPage(*auction));
    const SandboxSessions::Tokens tokens = m_sessions->issueTokens(session, number, QStringLiteral("html"));
    const qint64 cents = SandboxScenario::toCents(request.queryValue(QStringLiteral("maxbid")).toDouble());
    return SandboxHttpResponse::html(SandboxPages::makeBidForm(*auction, cents, tokens, user));
}

SandboxHttpResponse SandboxSite::makeBidStep2(const SandboxHttpRequest& request, int requestSeq) {
    qint64 cents = 0;
    const SandboxMarket::Verdict verdict = confirmBid(request, QStringLiteral("html"), requestSeq, &cents);
    const QString number = request.queryValue(QStringLiteral("item"));
    const QString& reason = verdict.reason;
    if (verdict.accepted)
        return SandboxHttpResponse::html(
            SandboxPages::bidConfirmationPage(*verdict.auction, cents, verdict.result.highBidder));
    if (reason == QStringLiteral("bidTooLow"))
        return SandboxHttpResponse::html(SandboxPages::lowBidPage(*verdict.auction, verdict.result.minimumCents));
    if (reason == QStringLiteral("auctionEnded"))
        return SandboxHttpResponse::html(SandboxPages::endedPage(*verdict.auction));
    if (reason == QStringLiteral("refusal"))
        return SandboxHttpResponse::html(SandboxPages::refusalPage(verdict.auction->listing().refusal));
    if (reason == QStringLiteral("signedOut"))
        return signInPage(request, QStringLiteral("Please sign in to bid."));
    if (reason == QStringLiteral("unknownItem"))
        return SandboxHttpResponse::html(SandboxPages::itemNotFoundPage(number));
    return SandboxHttpResponse::html(SandboxPages::bidProblemPage(reason));
}

SandboxHttpResponse SandboxSite::myEbay(const SandboxHttpRequest& request, const QString& endpoint) {
    const QString user = sessionUser(request);
    if (user.isEmpty())
        return signInPage(request, QStringLiteral("Please sign in to see My eBay."));
    if (endpoint == QStringLiteral("MyeBaySummary"))
        return SandboxHttpResponse::html(SandboxPages::myEbaySummaryPage(user));
    const bool bidding = request.queryValue(QStringLiteral("CurrentPage")) == QStringLiteral("MyeBayNextBidding");
    const QString slot = user.toLower() + (bidding ? QStringLiteral("|bidding") : QStringLiteral("|watching"));
    if (endpoint == QStringLiteral("MyeBayPageSize")) {
        const int size = request.queryValue(QStringLiteral("ItemsPerPage")).toInt();
        if (size > 0)
            m_pageSizes.insert(slot, size);
        return SandboxHttpResponse::html(
            QStringLiteral("<html><body><h1>My eBay</h1><p>Your preferences have been saved.</p></body></html>"));
    }
    const QList<SandboxAuction*> all = m_market->auctions();
    QStringList numbers;
    if (bidding) {
        const double now = m_clock->nowMs();
        for (const SandboxAuction* auction : all) {
            if (auction->hasBidFrom(user) && !auction->isEnded(now))
                numbers.append(auction->itemNumber());
        }
    } else if (const SandboxScenario::User* account = m_sessions->user(user)) {
        numbers = account->watching;
    }
    const int pageSize = m_pageSizes.value(slot, defaultPageSize);
    numbers = numbers.mid(0, pageSize);
    return SandboxHttpResponse::html(
        SandboxPages::myEbayPage(bidding ? QStringLiteral("Bidding") : QStringLiteral("Watching"), numbers, all));
}

SandboxHttpResponse SandboxSite::home(const SandboxHttpRequest& request) {
    QString domain = request.host;
    if (domain.startsWith(QStringLiteral("www.")))
        domain = domain.mid(4);
    if (!domain.contains(QStringLiteral("ebay")))
        domain = QStringLiteral("ebay.co.uk");
    return SandboxHttpResponse::html(SandboxPages::homePage(domain, m_market->auctions(), m_clock->nowMs()));
}

SandboxHttpResponse SandboxSite::picture(const SandboxHttpRequest& request) {
    QString number = request.path.mid(6);
    number = number.left(number.indexOf(QLatin1Char('.')));
    if (!m_market->auction(number))
        return SandboxHttpResponse::text(QStringLiteral("no picture\n"), 404);
    // A small uncompressed bitmap in a colour of its own per item: decodable without any image library.
    const int width = 64;
    const int height = 48;
    const int rowBytes = width * 3;
    const uint hash = qHash(number);
    QByteArray image;
    auto put16 = [&image](int value) { image.append(char(value & 0xff)).append(char((value >> 8) & 0xff)); };
    auto put32 = [&put16](int value) {
        put16(value & 0xffff);
        put16((value >> 16) & 0xffff);
    };
    image.append("BM");
    put32(54 + rowBytes * height);
    put32(0);
    put32(54);
    put32(40);
    put32(width);
    put32(height);
    put16(1);
    put16(24);
    put32(0);
    put32(rowBytes * height);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool stripe = ((x + y) / 8) % 2 == 0;
            image.append(char(stripe ? hash & 0xff : 0xf0));
            image.append(char(stripe ? (hash >> 8) & 0xff : 0xf0));
            image.append(char(stripe ? (hash >> 16) & 0xff : 0xf0));
        }
    }
    SandboxHttpResponse response;
    response.setHeader("Content-Type", "image/bmp");
    response.body = image;
    return response;
}
