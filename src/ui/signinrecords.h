#pragma once

#include <QSqlRecord>
#include <QString>

class QComboBox;
class QWidget;

// What the login wizard and the login dialog share: their user and site combos, and recording the user who signed
// in, in the store and in the application object. Static functions only; used on the GUI thread.
class SignInRecords {
public:
    // Sniping goes through the UK site whatever site the user chose, so both windows sign in to it as well.
    static constexpr int ukSiteId = 3;
    static QString ukDomain() { return QStringLiteral("ebay.co.uk"); }

    // Stored users in the store's order (text the user name, data the id); entry 0 selected when there is one.
    static void fillUsers(QComboBox* users);
    // The sites ordered by domain (text the domain, data eBay's site id), the site with id 0 selected.
    static void fillCountries(QComboBox* countries);
    static void selectSite(QComboBox* countries, int siteId);
    // The stored user of the combo's current entry (plain password) and selects that user's site; an empty
    // record when the entry is a typed name or the user cannot be read.
    static QSqlRecord selectStoredUser(QComboBox* users, QComboBox* countries);

    // Stores the signed-in user (added or updated, the password kept only when remember is set) and puts the user
    // and the site's country into the application object, the in-memory user with memoryPassword. On a store
    // failure it shows the "Database Error" box and returns false. userId receives the user's id.
    static bool saveUser(QWidget* parent, const QString& username, const QString& password, bool remember,
                         const QString& memoryPassword, int siteId, int* userId);
    // Writes auto_login_user_id; shows "Failed to save setting." and returns false when the store refuses.
    static bool saveAutoLogin(QWidget* parent, int userId);
    // The stored setting row's auto_login_user_id, 0 when it cannot be read.
    static int storedAutoLoginUserId();
};
