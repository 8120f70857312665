#pragma once

#include "widgets/KeyValueGridDelegate.h"

#include <QTableView>

namespace tarvello {

class TKeyValueGridModel;

// The keys of the slots' rows: "0" to "122".
QStringList SlotKeyTexts();

// The two-column grid of slot keys and their values. Rows are numbered as the
// operator sees them: row 0 is the title row, rows 1 to 123 carry the keys
// "0" to "122". The current row is the list cursor; it never rests on the
// title row.
//
// Click() is raised when the operator selects a row with the mouse (the row
// already current included, so a slot can be sent again) or moves to another
// row with the keyboard, and when the program moves the cursor with SetRow()
// to a different row. The program moving it to the row already current raises
// nothing, so a repeated selection does not repeat its side effects.
//
// The value cell's editor opens with the caret after the text and nothing
// selected, whether a click, F2 or a typed key opens it: a key typed there
// (a page-turner pedal's Space on the wrong page) adds to the entry and never
// replaces it.
//
// A value being typed is the operator's until it is committed: reading or
// writing values through the grid commits it first, so a command never works
// on a stale value nor has its change overwritten by an editor closing later.
class TKeyValueGrid : public QTableView {
    Q_OBJECT

public:
    static constexpr int FirstRow = 1;

    // A grid that keeps its values itself.
    explicit TKeyValueGrid(QWidget *parent = nullptr);
    // A grid that shows and edits the values of `model`, which it takes over.
    explicit TKeyValueGrid(TKeyValueGridModel *model, QWidget *parent = nullptr);

    // The number of the last keyed row (123).
    int LastRow() const;
    int Row() const;
    // Throws TError for a row outside 1..LastRow().
    void SetRow(int row);
    // Moves the cursor to follow a selection made elsewhere: no Click.
    // Throws TError for a row outside 1..LastRow().
    void FollowRow(int row);

    // Throws TError for a row outside 1..LastRow(): the title row and rows
    // beyond the last key carry no key.
    QString Key(int row) const;
    QString ValueOfRow(int row) const;
    void SetValueOfRow(int row, const QString &value);
    // Lookup by key text; an unknown key reads as empty.
    QString Value(const QString &key) const;
    // Throws TError for a key that no row carries: the rows are fixed.
    void SetValue(const QString &key, const QString &value);

    void SetTitles(const QString &keyTitle, const QString &valueTitle);
    void SetMarkedRowPredicate(TKeyValueGridDelegate::TRowPredicate predicate);
    void SetKeyColumnWidth(int width);
    // Commits the value being typed, if any, and closes its editor.
    void CommitEdit() const;

    using QTableView::edit;

signals:
    void Click();

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    void CheckRow(int row) const;
    void RaiseClick();

    bool Following = false;

    TKeyValueGridModel *Model;
    TKeyValueGridDelegate *Delegate;
};

} // namespace tarvello
