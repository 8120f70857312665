#include "widgets/HistoryKeys.h"

#include <QKeyEvent>

namespace tarvello {

QList<QKeySequence> UndoKeys()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
}

QList<QKeySequence> RedoKeys()
{
    return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
}

bool IsHistoryKey(const QKeyEvent &event)
{
    const QKeySequence pressed(event.keyCombination());
    return UndoKeys().contains(pressed) || RedoKeys().contains(pressed);
}

} // namespace tarvello
