// The answer to the page flow's confirming bid decides whether a snipe is stored as Placed: any page must give
// an outcome text, and only a page that confirms the bid may read as placed.
// Input: the answer page.

#include "fuzzinput.h"
#include "itemhelper.h"
#include "texthelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString page = input.restText();
    const QString outcome = ItemHelper::classifyHtmlBidAnswer(page);
    FUZZ_CHECK(!outcome.isEmpty());
    if (outcome == QLatin1String("Placed")) {
        FUZZ_CHECK(withoutLineBreaks(page).contains(QLatin1String("bid confirmation"), Qt::CaseInsensitive));
    }
    return 0;
}
