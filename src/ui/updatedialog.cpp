#include "updatedialog.h"

#include "ui_updatedialog.h"

UpdateDialog::UpdateDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::UpdateDialog) {
    m_ui->setupUi(this);
}

UpdateDialog::~UpdateDialog() = default;
