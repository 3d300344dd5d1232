#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <QSqlRecord>

class LeadTimeChoice;
enum class DecimalMark;

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

    // The bid field read the way the user's site writes amounts ("12,50" on a comma site); -1.0 when unreadable.
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
    LeadTimeChoice* m_leadTime = nullptr;
    // How the signed-in user's site writes amounts; the bid field takes and shows them that way.
    DecimalMark m_mark;
};
