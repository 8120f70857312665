#pragma once

#include <QStyledItemDelegate>

#include <functional>

namespace tarvello {

// Draws the grid's cells and edits values in place. The key cell of a row for
// which the marker predicate answers true gets a one-pixel red frame after the
// normal drawing; the value column is never marked. The editor hands every
// keystroke to the model at once, so a selection arriving while the operator
// is still typing already sees the new text.
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

private:
    TRowPredicate IsMarked;
};

} // namespace tarvello
