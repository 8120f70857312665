#include "touchpad/PadPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tarvello {

namespace {

// Enough of the pad to see it and drag it by its caption.
constexpr int MinVisibleWidth = 40;
constexpr int MinVisibleHeight = 20;
constexpr int DesignCaptionPixels = 11;
// More than any window frame's width: a move of the operator's.
constexpr int FrameShift = 64;

bool Reachable(const QRect &pad, const QRect &screen)
{
    const QRect seen = pad.intersected(screen);
    return seen.width() >= std::min(MinVisibleWidth, pad.width()) &&
           seen.height() >= std::min(MinVisibleHeight, pad.height());
}

qint64 SquaredDistance(const QPoint &a, const QPoint &b)
{
    const qint64 dx = qint64(a.x()) - b.x();
    const qint64 dy = qint64(a.y()) - b.y();
    return dx * dx + dy * dy;
}

int ClampInto(int at, int length, int first, int size)
{
    // A pad larger than the screen keeps its top-left edge on the screen.
    const int last = first + std::max(size - length, 0);
    return std::clamp(at, first, last);
}

} // namespace

QPoint PadPositionInView(const QPoint &wanted, const QSize &frame, const QList<QRect> &screens)
{
    const QRect pad(wanted, frame);
    const QRect *nearest = nullptr;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QRect &screen : screens) {
        if (screen.isEmpty()) {
            continue;
        }
        if (Reachable(pad, screen)) {
            return wanted;
        }
        const qint64 distance = SquaredDistance(pad.center(), screen.center());
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    if (nearest == nullptr) {
        return wanted;
    }
    return QPoint(ClampInto(wanted.x(), frame.width(), nearest->left(), nearest->width()),
                  ClampInto(wanted.y(), frame.height(), nearest->top(), nearest->height()));
}

int PadCaptionPixelSize(const QSize &client)
{
    const double stretch = std::min(double(client.width()) / PadDesignSize.width(),
                                    double(client.height()) / PadDesignSize.height());
    return std::max(DesignCaptionPixels, int(std::lround(DesignCaptionPixels * stretch)));
}

QPoint PadAsidePosition(const QSize &frame, const QRect &stage)
{
    return QPoint(std::max(stage.left(), stage.left() + stage.width() - frame.width()),
                  std::max(stage.top(), stage.top() + stage.height() - frame.height()));
}

bool PadStillWherePut(const QPoint &now, const QPoint &put)
{
    return std::abs(now.x() - put.x()) <= FrameShift && std::abs(now.y() - put.y()) <= FrameShift;
}

} // namespace tarvello
