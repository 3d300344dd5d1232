#include "sandboxscenario.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <algorithm>
#include <cmath>

qint64 SandboxScenario::toCents(double amount) {
    return qint64(std::llround(amount * 100.0));
}

static bool parseAuction(const QJsonObject& object, SandboxScenario::Auction* auction, QString* error) {
    auction->itemNumber = object.value(QStringLiteral("itemNumber")).toVariant().toString();
    if (auction->itemNumber.isEmpty() ||
        !std::all_of(auction->itemNumber.cbegin(), auction->itemNumber.cend(), [](QChar c) { return c.isDigit(); })) {
        *error = QStringLiteral("auction without a numeric itemNumber");
        return false;
    }
    const QString where = QStringLiteral("auction %1: ").arg(auction->itemNumber);
    auction->title = object.value(QStringLiteral("title")).toString(QStringLiteral("Item %1").arg(auction->itemNumber));
    auction->seller = object.value(QStringLiteral("seller")).toString(QStringLiteral("sandbox_seller"));
    auction->feedbackScore = object.value(QStringLiteral("feedbackScore")).toInt(0);
    auction->positiveFeedbackPercent = object.value(QStringLiteral("positiveFeedbackPercent")).toDouble(0.0);
    auction->listingType = object.value(QStringLiteral("listingType")).toString(QStringLiteral("Chinese"));
    auction->site = object.value(QStringLiteral("site")).toInt(3);
    auction->currency = object.value(QStringLiteral("currency")).toString(QStringLiteral("GBP"));
    auction->startCents = SandboxScenario::toCents(object.value(QStringLiteral("startPrice")).toDouble(1.0));
    const QJsonValue reserve = object.value(QStringLiteral("reserve"));
    auction->reserveCents = reserve.isDouble() ? SandboxScenario::toCents(reserve.toDouble()) : -1;
    auction->shippingText = object.value(QStringLiteral("shippingText")).toString();
    auction->shippingMarkup = object.value(QStringLiteral("shippingMarkup")).toInt(1);
    auction->endsInSeconds = object.value(QStringLiteral("endsInSeconds")).toDouble(300.0);
    auction->step1Answer = object.value(QStringLiteral("step1Answer")).toString(QStringLiteral("form"));
    auction->refusal = object.value(QStringLiteral("refusal")).toString();
    auction->htmlValueFirst = object.value(QStringLiteral("htmlValueFirst")).toString(QStringLiteral("stok"));
    auction->omitRelation = object.value(QStringLiteral("omitRelation")).toBool(false);
    auction->itemGroup = object.value(QStringLiteral("itemGroup")).toBool(false);
    if (auction->startCents <= 0) {
        *error = where + QStringLiteral("startPrice must be above 0");
        return false;
    }
    if (auction->shippingMarkup < 0 || auction->shippingMarkup > 4) {
        *error = where + QStringLiteral("shippingMarkup must be 0 to 4");
        return false;
    }
    static const QStringList answers{QStringLiteral("form"), QStringLiteral("formNoKey"), QStringLiteral("redirect"),
                                     QStringLiteral("bidError")};
    if (!answers.contains(auction->step1Answer)) {
        *error = where + QStringLiteral("step1Answer must be form, formNoKey, redirect or bidError");
        return false;
    }
    static const QStringList valueFirst{QStringLiteral("stok"), QStringLiteral("uiid"), QStringLiteral("both"),
                                        QStringLiteral("none")};
    if (!valueFirst.contains(auction->htmlValueFirst)) {
        *error = where + QStringLiteral("htmlValueFirst must be stok, uiid, both or none");
        return false;
    }
    for (const QJsonValue& value : object.value(QStringLiteral("bids")).toArray()) {
        const QJsonObject bid = value.toObject();
        SandboxScenario::ScriptedBid scripted;
        scripted.bidder = bid.value(QStringLiteral("bidder")).toString();
        scripted.amountCents = SandboxScenario::toCents(bid.value(QStringLiteral("amount")).toDouble());
        scripted.atSeconds = bid.value(QStringLiteral("atSeconds")).toDouble();
        if (scripted.bidder.isEmpty() || scripted.amountCents <= 0) {
            *error = where + QStringLiteral("every bid needs a bidder and an amount above 0");
            return false;
        }
        auction->bids.append(scripted);
    }
    return true;
}

bool SandboxScenario::parse(const QByteArray& json, SandboxScenario* scenario, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("scenario is not a JSON object: %1").arg(parseError.errorString());
        return false;
    }
    const QJsonObject root = document.object();
    SandboxScenario result;
    result.clockOffsetSeconds = root.value(QStringLiteral("clockOffsetSeconds")).toDouble(0.0);
    result.publishedVersion = root.value(QStringLiteral("publishedVersion")).toString(result.publishedVersion);
    for (const QJsonValue& value : root.value(QStringLiteral("users")).toArray()) {
        const QJsonObject object = value.toObject();
        User user;
        user.username = object.value(QStringLiteral("username")).toString();
        user.password = object.value(QStringLiteral("password")).toString();
        for (const QJsonValue& item : object.value(QStringLiteral("watching")).toArray())
            user.watching.append(item.toVariant().toString());
        user.challenge = object.value(QStringLiteral("challenge")).toBool(false);
        if (user.username.isEmpty()) {
            *error = QStringLiteral("user without a username");
            return false;
        }
        result.users.append(user);
    }
    QSet<QString> numbers;
    for (const QJsonValue& value : root.value(QStringLiteral("auctions")).toArray()) {
        Auction auction;
        if (!parseAuction(value.toObject(), &auction, error))
            return false;
        if (numbers.contains(auction.itemNumber)) {
            *error = QStringLiteral("auction %1 is listed twice").arg(auction.itemNumber);
            return false;
        }
        numbers.insert(auction.itemNumber);
        result.auctions.append(auction);
    }
    *scenario = result;
    return true;
}

bool SandboxScenario::loadFile(const QString& path, SandboxScenario* scenario, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!parse(file.readAll(), scenario, error)) {
        *error = path + QStringLiteral(": ") + *error;
        return false;
    }
    return true;
}
