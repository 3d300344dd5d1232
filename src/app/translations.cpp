#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtDebug>

bool Translations::install(QCoreApplication* app, const QLocale& locale) {
    // The compiled translations live in the core library, which nothing else would make the linker keep.
    Q_INIT_RESOURCE(translations);
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;

    // Qt's own texts (standard buttons, wizard and context menus), where the system has them installed.
    auto* qtTranslator = new QTranslator(app);
    if (qtTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    else
        delete qtTranslator;

    auto* translator = new QTranslator(app);
    if (!translator->load(locale, QStringLiteral("tollimer"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        qDebug() << "no translation of Tollimer for" << locale.name();
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
