#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QSqlRecord>

namespace Ui {
class SnipeDialog;
}

// Where the user sets or edits the snipe of one watch-list item: maximum bid, lead time and bidding group, with
// the item's facts and picture. Opened modally by the main window's Snipe action on a copy of the item's record;
// the caller reads bid(), leadTime() and groupId() after acceptance and stores them.
class SnipeDialog : public QDialog {
    Q_OBJECT

public:
    SnipeDialog(const QSqlRecord& item, QWidget* parent = nullptr);
    ~SnipeDialog() override;

    double bid() const;
    // 0 means automatic lead time.
    int leadTime() const;
    int groupId() const;

private slots:
    void acceptReceived();
    void enableDisableLeadTimeEdit();

private:
    void fillItemFacts();
    void fillInitialValues();

    QScopedPointer<Ui::SnipeDialog> m_ui;
    QSqlRecord m_item;
};
