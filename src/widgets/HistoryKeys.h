#pragma once

#include <QKeySequence>
#include <QList>

class QKeyEvent;

namespace tarvello {

// The keys of the edit history: Ctrl+Z takes the last edit back, Ctrl+Shift+Z
// and Ctrl+Y make it again.
QList<QKeySequence> UndoKeys();
QList<QKeySequence> RedoKeys();

// Whether a key press is one of them.
bool IsHistoryKey(const QKeyEvent &event);

} // namespace tarvello
