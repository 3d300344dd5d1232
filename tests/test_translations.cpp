#include "translations.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <QtTest>

// The program speaks German to a German system: the compiled translation is embedded and found for the system's
// locale, Qt's own texts follow where installed, and other languages keep the English source texts.
class TestTranslations : public QObject {
    Q_OBJECT

    static void removeTranslators() {
        const QList<QTranslator*> translators = qApp->findChildren<QTranslator*>();
        for (QTranslator* translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

private slots:
    void cleanup() { removeTranslators(); }

    void systemLanguage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("exitAction");
        QTest::addColumn<QString>("wonStatus");
        QTest::addColumn<QString>("preferencesTitle");
        QTest::newRow("LANG=de_DE (the system)") << QString() << true << "&Beenden"
                                                 << "Gewonnen"
                                                 << "Einstellungen";
        QTest::newRow("Austria") << "de_AT" << true << "&Beenden"
                                 << "Gewonnen"
                                 << "Einstellungen";
        QTest::newRow("British English") << "en_GB" << false << "E&xit"
                                         << "Won"
                                         << "Preferences";
        QTest::newRow("no translation") << "fr_FR" << false << "E&xit"
                                        << "Won"
                                        << "Preferences";
    }

    // A text of the main window's code, one of the watch list's and one of a Designer form, as the user sees them.
    void systemLanguage() {
        QFETCH(QString, locale);
        QFETCH(bool, installed);
        QFETCH(QString, exitAction);
        QFETCH(QString, wonStatus);
        QFETCH(QString, preferencesTitle);
        QCOMPARE(Translations::install(qApp, locale.isEmpty() ? QLocale::system() : QLocale(locale)), installed);
        QCOMPARE(QCoreApplication::translate("MainWindow", "E&xit"), exitAction);
        QCOMPARE(QCoreApplication::translate("MainWindow", "Won"), wonStatus);
        QCOMPARE(QCoreApplication::translate("PreferencesDialog", "Preferences"), preferencesTitle);
    }
};

int main(int argc, char* argv[]) {
    // The system language as a German desktop session sets it, read when the application starts.
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "de_DE.UTF-8");
    QApplication app(argc, argv);
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_translations.moc"
