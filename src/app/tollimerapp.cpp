#include "tollimerapp.h"

TollimerApp::TollimerApp(int& argc, char** argv)
    : QApplication(argc, argv) {}

TollimerApp* TollimerApp::instance() {
    return qobject_cast<TollimerApp*>(QCoreApplication::instance());
}
