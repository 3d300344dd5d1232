// The scraping helpers read eBay's pages, which nobody here controls. Whatever a page holds, what they return
// must be a piece of that page between the markers asked for, and a value put into a query must not be able to
// add or rewrite a query item.
// Input: start marker, end marker, marker, delimiter, one line each, then the page.

#include "fuzzinput.h"
#include "texthelpers.h"

#include <QRegularExpression>
#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString start = input.takeText();
    const QString end = input.takeText();
    const QString marker = input.takeText();
    const QString delimiter = input.takeText();
    const QString page = input.restText();
    const QString flat = withoutLineBreaks(page);

    const QString between = extractBetween(page, start, end);
    if (!between.isEmpty())
        FUZZ_CHECK(flat.contains(start + between + end, Qt::CaseInsensitive));

    // The program's delimiter is one character (the quote before value="..."); so is the property's.
    const QString oneCharacter = delimiter.left(1);
    const QString before = extractBefore(page, marker, oneCharacter);
    if (!before.isEmpty()) {
        const int markerAt = flat.indexOf(marker, 0, Qt::CaseInsensitive);
        FUZZ_CHECK(markerAt >= 0);
        FUZZ_CHECK(flat.left(markerAt).endsWith(oneCharacter + before, Qt::CaseInsensitive));
        FUZZ_CHECK(!before.contains(oneCharacter, Qt::CaseInsensitive));
    }

    // The patterns the program asks about pages.
    containsRegExp(page, QStringLiteral("bid confirmation"));
    containsRegExp(page, QStringLiteral("enter.*(more than|or more)"));
    containsRegExp(page, QStringLiteral("name\\s*=\\s*[\"']?userid"));

    // Unreserved characters and escapes only: nothing that could end the query item or begin another.
    static const QRegularExpression unreservedOrEscape(QStringLiteral("^[A-Za-z0-9._~%-]*$"));
    const QString encoded = encodeForQuery(page);
    FUZZ_CHECK(unreservedOrEscape.match(encoded).hasMatch());
    FUZZ_CHECK(QUrl::fromPercentEncoding(encoded.toLatin1()) == page);
    return 0;
}
