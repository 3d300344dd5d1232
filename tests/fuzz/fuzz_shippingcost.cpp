// The shipping cost is read from an item page's shipping cell: whatever the cell or the page says, the readers give
// free (0), a cost, or unknown (-1), and never a negative or non-finite amount that would reach the table.
// Input: the cell's text, which is also tried as a whole page.

#include "fuzzinput.h"
#include "itemhelper.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    bool decided = true;
    const double cost = ItemHelper::parseShippingCost(input.restText(), &decided);
    FUZZ_CHECK(std::isfinite(cost));
    FUZZ_CHECK(cost == -1.0 || cost >= 0.0);
    if (!decided)
        FUZZ_CHECK(cost == -1.0);

    const double pageCost = ItemHelper::readShippingPage(input.restText());
    FUZZ_CHECK(std::isfinite(pageCost));
    FUZZ_CHECK(pageCost == -1.0 || pageCost >= 0.0);
    return 0;
}
