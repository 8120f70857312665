#include "widgets/LayoutHelpers.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>

namespace tarvello {

void SetHint(QWidget *widget, const QString &hint, bool shown)
{
    widget->setProperty("hint", hint);
    if (shown) {
        widget->setToolTip(hint);
    }
}

void SetBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFont PixelFont(const QStringList &families, int pixelHeight)
{
    QFont font;
    font.setFamilies(families +
                     QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPixelSize(pixelHeight);
    return font;
}

void WidenToFit(QWidget *widget, int maxWidth)
{
    const int wanted = std::min(widget->sizeHint().width(), maxWidth);
    if (wanted > widget->width()) {
        widget->resize(wanted, widget->height());
    }
}

QLabel *PlacedLabel(QWidget *parent, const char *name, const QString &caption, int left, int top)
{
    QLabel *label = Named(new QLabel(caption, parent), name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace tarvello
