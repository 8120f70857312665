#include "MainWindowFixture.h"

#include "core/TarvelloError.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QLabel>
#include <QTextEdit>

namespace tarvello::test {
namespace {

using TDisplayTest = TMainWindowTest;

TEST_F(TDisplayTest, TextLinesWithAndWithoutTheirNumber)
{
    LineGrid()->SetValue(QStringLiteral("12"), QStringLiteral("Bridge"));
    SelectValue(12);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("12 - Bridge"));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 12"));
    SelectValue(13);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("13 - "));

    Find<QCheckBox>("cbSuppressNum")->setChecked(true);
    SelectValue(12);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("Bridge"));
    SelectValue(13);
    EXPECT_EQ(PatchName()->text(), QString());
}

TEST_F(TDisplayTest, ControllerModeCaptionCarriesTheController)
{
    Find<TRadioGroup>("rgMessage")->SetItemIndex(1);
    Engine().Midi().Controller = 102;
    SelectValue(17);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Controller 102 Value 17"));
    // Navigation values rewrite the caption as well, on every page.
    OpenPage("tsMidi");
    SelectValue(125);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Controller 102 Value 125"));
}

TEST_F(TDisplayTest, NextAndPreviousStopAtTheEndsAndSkipNothing)
{
    LineGrid()->SetValue(QStringLiteral("121"), QStringLiteral("Coda"));
    SelectValue(120);
    SelectValue(126);
    EXPECT_EQ(CurrentSlot(), 121);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("121 - Coda"));
    SelectValue(126);
    SelectValue(126);
    EXPECT_EQ(CurrentSlot(), 122);
    EXPECT_EQ(LineGrid()->Row(), 123);

    SelectValue(1);
    SelectValue(127);
    SelectValue(127);
    EXPECT_EQ(CurrentSlot(), 0);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("0 - "));
    EXPECT_EQ(LineGrid()->Row(), 1);

    // Values that are no MIDI data byte change nothing.
    SelectValue(128);
    SelectValue(-1);
    EXPECT_EQ(CurrentSlot(), 0);
}

TEST_F(TDisplayTest, DisplayPageIgnoresScrollAndPageValuesButTakes122AsASlot)
{
    LineGrid()->SetValue(QStringLiteral("122"), QStringLiteral("Last"));
    SelectValue(5);
    PatchName()->setText(QStringLiteral("unchanged"));
    for (int value : {123, 124, 125}) {
        SelectValue(value);
        EXPECT_EQ(CurrentSlot(), 5);
        EXPECT_EQ(PatchName()->text(), QStringLiteral("unchanged"));
        EXPECT_EQ(Window->windowTitle(),
                  QStringLiteral("Tarvello v1.4.0 - Midi Patch ") + QString::number(value));
    }
    SelectValue(122);
    EXPECT_EQ(CurrentSlot(), 122);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("122 - Last"));
}

TEST_F(TDisplayTest, CursorFollowsTheSlotAndClicksOnlyWhenItMoves)
{
    SelectValue(0);
    EXPECT_EQ(SelectionMidiSent, 0); // row 1 is already current

    SelectValue(17);
    EXPECT_EQ(LineGrid()->Row(), 18);
    EXPECT_EQ(SelectionMidiSent, 1);
    // The same selection again shows it again but sends nothing.
    PatchName()->clear();
    SelectValue(17);
    EXPECT_EQ(PatchName()->text(), QStringLiteral("17 - "));
    EXPECT_EQ(SelectionMidiSent, 1);

    // The grid of the other display type stays where it is.
    EXPECT_EQ(FileGrid()->Row(), 1);

    // An operator's click on a row selects that slot.
    OpenPage("tsTextEdit");
    LineGrid()->SetRow(31);
    EXPECT_EQ(CurrentSlot(), 30);
    EXPECT_EQ(SelectionMidiSent, 2);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 30"));
}

TEST_F(TDisplayTest, ListClickCaptionAfterNextPrompt)
{
    UseDisplayType(1);
    FileGrid()->SetValue(QStringLiteral("6"), QStringLiteral("/no/such/six.txt"));
    SelectValue(5);
    SelectValue(126);
    // Moving the cursor ran the list click, which showed slot 6 again.
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 6 Item:6"));
    EXPECT_EQ(LyricText()->toPlainText(), QStringLiteral("6 - /no/such/six.txt"));
    EXPECT_EQ(SelectionMidiSent, 2);
}

