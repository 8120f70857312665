#include "main/StageKeys.h"

#include "core/SlotTypes.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tarvello {
namespace {

bool IsTypedInto(const QWidget *widget)
{
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget) ||
        qobject_cast<const QAbstractItemView *>(widget)) {
        return true;
    }
    if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
        return combo->isEditable();
    }
    if (const auto *text = qobject_cast<const QTextEdit *>(widget)) {
        return !text->isReadOnly();
    }
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(widget)) {
        return !text->isReadOnly();
    }
    return false;
}

} // namespace

TStageKey StageKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        if (key == Qt::Key_PageDown) {
            return TStageKey::NextShow;
        }
        if (key == Qt::Key_PageUp) {
            return TStageKey::PreviousShow;
        }
    }
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return TStageKey::None;
    }
    switch (key) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_Down:
        return TStageKey::Forward;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Up:
        return TStageKey::Back;
    case Qt::Key_Home:
        return TStageKey::First;
    case Qt::Key_End:
        return TStageKey::Last;
    case Qt::Key_F11:
        return TStageKey::ToggleFullScreen;
    case Qt::Key_Escape:
        return TStageKey::LeaveFullScreen;
    default:
        return TStageKey::None;
    }
}

int StageStepValue(TStageKey step, bool lyricPage)
{
    const bool forward = step == TStageKey::Forward;
    if (lyricPage) {
        return forward ? PageDownValue : PageUpValue;
    }
    return forward ? NextPromptValue : PreviousPromptValue;
}

std::optional<int> FilledSlotAtEnd(const std::function<QString(int slot)> &value, int lastSlot,
                                   bool last)
{
    for (int i = 0; i <= lastSlot; ++i) {
        const int slot = last ? lastSlot - i : i;
        if (!value(slot).trimmed().isEmpty()) {
            return slot;
        }
    }
    return std::nullopt;
}

bool TakesTypedKeys(const QWidget *focus)
{
    for (const QWidget *widget = focus; widget; widget = widget->parentWidget()) {
        if (IsTypedInto(widget)) {
            return true;
        }
        if (widget->isWindow()) {
            break;
        }
    }
    return false;
}

} // namespace tarvello
