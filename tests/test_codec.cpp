#include "dbhelper.h"
#include "descodec.h"

#include "testrow.h"
#include <QProcess>
#include <QRandomGenerator>

#include <QtTest>

// The password codec, checked against published DES answers and, for the stored form, against an independent
// implementation, the openssl command: a password the program stores must be readable by anyone holding the
// key, and the other way round, or a user's saved password is lost.
class TestCodec : public QObject {
    Q_OBJECT

    static QByteArray bytes(const char* hex) { return QByteArray::fromHex(hex); }

    // Runs "openssl enc" in two-key triple-DES chaining with the first eight bytes of each key text.
    static QByteArray openssl(const QStringList& options, const QString& key1, const QString& key2,
                              const QByteArray& iv, const QByteArray& input) {
        const QByteArray key = key1.toLocal8Bit().left(8) + key2.toLocal8Bit().left(8);
        QProcess process;
        process.start("openssl", QStringList{"enc", "-des-ede-cbc", "-K", QString::fromLatin1(key.toHex()), "-iv",
                                             QString::fromLatin1(iv.toHex())} +
                                     options);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            qWarning() << "openssl failed:" << process.errorString() << process.readAllStandardError();
            return "openssl failed";
        }
        return process.readAllStandardOutput();
    }

private slots:
    void desKnownAnswers_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        testRow("worked example", bytes("133457799BBCDFF1"), bytes("0123456789ABCDEF"), bytes("85E813540F0AB405"));
        testRow("Now is t", bytes("0123456789ABCDEF"), QByteArray("Now is t"), bytes("3FA40E8A984D4815"));
        testRow("variable key, bit 1", bytes("8001010101010101"), bytes("0000000000000000"), bytes("95A8D72813DAA94D"));
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

    void opensslAgrees_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("key1");
        QTest::addColumn<QString>("key2");
        const QString key1 = DbHelper::passwordKey1;
        const QString key2 = DbHelper::passwordKey2;
        testRow("eight characters, full padding block", "12345678", key1, key2);
        testRow("long", QString("correct horse battery staple ").repeated(4), key1, key2);
        testRow("accented letters", QString::fromUtf8("pässwörd€"), key1, key2);
        testRow("keys longer than eight bytes", "hunter2", "ABCDEFGHijk", "abcdefghIJK");
    }

    // Both directions: openssl reads what the program stores, and the program reads what openssl wrote.
    // Each store starts with a fresh random block, so equal passwords do not show as equal texts.
    void opensslAgrees() {
        QFETCH(QString, password);
        QFETCH(QString, key1);
        QFETCH(QString, key2);
        if (QString::fromLocal8Bit(password.toLocal8Bit()) != password)
            QSKIP("the local 8-bit encoding cannot hold this password");
        const QString storedText = encryptPassword(password, key1, key2);
        QVERIFY(storedText != encryptPassword(password, key1, key2));
        const QByteArray stored = QByteArray::fromHex(storedText.toLatin1());
        QCOMPARE(openssl({"-d"}, key1, key2, stored.left(8), stored.mid(8)), password.toLocal8Bit());

        QByteArray iv(8, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(iv.data()), 2);
        const QByteArray cipher = openssl({}, key1, key2, iv, password.toLocal8Bit());
        QCOMPARE(decryptPassword(QString::fromLatin1((iv + cipher).toHex()), key1, key2), password);
    }

    // A damaged stored text reads as no password rather than as garbage; extra trailing digits are ignored.
    void damagedStoredText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        const QString good = encryptPassword("hunter2", "ABCDEFGH", "abcdefgh");
        testRow("empty", QString(), QString());
        testRow("just under two blocks", good.left(31), QString());
        testRow("not hexadecimal", QString(good).replace(4, 1, "g"), QString());
        testRow("capital hex digits still read", good.toUpper(), "hunter2");
        testRow("trailing partial block ignored", good + "abc", "hunter2");
    }

    void damagedStoredText() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(decryptPassword(stored, "ABCDEFGH", "abcdefgh"), expected);
    }
};

QTEST_MAIN(TestCodec)
#include "test_codec.moc"
