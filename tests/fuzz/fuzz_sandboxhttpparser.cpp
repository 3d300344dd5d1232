// The simulated eBay reads whatever a client writes to its socket: a broken request must end in an error status,
// never a crash, and the requests read must not depend on how the bytes were cut into reads.
// Input: the first byte chooses the read size, the rest is the byte stream of one connection.

#include "fuzzinput.h"
#include "sandboxhttpparser.h"

#include <QList>

namespace {
struct Outcome {
    QList<SandboxHttpRequest> requests;
    int errorStatus = 0;
};

Outcome parse(const QByteArray& stream, int readSize) {
    SandboxHttpParser parser;
    Outcome outcome;
    for (int at = 0; at < stream.size() && !parser.failed(); at += readSize) {
        const bool fed = parser.feed(stream.mid(at, readSize), at);
        FUZZ_CHECK(fed == !parser.failed());
        while (parser.hasRequest())
            outcome.requests.append(parser.takeRequest());
    }
    outcome.errorStatus = parser.errorStatus();
    if (parser.failed())
        FUZZ_CHECK(!parser.feed("GET / HTTP/1.1\r\n\r\n", 0));
    return outcome;
}

bool sameRequest(const SandboxHttpRequest& a, const SandboxHttpRequest& b) {
    return a.method == b.method && a.target == b.target && a.version == b.version && a.headers == b.headers &&
           a.body == b.body && a.host == b.host && a.path == b.path && a.rawQuery == b.rawQuery;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int readSize = 1 + input.takeByte() % 64;
    const QByteArray stream = input.rest();

    const Outcome whole = parse(stream, qMax(1, stream.size()));
    const Outcome pieces = parse(stream, readSize);
    static const QList<int> statuses = {0, 400, 411, 413, 431, 501};
    FUZZ_CHECK(statuses.contains(whole.errorStatus));
    // A head close to the size limit may be refused in pieces before its end arrives; short streams must agree.
    if (stream.size() < SandboxHttpParser::maxHeaderBytes / 2) {
        FUZZ_CHECK(whole.errorStatus == pieces.errorStatus);
        FUZZ_CHECK(whole.requests.size() == pieces.requests.size());
        for (int i = 0; i < whole.requests.size(); ++i)
            FUZZ_CHECK(sameRequest(whole.requests.at(i), pieces.requests.at(i)));
    }

    for (const SandboxHttpRequest& request : whole.requests) {
        FUZZ_CHECK(!request.method.isEmpty());
        FUZZ_CHECK(request.body.size() == request.header("Content-Length").toLongLong());
        request.fullUrl();
        request.queryItems();
        request.formItems();
        request.cookies();
        request.keepAlive();
        request.firstQueryKey();
    }
    return 0;
}
