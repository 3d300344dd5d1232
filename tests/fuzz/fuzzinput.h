#pragma once

#include <QByteArray>
#include <QString>

#include <QDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A property of a reader that must hold for every input. A failure aborts, which libFuzzer reports as a crash
// with the input saved, and which fails the corpus replay in the test suite.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// One fuzzer input cut into the arguments of the reader under test: each short argument is one line of the
// input, the page or stream itself is what follows them, line breaks included. Seed files are written the
// same way, so a corpus file reads as "marker, marker, page".
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), int(size)) {}

    // The next line without its line break; an empty array once the input is used up.
    QByteArray takeLine() {
        const int end = m_bytes.indexOf('\n', m_position);
        const int stop = end < 0 ? m_bytes.size() : end;
        const QByteArray line = m_bytes.mid(m_position, stop - m_position);
        m_position = end < 0 ? m_bytes.size() : end + 1;
        return line;
    }
    // Text ends at a zero byte, as the program reads eBay's pages (NetworkManager::replyText).
    QString takeText() { return QString::fromUtf8(takeLine()); }
    // The first byte left, for choices such as chunk sizes; 0 once the input is used up.
    std::uint8_t takeByte() { return m_position < m_bytes.size() ? std::uint8_t(m_bytes.at(m_position++)) : 0; }

    QByteArray rest() const { return m_bytes.mid(m_position); }
    QString restText() const { return QString::fromUtf8(rest()); }

private:
    QByteArray m_bytes;
    int m_position = 0;
};

#ifdef TOLLIMER_FUZZ_FINDINGS
// libFuzzer writes the inputs that crash, leak or time out into the working directory unless told otherwise, and a
// fuzzer started by hand from the work tree would leave them among the sources: they go to the build directory's
// findings/NAME/ unless the command line names a place.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static const char flag[] = "-artifact_prefix=";
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], flag, sizeof flag - 1) == 0)
            return 0;
    }
    QDir().mkpath(QStringLiteral(TOLLIMER_FUZZ_FINDINGS));
    static std::string prefix = std::string(flag) + TOLLIMER_FUZZ_FINDINGS;
    static std::vector<char*> arguments(*argv, *argv + *argc);
    arguments.insert(arguments.begin() + 1, prefix.data());
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
    return 0;
}
#endif
