#pragma once

#include <QTableWidgetItem>

// A watch-list cell that sorts by its hidden value (the user role) instead of its display text, so that prices,
// times and shipping costs sort as numbers and names without regard to letter case. Owned by the table.
class UserRoleSortTableWidgetItem : public QTableWidgetItem {
public:
    explicit UserRoleSortTableWidgetItem(const QString& text = QString(), int type = Type);

    bool operator<(const QTableWidgetItem& other) const override;
};
