#include "storefixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The program as the user starts it, with its data location in a temporary directory: whatever happens to the
// store, start-up ends with exit code 0, and a store it could not prepare is left exactly as it was.
class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void startUpPreparesTheStore_data() {
        QTest::addColumn<QByteArray>("garbage");
        QTest::addColumn<QString>("setting");
        QTest::newRow("first start") << QByteArray() << "1|2\n";
        QTest::newRow("not a database") << QByteArray("these are not the bytes of a database\n") << "";
    }

    void startUpPreparesTheStore() {
        QFETCH(QByteArray, garbage);
        QFETCH(QString, setting);
        QTemporaryDir dir;
        const QString store = dir.filePath("data/Tollimer/eBay Auction Sniper/tollimerdata.dat");
        if (!garbage.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(store).absolutePath()));
            QFile file(store);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(garbage);
        }

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir.filePath("data"));
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(TOLLIMER_APP_BIN, QStringList());
        if (!program.waitForFinished(30000)) {
            program.kill();
            program.waitForFinished(5000);
            QFAIL("the program did not end");
        }
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        QVERIFY(QFileInfo(store).isFile());
        if (setting.isEmpty()) {
            QCOMPARE(StoreFixture::contents(store), garbage);
        } else {
            QCOMPARE(StoreFixture::dumpFile(store, "SELECT id, db_version FROM setting"), setting);
            QCOMPARE(StoreFixture::dumpFile(store, "SELECT COUNT(*) FROM countries"), QString("20\n"));
        }
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
