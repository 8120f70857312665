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

// The pad's client area as designed, which is also the least it may be made.
inline constexpr QSize PadDesignSize{170, 124};

// The pixel size of the captions on a pad with this client area: the design's
// 11 px at 170 x 124, growing with the buttons by the lesser of the pad's two
// stretches, so that a caption still fits its button.
int PadCaptionPixelSize(const QSize &client);

// Where the pad's frame goes when it would cover the prompt that fills
// `stage` in full screen: the bottom right corner, where a prompt read from
// the top and from the left ends. The pad stays on the prompt's screen, which
// on stage is the touch screen it is meant for.
QPoint PadAsidePosition(const QSize &frame, const QRect &stage);

// Whether a pad the program put at `put` still stands there: the window
// manager may shift it by its frame, which is no move of the operator's.
bool PadStillWherePut(const QPoint &now, const QPoint &put);

} // namespace tarvello
