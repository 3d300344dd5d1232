#include "signinrecords.h"

#include "dbhelper.h"
#include "messages.h"
#include "tollimerapp.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {
// The texts belong to the login dialog's context, where the wizard finds them too; each message is marked where
// it is written so that it is extracted for translation.
bool databaseError(QWidget* parent, const char* message) {
    Messages::warning(parent, QCoreApplication::translate("LoginDialog", "Database Error"),
                      QCoreApplication::translate("LoginDialog", message));
    return false;
}
} // namespace

void SignInRecords::fillUsers(QComboBox* users) {
    users->clear();
    QSqlQuery query;
    if (DbHelper::getUsers(query)) {
        while (query.next())
            users->addItem(query.value(QStringLiteral("username")).toString(), query.value(QStringLiteral("id")));
    }
    if (users->count() > 0)
        users->setCurrentIndex(0);
}

void SignInRecords::fillCountries(QComboBox* countries) {
    countries->clear();
    QSqlQuery query;
    if (DbHelper::getCountries(query)) {
        while (query.next())
            countries->addItem(query.value(QStringLiteral("domain")).toString(),
                               query.value(QStringLiteral("site_id")).toInt());
    }
    selectSite(countries, 0);
}

void SignInRecords::selectSite(QComboBox* countries, int siteId) {
    const int index = countries->findData(siteId);
    if (index >= 0)
        countries->setCurrentIndex(index);
}

QSqlRecord SignInRecords::selectStoredUser(QComboBox* users, QComboBox* countries) {
    selectSite(countries, 0);
    const QVariant id = users->currentData();
    // A typed name that happens to match a stored user still has no data; only chosen entries count.
    if (!id.isValid() || users->currentText() != users->itemText(users->currentIndex()))
        return QSqlRecord();
    QSqlRecord user = QSqlDatabase::database().record(QStringLiteral("users"));
    user.setValue(QStringLiteral("id"), id);
    if (!DbHelper::getUser(user))
        return QSqlRecord();
    QSqlRecord country = QSqlDatabase::database().record(QStringLiteral("countries"));
    country.setValue(QStringLiteral("id"), user.value(QStringLiteral("country_id")));
    if (DbHelper::getCountry(country))
        selectSite(countries, country.value(QStringLiteral("site_id")).toInt());
    return user;
}

bool SignInRecords::saveUser(QWidget* parent, const QString& username, const QString& password, bool remember,
                             const QString& memoryPassword, int siteId, int* userId) {
    TollimerApp* app = TollimerApp::instance();
    QSqlRecord country = QSqlDatabase::database().record(QStringLiteral("countries"));
    country.setValue(QStringLiteral("site_id"), siteId);
    if (!DbHelper::getCountry(country))
        return databaseError(parent, QT_TRANSLATE_NOOP("LoginDialog", "Failed to load country."));
    if (app)
        app->setCountry(country);

    QSqlRecord user = QSqlDatabase::database().record(QStringLiteral("users"));
    user.setValue(QStringLiteral("username"), username);
    const bool found = DbHelper::getUser(user);
    user.setValue(QStringLiteral("password"), remember ? password : QString());
    user.setValue(QStringLiteral("remember_password"), remember ? 1 : 0);
    user.setValue(QStringLiteral("country_id"), country.value(QStringLiteral("id")));
    if (!found) {
        if (!DbHelper::addUser(user))
            return databaseError(parent, QT_TRANSLATE_NOOP("LoginDialog", "Failed to add user."));
        user.setValue(QStringLiteral("id"), QVariant());
        if (!DbHelper::getUser(user))
            return databaseError(parent, QT_TRANSLATE_NOOP("LoginDialog", "Failed to retrieve added user."));
    } else if (!DbHelper::updateUser(user)) {
        return databaseError(parent, QT_TRANSLATE_NOOP("LoginDialog", "Failed to update user."));
    }

    user.setValue(QStringLiteral("password"), memoryPassword);
    if (app)
        app->setUser(user);
    *userId = user.value(QStringLiteral("id")).toInt();
    return true;
}

bool SignInRecords::saveAutoLogin(QWidget* parent, int userId) {
    QSqlRecord setting = QSqlDatabase::database().record(QStringLiteral("setting"));
    setting.setValue(QStringLiteral("id"), 1);
    setting.setValue(QStringLiteral("auto_login_user_id"), userId);
    if (!DbHelper::updateSetting(setting))
        return databaseError(parent, QT_TRANSLATE_NOOP("LoginDialog", "Failed to save setting."));
    return true;
}

int SignInRecords::storedAutoLoginUserId() {
    QSqlRecord setting = QSqlDatabase::database().record(QStringLiteral("setting"));
    return DbHelper::getSetting(setting) ? setting.value(QStringLiteral("auto_login_user_id")).toInt() : 0;
}
