#include "widgets/KeyValueGridDelegate.h"

#include "widgets/HistoryKeys.h"
#include "widgets/KeyValueGridModel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace tarvello {

TKeyValueGridDelegate::TKeyValueGridDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void TKeyValueGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != TKeyValueGridModel::KeyColumn || !IsMarked ||
        !IsMarked(index.row() + 1)) {
        return;
    }
    painter->save();
    painter->setPen(QPen(Qt::red, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

QWidget *TKeyValueGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                             const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    OpenEditor = editor;
    return editor;
}

void TKeyValueGridDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (OpenEditor == editor) {
        OpenEditor = nullptr;
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void TKeyValueGridDelegate::FinishEdit()
{
    if (QWidget *editor = OpenEditor) {
        OpenEditor = nullptr;
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

bool TKeyValueGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    // The view makes the delegate the filter of every editor it opens. A
    // shortcut claimed here reaches the editor as a key press instead.
    if (event->type() == QEvent::ShortcutOverride &&
        IsHistoryKey(*static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

void TKeyValueGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // A commit comes back here through the model's change signal; leaving an
    // unchanged text alone keeps the caret where it is.
    auto *line = qobject_cast<QLineEdit *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line && line->text() != text) {
        line->setText(text);
    }
}

} // namespace tarvello
