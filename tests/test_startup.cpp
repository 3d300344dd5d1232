#include "storefixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The program as the user starts it: the real executable with its data location in a temporary directory.
// Whatever happens to the store, start-up ends with exit code 0, and a store it could not prepare is left
// exactly as it was.
class TestStartup : public QObject {
    Q_OBJECT

    static QString storeIn(const QTemporaryDir& dir) {
        return dir.filePath("data/Tollimer/eBay Auction Sniper/tollimerdata.dat");
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void startUpPreparesTheStore_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QByteArray>("garbage");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("unchanged");
        QTest::newRow("first start") << QStringList() << QByteArray() << 2 << false;
        QTest::newRow("store of an older version") << StoreFixture::version1Schema() << QByteArray() << 2 << false;
        QTest::newRow("current store") << StoreFixture::version1Schema() + StoreFixture::version2Migration()
                                       << QByteArray() << 2 << true;
        QTest::newRow("older store whose migration fails")
            << StoreFixture::version1Schema() + StoreFixture::version2Migration().mid(0, 1) << QByteArray() << 1
            << true;
        QTest::newRow("not a database") << QStringList() << QByteArray("these are not the bytes of a database\n", 39)
                                        << 0 << true;
    }

    void startUpPreparesTheStore() {
        QFETCH(QStringList, existing);
        QFETCH(QByteArray, garbage);
        QFETCH(int, version);
        QFETCH(bool, unchanged);
        QTemporaryDir dir;
        const QString store = storeIn(dir);
        if (!existing.isEmpty() || !garbage.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(store).absolutePath()));
            QCOMPARE(StoreFixture::runOnFile(store, existing), QString());
            QFile file(store);
            QVERIFY(file.open(QIODevice::Append));
            file.write(garbage);
        }
        const QByteArray before = contents(store);

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir.filePath("data"));
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(TOLLIMER_APP_BIN, QStringList());
        QVERIFY(program.waitForStarted(10000));
        if (!program.waitForFinished(30000)) {
            program.kill();
            program.waitForFinished(5000);
            QFAIL("the program did not end");
        }
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        QVERIFY(QFileInfo(store).isFile());
        if (unchanged)
            QCOMPARE(contents(store), before);
        if (version > 0) {
            QCOMPARE(StoreFixture::dumpFile(store, "SELECT id, db_version FROM setting"),
                     QString("1|%1\n").arg(version));
            if (existing.isEmpty())
                QCOMPARE(StoreFixture::dumpFile(store, "SELECT COUNT(*) FROM countries"), QString("20\n"));
        }
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
