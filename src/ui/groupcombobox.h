#pragma once

#include <QComboBox>
#include <QList>
#include <QPair>

// The Group cell of a watch-list row: picks the item's bidding group and stores the choice at once, without
// reloading the table. Owned by the table as the cell's widget.
class GroupComboBox : public QComboBox {
    Q_OBJECT

public:
    // The user's groups as (name, id), in the order the store lists them.
    using Groups = QList<QPair<QString, int>>;

    GroupComboBox(int itemId, int userId, int groupId, QWidget* parent = nullptr);
    // The same with the groups already read, so that a table of many rows reads them once.
    GroupComboBox(int itemId, const Groups& groups, int groupId, QWidget* parent = nullptr);

    int itemId() const { return m_itemId; }
    static Groups readGroups(int userId);

public slots:
    void groupIndexChanged(int index);

private:
    void fill(const Groups& groups, int groupId);

    int m_itemId = 0;
};
