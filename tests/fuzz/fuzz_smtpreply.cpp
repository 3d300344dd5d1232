// What the mail server writes back decides whether a notification counts as sent: no line may pass for a reply
// code it does not start with. The mail text goes the other way and must not be able to end the DATA block
// early or carry a bare line break.
// Input: the server's byte stream, line by line as the client reads it; the same bytes as a mail text.

#include "fuzzinput.h"
#include "smtpclient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QByteArray stream = input.rest();

    // The client reads whole lines only; a last line without its break stays in the socket.
    int start = 0;
    for (int end = stream.indexOf('\n'); end >= 0; start = end + 1, end = stream.indexOf('\n', start)) {
        int code = -1;
        QString text;
        const bool last = SmtpClient::readReplyLine(stream.mid(start, end + 1 - start), &code, &text);
        FUZZ_CHECK(!text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r')));
        if (code >= 200 && code <= 599)
            FUZZ_CHECK(text.left(3) == QString::number(code));
        if (last)
            FUZZ_CHECK(text.size() >= 3);
    }

    const QByteArray block = SmtpClient::dataBlock(QString::fromUtf8(stream));
    FUZZ_CHECK(block.endsWith("\r\n"));
    FUZZ_CHECK(!("\r\n" + block).contains("\r\n.\r\n"));
    for (int i = 0; i < block.size(); ++i) {
        if (block.at(i) == '\r')
            FUZZ_CHECK(i + 1 < block.size() && block.at(i + 1) == '\n');
        if (block.at(i) == '\n')
            FUZZ_CHECK(i > 0 && block.at(i - 1) == '\r');
    }
    return 0;
}
