#include "main/MainWindow.h"

#include "prompt/ListEditing.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/TitleRowMark.h"
#include "widgets/UpDown.h"

#include <QChildEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace tarvello {
namespace {

// Hands every mouse press in a grid, on its rows or on its title row, to the
// window's mouse-down handler. A left press reaches the grid first, so the
// handler sees the cursor already on the clicked row; a right press never
// moves the cursor by itself: the handler decides. The title row takes no
// press of its own, so it never moves the cursor either.
class TGridMouseWatcher : public QObject {
public:
    using THandler = void (TfMain::*)(Qt::MouseButton, Qt::KeyboardModifiers, QPoint);

    TGridMouseWatcher(TfMain *window, TKeyValueGrid *grid, THandler handler)
        : QObject(grid), Window(window), Grid(grid), Handler(handler)
    {
        grid->viewport()->installEventFilter(this);
        grid->horizontalHeader()->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        // The value being typed has an editor of its own over its cell; a right
        // click there is a right click on the row all the same.
        if (event->type() == QEvent::ChildAdded && watched == Grid->viewport()) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType()) {
                child->installEventFilter(this);
            }
            return false;
        }
        const bool inEditor = widget && widget->parentWidget() == Grid->viewport();
        if (event->type() == QEvent::ContextMenu && inEditor) {
            return static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse;
        }
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick) {
            return false;
        }
        if (Forwarding || !widget) {
            return false;
        }
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool onRows = watched == Grid->viewport() || inEditor;
        if (onRows && event->type() == QEvent::MouseButtonDblClick) {
            // The second press of a double click opens the value for editing.
            return false;
        }
        const QPoint at = widget->mapTo(Grid, mouse->position().toPoint());
        if (onRows && mouse->button() != Qt::RightButton) {
            const QScopedValueRollback<bool> forwarding(Forwarding, true);
            QCoreApplication::sendEvent(watched, event);
        }
        (Window->*Handler)(mouse->button(), mouse->modifiers(), at);
        return true;
    }

private:
    TfMain *Window;
    TKeyValueGrid *Grid;
    THandler Handler;
    bool Forwarding = false;
};

} // namespace

void TfMain::watchGridMouse()
{
    // The popup menus open from the mouse-down handlers, at their own place.
    for (TKeyValueGrid *grid : {vleLines, vleFiles}) {
        grid->setContextMenuPolicy(Qt::PreventContextMenu);
    }
    new TGridMouseWatcher(this, vleLines, &TfMain::vleLinesMouseDown);
    new TGridMouseWatcher(this, vleFiles, &TfMain::vleFilesMouseDown);
    for (TKeyValueGrid *grid : {vleLines, vleFiles}) {
        new TTitleRowMark(grid->horizontalHeader(), grid->viewport(),
                          [this] { return !MidiStringLists[0].isEmpty(); });
    }
}

void TfMain::vleLinesMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, QPoint At)
{
    GridMouseDown(vleLines, UDPrompt, pmText, Button, At);
}

void TfMain::vleFilesMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, QPoint At)
{
    GridMouseDown(vleFiles, UDFiles, pmFiles, Button, At);
}

void TfMain::GridMouseDown(TKeyValueGrid *grid, TUpDown *upDown, QMenu *menu,
                           Qt::MouseButton button, QPoint at)
{
    upDown->SetPosition(-grid->Row());
    (upDown == UDPrompt ? UDPromptSteps : UDFilesSteps).Follow(upDown->Position());
    if (button != Qt::RightButton) {
        return;
    }
    const QPoint inRows = grid->viewport()->mapFrom(grid, at);
    if (!grid->viewport()->rect().contains(inRows)) {
        return;
    }
    const QModelIndex cell = grid->indexAt(inRows);
    if (!cell.isValid()) {
        return;
    }
    grid->SetRow(cell.row() + 1);
    menu->popup(GridMenuPoint(frameGeometry().topLeft(), at));
}

void TfMain::UDPromptClick(TUpDownButton Button)
{
    if (UDPromptSteps.Stepped(UDPrompt->Position())) {
        MoveSelected(vleLines, Button);
    }
}

void TfMain::UDLineClick(TUpDownButton Button)
{
    if (UDFilesSteps.Stepped(UDFiles->Position())) {
        MoveSelected(vleFiles, Button);
    }
}

void TfMain::MoveSelected(TKeyValueGrid *grid, TUpDownButton button)
{
    TSlotRows rows = SlotRowsOf(grid);
    const int neighbour = MoveEntry(
        rows, grid->Row(), button == TUpDownButton::Up ? TMoveDirection::Up : TMoveDirection::Down);
    if (neighbour == 0) {
        return;
    }
    ApplySlotRows(grid, rows);
    grid->SetRow(neighbour);
}

TSlotRows TfMain::SlotRowsOf(const TKeyValueGrid *grid) const
{
    TSlotRows rows;
    for (int row = 1; row <= grid->LastRow(); ++row) {
        rows.Values[row] = grid->ValueOfRow(row);
    }
    rows.Strings = MidiStringLists;
    return rows;
}

void TfMain::ApplySlotRows(TKeyValueGrid *grid, const TSlotRows &rows)
{
    for (int row = 1; row <= grid->LastRow(); ++row) {
        if (grid->ValueOfRow(row) != rows.Values[row]) {
            grid->SetValueOfRow(row, rows.Values[row]);
        }
    }
    MidiStringLists = rows.Strings;
    MidiStringsChanged();
}

} // namespace tarvello
