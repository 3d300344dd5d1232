#pragma once

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class AboutDialog;
}

// The product name and the running version; opened from the main window's Help menu.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

private:
    QScopedPointer<Ui::AboutDialog> m_ui;
};
