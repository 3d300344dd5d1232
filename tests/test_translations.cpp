#include "translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
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

    // "context|source" of every message of a translation file in order, with "|unfinished" where it has no
    // translation.
    static QStringList messages(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QStringList found;
        QXmlStreamReader xml(&file);
        QString context, source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText(QXmlStreamReader::IncludeChildElements); // <byte value="xd"/>
            else if (xml.name() == QLatin1String("translation")) {
                found << context + '|' + source +
                             (xml.attributes().value("type") == QLatin1String("unfinished") ? "|unfinished" : "");
                xml.skipCurrentElement(); // plural forms
            }
        }
        if (xml.hasError())
            found << "unreadable: " + xml.errorString();
        found.sort();
        return found;
    }

private slots:
    void cleanup() { removeTranslators(); }

    // The German file holds exactly the texts the code marks for translation, each translated: lupdate run over the
    // sources into a copy of it adds no text (one left unmarked or untranslated) and drops none.
    void germanCoversEveryText() {
        const QString lupdate = QLibraryInfo::location(QLibraryInfo::BinariesPath) + "/lupdate";
        QVERIFY2(QFileInfo::exists(lupdate), qPrintable(lupdate));
        const QString root = QStringLiteral(TOLLIMER_TEST_DATA "/../..");
        QTemporaryDir dir;
        const QString copy = dir.filePath("tollimer_de.ts");
        QVERIFY(QFile::copy(root + "/translations/tollimer_de.ts", copy));
        QProcess process;
        process.start(lupdate, {"-no-obsolete", "-locations", "none", root + "/src", "-ts", copy});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        const QStringList shipped = messages(root + "/translations/tollimer_de.ts");
        QVERIFY(shipped.size() > 100);
        QCOMPARE(shipped.filter("|unfinished"), QStringList());
        QCOMPARE(messages(copy), shipped);
    }

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
