#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

namespace tarvello {

// Draws the grid's cells and edits values in place. The key cell of a row for
// which the marker predicate answers true gets a one-pixel red frame after the
// normal drawing; the value column is never marked. What the operator types
// reaches the model only when the edit is committed (Enter, Tab, leaving the
// cell, a click elsewhere, or FinishEdit); Escape leaves the value as it was.
// While a value is typed, the keys of the edit history (Ctrl+Z...) are the
// editor's: they act on the typing, not on the list.
class TKeyValueGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Takes the grid row (1 for the first keyed row).
    using TRowPredicate = std::function<bool(int row)>;

    explicit TKeyValueGridDelegate(QObject *parent = nullptr);

    void SetMarkedRowPredicate(TRowPredicate predicate) { IsMarked = std::move(predicate); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    // Commits the edit under way, if any, and closes its editor.
    void FinishEdit();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    TRowPredicate IsMarked;
    // The grid opens one editor at a time.
    mutable QPointer<QWidget> OpenEditor;
};

} // namespace tarvello
