#include "sandboxbrowse.h"

#include "sandboxauction.h"
#include "sandboxclock.h"
#include "sandboxmarket.h"
#include "sandboxsessions.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>

namespace {
const QString tokenPath = QStringLiteral("/identity/v1/oauth2/token");
const QString itemPath = QStringLiteral("/buy/browse/v1/item/get_item_by_legacy_id");
const QString apiScope = QStringLiteral("https://api.ebay.com/oauth/api_scope");

QJsonObject amount(qint64 cents, const QString& currency) {
    return QJsonObject{{QStringLiteral("value"), QString::number(double(cents) / 100.0, 'f', 2)},
                       {QStringLiteral("currency"), currency}};
}

// The item page's shipping text as the Browse API's cost: "FREE" is 0.00, a price with two decimals is that
// price; anything else is a cost eBay works out at checkout (none given).
bool shippingCents(const QString& text, qint64* cents) {
    if (text.trimmed().compare(QStringLiteral("free"), Qt::CaseInsensitive) == 0) {
        *cents = 0;
        return true;
    }
    static const QRegularExpression price(QStringLiteral("([0-9]+)[.,]([0-9]{2})(?![0-9])"));
    const QRegularExpressionMatch match = price.match(text);
    if (!match.hasMatch())
        return false;
    *cents = match.captured(1).toLongLong() * 100 + match.captured(2).toLongLong();
    return true;
}

QString marketplaceOfSite(int siteId) {
    static const QHash<int, QString> marketplaces{
        {3, QStringLiteral("EBAY_GB")},   {77, QStringLiteral("EBAY_DE")},  {16, QStringLiteral("EBAY_AT")},
        {193, QStringLiteral("EBAY_CH")}, {71, QStringLiteral("EBAY_FR")},  {101, QStringLiteral("EBAY_IT")},
        {186, QStringLiteral("EBAY_ES")}, {146, QStringLiteral("EBAY_NL")}, {15, QStringLiteral("EBAY_AU")},
        {2, QStringLiteral("EBAY_CA")},   {0, QStringLiteral("EBAY_US")}};
    return marketplaces.value(siteId, QStringLiteral("EBAY_GB"));
}
} // namespace

SandboxBrowse::SandboxBrowse(SandboxClock* clock, SandboxMarket* market)
    : m_clock(clock)
    , m_market(market) {}

QString SandboxBrowse::endpointFor(const SandboxHttpRequest& request) {
    if (request.path == tokenPath)
        return QStringLiteral("BrowseToken");
    if (request.path == itemPath)
        return QStringLiteral("BrowseItem");
    return QString();
}

SandboxHttpResponse SandboxBrowse::error(int status, int errorId, const QString& message) {
    const QJsonObject entry{{QStringLiteral("errorId"), errorId},
                            {QStringLiteral("domain"), QStringLiteral("API_BROWSE")},
                            {QStringLiteral("category"), QStringLiteral("REQUEST")},
                            {QStringLiteral("message"), message},
                            {QStringLiteral("longMessage"), message}};
    return SandboxHttpResponse::json(QJsonObject{{QStringLiteral("errors"), QJsonArray{entry}}}, status);
}

QDate SandboxBrowse::ebayDay() const {
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(qint64(m_clock->ebayNowMs()), Qt::UTC);
    static const QTimeZone pacific("America/Los_Angeles");
    return (pacific.isValid() ? utc.toTimeZone(pacific) : utc.toOffsetFromUtc(-8 * 3600)).date();
}

void SandboxBrowse::rollDay() {
    const QDate day = ebayDay();
    if (day != m_day) {
        m_day = day;
        m_callsToday = 0;
    }
}

