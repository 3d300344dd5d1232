#include "dbhelper.h"
#include "descodec.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

// The password codec. The cipher is checked against published DES answers, and the stored form against an
// independent implementation, the openssl command: a password the program stores must be readable by
// anyone holding the key, and the other way round, or a user's saved password is lost.
class TestCodec : public QObject {
    Q_OBJECT

    static QByteArray bytes(const char* hex) { return QByteArray::fromHex(hex); }

    static quint64 block(const char* hex) { return QByteArray(hex).toULongLong(nullptr, 16); }

    static QByteArray keyOf(const QString& keyText) { return keyText.toLocal8Bit().left(8); }

    // Runs "openssl enc" in two-key triple-DES chaining; stdout, or a failed comparison.
    static bool openssl(const QStringList& options, const QByteArray& key, const QByteArray& iv,
                        const QByteArray& input, QByteArray* output) {
        QProcess process;
        process.start("openssl", QStringList{"enc", "-des-ede-cbc", "-K", QString::fromLatin1(key.toHex()), "-iv",
                                             QString::fromLatin1(iv.toHex())} +
                                     options);
        if (!process.waitForStarted(10000))
            return false;
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            qWarning() << "openssl failed:" << process.readAllStandardError();
            return false;
        }
        *output = process.readAllStandardOutput();
        return true;
    }

    static void addPasswordRows() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("key1");
        QTest::addColumn<QString>("key2");
        const QString key1 = DbHelper::passwordKey1;
        const QString key2 = DbHelper::passwordKey2;
        QTest::newRow("one character") << "x" << key1 << key2;
        QTest::newRow("seven characters") << "secret!" << key1 << key2;
        QTest::newRow("eight characters, full padding block") << "12345678" << key1 << key2;
        QTest::newRow("punctuation and spaces") << "p@ss w/rd+=%\"'" << key1 << key2;
        QTest::newRow("long") << QString("correct horse battery staple ").repeated(4) << key1 << key2;
        QTest::newRow("accented letters") << QString::fromUtf8("pässwörd€") << key1 << key2;
        QTest::newRow("other keys") << "hunter2"
                                    << "ABCDEFGH"
                                    << "abcdefgh";
        QTest::newRow("equal keys") << "hunter2"
                                    << "samekey!"
                                    << "samekey!";
    }

    static void skipUnlessLocalEncodingHolds(const QString& password) {
        if (QString::fromLocal8Bit(password.toLocal8Bit()) != password)
            QSKIP("the local 8-bit encoding cannot hold this password");
    }

