#pragma once

#include <QList>
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

// Whether the operator can get hold of a window whose bounds (frame position
// and size) are `bounds`: at least 100 px of its caption bar, `captionHeight`
// high, lie on one of the screens' available areas. With no screen known
// nothing can be judged, and it can.
bool WindowReachable(const QRect &bounds, int captionHeight, const QList<QRect> &screens);

// Whether a window the program put at `placed` still stands there: the window
// manager may shift it by its frame, which is no move of the operator's.
bool StillWherePlaced(const QRect &now, const QRect &placed);

} // namespace tarvello
