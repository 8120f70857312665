#include "pages/GridMouse.h"

#include "pages/ListEditPage.h"

#include "widgets/ErrorReporter.h"
#include "widgets/KeyValueGrid.h"

#include <QChildEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
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
    TGridMouseWatcher(TListEditPage *page, TKeyValueGrid *grid, TErrorReporter &errors)
        : QObject(grid), Page(page), Grid(grid), Errors(errors)
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
        const Qt::MouseButton button = mouse->button();
        Guarded(Errors, [this, button, at] { Page->MouseDown(button, at); })();
        return true;
    }

private:
    TListEditPage *Page;
    TKeyValueGrid *Grid;
    TErrorReporter &Errors;
    bool Forwarding = false;
};

} // namespace

void WatchGridMouse(TListEditPage *page, TKeyValueGrid *grid, TErrorReporter &errors)
{
    new TGridMouseWatcher(page, grid, errors);
}

} // namespace tarvello
