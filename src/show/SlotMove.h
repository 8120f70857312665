#pragma once

#include "show/BlockCopy.h"

namespace tarvello {

enum class TMoveDirection { Up, Down };

// Moves the entry of `row` one row up (towards slot 0) or down by exchanging
// its value and MIDI strings with the neighbour's. Returns the neighbour row,
// where the entry now stands, or 0 when there is no neighbour that way: the
// first row does not move up, the last row does not move down, nothing wraps.
int MoveEntry(TSlotRows &rows, int row, TMoveDirection direction);

// An up-down steps its position within its range and raises its click also when
// the position is already at the end of the range. Only a press that moved the
// position counts: the tracker remembers the position it last saw.
class TUpDownTracker {
public:
    explicit TUpDownTracker(int position) : Seen(position) {}

    // The position after a press: true when it differs from the one seen before.
    bool Stepped(int position);
    // The program set the position.
    void Follow(int position) { Seen = position; }

private:
    int Seen;
};

} // namespace tarvello
