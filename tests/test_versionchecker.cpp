#include "guitestbase.h"
#include "updatedialog.h"
#include "versionchecker.h"

#include <QJsonObject>

// What the version file's answers lead to: the update dialog at start-up only for another published version, and
// the Help menu's check telling apart "latest", "update" and "could not be read".
class TestVersionChecker : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

private slots:
    void initTestCase() { QVERIFY2(DialogTesting::startSandbox(m_sandbox), m_sandbox.output().constData()); }
    void init() { m_boxes.install(); }
    void cleanup() {
        MessageRecorder::uninstall();
        m_sandbox.control("DELETE", "/_sandbox/fault");
    }

    void answers_data() {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<bool>("newVersion");
        QTest::addColumn<QString>("box");
        const QByteArray noElement = R"({"endpoint":"Version","status":200})";
        testRow("same version", "4.2.0.0", QByteArray(), false, "No Update Available");
        testRow("newer version", "4.3.0.0", QByteArray(), true, "");
        testRow("older version still differs", "4.1.0.0", QByteArray(), true, "");
        testRow("page without the version element", "4.3.0.0", noElement, false, "Update Check Failed");
        testRow("unreachable", "4.3.0.0", QByteArray(R"({"endpoint":"Version","drop":true})"), false,
                "Update Check Failed");
    }

    void answers() {
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

TOLLIMER_GUITEST_MAIN(TestVersionChecker)
#include "test_versionchecker.moc"