TEST_F(TDisplayTest, LineCommandsShowingFilesNeverSelectASlot)
{
    UseDisplayType(1);
    FileGrid()->SetValue(QStringLiteral("122"), QStringLiteral("/no/such/last.txt"));
    Window->Show().SetMidiStrings(122, QStringList{QStringLiteral("C1 05")});
    SelectValue(4);
    const int sent = SelectionMidiSent;
    SelectValue(122);
    EXPECT_EQ(CurrentSlot(), 4);
    EXPECT_EQ(FileGrid()->Row(), 5);
    EXPECT_EQ(SelectionMidiSent, sent);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 122 Item:4 "));

    // Off the Lyric page ("Select" led to the list, or on "Settings") they do
    // nothing, and back on the Lyric page slot 4 is still the one shown.
    for (QWidget *page : {Page("tsFileList"), Page("tsMidi")}) {
        Pages()->setCurrentWidget(page);
        Window->setWindowTitle(QStringLiteral("before"));
        for (int value : {122, 123}) {
            SelectValue(value);
            EXPECT_EQ(CurrentSlot(), 4);
            EXPECT_EQ(FileGrid()->Row(), 5);
            EXPECT_EQ(SelectionMidiSent, sent);
            EXPECT_EQ(Window->windowTitle(), QStringLiteral("before"));
        }
    }
    // The operator clicking slot 122's row to fill it in sends nothing either.
    Pages()->setCurrentWidget(Page("tsFileList"));
    FileGrid()->SetRow(123);
    EXPECT_EQ(CurrentSlot(), 4);
    EXPECT_EQ(SelectionMidiSent, sent);
    Pages()->setCurrentWidget(Page("tsLyric"));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 4 Item:4"));
    EXPECT_EQ(LyricText()->toPlainText(), QStringLiteral("4 - "));
}

TEST_F(TDisplayTest, NextShowingFilesStopsAtTheLastSlotItCanShow)
{
    UseDisplayType(1);
    FileGrid()->SetValue(QStringLiteral("121"), QStringLiteral("/no/such/coda.txt"));
    SelectValue(120);
    for (int i = 0; i < 3; ++i) {
        SelectValue(126);
        EXPECT_EQ(CurrentSlot(), 121);
        EXPECT_EQ(FileGrid()->Row(), 122);
        EXPECT_EQ(LyricText()->toPlainText(), QStringLiteral("121 - /no/such/coda.txt"));
        EXPECT_TRUE(Window->windowTitle().endsWith(QStringLiteral(" Item:121")));
    }
}

TEST_F(TDisplayTest, ChangingThePageShowsTheCurrentSlotOnDisplayPagesOnly)
{
    LineGrid()->SetValue(QStringLiteral("9"), QStringLiteral("Verse"));
    SelectValue(9);
    OpenPage("tsMidi");
    PatchName()->clear();
    Window->setWindowTitle(QStringLiteral("before"));

    Pages()->setCurrentWidget(Page("tsTextEdit"));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("before"));
    EXPECT_TRUE(PatchName()->text().isEmpty());

    Pages()->setCurrentWidget(Page("tsDisplay"));
    EXPECT_EQ(PatchName()->text(), QStringLiteral("9 - Verse"));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 9"));
}

TEST_F(TDisplayTest, MidiStringsFrameTheKeyCellsOfBothGrids)
{
    Window->Show().SetMidiStrings(7, QStringList{QStringLiteral("B2 07 64")});
    OpenPage("tsTextEdit");
    QApplication::processEvents();
    const QRect cell = LineGrid()->visualRect(LineGrid()->model()->index(7, 0));
    const QImage image = LineGrid()->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell.center().x(), cell.top()), QColor(Qt::red));
    const QRect other = LineGrid()->visualRect(LineGrid()->model()->index(8, 0));
    EXPECT_NE(image.pixelColor(other.center().x(), other.bottom()), QColor(Qt::red));
}

} // namespace
} // namespace tarvello::test
