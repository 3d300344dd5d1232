#include "descodec.h"

#include <QRandomGenerator>

#include <cctype>

namespace {

// The tables number bits from 1 at the most significant end, as the standard prints them.
const quint8 initialPermutation[64] = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                                       62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                                       57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                                       61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

const quint8 finalPermutation[64] = {40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
                                     38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
                                     36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
                                     34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};

const quint8 expansion[48] = {32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
                              12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
                              22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

const quint8 roundPermutation[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                     2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

const quint8 permutedChoice1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, 10, 2,  59, 51, 43,
                                    35, 27, 19, 11, 3,  60, 52, 44, 36, 63, 55, 47, 39, 31, 23, 15, 7,  62, 54,
                                    46, 38, 30, 22, 14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

const quint8 permutedChoice2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                                    26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                                    51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

const quint8 keyShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

const quint8 substitution[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8, 3, 10, 6, 12, 5,  9,  0,  7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5, 3, 8,  4, 1,  14, 8,  13, 6,  2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2, 4, 9,  1, 7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8, 14, 6,  11, 3,  4, 9, 7, 2,  13, 12, 0, 5, 10, 3,  13, 4,  7, 15, 2,  8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0,  14, 7, 11, 10, 4,  13, 1, 5, 8, 12, 6,  9,  3, 2, 15, 13, 8,  10, 1, 3,  15, 4, 2,  11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7, 11, 4,  2,  8,  13, 7, 0,  9, 3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6, 4,  9,  8,  15, 3,  0, 11, 1, 2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7, 4,  15, 14, 3,  11, 5, 2,  12},
    {7, 13, 14, 3, 0, 6,  9, 10, 1,  2, 8,  5, 11, 12, 4,  15, 13, 8,  11, 5, 6, 15,
     0, 3,  4,  7, 2, 12, 1, 10, 14, 9, 10, 6, 9,  0,  12, 11, 7,  13, 15, 1, 3, 14,
     5, 2,  8,  4, 3, 15, 0, 6,  10, 1, 13, 8, 9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4, 1,  7,  10, 11, 6, 8, 5,  3, 15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5, 0,  15, 10, 3,  9, 8, 6,  4, 2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0, 14, 11, 8,  12, 7, 1, 14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6, 8,  0, 13, 3,  4,  14, 7,  5, 11, 10, 15, 4, 2, 7, 12,
     9,  5,  6,  1,  13, 14, 0, 11, 3, 8,  9,  14, 15, 5,  2, 8,  12, 3,  7, 0, 4, 10,
     1,  13, 11, 6,  4,  3,  2, 12, 9, 5,  15, 10, 11, 14, 1, 7,  6,  0,  8, 13},
    {4, 11, 2,  14, 15, 0, 8, 13, 3,  12, 9, 7, 5, 10, 6, 1, 13, 0,  11, 7, 4, 9, 1,  10, 14, 3, 5, 12, 2,  15, 8, 6,
     1, 4,  11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5,  9, 2, 6,  11, 13, 8, 1, 4, 10, 7,  9,  5, 0, 15, 14, 2,  3, 12},
    {13, 2, 8, 4, 6,  15, 11, 1, 10, 9,  3,  14, 5, 0, 12, 7, 1, 15, 13, 8, 10, 3, 7,  4,  12, 5, 6, 11, 0, 14, 9, 2, 7,
     11, 4, 1, 9, 12, 14, 2,  0, 6,  10, 13, 15, 3, 5, 8,  2, 1, 14, 7,  4, 10, 8, 13, 15, 12, 9, 0, 3,  5, 6,  11}};

// Output bit i (from the top) of a width-bit result is input bit table[i] of an inputBits-wide input.
quint64 permute(quint64 input, const quint8* table, int width, int inputBits) {
    quint64 output = 0;
    for (int i = 0; i < width; ++i)
        output = (output << 1) | ((input >> (inputBits - table[i])) & 1);
    return output;
}

quint32 rotateLeft28(quint32 half, int count) {
    return ((half << count) | (half >> (28 - count))) & 0x0FFFFFFF;
}

quint32 feistel(quint32 right, quint64 subkey) {
    const quint64 mixed = permute(right, expansion, 48, 32) ^ subkey;
    quint32 substituted = 0;
    for (int box = 0; box < 8; ++box) {
        const int six = int((mixed >> (42 - 6 * box)) & 0x3F);
        const int row = ((six & 0x20) >> 4) | (six & 0x01);
        const int column = (six >> 1) & 0x0F;
        substituted = (substituted << 4) | substitution[box][row * 16 + column];
    }
    return quint32(permute(substituted, roundPermutation, 32, 32));
}

quint64 readBlock(const char* bytes) {
    quint64 block = 0;
    for (int i = 0; i < DesCodec::blockSize; ++i)
        block = (block << 8) | quint8(bytes[i]);
    return block;
}

void appendBlock(QByteArray& out, quint64 block) {
    for (int shift = 56; shift >= 0; shift -= 8)
        out.append(char((block >> shift) & 0xFF));
}

QByteArray keyBytes(const QString& keyText) {
    return keyText.toLocal8Bit().left(DesCodec::blockSize);
}

} // namespace

DesCodec::DesCodec(const QByteArray& key1, const QByteArray& key2)
    : m_key1(makeSchedule(key1))
    , m_key2(makeSchedule(key2)) {}

DesCodec::KeySchedule DesCodec::makeSchedule(const QByteArray& key) {
    QByteArray full = key.left(blockSize);
    full.append(QByteArray(blockSize - full.size(), '\0'));
    const quint64 chosen = permute(readBlock(full.constData()), permutedChoice1, 56, 64);
    quint32 c = quint32(chosen >> 28) & 0x0FFFFFFF;
    quint32 d = quint32(chosen) & 0x0FFFFFFF;
    KeySchedule schedule;
    for (int round = 0; round < 16; ++round) {
        c = rotateLeft28(c, keyShifts[round]);
        d = rotateLeft28(d, keyShifts[round]);
        schedule[round] = permute((quint64(c) << 28) | d, permutedChoice2, 48, 56);
    }
    return schedule;
}

quint64 DesCodec::des(quint64 block, const KeySchedule& schedule, bool decipher) {
    const quint64 permuted = permute(block, initialPermutation, 64, 64);
    quint32 left = quint32(permuted >> 32);
    quint32 right = quint32(permuted);
    for (int round = 0; round < 16; ++round) {
        const quint64 subkey = schedule[decipher ? 15 - round : round];
        const quint32 next = left ^ feistel(right, subkey);
        left = right;
        right = next;
    }
    return permute((quint64(right) << 32) | left, finalPermutation, 64, 64);
}

quint64 DesCodec::encryptBlock(quint64 block) const {
    if (m_passes == 1)
        return des(block, m_key1, false);
    return des(des(des(block, m_key1, false), m_key2, true), m_key1, false);
}

quint64 DesCodec::decryptBlock(quint64 block) const {
    if (m_passes == 1)
        return des(block, m_key1, true);
    return des(des(des(block, m_key1, true), m_key2, false), m_key1, true);
}

bool DesCodec::encrypt(const QByteArray& plain, const QByteArray& chainingBlock) {
    m_output.clear();
    QByteArray data = plain;
    if (m_padding) {
        const int pad = blockSize - data.size() % blockSize;
        data.append(QByteArray(pad, char(pad)));
    } else if (data.size() % blockSize != 0) {
        return false;
    }
    m_output.reserve(data.size() + (m_chaining ? blockSize : 0));
    quint64 previous = 0;
    if (m_chaining) {
        const quint64 seed = chainingBlock.size() == blockSize ? readBlock(chainingBlock.constData())
                                                               : QRandomGenerator::global()->generate64();
        previous = encryptBlock(seed);
        appendBlock(m_output, previous);
    }
    for (int offset = 0; offset < data.size(); offset += blockSize) {
        const quint64 cipher = encryptBlock(readBlock(data.constData() + offset) ^ previous);
        appendBlock(m_output, cipher);
        if (m_chaining)
            previous = cipher;
    }
    return true;
}

bool DesCodec::decrypt(const QByteArray& cipher) {
    m_output.clear();
    const int blocks = cipher.size() / blockSize;
    const int first = m_chaining ? 1 : 0;
    if (blocks <= first)
        return false;
    quint64 previous = m_chaining ? readBlock(cipher.constData()) : 0;
    for (int i = first; i < blocks; ++i) {
        const quint64 block = readBlock(cipher.constData() + i * blockSize);
        appendBlock(m_output, decryptBlock(block) ^ previous);
        if (m_chaining)
            previous = block;
    }
    if (m_padding) {
        const int pad = quint8(m_output.at(m_output.size() - 1));
        if (pad >= 1 && pad <= blockSize && m_output.endsWith(QByteArray(pad, char(pad))))
            m_output.chop(pad);
    }
    return true;
}

QString encryptPassword(const QString& plain, const QString& key1, const QString& key2) {
    QByteArray bytes = plain.toLocal8Bit();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    // The column is NOT NULL: an empty password is stored as an empty, not a null, text.
    if (bytes.isEmpty())
        return QStringLiteral("");
    DesCodec codec(keyBytes(key1), keyBytes(key2));
    codec.encrypt(bytes);
    return QString::fromLatin1(codec.output().toHex());
}

QString decryptPassword(const QString& hex, const QString& key1, const QString& key2) {
    const QByteArray text = hex.toLatin1();
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return QString();
    }
    // Qt's decoder would pair an odd trailing digit with a leading zero; the stored form never has one.
    const QByteArray cipher = QByteArray::fromHex(text.left(text.size() & ~1));
    if (cipher.size() < 2 * DesCodec::blockSize)
        return QString();
    DesCodec codec(keyBytes(key1), keyBytes(key2));
    if (!codec.decrypt(cipher))
        return QString();
    QByteArray plain = codec.output();
    const int zero = plain.indexOf('\0');
    if (zero >= 0)
        plain.truncate(zero);
    return QString::fromLocal8Bit(plain);
}
