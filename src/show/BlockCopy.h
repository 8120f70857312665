#pragma once

#include "core/SlotTypes.h"

#include <QString>

#include <array>

namespace tarvello {

// One grid's values and the slots' MIDI strings, both indexed by grid row:
// rows 1 to 123 are the slots, Values[0] belongs to the title row and is never
// read or written, Strings[0] is the list that belongs to no slot.
struct TSlotRows {
    std::array<QString, MidiStringListCount> Values;
    TMidiStringLists Strings;
};

// What a block copy took from the block before writing anything, by the row it
// was taken from. Rows not taken by the last copy keep older entries.
using TCopyBuffer = TSlotRows;

// The first and last row of the marked block; 0 is not set. Both edit pages
// share one pair of marks.
struct TBlockMarks {
    int Start = 0;
    int End = 0;
};

// "Start": marks the row as the block's start. When the page's "End" is
// already enabled and the start lies past the end, the two are exchanged (a
// second "Start" before any "End" therefore moves the mark to the end).
void MarkBlockStart(TBlockMarks &marks, int row, bool endEnabled);
// "End": marks the row as the block's end; an end before the start is exchanged
// with it.
void MarkBlockEnd(TBlockMarks &marks, int row);
// Both marks are set, so "Copy to" can be offered.
bool BlockMarksSet(const TBlockMarks &marks);

// The number of block rows a copy to `destination` writes: the block's length,
// cut at the last row. A block whose marks name no slot rows (a mark not set,
// or an end before its start) copies nothing.
int BlockRowsToCopy(const TBlockMarks &marks, int destination);

// Takes the rows of the block that fit from `destination` to the last row into
// the buffer, before anything is written, so that a destination inside the
// block copies the block as it was.
void TakeBlockSnapshot(const TSlotRows &rows, const TBlockMarks &marks, int destination,
                       TCopyBuffer &buffer);

// Writes the snapshot to the rows from `destination` on. With push down the
// entries from the destination on first move down by the block's length (those
// pushed past the last row are lost); a block that reaches the last row pushes
// nothing. Without it the entries there are overwritten.
void CopyBlock(TSlotRows &rows, const TCopyBuffer &buffer, const TBlockMarks &marks,
               int destination, bool pushDown);

} // namespace tarvello
