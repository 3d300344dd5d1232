// Mail bodies and encoded header words go out quoted-printable: the encoding must be plain printable ASCII
// that decodes to the very bytes given, and decoding any text must stay within it.
// Input: the bytes to encode; the same bytes read as text to decode.

#include "fuzzinput.h"
#include "quotedprintable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QByteArray bytes = input.rest();
    const QString encoded = QuotedPrintable::encode(bytes);
    for (const QChar c : encoded)
        FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() < 0x7F);
    FUZZ_CHECK(QuotedPrintable::decode(encoded) == bytes);

    const QString text = QString::fromUtf8(bytes);
    FUZZ_CHECK(QuotedPrintable::decode(text).size() <= text.size());
    return 0;
}
