#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace tarvello {

// The navigation panel of the Settings page and its labels as laid out; both
// grow to the labels' text.
inline constexpr int NavigationPanelWidth = 205;
inline constexpr int NavigationLabelWidth = 195;

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
// The colour text is drawn in; `role` is WindowText for labels, Text for views.
void SetTextColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// The bounds are laid out for Tahoma at 96 dpi; a wider substitute face
// gets the width its caption needs so that nothing is cut off.
void WidenToFit(QWidget *widget, int maxWidth = 400);
// A label with its caption at a place of the layout, as wide as its text.
QLabel *PlacedLabel(QWidget *parent, const char *name, const QString &caption, int left, int top);

// A font by pixel height, with substitutes for faces a Linux desktop lacks.
QFont PixelFont(const QStringList &families, int pixelHeight);

} // namespace tarvello
