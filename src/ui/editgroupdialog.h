#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QString>

namespace Ui {
class EditGroupDialog;
}

// Edits one bidding group's name and win limit for the group dialog, which creates it for one add or edit and
// reads the values back after acceptance. A group id of 0 means a new group.
class EditGroupDialog : public QDialog {
    Q_OBJECT

public:
    explicit EditGroupDialog(QWidget* parent = nullptr);
    ~EditGroupDialog() override;

    void setGroupId(int groupId) { m_groupId = groupId; }
    void setName(const QString& name);
    void setMaxWon(int maxWon);
    QString name() const;
    int maxWon() const;

private slots:
    void acceptedReceived();

private:
    QScopedPointer<Ui::EditGroupDialog> m_ui;
    int m_groupId = 0;
};
