#include "startup.h"

#include "dbhelper.h"
#include "tollimerapp.h"

#include <QDebug>
#include <QSqlRecord>
#include <QSqlTableModel>

void Startup::setIdentity() {
    TollimerApp::setOrganizationName(QStringLiteral("Tollimer"));
    TollimerApp::setOrganizationDomain(QStringLiteral("tollimer.com"));
    TollimerApp::setApplicationName(QStringLiteral("eBay Auction Sniper"));
}

bool Startup::loadStore(TollimerApp* app) {
    if (!DbHelper::connectDB())
        return false;
    if (!DbHelper::initDB()) {
        qCritical() << "The store could not be prepared; start-up ends.";
        return false;
    }
    QSqlTableModel settingModel;
    settingModel.setTable(QStringLiteral("setting"));
    QSqlRecord setting = settingModel.record();
    if (!DbHelper::getSetting(setting)) {
        qCritical() << "The setting row could not be read; start-up ends.";
        return false;
    }
    app->setSetting(setting);
    return true;
}
