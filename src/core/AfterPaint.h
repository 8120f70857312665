#pragma once

#include <QObject>

#include <functional>

namespace tarvello {

// Runs `work` on `owner`'s thread once the events queued now have been
// handled, the windows' repaints among them. Qt posts a widget's repaint at
// low priority, so a call queued the usual way would run ahead of it; this
// one is posted at the same low priority, behind it. Dropped when `owner`
// goes first.
void RunAfterPaint(QObject *owner, std::function<void()> work);

} // namespace tarvello
