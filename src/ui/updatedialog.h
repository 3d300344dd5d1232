#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class UpdateDialog;
}

// Tells the user that another version is published and links to the maker's site. Run modally, without a parent,
// by the version check.
class UpdateDialog : public QDialog {
    Q_OBJECT

public:
    explicit UpdateDialog(QWidget* parent = nullptr);
    ~UpdateDialog() override;

private:
    QScopedPointer<Ui::UpdateDialog> m_ui;
};
