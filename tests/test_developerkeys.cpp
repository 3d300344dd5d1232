#include "developerkeys.h"
#include "developerkeysbox.h"
#include "preferencesdialog.h"
#include "testrow.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSqlRecord>
#include <QtTest>

// The developer keys section of the preferences: what OK and Cancel leave in the settings, the secret kept
// enciphered there, and the calls left that it shows.
class TestDeveloperKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings().remove("DeveloperKeys"); }
    void cleanup() { QSettings().remove("DeveloperKeys"); }

    void keys_data() {
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("callsMade");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        testRow("OK keeps the keys", true, 2, "App-PRD-1|Cert 2", "4998 of 5000 calls left today");
        testRow("Cancel keeps none", false, 0, "|", "older Shopping calls");
    }

    void keys() {
        QFETCH(bool, accepted);
        QFETCH(int, callsMade);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale::c());
        PreferencesDialog dialog(QSqlRecord(), nullptr);
        auto* box = dialog.findChild<DeveloperKeysBox*>("developerKeysBox");
        QVERIFY(box);
        box->findChild<QLineEdit*>("lineEditClientId")->setText(" App-PRD-1 ");
        box->findChild<QLineEdit*>("lineEditClientSecret")->setText("Cert 2");
        accepted ? emit dialog.accepted() : dialog.reject();
        for (int call = 0; call < callsMade; ++call)
            DeveloperKeys::countCall();
        QCOMPARE(DeveloperKeys::clientId() + '|' + DeveloperKeys::clientSecret(), stored);
        QVERIFY(!QSettings().value("DeveloperKeys/clientSecret").toString().contains("Cert"));

        DeveloperKeysBox reopened;
        QVERIFY2(reopened.findChild<QLabel*>("labelCallsLeft")->text().contains(shown),
                 qPrintable(reopened.findChild<QLabel*>("labelCallsLeft")->text()));
    }
};

QTEST_MAIN(TestDeveloperKeys)
#include "test_developerkeys.moc"