SandboxHttpResponse SandboxBrowse::token(const SandboxHttpRequest& request) {
    auto oauthError = [](int status, const QString& code, const QString& description) {
        return SandboxHttpResponse::json(
            QJsonObject{{QStringLiteral("error"), code}, {QStringLiteral("error_description"), description}}, status);
    };
    const QByteArray basic = (m_clientId + QLatin1Char(':') + m_clientSecret).toUtf8().toBase64();
    if (request.method != "POST" || request.header("Authorization") != "Basic " + basic)
        return oauthError(401, QStringLiteral("invalid_client"), QStringLiteral("client authentication failed"));
    QString grant;
    QString scope;
    for (const auto& item : request.formItems()) {
        if (item.first == QStringLiteral("grant_type"))
            grant = item.second;
        else if (item.first == QStringLiteral("scope"))
            scope = item.second;
    }
    if (grant != QStringLiteral("client_credentials"))
        return oauthError(400, QStringLiteral("unsupported_grant_type"),
                          QStringLiteral("grant type in request is not supported by the authorization server"));
    if (scope != apiScope)
        return oauthError(400, QStringLiteral("invalid_scope"),
                          QStringLiteral("the requested scope is invalid, unknown, malformed, or exceeds the scope "
                                         "granted to the client"));
    const QString token = QStringLiteral("v^1.1#i^1#p^1#r^0#I^3#t^") + SandboxSessions::randomToken(24);
    m_tokens.insert(token, m_clock->nowMs() + m_tokenLifetimeSeconds * 1000.0);
    ++m_tokensIssued;
    return SandboxHttpResponse::json(
        QJsonObject{{QStringLiteral("access_token"), token},
                    {QStringLiteral("expires_in"), m_tokenLifetimeSeconds},
                    {QStringLiteral("token_type"), QStringLiteral("Application Access Token")}});
}

SandboxHttpResponse SandboxBrowse::item(const SandboxHttpRequest& request) {
    static const QSet<QString> marketplaces{
        QStringLiteral("EBAY_GB"), QStringLiteral("EBAY_DE"), QStringLiteral("EBAY_AT"), QStringLiteral("EBAY_CH"),
        QStringLiteral("EBAY_FR"), QStringLiteral("EBAY_IT"), QStringLiteral("EBAY_ES"), QStringLiteral("EBAY_NL"),
        QStringLiteral("EBAY_BE"), QStringLiteral("EBAY_IE"), QStringLiteral("EBAY_PL"), QStringLiteral("EBAY_AU"),
        QStringLiteral("EBAY_CA"), QStringLiteral("EBAY_US"), QStringLiteral("EBAY_HK"), QStringLiteral("EBAY_SG"),
        QStringLiteral("EBAY_MY"), QStringLiteral("EBAY_PH"), QStringLiteral("EBAY_IN")};
    const QByteArray authorization = request.header("Authorization");
    const QString token = QString::fromUtf8(authorization.mid(7));
    if (!authorization.startsWith("Bearer ") || m_tokens.value(token, 0.0) <= m_clock->nowMs())
        return error(401, 1001,
                     QStringLiteral("Invalid access token. Check the value of the Authorization HTTP request header."));
    rollDay();
    if (m_callsToday >= m_dailyLimit)
        return error(429, 2001,
                     QStringLiteral("Too many requests. The request limit has been reached for the resource."));
    ++m_callsToday;
    const QString marketplace = QString::fromLatin1(request.header("X-EBAY-C-MARKETPLACE-ID"));
    if (!marketplaces.contains(marketplace))
        return error(400, 11011, QStringLiteral("The marketplace is not supported."));
    const QString number = request.queryValue(QStringLiteral("legacy_item_id"));
    SandboxAuction* auction = m_market->auction(number);
    if (!auction)
        return error(400, 11003, QStringLiteral("The legacy Id is invalid."));
    const SandboxScenario::Auction& listing = auction->listing();
    if (listing.itemGroup)
        return error(400, 11006,
                     QStringLiteral("The legacy ID is an ID for an item group. Use the "
                                    "getItemsByItemGroup call."));
    const bool ended = auction->isEnded(m_clock->nowMs());
    QJsonObject answer{
        {QStringLiteral("itemId"), QStringLiteral("v1|%1|0").arg(number)},
        {QStringLiteral("legacyItemId"), number},
        {QStringLiteral("title"), listing.title},
        {QStringLiteral("itemEndDate"), SandboxClock::formatEbayTime(auction->endMs() + m_clock->offsetMs())},
        {QStringLiteral("itemWebUrl"), QStringLiteral("http://www.ebay.co.uk/itm/%1").arg(number)},
        {QStringLiteral("marketplaceId"), marketplaceOfSite(listing.site)},
        {QStringLiteral("image"),
         QJsonObject{{QStringLiteral("imageUrl"), QStringLiteral("http://i.ebayimg.com/pict/%1.jpg").arg(number)}}},
        {QStringLiteral("seller"),
         QJsonObject{{QStringLiteral("username"), listing.seller},
                     {QStringLiteral("feedbackScore"), listing.feedbackScore},
                     {QStringLiteral("feedbackPercentage"), QString::number(listing.positiveFeedbackPercent, 'f', 1)}}},
        {QStringLiteral("estimatedAvailabilities"),
         QJsonArray{QJsonObject{{QStringLiteral("estimatedAvailabilityStatus"),
                                 ended ? QStringLiteral("OUT_OF_STOCK") : QStringLiteral("IN_STOCK")}}}}};
    if (auction->isAuction()) {
        answer[QStringLiteral("buyingOptions")] = QJsonArray{QStringLiteral("AUCTION")};
        answer[QStringLiteral("currentBidPrice")] = amount(auction->currentPriceCents(), listing.currency);
        answer[QStringLiteral("minimumPriceToBid")] = amount(auction->minimumToBidCents(), listing.currency);
        answer[QStringLiteral("bidCount")] = auction->bidCount();
        if (auction->hasReserve())
            answer[QStringLiteral("reservePriceMet")] = auction->reserveMet();
    } else {
        answer[QStringLiteral("buyingOptions")] = QJsonArray{QStringLiteral("FIXED_PRICE")};
        answer[QStringLiteral("price")] = amount(auction->currentPriceCents(), listing.currency);
    }
    QJsonObject shipping{{QStringLiteral("type"), QStringLiteral("Standard Delivery")}};
    qint64 cents = 0;
    if (shippingCents(listing.shippingText, &cents)) {
        shipping[QStringLiteral("shippingCostType")] = QStringLiteral("FIXED");
        shipping[QStringLiteral("shippingCost")] = amount(cents, listing.currency);
    } else {
        shipping[QStringLiteral("shippingCostType")] = QStringLiteral("CALCULATED");
    }
    answer[QStringLiteral("shippingOptions")] = QJsonArray{shipping};
    return SandboxHttpResponse::json(answer);
}

