#include "sandboxparameters.h"

#include <QHash>
#include <QSet>

namespace {
QSet<QString> names(const QString& joined) {
    const QStringList list = joined.split(QLatin1Char(' '));
    return QSet<QString>(list.cbegin(), list.cend());
}

const QString myEbay = QStringLiteral("MyEbayBeta CurrentPage View ssPageName ");
const QString myEbayList = myEbay + QStringLiteral("Column NewFilter StoreCatFilter print cid FormatFilter ");
const QString shopping = QStringLiteral("callname responseencoding appid siteid version ");
} // namespace

QString SandboxParameters::unknown(const SandboxHttpRequest& request, const QString& endpoint) {
    // Pages reached by links (/itm/..., pictures, the home page) carry whatever a browser adds.
    if (!request.path.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive) &&
        request.path != QLatin1String("/shopping"))
        return QString();
    static const QHash<QString, QSet<QString>> known{
        {QStringLiteral("GetMultipleItems"), names(shopping + QStringLiteral("IncludeSelector ItemID"))},
        {QStringLiteral("GeteBayTime"), names(shopping.trimmed())},
        {QStringLiteral("SignInPage"), names(QStringLiteral("SignIn ru"))},
        {QStringLiteral("SignInPost"), names(QStringLiteral("co_partnerId siteid UsingSSL"))},
        {QStringLiteral("ViewItemLite"), names(QStringLiteral("ViewItemLite item dl"))},
        {QStringLiteral("ViewItem"), names(QStringLiteral("ViewItem item"))},
        {QStringLiteral("QuickBidStep1"), names(QStringLiteral("MakeQuickBid mode flow item maxbid isbypassjson"))},
        {QStringLiteral("QuickBidStep2"), names(QStringLiteral("MakeQuickBid mode flow item maxbid stok key uiid f"))},
        {QStringLiteral("MakeBidStep1"), names(QStringLiteral("MakeBid item maxbid"))},
        {QStringLiteral("MakeBidStep2"), names(QStringLiteral("MfcISAPICommand hmid item maxbid javascriptenabled stok "
                                                              "mid mode quant uiid user"))},
        {QStringLiteral("MyeBayPageSize"),
         names(myEbay + QStringLiteral("SubmitAction.ItemsPerPageSave CustomizedContainer ItemsPerPage "
                                       "ViewMYEBAY_NEXT_CONTAINER_CUSTOMIZE"))},
        {QStringLiteral("MyeBaySummary"), names(myEbay.trimmed())},
        {QStringLiteral("MyeBayWatching"), names(myEbayList + QStringLiteral("WatchingNext.Filter GotoPage"))},
        {QStringLiteral("MyeBayBidding"), names(myEbayList + QStringLiteral("BiddingNext.Filter"))},
    };
    const auto endpointNames = known.constFind(endpoint);
    if (endpointNames == known.cend())
        return QString();
    for (const auto& item : request.queryItems()) {
        if (!endpointNames->contains(item.first))
            return item.first;
    }
    return QString();
}
