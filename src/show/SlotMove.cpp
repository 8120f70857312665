#include "show/SlotMove.h"

#include <utility>

namespace tarvello {

int MoveEntry(TSlotRows &rows, int row, TMoveDirection direction)
{
    if (row < 1 || row > SlotCount) {
        return 0;
    }
    const int neighbour = direction == TMoveDirection::Up ? row - 1 : row + 1;
    if (neighbour < 1 || neighbour > SlotCount) {
        return 0;
    }
    std::swap(rows.Values[row], rows.Values[neighbour]);
    std::swap(rows.Strings[row], rows.Strings[neighbour]);
    return neighbour;
}

bool TUpDownTracker::Stepped(int position)
{
    const bool moved = position != Seen;
    Seen = position;
    return moved;
}

} // namespace tarvello
