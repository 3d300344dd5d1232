// The shipping cost is read from the text of an item page's shipping cell: whatever it says, the reader gives
// free (0), a cost, or unknown (-1), and never a negative or non-finite amount that would reach the table.
// Input: the cell's text.

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
    return 0;
}
