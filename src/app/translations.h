#pragma once

class QCoreApplication;
class QLocale;

// Puts the program's own translation and Qt's for a locale into the application; the entry function calls it with
// the system's locale before any window exists. English, the language of the source texts, needs none.
class Translations {
public:
    // True when the program's translation for the locale was found and installed.
    static bool install(QCoreApplication* app, const QLocale& locale);
};
