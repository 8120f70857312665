#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QWidget;

namespace tarvello {

// Names a control as the layout does; the window's handlers and its tests
// find controls by these names.
template <typename T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Every control keeps its hint text (property "hint"); only the controls the
// operator needs help with show it as a tool tip.
void SetHint(QWidget *widget, const QString &hint, bool shown);

void SetBackground(QWidget *widget, const QColor &colour);

// A font by pixel height, with substitutes for faces a Linux desktop lacks.
QFont PixelFont(const QStringList &families, int pixelHeight);

} // namespace tarvello
