#include "show/BlockCopy.h"

#include <algorithm>
#include <utility>

namespace tarvello {
namespace {

constexpr int LastRow = SlotCount;

bool IsSlotRow(int row)
{
    return row >= 1 && row <= LastRow;
}

} // namespace

void MarkBlockStart(TBlockMarks &marks, int row, bool endEnabled)
{
    marks.Start = row;
    if (endEnabled && marks.Start > marks.End) {
        std::swap(marks.Start, marks.End);
    }
}

void MarkBlockEnd(TBlockMarks &marks, int row)
{
    marks.End = row;
    if (marks.End < marks.Start) {
        std::swap(marks.Start, marks.End);
    }
}

bool BlockMarksSet(const TBlockMarks &marks)
{
    return marks.Start > 0 && marks.End > 0;
}

int BlockRowsToCopy(const TBlockMarks &marks, int destination)
{
    // Marks set from both pages can leave the start unset or past the end; the
    // title row must never be copied into a slot.
    if (!IsSlotRow(marks.Start) || !IsSlotRow(marks.End) || !IsSlotRow(destination)) {
        return 0;
    }
    const int length = marks.End - marks.Start + 1;
    if (length < 1) {
        return 0;
    }
    return std::min(length, LastRow - destination + 1);
}

void TakeBlockSnapshot(const TSlotRows &rows, const TBlockMarks &marks, int destination,
                       TCopyBuffer &buffer)
{
    const int count = BlockRowsToCopy(marks, destination);
    for (int i = 0; i < count; ++i) {
        const int from = marks.Start + i;
        buffer.Values[from] = rows.Values[from];
        buffer.Strings[from] = rows.Strings[from];
    }
}

void CopyBlock(TSlotRows &rows, const TCopyBuffer &buffer, const TBlockMarks &marks,
               int destination, bool pushDown)
{
    const int count = BlockRowsToCopy(marks, destination);
    if (count < 1) {
        return;
    }
    const int length = marks.End - marks.Start + 1;
    if (pushDown && destination + length <= LastRow) {
        for (int row = LastRow; row >= destination + length; --row) {
            rows.Values[row] = rows.Values[row - length];
            rows.Strings[row] = rows.Strings[row - length];
        }
    }
    for (int i = 0; i < count; ++i) {
        rows.Values[destination + i] = buffer.Values[marks.Start + i];
        rows.Strings[destination + i] = buffer.Strings[marks.Start + i];
    }
}

} // namespace tarvello
