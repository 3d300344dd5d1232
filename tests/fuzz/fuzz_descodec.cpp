// The password column is read back from a store file the user can copy, edit or damage: any text in it must
// decode to some password or to nothing, and a password stored with a key pair must come back unchanged.
// Input: key 1, key 2, one line each, then the stored text (also used as a password to store).

#include "descodec.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QString key1 = input.takeText();
    const QString key2 = input.takeText();
    const QByteArray rest = input.rest();

    decryptPassword(QString::fromLatin1(rest), key1, key2);

    // The round trip in the local 8-bit encoding is exact for printable ASCII, which is what a test can state
    // without knowing the machine's locale; a zero byte ends a stored password, so it is left out as well.
    bool printable = true;
    for (const char c : rest)
        printable = printable && c >= 0x20 && c < 0x7F;
    if (printable) {
        const QString plain = QString::fromLatin1(rest);
        const QString stored = encryptPassword(plain, key1, key2);
        FUZZ_CHECK(plain.isEmpty() == stored.isEmpty());
        FUZZ_CHECK(decryptPassword(stored, key1, key2) == plain);
    }

    // The codec itself, every mode: what is enciphered deciphers to the same bytes.
    for (const int passes : {1, 3}) {
        DesCodec codec(key1.toLatin1(), key2.toLatin1());
        codec.setPasses(passes);
        codec.decrypt(rest);
        if (!codec.encrypt(rest))
            continue;
        const QByteArray cipher = codec.output();
        FUZZ_CHECK(cipher.size() % DesCodec::blockSize == 0);
        FUZZ_CHECK(codec.decrypt(cipher));
        FUZZ_CHECK(codec.output() == rest);
    }
    return 0;
}
