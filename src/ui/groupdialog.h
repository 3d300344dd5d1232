#pragma once

#include <QDialog>
#include <QScopedPointer>

class EditGroupDialog;
class QSqlRecord;
class QVariant;

namespace Ui {
class GroupDialog;
}

// Lists the signed-in user's bidding groups and adds, edits and deletes them. Opened modally by the main window's
// Group action, which refreshes its group filter afterwards.
class GroupDialog : public QDialog {
    Q_OBJECT

public:
    explicit GroupDialog(QWidget* parent = nullptr);
    ~GroupDialog() override;

private slots:
    void addGroup();
    void editGroup();
    void deleteGroup();

private:
    void loadGroups();
    void appendRow(const QSqlRecord& group);
    void resizeColumns();
    int userId() const;
    // The group as the edit dialog left it, for the store; a null id for a new group.
    QSqlRecord groupRecord(const QVariant& id, const EditGroupDialog& dialog) const;

    QScopedPointer<Ui::GroupDialog> m_ui;
};
