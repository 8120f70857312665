#include "show/ShowEdits.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace tarvello {
namespace {

// Every slot whole: its line, file and MIDI strings.
using TShowState = std::vector<TSlotState>;

TShowState StateOf(const TShow &show)
{
    TShowState state;
    for (int slot = 0; slot < SlotCount; ++slot) {
        state.push_back({show.Line(slot), show.File(slot), show.MidiStrings(slot)});
    }
    return state;
}

TEST(ShowEdits, EachEditIsOneStepThatUndoTakesBackWholeAndRedoMakesAgain)
{
    TShow show;
    for (int slot = 0; slot < 10; ++slot) {
        show.SetLine(slot, QStringLiteral("t%1").arg(slot));
        show.SetFile(slot, QStringLiteral("f%1").arg(slot));
        if (slot % 3 == 0) {
            show.SetMidiStrings(slot, {QStringLiteral("C0 %1").arg(slot)});
        }
    }
    TShowEdits edits(show);
    EXPECT_FALSE(edits.History().canUndo()) << "filling the show is no edit";

    std::vector<TShowState> states{StateOf(show)};
    const auto edit = [&](const std::function<void(TShow &)> &change) {
        edits.Run(QStringLiteral("edit"), change);
        states.push_back(StateOf(show));
    };
    edit([](TShow &s) { s.SetLine(2, QStringLiteral("typed")); });
    edit([](TShow &s) { s.DeleteFileEntry(3); });
    edit([](TShow &s) { s.MoveEntry(TSlotField::File, 0, TMoveDirection::Down); });
    edit([](TShow &s) {
        // Slots 1 and 2 copied to slot 5, pushing the rest down.
        TSlotRows rows = s.Rows(TSlotField::Line);
        TCopyBuffer buffer;
        const TBlockMarks marks{RowOfSlot(1), RowOfSlot(2)};
        TakeBlockSnapshot(rows, marks, RowOfSlot(5), buffer);
        CopyBlock(rows, buffer, marks, RowOfSlot(5), true);
        s.ApplyRows(TSlotField::Line, rows);
    });
    edit([](TShow &s) { s.SetMidiStrings(7, {QStringLiteral("B0 07 64")}); });
    {
        // A command that asks between its changes: one step, inner ones too.
        const TShowEdits::TStep step(edits, QStringLiteral("Clear All Prompts"));
        show.ClearTexts(TSlotField::Line);
        edits.Run(QStringLiteral("Clear Midi Strings"), [](TShow &s) { s.ClearMidiStrings(); });
    }
    states.push_back(StateOf(show));
    edits.Run(QStringLiteral("nothing"), [](TShow &s) { s.SetLine(4, s.Line(4)); });
    ASSERT_EQ(edits.History().count(), 6) << "a step that changes nothing is not kept";
    EXPECT_EQ(edits.History().undoText(), QStringLiteral("Clear All Prompts"));

    // Undo walks back through every state, each change announced as any edit.
    QSignalSpy changes(&show, &TShow::SlotChanged);
    for (size_t step = states.size() - 1; step > 0; --step) {
        edits.Undo();
        EXPECT_EQ(StateOf(show), states[step - 1]) << "undo of step " << step;
    }
    EXPECT_FALSE(edits.History().canUndo());
    EXPECT_TRUE(changes.contains({2, QVariant::fromValue(TSlotField::Line)}));
    for (size_t step = 1; step < states.size(); ++step) {
        edits.Redo();
        EXPECT_EQ(StateOf(show), states[step]) << "redo of step " << step;
    }

    // A new edit after an undo: what was undone cannot be made again.
    edits.Undo();
    edits.Run(QStringLiteral("edit"), [](TShow &s) { s.SetFile(9, QStringLiteral("new.pdf")); });
    EXPECT_FALSE(edits.History().canRedo());

    // A list opened: nothing before it can be taken back.
    edits.Forget();
    const TShowState opened = StateOf(show);
    edits.Undo();
    EXPECT_EQ(StateOf(show), opened);
    EXPECT_FALSE(edits.History().canUndo());
}

} // namespace
} // namespace tarvello
