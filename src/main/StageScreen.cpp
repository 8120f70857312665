#include "main/StageScreen.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

namespace tarvello {

QScreen *ScreenNamed(const QString &name)
{
    if (name.isEmpty()) {
        return nullptr;
    }
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto found = std::find_if(screens.begin(), screens.end(), [&name](const QScreen *screen) {
        return screen->name() == name;
    });
    return found == screens.end() ? nullptr : *found;
}

QScreen *StageScreenOf(const QString &name)
{
    QScreen *named = ScreenNamed(name);
    return named ? named : QGuiApplication::primaryScreen();
}

QRect BoundsOnScreen(const QRect &bounds, const QRect &available)
{
    if (available.isEmpty() || available.contains(bounds.center())) {
        return bounds;
    }
    return QRect(available.topLeft(), QSize(std::min(bounds.width(), available.width()),
                                            std::min(bounds.height(), available.height())));
}

bool WindowReachable(const QRect &bounds, int captionHeight, const QList<QRect> &screens)
{
    constexpr int GraspWidth = 100;
    const QRect caption(bounds.topLeft(), QSize(bounds.width(), std::max(captionHeight, 1)));
    bool anyScreen = false;
    for (const QRect &screen : screens) {
        if (screen.isEmpty()) {
            continue;
        }
        anyScreen = true;
        const QRect seen = caption.intersected(screen);
        if (seen.width() >= std::min(GraspWidth, bounds.width()) &&
            seen.height() >= caption.height()) {
            return true;
        }
    }
    return !anyScreen;
}

bool StillWherePlaced(const QRect &now, const QRect &placed)
{
    // More than any window frame's width: a move of the operator's.
    constexpr int FrameShift = 64;
    return now.size() == placed.size() && std::abs(now.x() - placed.x()) <= FrameShift &&
           std::abs(now.y() - placed.y()) <= FrameShift;
}

} // namespace tarvello
