#pragma once

#include <QString>
#include <Qt>

#include <functional>
#include <optional>

class QWidget;

namespace tarvello {

// What a key does on the stage pages ("Display" and "Lyric").
enum class TStageKey {
    None,
    Forward,          // Page Down, Right, Space, Down
    Back,             // Page Up, Left, Up
    First,            // Home: the first filled slot
    Last,             // End: the last filled slot
    ToggleFullScreen, // F11
    LeaveFullScreen,  // Escape
    NextShow,         // Ctrl+Page Down
    PreviousShow,     // Ctrl+Page Up
};

// The stage key a key press stands for. Page-turner pedals send these keys
// bare; with Shift, Ctrl, Alt or Meta held the press is someone else's
// (Shift+Space, Ctrl+End...), and gives None, but for Ctrl+Page Down and
// Ctrl+Page Up, which step through the shows. The keypad's keys count as the
// main ones.
TStageKey StageKeyOf(int key, Qt::KeyboardModifiers modifiers);

// The navigation value of a step: a page of the document on the Lyric page
// (124 down, 125 up), the next or previous prompt on the Display page (126,
// 127). Only for Forward and Back.
int StageStepValue(TStageKey step, bool lyricPage);

// The first (or last) slot from 0 to `lastSlot` whose value holds more than
// blanks; none when all are empty. `value` gives a slot's value.
std::optional<int> FilledSlotAtEnd(const std::function<QString(int slot)> &value, int lastSlot,
                                   bool last);

// Whether the focus is where the operator types or picks from a list: an
// editor that can be typed into (a line edit, a spin box, an editable combo
// box or text view), a grid or a list, or anything inside one (a grid's cell
// editor). Page-turner keys leave such a focus alone; a read-only view, a
// browser or a document view is no editor.
bool TakesTypedKeys(const QWidget *focus);

} // namespace tarvello
