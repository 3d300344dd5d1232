#pragma once

#include <QObject>
#include <QString>

// One mailbox of a message: the address and an optional display name. The caller owns it and keeps it
// alive while a MimeMessage refers to it.
class EmailAddress : public QObject {
    Q_OBJECT

public:
    explicit EmailAddress(const QString& address = QString(), const QString& name = QString());

    void setAddress(const QString& address) { m_address = address; }
    void setName(const QString& name) { m_name = name; }
    const QString& getAddress() const { return m_address; }
    const QString& getName() const { return m_name; }

private:
    QString m_address;
    QString m_name;
};