QJsonObject SandboxBrowse::stateJson() const {
    const_cast<SandboxBrowse*>(this)->rollDay();
    return QJsonObject{{QStringLiteral("clientId"), m_clientId},
                       {QStringLiteral("clientSecret"), m_clientSecret},
                       {QStringLiteral("dailyLimit"), m_dailyLimit},
                       {QStringLiteral("callsToday"), m_callsToday},
                       {QStringLiteral("tokenLifetimeSeconds"), m_tokenLifetimeSeconds},
                       {QStringLiteral("tokensIssued"), m_tokensIssued}};
}

bool SandboxBrowse::configure(const QJsonObject& settings, QString* error) {
    static const QSet<QString> known{
        QStringLiteral("clientId"),   QStringLiteral("clientSecret"),         QStringLiteral("dailyLimit"),
        QStringLiteral("callsToday"), QStringLiteral("tokenLifetimeSeconds"), QStringLiteral("expireTokens")};
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        if (!known.contains(it.key())) {
            *error = QStringLiteral("unknown browse setting: ") + it.key();
            return false;
        }
    }
    rollDay();
    m_clientId = settings.value(QStringLiteral("clientId")).toString(m_clientId);
    m_clientSecret = settings.value(QStringLiteral("clientSecret")).toString(m_clientSecret);
    m_dailyLimit = settings.value(QStringLiteral("dailyLimit")).toInt(m_dailyLimit);
    m_callsToday = settings.value(QStringLiteral("callsToday")).toInt(m_callsToday);
    m_tokenLifetimeSeconds = settings.value(QStringLiteral("tokenLifetimeSeconds")).toInt(m_tokenLifetimeSeconds);
    if (settings.value(QStringLiteral("expireTokens")).toBool())
        m_tokens.clear();
    return true;
}
