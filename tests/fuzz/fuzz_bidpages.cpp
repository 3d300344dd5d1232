// The first answers of both bid flows are eBay pages whose form tokens go into the confirming request: whatever
// a page holds, a token must be a piece of that page, and a page that redirects must give no tokens.
// Input: the answer page.

#include "fuzzinput.h"
#include "itemhelper.h"
#include "texthelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString page = input.restText();
    const QString flat = withoutLineBreaks(page);

    QString stok = QStringLiteral("left over");
    QString key = stok;
    QString uiid = stok;
    const QString result = ItemHelper::readJsonBidStep1(page, &stok, &key, &uiid);
    FUZZ_CHECK(result == QLatin1String("Placed") || result == QLatin1String("Redirect"));
    if (result == QLatin1String("Redirect"))
        FUZZ_CHECK(stok.isEmpty() && key.isEmpty() && uiid.isEmpty());
    for (const QString& token : {stok, key, uiid})
        FUZZ_CHECK(flat.contains(token, Qt::CaseInsensitive));

    for (const QString& name : {QStringLiteral("stok"), QStringLiteral("uiid")}) {
        const QString token = ItemHelper::htmlBidToken(page, name);
        FUZZ_CHECK(flat.contains(token, Qt::CaseInsensitive));
    }
    return 0;
}
