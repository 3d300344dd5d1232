#include "aboutdialog.h"

#include "ui_aboutdialog.h"

#include <QCoreApplication>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::AboutDialog) {
    m_ui->setupUi(this);
    setFixedSize(406, 126);
    m_ui->labelVersion->setText(tr("Version %1").arg(QCoreApplication::applicationVersion()));
}

AboutDialog::~AboutDialog() = default;
