#include "main/StageScreen.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

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

} // namespace tarvello
