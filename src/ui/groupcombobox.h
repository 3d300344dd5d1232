#pragma once

#include <QComboBox>
#include <QList>
#include <QPair>

// The editor of a watch-list row's bidding group, opened on demand by the list's group delegate and gone once the
// choice is made: "- None -" (0) and the user's groups. The mouse wheel scrolls the list, never the choice.
class GroupComboBox : public QComboBox {
    Q_OBJECT

public:
    // The user's groups as (name, id), in the order the store lists them.
    using Groups = QList<QPair<QString, int>>;

    GroupComboBox(const Groups& groups, int groupId, QWidget* parent = nullptr);

    static Groups readGroups(int userId);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
