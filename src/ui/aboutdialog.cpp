#include "aboutdialog.h"

#include "ui_aboutdialog.h"

#include <QCoreApplication>
#include <QLayout>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::AboutDialog) {
    m_ui->setupUi(this);
    // Sized by its texts, wrapped lines included, in any language and font.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_ui->labelVersion->setText(tr("Version %1").arg(QCoreApplication::applicationVersion()));
}

AboutDialog::~AboutDialog() = default;
