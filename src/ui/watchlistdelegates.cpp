#include "watchlistdelegates.h"

#include "groupcombobox.h"
#include "watchlistmodel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QtMath>

const QTextDocument& RichTextDelegate::document(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QString html = index.data().toString();
    std::shared_ptr<QTextDocument>& cached = m_documents[html];
    if (!cached || cached->defaultFont() != option.font) {
        // Item names make most texts unique; a long list must not keep one document per row ever shown.
        if (m_documents.size() > 4000) {
            m_documents.clear();
            return document(option, index);
        }
        cached = std::make_shared<QTextDocument>();
        cached->setDocumentMargin(2);
        cached->setDefaultFont(option.font);
        cached->setHtml(html);
    }
    return *cached;
}

void RichTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = option.palette;
    if (option.state & QStyle::State_Selected)
        context.palette.setColor(QPalette::Text, option.palette.color(QPalette::HighlightedText));
    painter->save();
    painter->translate(option.rect.topLeft());
    painter->setClipRect(QRect(QPoint(0, 0), option.rect.size()));
    document(option, index).documentLayout()->draw(painter, context);
    painter->restore();
}

QSize RichTextDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QTextDocument& text = document(option, index);
    return QSize(qCeil(text.idealWidth()), qCeil(text.size().height()));
}

QString RichTextDelegate::linkAt(const QStyleOptionViewItem& option, const QModelIndex& index,
                                 const QPoint& point) const {
    return document(option, index).documentLayout()->anchorAt(point - option.rect.topLeft());
}

bool RichTextDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QString link = mouse->button() == Qt::LeftButton ? linkAt(option, index, mouse->pos()) : QString();
        if (!link.isEmpty()) {
            emit linkActivated(link, index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

QWidget* GroupDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    Q_UNUSED(option)
    auto* editor =
        new GroupComboBox(GroupComboBox::readGroups(signedInUserId()), index.data(Qt::EditRole).toInt(), parent);
    editor->setObjectName(QStringLiteral("groupEditor"));
    // A choice is stored at once and the editor goes; the delegate lives as long as the view.
    auto* self = const_cast<GroupDelegate*>(this);
    connect(editor, QOverload<int>::of(&QComboBox::activated), self, [self, editor] {
        emit self->commitData(editor);
        emit self->closeEditor(editor);
    });
    return editor;
}

void GroupDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<GroupComboBox*>(editor);
    const int groupId = index.data(Qt::EditRole).toInt();
    combo->setCurrentIndex(groupId < 1 ? -1 : combo->findData(groupId));
}

void GroupDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    auto* combo = static_cast<GroupComboBox*>(editor);
    if (combo->currentIndex() >= 0)
        model->setData(index, combo->currentData(), Qt::EditRole);
}
