#include "clockmanager.h"
#include "guitestbase.h"
#include "loginwizard.h"
#include "startup.h"
#include "updatedialog.h"
#include "versionchecker.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QWizard>

// Start-up up to the sign-in: the store is prepared and the login wizard reached with or without eBay, a store that
// cannot be used ends start-up quietly (or with the one box of a file that cannot be opened), and giving up on the
// wizard ends the program without a window. And the version check: the update dialog at start-up only for another
// published version, the Help menu's check telling apart "latest", "update" and "could not be read".
class TestStartup : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

private slots:
    void initTestCase() { QVERIFY2(DialogTesting::startSandbox(m_sandbox), m_sandbox.output().constData()); }
    void init() { m_boxes.install(); }
    void cleanup() {
        MessageRecorder::uninstall();
        StoreFixture::closeDefault();
        m_sandbox.control("DELETE", "/_sandbox/fault");
    }

    // The program as the user starts it: a file that is not a database is left as it was and start-up ends with
    // exit code 0 before any window.
    void unusableStoreEndsQuietly() {
        QTemporaryDir dir;
        const QString store = dir.filePath("data/Tollimer/eBay Auction Sniper/tollimerdata.dat");
        const QByteArray garbage("these are not the bytes of a database\n");
        QVERIFY(QDir().mkpath(QFileInfo(store).absolutePath()));
        QFile file(store);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
        file.close();

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir.filePath("data"));
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TOLLIMER_SANDBOX", m_sandbox.proxyUrl());
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(TOLLIMER_APP_BIN, QStringList());
        QVERIFY2(program.waitForFinished(60000), "the program did not end"); // QProcess kills it on the way out
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(StoreFixture::contents(store), garbage);
    }

    // A data location that cannot hold the file: one critical box says so and start-up stops.
    void storeThatCannotBeOpened() {
        StoreFixture fixture;
        Startup::setIdentity();
        const QString folder = QFileInfo(DbHelper::databaseFilePath()).absolutePath();
        QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()));
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("Cannot open database"));
        QVERIFY(!Startup::loadStore(TollimerApp::instance()));
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().title, QString("Cannot open database"));
        QVERIFY(m_boxes.boxes.first().text.startsWith("Unable to establish a database connection."));
        QCOMPARE(m_boxes.boxes.first().icon, QMessageBox::Critical);
        QCOMPARE(m_boxes.boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Abort));
    }

    void firstStartReachesTheWizard_data() {
        QTest::addColumn<bool>("network");
        testRow("eBay answers", true);
        testRow("no network", false);
    }

    // First start: the store is created (its tables are the store test's), the clock asks eBay once (a failure is only
    // logged), and the wizard opens on its first page; cancelling it ends start-up without a main window.
    void firstStartReachesTheWizard() {
        QFETCH(bool, network);
        StoreFixture fixture;
        Startup::setIdentity();
        QVERIFY(!QFileInfo::exists(DbHelper::databaseFilePath()));
        const QByteArray sandbox = qgetenv("TOLLIMER_SANDBOX");
        if (!network)
            qputenv("TOLLIMER_SANDBOX", "http://127.0.0.1:1");

        QVERIFY(Startup::loadStore(TollimerApp::instance()));
        QCOMPARE(TollimerApp::instance()->setting().value("db_version").toInt(), 2);
        const int timeRequests = ClientSession::requestsTo(m_sandbox, "GeteBayTime").size();
        ClockManager::instance()->syncTimeAndWait();
        QCOMPARE(ClientSession::requestsTo(m_sandbox, "GeteBayTime").size(), timeRequests + (network ? 1 : 0));

        int firstPage = -1;
        DialogTesting::ModalAnswerer<LoginWizard> cancel([&](LoginWizard* wizard) {
            firstPage = wizard->currentId();
            wizard->button(QWizard::CancelButton)->click();
        });
        LoginWizard wizard;
        QCOMPARE(wizard.exec(), int(QDialog::Rejected));
        qputenv("TOLLIMER_SANDBOX", sandbox);
        QCOMPARE(firstPage, int(LoginWizard::UserPage));
        QCOMPARE(StoreFixture::scalar("SELECT COUNT(*) FROM users").toInt(), 0);
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void versionAnswers_data() {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<bool>("newVersion");
        QTest::addColumn<QString>("box");
        const QByteArray noElement = R"({"endpoint":"Version","status":200})";
        testRow("same version", "4.2.0.0", QByteArray(), false, "No Update Available");
        testRow("newer version", "4.3.0.0", QByteArray(), true, "");
        testRow("older version still differs", "4.1.0.0", QByteArray(), true, "");
        testRow("page without the version element", "4.3.0.0", noElement, false, "Update Check Failed");
    }

    void versionAnswers() {
        QFETCH(QString, published);
        QFETCH(QByteArray, fault);
        QFETCH(bool, newVersion);
        QFETCH(QString, box);
        QJsonObject scenario = QJsonDocument::fromJson(DialogTesting::scenario()).object();
        scenario["publishedVersion"] = published;
        QVERIFY(ClientSession::loadScenario(m_sandbox, QJsonDocument(scenario).toJson()));
        if (!fault.isEmpty())
            m_sandbox.control("POST", "/_sandbox/fault", fault);

        DialogTesting::ModalAnswerer<UpdateDialog> updates([](UpdateDialog* dialog) { dialog->accept(); });
        VersionChecker background;
        background.checkVersion();
        QTRY_VERIFY_WITH_TIMEOUT(!background.isChecking(), 20000);
        QCOMPARE(updates.seen, newVersion ? 1 : 0);
        QVERIFY(m_boxes.boxes.isEmpty());

        VersionChecker onDemand;
        QCOMPARE(onDemand.isNewVersionAvailable(), newVersion);

        VersionChecker::checkForUpdate(nullptr);
        QCOMPARE(updates.seen, newVersion ? 2 : 0);
        QCOMPARE(m_boxes.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty())
            QCOMPARE(m_boxes.boxes.first().title, box);
    }
};

TOLLIMER_GUITEST_MAIN(TestStartup)
#include "test_startup.moc"
