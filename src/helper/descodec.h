#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The block cipher with which account passwords are kept in the store: DES, by default applied three times
// (encipher with key 1, decipher with key 2, encipher with key 1) in cipher block chaining whose first output
// block is an enciphered random block, with PKCS #5 padding. The password functions below each make one for a
// single call and drop it; nothing else keeps one.
class DesCodec {
public:
    static constexpr int blockSize = 8;

    // Only the first eight bytes of each key count (shorter keys are filled with zero bytes);
    // the parity bit of each key byte is ignored.
    DesCodec(const QByteArray& key1, const QByteArray& key2);

    void setPadding(bool on) { m_padding = on; }
    void setChaining(bool on) { m_chaining = on; }
    // 3 (the default) for the two-key triple construction, 1 for plain DES with key 1.
    void setPasses(int passes) { m_passes = passes == 1 ? 1 : 3; }

    // With chaining on, the output starts with the chaining block: chainingBlock enciphered, or a random
    // block enciphered when chainingBlock is empty. Fails only when a block would be incomplete
    // (padding off and a length that is not a multiple of eight).
    bool encrypt(const QByteArray& plain, const QByteArray& chainingBlock = QByteArray());
    // A trailing partial block is ignored. With chaining on, fewer than two blocks give no output.
    // Padding that does not read as PKCS #5 padding is left in place.
    bool decrypt(const QByteArray& cipher);

    const QByteArray& output() const { return m_output; }

    quint64 encryptBlock(quint64 block) const;
    quint64 decryptBlock(quint64 block) const;

private:
    using KeySchedule = std::array<quint64, 16>;

    static KeySchedule makeSchedule(const QByteArray& key);
    static quint64 des(quint64 block, const KeySchedule& schedule, bool decipher);

    KeySchedule m_key1;
    KeySchedule m_key2;
    QByteArray m_output;
    bool m_padding = true;
    bool m_chaining = true;
    int m_passes = 3;
};

// The stored form of a password: lower-case hex of the chained, padded triple-DES cipher text, or the empty
// string for an empty password. Keys are the first eight bytes of each key text in the local 8-bit encoding.
QString encryptPassword(const QString& plain, const QString& key1, const QString& key2);
// The empty string for empty, short (under two blocks) or non-hex input.
QString decryptPassword(const QString& hex, const QString& key1, const QString& key2);
