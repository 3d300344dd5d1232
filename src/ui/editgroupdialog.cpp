#include "editgroupdialog.h"

#include "dbhelper.h"
#include "messages.h"
#include "tollimerapp.h"
#include "ui_editgroupdialog.h"

#include <QSqlDatabase>

EditGroupDialog::EditGroupDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::EditGroupDialog) {
    m_ui->setupUi(this);
}

EditGroupDialog::~EditGroupDialog() = default;

void EditGroupDialog::setName(const QString& name) {
    m_ui->lineEditName->setText(name);
}

void EditGroupDialog::setMaxWon(int maxWon) {
    m_ui->spinBoxMaxWon->setValue(maxWon);
}

QString EditGroupDialog::name() const {
    return m_ui->lineEditName->text();
}

int EditGroupDialog::maxWon() const {
    return m_ui->spinBoxMaxWon->value();
}

void EditGroupDialog::acceptedReceived() {
    if (name().isEmpty()) {
        Messages::critical(this, tr("Empty Group Name"), tr("Please enter the group name."));
        m_ui->lineEditName->setFocus();
        return;
    }
    QSqlRecord group = QSqlDatabase::database().record(QStringLiteral("groups"));
    group.setValue(QStringLiteral("name"), name());
    group.setValue(QStringLiteral("user_id"), TollimerApp::instance()->user().value(QStringLiteral("id")));
    if (DbHelper::getGroup(group)) {
        const int foundId = group.value(QStringLiteral("id")).toInt();
        if (foundId > 0 && (m_groupId == 0 || foundId != m_groupId)) {
            Messages::critical(this, tr("Duplicated Group Name"), tr("A group with the same name already exists."));
            m_ui->lineEditName->setFocus();
            return;
        }
    }
    accept();
}
