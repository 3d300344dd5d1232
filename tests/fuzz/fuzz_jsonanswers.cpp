// The Shopping API's item answers, the relation answer and the quick-bid flow's confirming answer are JSON from
// eBay: whatever they hold, the readers must not crash or lose items, an item must be filed under its own
// number, and an answer whose Status confirms the bid must read as placed.
// Input: one answer body, given to all three readers.

#include "fuzzinput.h"
#include "itemhelper.h"

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QByteArray body = input.rest();

    ItemHelper::ItemHash items;
    const bool itemsRead = ItemHelper::readItems(body, &items);
    if (!itemsRead)
        FUZZ_CHECK(items.isEmpty());
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        FUZZ_CHECK(it.value()->itemNumber() == it.key());
    qDeleteAll(items);

    QString relation;
    ItemHelper::readUserItemRelation(body, &relation);

    QString result;
    if (ItemHelper::readJsonBidAnswer(body, &result)) {
        const QJsonValue status = QJsonDocument::fromJson(body).object().value(QLatin1String("Status"));
        if (status.toString().compare(QLatin1String("CONFIRMBID"), Qt::CaseInsensitive) == 0)
            FUZZ_CHECK(result == QLatin1String("Placed"));
    }
    return 0;
}
