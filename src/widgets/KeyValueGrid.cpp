#include "widgets/KeyValueGrid.h"

#include "core/SlotTypes.h"
#include "core/TarvelloError.h"
#include "widgets/KeyValueGridModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <utility>

namespace tarvello {

QStringList SlotKeyTexts()
{
    QStringList keys;
    keys.reserve(SlotCount);
    for (int key = 0; key < SlotCount; ++key) {
        keys.append(QString::number(key));
    }
    return keys;
}

TKeyValueGrid::TKeyValueGrid(QWidget *parent)
    : TKeyValueGrid(new TKeyValueListModel(SlotKeyTexts()), parent)
{
}

TKeyValueGrid::TKeyValueGrid(TKeyValueGridModel *model, QWidget *parent)
    : QTableView(parent), Model(model), Delegate(new TKeyValueGridDelegate(this))
{
    Model->setParent(this);
    setModel(Model);
    setItemDelegate(Delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The value cell opens for typing as soon as the operator reaches it (see
    // currentChanged); a cursor moved by the program opens no editor.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionResizeMode(TKeyValueGridModel::KeyColumn, QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(TKeyValueGridModel::KeyColumn, 23);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    selectionModel()->setCurrentIndex(Model->index(0, TKeyValueGridModel::ValueColumn),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
}

int TKeyValueGrid::LastRow() const
{
    return Model->rowCount();
}

int TKeyValueGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : FirstRow;
}

void TKeyValueGrid::CheckRow(int row) const
{
    if (row < FirstRow || row > LastRow()) {
        throw TError(QStringLiteral("Grid index out of range"));
    }
}

void TKeyValueGrid::SetRow(int row)
{
    CheckRow(row);
    if (row == Row()) {
        return;
    }
    const QModelIndex target = Model->index(row - 1, TKeyValueGridModel::ValueColumn);
    // The view scrolls to its new current row itself: at once when shown, and
    // when it shows when out of sight (the show runs on another page), so a
    // selection on its way to the stage waits for no layout of the rows.
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
}

void TKeyValueGrid::FollowRow(int row)
{
    const QScopedValueRollback following(Following, true);
    SetRow(row);
}

QString TKeyValueGrid::Key(int row) const
{
    CheckRow(row);
    return Model->KeyAt(row - 1);
}

QString TKeyValueGrid::ValueOfRow(int row) const
{
    CommitEdit();
    CheckRow(row);
    return Model->ValueAt(row - 1);
}

void TKeyValueGrid::SetValueOfRow(int row, const QString &value)
{
    CommitEdit();
    CheckRow(row);
    Model->SetValueAt(row - 1, value);
}

QString TKeyValueGrid::Value(const QString &key) const
{
    CommitEdit();
    const int modelRow = Model->RowOfKey(key);
    return modelRow < 0 ? QString() : Model->ValueAt(modelRow);
}

void TKeyValueGrid::SetValue(const QString &key, const QString &value)
{
    CommitEdit();
    const int modelRow = Model->RowOfKey(key);
    if (modelRow < 0) {
        throw TError(QStringLiteral("No row with the key '%1'").arg(key));
    }
    Model->SetValueAt(modelRow, value);
}

void TKeyValueGrid::SetTitles(const QString &keyTitle, const QString &valueTitle)
{
    Model->SetTitles(keyTitle, valueTitle);
}

void TKeyValueGrid::SetMarkedRowPredicate(TKeyValueGridDelegate::TRowPredicate predicate)
{
    Delegate->SetMarkedRowPredicate(std::move(predicate));
    viewport()->update();
}

void TKeyValueGrid::SetKeyColumnWidth(int width)
{
    setColumnWidth(TKeyValueGridModel::KeyColumn, width);
}

void TKeyValueGrid::CommitEdit() const
{
    Delegate->FinishEdit();
}

void TKeyValueGrid::mousePressEvent(QMouseEvent *event)
{
    const int before = Row();
    const QModelIndex hit = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    // A press on another row raised the click through currentChanged; one on
    // the row already current raises it here, as a selection of that row.
    if (event->button() == Qt::LeftButton && hit.isValid() && hit.row() + 1 == before &&
        Row() == before) {
        RaiseClick();
    }
}

bool TKeyValueGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // Qt opens a line editor with all of its text selected and hands it the
    // key that opened it, which would replace the entry. The key is kept back
    // until the caret stands at the end.
    const bool typed = trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress;
    if (!QTableView::edit(index, trigger, typed ? nullptr : event)) {
        return false;
    }
    // No editor yet when a click waits to see whether it is a double click:
    // the editor opens through here again when it is not.
    auto *editor = qobject_cast<QLineEdit *>(indexWidget(index));
    if (!editor) {
        return true;
    }
    editor->deselect();
    editor->end(false);
    if (typed) {
        QCoreApplication::sendEvent(editor, event);
    }
    return true;
}

void TKeyValueGrid::RaiseClick()
{
    emit Click();
}

void TKeyValueGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid()) {
        return;
    }
    if (hasFocus() && current.column() == TKeyValueGridModel::ValueColumn) {
        edit(current);
    }
    if (current.row() != previous.row() && !Following) {
        RaiseClick();
    }
}

} // namespace tarvello
