#include "pages/ListEditPage.h"

#include "support/FakeDialogs.h"
#include "widgets/ErrorReporter.h"
#include "widgets/KeyValueGrid.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

// The file page built alone over a show: the grid shows the show, a
// committed edit goes into it, and the page's edits work on it.
TEST(ListEditPage, TheGridIsAViewOfTheShowAndThePageEditsIt)
{
    TShow show;
    TBlockMarks marks;
    TCopyBuffer buffer;
    test::TFakeDialogs dialogs;
    QStringList errors;
    TErrorReporter reporter([&errors](const QString &text) { errors << text; });
    TShowEdits edits(show);
    TListEditPage page(FileListDesign(), edits, TSlotField::File, marks, buffer, dialogs, reporter);
    page.resize(500, 400);
    page.show();
    QApplication::processEvents();
    TKeyValueGrid &grid = page.Grid();
    const auto cell = [&grid](int slot) {
        return grid.model()->index(slot, 1).data().toString();
    };

    show.SetFile(3, QStringLiteral("song.pdf"));
    show.SetMidiStrings(3, {QStringLiteral("C0 03")});
    show.SetLine(4, QStringLiteral("a line, not a file"));
    EXPECT_EQ(cell(3), QStringLiteral("song.pdf"));
    EXPECT_TRUE(cell(4).isEmpty());
    EXPECT_TRUE(page.MarkedRow(RowOfSlot(3)));
    EXPECT_FALSE(page.MarkedRow(RowOfSlot(4)));

    ASSERT_TRUE(grid.model()->setData(grid.model()->index(5, 1), QStringLiteral("typed.txt")));
    EXPECT_EQ(show.File(5), QStringLiteral("typed.txt"));

    // Slot 3 copied to slot 5, pushing slot 5 down with its MIDI strings.
    grid.SetRow(RowOfSlot(3));
    page.CopyStartClick();
    page.CopyEndClick();
    grid.SetRow(RowOfSlot(5));
    dialogs.Answers.push_back(TMessageButton::Yes);
    page.CopyToClick();
    EXPECT_EQ(show.File(5), QStringLiteral("song.pdf"));
    EXPECT_EQ(show.MidiStrings(5), QStringList{QStringLiteral("C0 03")});
    EXPECT_EQ(show.File(6), QStringLiteral("typed.txt"));
    EXPECT_EQ(cell(6), QStringLiteral("typed.txt"));
    EXPECT_EQ(show.Line(4), QStringLiteral("a line, not a file")) << "the other field is not touched";
    EXPECT_TRUE(errors.isEmpty());
}

} // namespace
} // namespace tarvello
