#include "groupcombobox.h"

#include "dbhelper.h"

#include <QSqlQuery>
#include <QVariant>
#include <QWheelEvent>

GroupComboBox::GroupComboBox(const Groups& groups, int groupId, QWidget* parent)
    : QComboBox(parent) {
    addItem(tr("- None -"), 0);
    for (const auto& group : groups)
        addItem(group.first, group.second);
    setCurrentIndex(groupId < 1 ? -1 : findData(groupId));
}

GroupComboBox::Groups GroupComboBox::readGroups(int userId) {
    Groups groups;
    QSqlQuery query;
    if (DbHelper::getGroups(query, userId)) {
        while (query.next())
            groups.append({query.value(QStringLiteral("name")).toString(), query.value(QStringLiteral("id")).toInt()});
    }
    return groups;
}

void GroupComboBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
