#pragma once

#include <QApplication>
#include <QSqlRecord>

// The application object. Besides being the QApplication it holds, for the whole run, copies of the records
// most windows need: the signed-in user (password in plain text), the single setting row and the country of the
// site the user signed in to. Created by the entry function; read and written on the GUI thread only.
class TollimerApp : public QApplication {
    Q_OBJECT

public:
    TollimerApp(int& argc, char** argv);

    // The running application object, or null when the process's application is not a TollimerApp.
    static TollimerApp* instance();

    QSqlRecord user() const { return m_user; }
    void setUser(const QSqlRecord& user) { m_user = user; }
    QSqlRecord setting() const { return m_setting; }
    void setSetting(const QSqlRecord& setting) { m_setting = setting; }
    QSqlRecord country() const { return m_country; }
    void setCountry(const QSqlRecord& country) { m_country = country; }

private:
    QSqlRecord m_user;
    QSqlRecord m_setting;
    QSqlRecord m_country;
};
