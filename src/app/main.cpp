#include "clockmanager.h"
#include "loginwizard.h"
#include "startup.h"
#include "tollimerapp.h"
#include "versionchecker.h"

#include <QDir>

int main(int argc, char* argv[]) {
    TollimerApp app(argc, argv);
    TollimerApp::setApplicationVersion(QStringLiteral("4.2.0.0"));
    TollimerApp::addLibraryPath(TollimerApp::applicationDirPath() + QDir::separator() + QStringLiteral("plugins"));
    // The dialogs' images live in the core library, which nothing else would make the linker keep.
    Q_INIT_RESOURCE(dialogs);

    // Its answer arrives whenever an event loop runs next, before or after the sign-in.
    VersionChecker versionChecker;
    versionChecker.checkVersion();

    Startup::setIdentity();
    if (!Startup::loadStore(&app))
        return 0;

    // A failed synchronisation is logged by the clock; the program then runs on the local UTC time.
    ClockManager::instance()->syncTimeAndWait();

    LoginWizard wizard;
    if (wizard.exec() != QDialog::Accepted)
        return 0;

    // step 12: the main window is created and shown here

    return TollimerApp::exec();
}
