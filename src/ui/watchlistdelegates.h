#pragma once

#include <QHash>
#include <QStyledItemDelegate>

#include <memory>

class QTextDocument;

// Paints a watch-list cell whose display text is rich text (the item link, the current bid, the bid with its
// "View error" link) and reports a click on a link in it. Only the rows on screen are ever laid out. Owned by the
// main window's list view.
class RichTextDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The link target under a point of a cell, or an empty text.
    QString linkAt(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& point) const;

signals:
    void linkActivated(const QString& link, const QModelIndex& index);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    // The laid-out text of a cell: the same few texts recur on every row and every repaint, and parsing them is
    // most of the cost of a paint.
    const QTextDocument& document(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    mutable QHash<QString, std::shared_ptr<QTextDocument>> m_documents;
};

// Opens the group editor of a watch-list row on demand and stores the choice through the model as soon as it is
// made. Owned by the main window's list view.
class GroupDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};
