#include "groupdialog.h"

#include "dbhelper.h"
#include "editgroupdialog.h"
#include "messages.h"
#include "tollimerapp.h"
#include "ui_groupdialog.h"

#include <QHeaderView>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

GroupDialog::GroupDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::GroupDialog) {
    m_ui->setupUi(this);
    loadGroups();
}

GroupDialog::~GroupDialog() = default;

int GroupDialog::userId() const {
    return TollimerApp::instance()->user().value(QStringLiteral("id")).toInt();
}

QSqlRecord GroupDialog::groupRecord(const QVariant& id, const EditGroupDialog& dialog) const {
    QSqlRecord group = QSqlDatabase::database().record(QStringLiteral("groups"));
    group.setValue(QStringLiteral("id"), id);
    group.setValue(QStringLiteral("name"), dialog.name());
    group.setValue(QStringLiteral("user_id"), userId());
    group.setValue(QStringLiteral("max_won"), dialog.maxWon());
    return group;
}

void GroupDialog::loadGroups() {
    m_ui->tableWidget->setRowCount(0);
    QSqlQuery query;
    if (DbHelper::getGroups(query, userId())) {
        while (query.next())
            appendRow(query.record());
    }
    resizeColumns();
}

void GroupDialog::appendRow(const QSqlRecord& group) {
    const int row = m_ui->tableWidget->rowCount();
    m_ui->tableWidget->insertRow(row);
    auto* name = new QTableWidgetItem(group.value(QStringLiteral("name")).toString());
    name->setData(Qt::UserRole, group.value(QStringLiteral("id")).toInt());
    auto* maxWon = new QTableWidgetItem(group.value(QStringLiteral("max_won")).toString());
    maxWon->setData(Qt::UserRole, group.value(QStringLiteral("max_won")).toInt());
    m_ui->tableWidget->setItem(row, 0, name);
    m_ui->tableWidget->setItem(row, 1, maxWon);
}

void GroupDialog::resizeColumns() {
    m_ui->tableWidget->resizeColumnsToContents();
    m_ui->tableWidget->horizontalHeader()->setStretchLastSection(true);
}

void GroupDialog::addGroup() {
    EditGroupDialog dialog(this);
    dialog.setGroupId(0);
    dialog.setMaxWon(1);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QSqlRecord group = groupRecord(QVariant(), dialog);
    if (!DbHelper::addGroup(group)) {
        Messages::warning(this, tr("Database Error"), tr("Failed to add group."));
        return;
    }
    if (!DbHelper::getGroup(group)) {
        Messages::warning(this, tr("Database Error"), tr("Failed to retrieve added group."));
        return;
    }
    appendRow(group);
    resizeColumns();
}

void GroupDialog::editGroup() {
    const QList<QTableWidgetItem*> selected = m_ui->tableWidget->selectedItems();
    if (selected.isEmpty()) {
        Messages::warning(this, tr("Edit Group"), tr("Select a group to edit."));
        return;
    }
    const int row = selected.first()->row();
    QTableWidgetItem* nameItem = m_ui->tableWidget->item(row, 0);
    QTableWidgetItem* maxWonItem = m_ui->tableWidget->item(row, 1);
    const int groupId = nameItem->data(Qt::UserRole).toInt();

    EditGroupDialog dialog(this);
    dialog.setGroupId(groupId);
    dialog.setName(nameItem->text());
    dialog.setMaxWon(maxWonItem->data(Qt::UserRole).toInt());
    if (dialog.exec() != QDialog::Accepted)
        return;

    if (!DbHelper::updateGroup(groupRecord(groupId, dialog))) {
        Messages::warning(this, tr("Database Error"), tr("Failed to update group."));
        return;
    }
    nameItem->setText(dialog.name());
    maxWonItem->setText(QString::number(dialog.maxWon()));
    maxWonItem->setData(Qt::UserRole, dialog.maxWon());
    resizeColumns();
}

void GroupDialog::deleteGroup() {
    const QList<QTableWidgetItem*> selected = m_ui->tableWidget->selectedItems();
    if (selected.isEmpty()) {
        Messages::warning(this, tr("Delete Group"), tr("Select a group to delete."));
        return;
    }
    if (Messages::question(this, tr("Delete Group"), tr("Are you sure you want to delete the selected group?")) !=
        QMessageBox::Ok)
        return;
    QSet<int> rows;
    for (const QTableWidgetItem* item : selected)
        rows.insert(item->row());
    QStringList ids;
    for (int row : qAsConst(rows))
        ids << QString::number(m_ui->tableWidget->item(row, 0)->data(Qt::UserRole).toInt());
    DbHelper::deleteGroups(ids.join(QLatin1Char(',')));
    loadGroups();
}
