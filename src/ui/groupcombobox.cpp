#include "groupcombobox.h"

#include "dbhelper.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

GroupComboBox::GroupComboBox(int itemId, int userId, int groupId, QWidget* parent)
    : GroupComboBox(itemId, readGroups(userId), groupId, parent) {}

GroupComboBox::GroupComboBox(int itemId, const Groups& groups, int groupId, QWidget* parent)
    : QComboBox(parent)
    , m_itemId(itemId) {
    fill(groups, groupId);
    connect(this, SIGNAL(currentIndexChanged(int)), this, SLOT(groupIndexChanged(int)));
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

void GroupComboBox::fill(const Groups& groups, int groupId) {
    addItem(tr("- None -"), 0);
    for (const auto& group : groups)
        addItem(group.first, group.second);
    setCurrentIndex(groupId < 1 ? -1 : findData(groupId));
}

void GroupComboBox::groupIndexChanged(int index) {
    if (index < 0)
        return;
    const int groupId = itemData(index).toInt();
    QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
    item.setValue(QStringLiteral("id"), m_itemId);
    if (DbHelper::getItem(item)) {
        item.setValue(QStringLiteral("group_id"), groupId < 1 ? QVariant() : QVariant(groupId));
        DbHelper::updateItem(item);
    }
    if (groupId == 0)
        setCurrentIndex(-1);
}
