#include "show/BlockCopy.h"
#include "show/SlotMove.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tarvello {
namespace {

// Every row holds "v<row>" and one MIDI string "s<row>"; list 0 holds a line
// of its own that no copy may touch.
TSlotRows NumberedRows()
{
    TSlotRows rows;
    for (int row = 1; row <= SlotCount; ++row) {
        rows.Values[row] = QStringLiteral("v%1").arg(row);
        rows.Strings[row] = QStringList{QStringLiteral("s%1").arg(row)};
    }
    rows.Strings[0] = QStringList{QStringLiteral("before the first slot")};
    return rows;
}

// The row numbers the entries now stand for: row r holds the entry first in row
// Origin(r), with its MIDI strings alongside.
int Origin(const TSlotRows &rows, int row)
{
    const QString value = rows.Values[row];
    EXPECT_EQ(rows.Strings[row], QStringList{QStringLiteral("s") + value.mid(1)})
        << "the MIDI strings of row " << row << " did not travel with its value";
    return value.mid(1).toInt();
}

TSlotRows Copied(const TBlockMarks &marks, int destination, bool pushDown)
{
    TSlotRows rows = NumberedRows();
    TCopyBuffer buffer;
    TakeBlockSnapshot(rows, marks, destination, buffer);
    CopyBlock(rows, buffer, marks, destination, pushDown);
    EXPECT_EQ(rows.Strings[0], QStringList{QStringLiteral("before the first slot")});
    return rows;
}

TEST(BlockCopy, PushDownMovesTheRestDownAndLosesTheLastRows)
{
    const TSlotRows rows = Copied({3, 4}, 10, true);
    for (int row = 1; row <= 9; ++row) {
        EXPECT_EQ(Origin(rows, row), row);
    }
    EXPECT_EQ(Origin(rows, 10), 3);
    EXPECT_EQ(Origin(rows, 11), 4);
    for (int row = 12; row <= 123; ++row) {
        EXPECT_EQ(Origin(rows, row), row - 2) << row;
    }
}

TEST(BlockCopy, OverwriteReplacesOnlyTheDestinationRows)
{
    const TSlotRows rows = Copied({3, 4}, 10, false);
    for (int row = 1; row <= 123; ++row) {
        const int expected = row == 10 ? 3 : row == 11 ? 4 : row;
        EXPECT_EQ(Origin(rows, row), expected) << row;
    }
}

TEST(BlockCopy, ABlockIsCutAtTheLastRowAndThenPushesNothing)
{
    for (const bool pushDown : {true, false}) {
        const TSlotRows rows = Copied({5, 9}, 121, pushDown);
        for (int row = 1; row <= 120; ++row) {
            EXPECT_EQ(Origin(rows, row), row);
        }
        EXPECT_EQ(Origin(rows, 121), 5);
        EXPECT_EQ(Origin(rows, 122), 6);
        EXPECT_EQ(Origin(rows, 123), 7);
    }
    EXPECT_EQ(BlockRowsToCopy({5, 9}, 121), 3);
    // The last row itself: a block ending there pushes nothing either.
    const TSlotRows last = Copied({1, 2}, 122, true);
    EXPECT_EQ(Origin(last, 121), 121);
    EXPECT_EQ(Origin(last, 122), 1);
    EXPECT_EQ(Origin(last, 123), 2);
}

TEST(BlockCopy, ABlockCopiedOntoOrIntoItselfCopiesTheBlockAsItWas)
{
    const TSlotRows same = Copied({3, 5}, 3, false);
    for (int row = 1; row <= 123; ++row) {
        EXPECT_EQ(Origin(same, row), row);
    }

    const TSlotRows duplicated = Copied({3, 5}, 3, true);
    const int expected[] = {1, 2, 3, 4, 5, 3, 4, 5, 6};
    for (int row = 1; row <= 9; ++row) {
        EXPECT_EQ(Origin(duplicated, row), expected[row - 1]) << row;
    }
    EXPECT_EQ(Origin(duplicated, 123), 120);

    // Overlapping one row further down: without the snapshot row 4 would
    // already hold row 3's entry when it is read.
    const TSlotRows overlapping = Copied({3, 5}, 4, false);
    const int shifted[] = {1, 2, 3, 3, 4, 5, 7};
    for (int row = 1; row <= 7; ++row) {
        EXPECT_EQ(Origin(overlapping, row), shifted[row - 1]) << row;
    }
}

TEST(BlockCopy, MarksThatMakeNoBlockCopyNothing)
{
    // An end before the start (marks set from both pages) and an unset start
    // (a second "Start" on the other page): nothing moves, and the title row is
    // never read into a slot.
    for (const TBlockMarks marks : {TBlockMarks{8, 4}, TBlockMarks{0, 4}, TBlockMarks{0, 0}}) {
        EXPECT_EQ(BlockRowsToCopy(marks, 10), 0);
        for (const bool pushDown : {true, false}) {
            const TSlotRows rows = Copied(marks, 10, pushDown);
            for (int row = 1; row <= 123; ++row) {
                EXPECT_EQ(Origin(rows, row), row);
            }
        }
    }
}

TEST(BlockCopy, TheSnapshotKeepsOlderRowsAndTakesOnlyWhatFits)
{
    TSlotRows rows = NumberedRows();
    TCopyBuffer buffer;
    TakeBlockSnapshot(rows, {1, 3}, 10, buffer);
    rows.Values[1] = QStringLiteral("changed");
    TakeBlockSnapshot(rows, {1, 5}, 122, buffer);
    EXPECT_EQ(buffer.Values[1], QStringLiteral("changed"));
    EXPECT_EQ(buffer.Values[2], QStringLiteral("v2"));
    EXPECT_EQ(buffer.Values[3], QStringLiteral("v3"));
    EXPECT_TRUE(buffer.Values[4].isEmpty());
}

TEST(BlockMarks, StartAndEndOrderTheMarksAsTheButtonsDo)
{
    TBlockMarks marks;
    MarkBlockStart(marks, 5, false);
    EXPECT_EQ(marks.Start, 5);
    EXPECT_FALSE(BlockMarksSet(marks));
    // A second "Start" finds "End" enabled and the end unset: they change places.
    MarkBlockStart(marks, 7, true);
    EXPECT_EQ(marks.Start, 0);
    EXPECT_EQ(marks.End, 7);
    EXPECT_FALSE(BlockMarksSet(marks));
    MarkBlockStart(marks, 3, true);
    EXPECT_EQ(marks.Start, 3);
    EXPECT_EQ(marks.End, 7);
    EXPECT_TRUE(BlockMarksSet(marks));

    MarkBlockEnd(marks, 2);
    EXPECT_EQ(marks.Start, 2);
    EXPECT_EQ(marks.End, 3);
}

TEST(SlotMove, AnEntryChangesPlacesWithItsNeighbourAndNeverWraps)
{
    TSlotRows rows = NumberedRows();
    EXPECT_EQ(MoveEntry(rows, 1, TMoveDirection::Up), 0);
    EXPECT_EQ(MoveEntry(rows, 123, TMoveDirection::Down), 0);
    for (int row = 1; row <= 123; ++row) {
        EXPECT_EQ(Origin(rows, row), row);
    }

    EXPECT_EQ(MoveEntry(rows, 5, TMoveDirection::Up), 4);
    EXPECT_EQ(Origin(rows, 4), 5);
    EXPECT_EQ(Origin(rows, 5), 4);
    EXPECT_EQ(MoveEntry(rows, 122, TMoveDirection::Down), 123);
    EXPECT_EQ(Origin(rows, 123), 122);
    EXPECT_EQ(Origin(rows, 122), 123);
    EXPECT_EQ(rows.Strings[0], QStringList{QStringLiteral("before the first slot")});
}

TEST(SlotMove, OnlyAStepOfTheUpDownCountsAsAPress)
{
    TUpDownTracker tracker(-1);
    EXPECT_FALSE(tracker.Stepped(-1));
    EXPECT_TRUE(tracker.Stepped(-2));
    tracker.Follow(-123);
    EXPECT_FALSE(tracker.Stepped(-123));
    EXPECT_TRUE(tracker.Stepped(-122));
}

} // namespace
} // namespace tarvello
