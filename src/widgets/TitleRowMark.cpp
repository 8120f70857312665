#include "widgets/TitleRowMark.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScopedValueRollback>

#include <utility>

namespace tarvello {

TTitleRowMark::TTitleRowMark(QHeaderView *title, QWidget *rows, std::function<bool()> marked)
    : QObject(title), Title(title), Marked(std::move(marked))
{
    title->viewport()->installEventFilter(this);
    rows->installEventFilter(this);
}

bool TTitleRowMark::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint || Painting) {
        return false;
    }
    const bool marked = Marked();
    if (watched != Title->viewport()) {
        if (marked != ShownMarked) {
            Title->viewport()->update();
        }
        return false;
    }
    ShownMarked = marked;
    if (!marked) {
        return false;
    }
    {
        // The title row draws itself first; the frame goes on top of it.
        const QScopedValueRollback<bool> painting(Painting, true);
        QCoreApplication::sendEvent(watched, event);
    }
    QPainter painter(Title->viewport());
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::NoBrush);
    const QRect key(Title->sectionViewportPosition(0), 0, Title->sectionSize(0),
                    Title->viewport()->height());
    painter.drawRect(key.adjusted(0, 0, -1, -1));
    return true;
}

} // namespace tarvello
