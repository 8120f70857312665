#pragma once

#include <QRect>
#include <QString>

class QScreen;

namespace tarvello {

// The desktop's screen of that name (QScreen::name()), or nullptr when none
// is called so: the stage monitor is not plugged in tonight. An empty name
// names no screen.
QScreen *ScreenNamed(const QString &name);

// The screen a full-screen start goes to: the named one, or the primary one
// when it is missing.
QScreen *StageScreenOf(const QString &name);

// Where a window whose bounds (frame position and size) are `bounds` goes on
// a screen with the available area `available`: where it is when its centre
// is on that screen already, otherwise into the area's top left corner, no
// larger than the area. So the window comes back on the screen it was full on
// when full screen ends.
QRect BoundsOnScreen(const QRect &bounds, const QRect &available);

} // namespace tarvello
