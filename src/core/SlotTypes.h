#pragma once

#include <QStringList>

#include <array>

namespace tarvello {

// 123 prompt slots keyed 0..122; values 122..127 double as navigation commands.
inline constexpr int SlotCount = 123;
inline constexpr int LastSlotKey = SlotCount - 1;

// The navigation values, the same whether a Program Change, a Control Change,
// the Nav Pad or a page-turner key carries them.
inline constexpr int LineDownValue = 122;
inline constexpr int LineUpValue = 123;
inline constexpr int PageDownValue = 124;
inline constexpr int PageUpValue = 125;
inline constexpr int NextPromptValue = 126;
inline constexpr int PreviousPromptValue = 127;

// A slot's number as the operator reads it: its key, or from 1 as most
// instruments print their programs.
inline QString SlotNumberText(int slotKey, bool fromOne)
{
    return QString::number(fromOne ? slotKey + 1 : slotKey);
}

// Slot k stands in row k + 1 of both grids; row 0 is the title row.
constexpr int RowOfSlot(int slotKey)
{
    return slotKey + 1;
}
constexpr int SlotOfRow(int row)
{
    return row - 1;
}

// The MIDI strings of every slot, indexed by grid row: list k + 1 belongs to
// slot k, list 0 to no slot (it only collects lines that stand ahead of the
// first slot marker of a MIDI strings file, and is never sent nor saved).
inline constexpr int MidiStringListCount = SlotCount + 1;
using TMidiStringLists = std::array<QStringList, MidiStringListCount>;

} // namespace tarvello