private slots:
    void desKnownAnswers_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        QTest::newRow("worked example") << bytes("133457799BBCDFF1") << bytes("0123456789ABCDEF")
                                        << bytes("85E813540F0AB405");
        QTest::newRow("cipher of zero") << bytes("0E329232EA6D0D73") << bytes("8787878787878787")
                                        << bytes("0000000000000000");
        QTest::newRow("Now is t") << bytes("0123456789ABCDEF") << QByteArray("Now is t") << bytes("3FA40E8A984D4815");
        QTest::newRow("variable plaintext, bit 1")
            << bytes("0101010101010101") << bytes("8000000000000000") << bytes("95F8A5E5DD31D900");
        QTest::newRow("variable key, bit 1")
            << bytes("8001010101010101") << bytes("0000000000000000") << bytes("95A8D72813DAA94D");
        QTest::newRow("weak-parity key") << bytes("0101010101010101") << bytes("0123456789ABCDEF")
                                         << bytes("617B3A0CE8F07100");
        QTest::newRow("reversed key") << bytes("FEDCBA9876543210") << bytes("0123456789ABCDEF")
                                      << bytes("ED39D950FA74BCC4");
        QTest::newRow("set 1") << bytes("7CA110454A1A6E57") << bytes("01A1D6D039776742") << bytes("690F5B0D9A26939B");
        QTest::newRow("set 2") << bytes("0131D9619DC1376E") << bytes("5CD54CA83DEF57DA") << bytes("7A389D10354BD271");
        QTest::newRow("set 3") << bytes("07A1133E4A0B2686") << bytes("0248D43806F67172") << bytes("868EBB51CAB4599A");
        QTest::newRow("set 4") << bytes("3849674C2602319E") << bytes("51454B582DDF440A") << bytes("7178876E01F19B2A");
        QTest::newRow("set 5") << bytes("04B915BA43FEB5B6") << bytes("42FD443059577FA2") << bytes("AF37FB421F8C4095");
    }

    // Plain DES, and the triple construction with both keys equal, which must collapse to plain DES.
    void desKnownAnswers() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        for (int passes : {1, 3}) {
            DesCodec codec(key, key);
            codec.setPasses(passes);
            codec.setChaining(false);
            codec.setPadding(false);
            QVERIFY(codec.encrypt(plain));
            QCOMPARE(codec.output().toHex(), cipher.toHex());
            QVERIFY(codec.decrypt(cipher));
            QCOMPARE(codec.output().toHex(), plain.toHex());
        }
    }

    // Rivest's iterated test: sixteen alternating encipherings and decipherings, each keyed by the previous
    // value, pass through many more S-box entries than the fixed vectors do.
    void desIteratedTest() {
        quint64 value = block("9474B8E8C73BCA7D");
        for (int i = 0; i < 16; ++i) {
            QByteArray key;
            for (int shift = 56; shift >= 0; shift -= 8)
                key.append(char((value >> shift) & 0xFF));
            DesCodec codec(key, key);
            codec.setPasses(1);
            value = i % 2 == 0 ? codec.encryptBlock(value) : codec.decryptBlock(value);
        }
        QCOMPARE(QByteArray::number(value, 16), QByteArray("1b1a2ddb4c642438"));
    }

    void parityBitsAreIgnored() {
        QByteArray flipped = bytes("133457799BBCDFF1");
        for (char& byte : flipped)
            byte = char(byte ^ 0x01);
        DesCodec codec(flipped, bytes("0123456789ABCDEF"));
        codec.setPasses(1);
        QCOMPARE(QByteArray::number(codec.encryptBlock(block("0123456789ABCDEF")), 16), QByteArray("85e813540f0ab405"));
    }

    void storedFormLength_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("1") << "a" << 32;
        QTest::newRow("7") << "abcdefg" << 32;
        QTest::newRow("8") << "abcdefgh" << 48;
        QTest::newRow("15") << "abcdefghijklmno" << 48;
        QTest::newRow("16") << "abcdefghijklmnop" << 64;
        QTest::newRow("zero byte ends the password") << QString("abc") + QChar(0) + QString("defghijkl") << 32;
    }

    void storedFormLength() {
        QFETCH(QString, password);
        QFETCH(int, length);
        const QString stored = encryptPassword(password, DbHelper::passwordKey1, DbHelper::passwordKey2);
        QCOMPARE(stored.size(), length);
        QVERIFY(QRegularExpression("^[0-9a-f]*$").match(stored).hasMatch());
        QCOMPARE(decryptPassword(stored, DbHelper::passwordKey1, DbHelper::passwordKey2),
                 password.section(QChar(0), 0, 0));
    }

    void randomChainingBlockMakesEachStoreDiffer() {
        const QString first = encryptPassword("secret", DbHelper::passwordKey1, DbHelper::passwordKey2);
        const QString second = encryptPassword("secret", DbHelper::passwordKey1, DbHelper::passwordKey2);
        QVERIFY(first != second);
        QCOMPARE(decryptPassword(second, DbHelper::passwordKey1, DbHelper::passwordKey2), QString("secret"));
    }

    void opensslReadsStoredForm_data() { addPasswordRows(); }

    void opensslReadsStoredForm() {
        QFETCH(QString, password);
        QFETCH(QString, key1);
        QFETCH(QString, key2);
        skipUnlessLocalEncodingHolds(password);
        const QByteArray stored = QByteArray::fromHex(encryptPassword(password, key1, key2).toLatin1());
        QByteArray plain;
        QVERIFY(openssl({"-d"}, keyOf(key1) + keyOf(key2), stored.left(8), stored.mid(8), &plain));
        QCOMPARE(plain, password.toLocal8Bit());
    }

    void storedFormReadsOpensslOutput_data() { addPasswordRows(); }

    void storedFormReadsOpensslOutput() {
        QFETCH(QString, password);
        QFETCH(QString, key1);
        QFETCH(QString, key2);
        skipUnlessLocalEncodingHolds(password);
        QByteArray iv(8, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(iv.data()), 2);
        QByteArray cipher;
        QVERIFY(openssl({}, keyOf(key1) + keyOf(key2), iv, password.toLocal8Bit(), &cipher));
        QCOMPARE(decryptPassword(QString::fromLatin1((iv + cipher).toHex()), key1, key2), password);
    }

    // Cipher texts whose last block does not end in valid padding, made with openssl without padding.
    void unpaddedDataIsKept_data() {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("expected");
        QTest::newRow("last byte above 8") << QByteArray("abcdefgh") << "abcdefgh";
        QTest::newRow("pad bytes differ") << QByteArray("abcde\x03\x02\x03", 8) << "abcde\x03\x02\x03";
        QTest::newRow("nine bytes of 9 are not padding") << QByteArray(16, '\x09') << QString(16, QChar('\t'));
        QTest::newRow("zero byte ends the text") << QByteArray("abcd\0fgh", 8) << "abcd";
        QTest::newRow("valid padding across a whole block")
            << QByteArray("abcdefgh\x08\x08\x08\x08\x08\x08\x08\x08", 16) << "abcdefgh";
    }

    void unpaddedDataIsKept() {
        QFETCH(QByteArray, plain);
        QFETCH(QString, expected);
        const QByteArray key = "keyOne!!keyTwo!!";
        const QByteArray iv = bytes("0011223344556677");
        QByteArray cipher;
        QVERIFY(openssl({"-nopad"}, key, iv, plain, &cipher));
        QCOMPARE(decryptPassword(QString::fromLatin1((iv + cipher).toHex()), "keyOne!!", "keyTwo!!"), expected);
    }

    void unreadableTextGivesEmptyPassword_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        const QString good = encryptPassword("hunter2", "ABCDEFGH", "abcdefgh");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("one block only") << good.left(16) << QString();
        QTest::newRow("just under two blocks") << good.left(31) << QString();
        QTest::newRow("not hexadecimal") << QString(good).replace(4, 1, "g") << QString();
        QTest::newRow("separators") << good.left(16) + " " + good.mid(16) << QString();
        QTest::newRow("capital hex digits still read") << good.toUpper() << "hunter2";
        QTest::newRow("trailing partial block ignored") << good + "abcd"
                                                        << "hunter2";
        QTest::newRow("odd trailing digit ignored") << good + "a"
                                                    << "hunter2";
    }

    void unreadableTextGivesEmptyPassword() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(decryptPassword(stored, "ABCDEFGH", "abcdefgh"), expected);
    }

    void onlyTheFirstEightKeyBytesCount() {
        const QString stored = encryptPassword("hunter2", "ABCDEFGHijk", "abcdefghIJK");
        QCOMPARE(decryptPassword(stored, "ABCDEFGH", "abcdefgh"), QString("hunter2"));
        QVERIFY(decryptPassword(stored, "ABCDEFGX", "abcdefgh") != QString("hunter2"));
        QVERIFY(decryptPassword(stored, "ABCDEFGH", "abcdefgX") != QString("hunter2"));
    }
};

QTEST_MAIN(TestCodec)
#include "test_codec.moc"
