#include "support/CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace tarvello::test {
namespace {

QString Describe(const QWidget *widget, int needed)
{
    return QStringLiteral("%1 '%2': needs %3 px, has %4")
        .arg(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                            : widget->objectName())
        .arg(widget->property("text").toString())
        .arg(needed)
        .arg(widget->width());
}

// The width the caption takes from the control's left edge, or 0 for a control
// without a caption of its own to measure.
int NeededWidth(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->wordWrap() || label->text().isEmpty()) {
            return 0;
        }
        const QMargins margins = label->contentsMargins();
        return label->fontMetrics().horizontalAdvance(label->text()) + margins.left() +
               margins.right() + 2 * label->margin() + std::max(label->indent(), 0);
    }
    if (qobject_cast<const QCheckBox *>(widget) || qobject_cast<const QRadioButton *>(widget)) {
        return widget->sizeHint().width();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        if (button->text().isEmpty()) {
            return 0;
        }
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return button->fontMetrics().horizontalAdvance(button->text()) + margin;
    }
    if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
        if (group->title().isEmpty()) {
            return 0;
        }
        // The title stands inset by about one character from the frame.
        return group->fontMetrics().horizontalAdvance(group->title() + QStringLiteral("  "));
    }
    return 0;
}

// What a control shows: its caption's line, or all of it when it has none.
QRect Covered(const QWidget *widget, int needed)
{
    if (needed == 0) {
        return widget->geometry();
    }
    const int line = widget->fontMetrics().height();
    return QRect(widget->x(), widget->y() + (widget->height() - line) / 2, needed, line);
}

} // namespace

QStringList ClippedCaptions(const QWidget *root)
{
    QStringList clipped;
    for (const QWidget *widget : root->findChildren<const QWidget *>()) {
        if (!widget->isVisibleTo(root)) {
            continue;
        }
        const int needed = NeededWidth(widget);
        if (needed == 0) {
            continue;
        }
        if (needed > widget->width()) {
            clipped.append(Describe(widget, needed));
            continue;
        }
        // What the caption covers must not lie under another control beside it.
        const QWidget *parent = widget->parentWidget();
        if (!parent || parent->layout()) {
            continue;
        }
        const QRect caption = Covered(widget, needed);
        for (const QWidget *sibling :
             parent->findChildren<const QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling != widget && sibling->isVisibleTo(root) && !sibling->isWindow() &&
                caption.intersects(Covered(sibling, NeededWidth(sibling)))) {
                clipped.append(Describe(widget, needed) + QStringLiteral(", under ") +
                               sibling->objectName());
            }
        }
    }
    return clipped;
}

} // namespace tarvello::test
