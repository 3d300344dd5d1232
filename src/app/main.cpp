#include "dbhelper.h"
#include "tollimerapp.h"

#include <QDir>
#include <QSqlTableModel>

int main(int argc, char* argv[]) {
    TollimerApp app(argc, argv);
    TollimerApp::setApplicationVersion(QStringLiteral("4.2.0.0"));
    TollimerApp::addLibraryPath(TollimerApp::applicationDirPath() + QDir::separator() + QStringLiteral("plugins"));

    TollimerApp::setOrganizationName(QStringLiteral("Tollimer"));
    TollimerApp::setOrganizationDomain(QStringLiteral("tollimer.com"));
    TollimerApp::setApplicationName(QStringLiteral("eBay Auction Sniper"));

    if (!DbHelper::connectDB())
        return 0;
    if (!DbHelper::initDB())
        return 0;

    QSqlTableModel settingModel;
    settingModel.setTable(QStringLiteral("setting"));
    QSqlRecord setting = settingModel.record();
    if (!DbHelper::getSetting(setting))
        return 0;
    app.setSetting(setting);

    return 0;
}
