// The My eBay watching and bidding pages are scraped for item numbers that are then added to the watch list:
// whatever a page holds, only digit strings that the page links to may come out.
// Input: the list page.

#include "fuzzinput.h"
#include "itemhelper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString page = input.restText();
    for (const QString& number : ItemHelper::myEbayItemNumbers(page)) {
        FUZZ_CHECK(!number.isEmpty());
        for (const QChar c : number)
            FUZZ_CHECK(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        FUZZ_CHECK(page.contains(QLatin1String("/itm/") + number + QLatin1Char('?'), Qt::CaseInsensitive));
    }
    return 0;
}
