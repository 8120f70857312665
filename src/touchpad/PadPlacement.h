#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tarvello {

// Where the pad's frame goes: the stored position, unless so little of the pad
// would be on any screen that the operator could not grab it (a screen that
// was there when the position was saved is gone, say). Then the pad is pulled
// fully onto the screen nearest to where it should have been.
QPoint PadPositionInView(const QPoint &wanted, const QSize &frame, const QList<QRect> &screens);

} // namespace tarvello
