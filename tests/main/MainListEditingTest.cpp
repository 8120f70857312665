#include "MainWindowFixture.h"

#include "widgets/KeyValueGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace tarvello::test {
namespace {

// A show on both edit pages: slot k has the text "t<k>", the file "f<k>" and,
// for every third slot, one MIDI string.
class TListEditingTest : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        for (int row = 1; row <= 123; ++row) {
            Window->vleLines->SetValueOfRow(row, QStringLiteral("t%1").arg(row - 1));
            Window->vleFiles->SetValueOfRow(row, QStringLiteral("f%1").arg(row - 1));
            if (row % 3 == 0) {
                Window->MidiStringLists[row] = QStringList{QStringLiteral("B0 07 %1").arg(row)};
            }
        }
        Window->MidiStringLists[0] = QStringList{QStringLiteral("ahead of the first slot")};
    }

    QStringList Column(const TKeyValueGrid *grid) const
    {
        QStringList values;
        for (int row = 1; row <= 123; ++row) {
            values.append(grid->ValueOfRow(row));
        }
        return values;
    }

    bool FramedInGrab(TKeyValueGrid *grid, int row)
    {
        QApplication::processEvents();
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, 0));
        const QImage image = grid->viewport()->grab().toImage();
        return image.pixelColor(cell.center().x(), cell.top()) == QColor(Qt::red);
    }
};

TEST_F(TListEditingTest, DeleteEntryAsksAndTakesTheMidiStringsAndTheirFrame)
{
    Window->SetDisplayType(1);
    Window->SetActivePage(Window->tsFileList);
    Window->vleFiles->SetRow(6);
    ASSERT_TRUE(FramedInGrab(Window->vleFiles, 6));

    Dialogs.Answers = {TMessageButton::No};
    Window->bDelete->click();
    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Text,
              QStringLiteral("Are you sure you want to delete the entry and Midi Strings?"));
    EXPECT_EQ(Dialogs.Records[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(Dialogs.Records[0].Buttons, TMessageButton::Yes | TMessageButton::No);
    EXPECT_EQ(Window->vleFiles->ValueOfRow(6), QStringLiteral("f5"));
    EXPECT_FALSE(Window->MidiStringLists[6].isEmpty());

    Dialogs.Answers = {TMessageButton::Yes};
    Window->pmFileDelete->trigger();
    EXPECT_TRUE(Window->vleFiles->ValueOfRow(6).isEmpty());
    EXPECT_TRUE(Window->MidiStringLists[6].isEmpty());
    EXPECT_EQ(Window->vleLines->ValueOfRow(6), QStringLiteral("t5"));
    EXPECT_FALSE(FramedInGrab(Window->vleFiles, 6));
    EXPECT_EQ(Window->vleFiles->ValueOfRow(7), QStringLiteral("f6"));
}

TEST_F(TListEditingTest, BrowseAndDeleteKeepToTheEntryOfTheirDialog)
{
    Window->SetDisplayType(1);
    Window->SetActivePage(Window->tsFileList);
    // MIDI selects slot 40 while each dialog is open.
    Dialogs.WhileOpen = [this] { Window->ActOnValue(40); };

    Window->vleFiles->SetRow(RowOfSlot(7));
    Dialogs.FileAnswers = {QStringLiteral("/charts/seven.pdf")};
    Window->pmBrowse->trigger();
    EXPECT_EQ(Window->vleFiles->Row(), RowOfSlot(40));
    EXPECT_EQ(Window->vleFiles->Value(QStringLiteral("7")), QStringLiteral("/charts/seven.pdf"));
    EXPECT_EQ(Window->vleFiles->Value(QStringLiteral("40")), QStringLiteral("f40"));

    Window->vleFiles->SetRow(RowOfSlot(8));
    Dialogs.Answers = {TMessageButton::Yes};
    Window->pmFileDelete->trigger();
    EXPECT_EQ(Window->vleFiles->Value(QStringLiteral("8")), QString());
    EXPECT_TRUE(Window->MidiStringLists[RowOfSlot(8)].isEmpty());
    EXPECT_EQ(Window->vleFiles->Value(QStringLiteral("40")), QStringLiteral("f40"));
    EXPECT_FALSE(Window->MidiStringLists[RowOfSlot(41)].isEmpty());
}

TEST_F(TListEditingTest, DeletePromptTextClearsOnlyTheTextWithoutAsking)
{
    Window->SetActivePage(Window->tsTextEdit);
    Window->vleLines->SetRow(3);
    Window->vleLines->SetRow(1);
    Window->bpDelete->click();
    EXPECT_TRUE(Dialogs.Records.empty());
    EXPECT_TRUE(Window->vleLines->ValueOfRow(1).isEmpty());
    EXPECT_EQ(Window->vleLines->LastRow(), 123);
    EXPECT_EQ(Window->vleLines->Key(1), QStringLiteral("0"));
    EXPECT_EQ(Window->vleLines->ValueOfRow(2), QStringLiteral("t1"));
    EXPECT_EQ(Window->vleFiles->ValueOfRow(1), QStringLiteral("f0"));

    Window->vleLines->SetRow(3);
    Window->pmTextDelete->trigger();
    EXPECT_TRUE(Window->vleLines->ValueOfRow(3).isEmpty());
    EXPECT_EQ(Window->MidiStringLists[3].size(), 1);
}

TEST_F(TListEditingTest, ClearingAListAsksTwiceAndOnlyYesActs)
{
    const QStringList files = Column(Window->vleFiles);
    const TMidiStringLists strings = Window->MidiStringLists;

    // No to the first question: nothing changes and the second is not asked.
    Dialogs.Answers = {TMessageButton::No};
    Window->mClearAllPrompts->trigger();
    EXPECT_EQ(Dialogs.MessageTexts(),
              QStringList{QStringLiteral("Are you sure you want to clear all the text lines?")});
    EXPECT_EQ(Window->vleLines->ValueOfRow(1), QStringLiteral("t0"));

    // Yes, then No: the lines go, the MIDI strings and their marks stay.
    Dialogs.Records.clear();
    Dialogs.Answers = {TMessageButton::Yes, TMessageButton::No};
    Window->mClearAllPrompts->trigger();
    EXPECT_EQ(
        Dialogs.MessageTexts(),
        (QStringList{QStringLiteral("Are you sure you want to clear all the text lines?"),
                     QStringLiteral("Are you sure you want to clear all the Midi Message data?")}));
    EXPECT_EQ(Dialogs.Records[1].Kind, TMessageKind::Confirmation);
    EXPECT_EQ(Column(Window->vleLines), QStringList(123, QString()));
    EXPECT_EQ(Column(Window->vleFiles), files);
    EXPECT_EQ(Window->MidiStringLists, strings);
    Window->SetActivePage(Window->tsTextEdit);
    EXPECT_TRUE(FramedInGrab(Window->vleLines, 3));

    // The file list with Yes and Yes: every slot's strings go, list 0 stays.
    Dialogs.Records.clear();
    Dialogs.Answers = {TMessageButton::Yes, TMessageButton::Yes};
    Window->mClearFileList->trigger();
    EXPECT_EQ(Dialogs.MessageTexts().value(0),
              QStringLiteral("Are you sure you want to clear all the file names ?"));
    EXPECT_EQ(Column(Window->vleFiles), QStringList(123, QString()));
    for (int row = 1; row <= 123; ++row) {
        EXPECT_TRUE(Window->MidiStringLists[row].isEmpty()) << row;
    }
    EXPECT_EQ(Window->MidiStringLists[0], QStringList{QStringLiteral("ahead of the first slot")});
    EXPECT_FALSE(FramedInGrab(Window->vleLines, 3));
}

TEST_F(TListEditingTest, TheTitleRowIsFramedWhileTheListOfNoSlotHoldsLines)
{
    Window->SetActivePage(Window->tsTextEdit);
    const auto titleFramed = [this] {
        QApplication::processEvents();
        QHeaderView *title = Window->vleLines->horizontalHeader();
        const QImage image = title->viewport()->grab().toImage();
        const int x = title->sectionViewportPosition(0) + title->sectionSize(0) / 2;
        return image.pixelColor(x, 0) == QColor(Qt::red);
    };
    EXPECT_TRUE(titleFramed());
    // Clearing the slots' strings leaves the list that belongs to none.
    Dialogs.Answers = {TMessageButton::Yes};
    Window->mClearMidiStringsClick();
    EXPECT_TRUE(titleFramed());

    Window->MidiStringLists[0].clear();
    Window->MidiStringsChanged();
    EXPECT_FALSE(titleFramed());
}

TEST_F(TListEditingTest, ClearMidiStringsFromEitherMenuOnlyOnYes)
{
    Window->mClearMidiString->trigger();
    EXPECT_EQ(Window->MidiStringLists[3].size(), 1);
    Dialogs.Answers = {TMessageButton::Yes};
    Window->mClearMidiStrings->trigger();
    EXPECT_TRUE(Window->MidiStringLists[3].isEmpty());
    EXPECT_EQ(Dialogs.MessageTexts().size(), 2);
    EXPECT_EQ(Window->vleLines->ValueOfRow(3), QStringLiteral("t2"));
}

TEST_F(TListEditingTest, BrowseFillsTheCurrentFileAndRemembersTheStartingFolder)
{
    Window->vleFiles->SetRow(8);
    Window->BrowseDir = QStringLiteral("/srv/show/");
    Dialogs.FileAnswers = {std::nullopt};
    Window->pmBrowse->trigger();
    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Call, TFakeDialogs::TCall::OpenFile);
    EXPECT_EQ(Dialogs.Records[0].Text, QStringLiteral("/srv/show"));
    EXPECT_TRUE(Dialogs.Records[0].Filter.startsWith(
        QStringLiteral("Text, Graphic, HTML and PDF files (")));
    EXPECT_TRUE(Dialogs.Records[0].Filter.contains(QStringLiteral("*.pdf")));
    EXPECT_EQ(Window->vleFiles->ValueOfRow(8), QStringLiteral("f7"));
    EXPECT_EQ(Window->BrowseDir, QStringLiteral("/srv/show/"));

    Dialogs.FileAnswers = {QStringLiteral("/home/band/charts/Song.pdf")};
    Window->pmBrowse->trigger();
    EXPECT_EQ(Window->vleFiles->ValueOfRow(8), QStringLiteral("/home/band/charts/Song.pdf"));
    // The chooser's starting folder is kept, not the chosen file's.
    EXPECT_EQ(Window->BrowseDir, QStringLiteral("/srv/show"));
    EXPECT_EQ(Window->vleLines->ValueOfRow(8), QStringLiteral("t7"));
}

TEST_F(TListEditingTest, FontAndColoursReachTheirViewsOnlyWhenChosen)
{
    const QFont before = Window->lPatchName->font();
    Window->bChooseFont->click();
    EXPECT_EQ(Window->lPatchName->font(), before);

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(40);
    chosen.setBold(true);
    Dialogs.FontAnswers = {chosen};
    Dialogs.FontColourAnswers = {QColor(250, 240, 0)};
    Window->mTxtFileFont->trigger();
    // The colour chosen with the font is the prompt text's, in both views.
    EXPECT_EQ(Window->lPatchName->palette().color(QPalette::WindowText), QColor(250, 240, 0));
    EXPECT_EQ(Window->reLyric->palette().color(QPalette::Text), QColor(250, 240, 0));
    EXPECT_EQ(Window->lPatchName->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(Window->lPatchName->font().pointSize(), 40);
    EXPECT_TRUE(Window->lPatchName->font().bold());
    EXPECT_EQ(Window->reLyric->font().pointSize(), 40);
    EXPECT_EQ(Window->reLyric->document()->defaultFont().pointSize(), 40);

    const QColor lyric = Window->reLyric->viewport()->palette().color(QPalette::Base);
    Dialogs.ColourAnswers = {QColor(10, 20, 30)};
    Window->pmLineColour->trigger();
    EXPECT_EQ(Window->lPatchName->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(Window->reLyric->viewport()->palette().color(QPalette::Base), lyric);

    Dialogs.ColourAnswers = {std::nullopt, QColor(200, 100, 0)};
    Window->pmLyricColour->trigger();
    EXPECT_EQ(Window->reLyric->viewport()->palette().color(QPalette::Base), lyric);
    Window->pmLyricColour->trigger();
    EXPECT_EQ(Window->reLyric->viewport()->palette().color(QPalette::Base), QColor(200, 100, 0));
    EXPECT_EQ(Window->lPatchName->palette().color(QPalette::Window), QColor(10, 20, 30));
}

TEST_F(TListEditingTest, MarkingABlockShowsTheSlotsAndEnablesTheButtons)
{
    EXPECT_FALSE(Window->bpCopyEnd->isEnabled());
    EXPECT_FALSE(Window->bpCopyTo->isEnabled());
    Window->vleLines->SetRow(3);
    Window->bpCopyStart->click();
    EXPECT_EQ(Window->bpCopyStart->text(), QStringLiteral("Start = 2"));
    EXPECT_TRUE(Window->bpCopyEnd->isEnabled());
    EXPECT_FALSE(Window->bpCopyTo->isEnabled());

    // A second "Start" before any "End" exchanges the marks.
    Window->vleLines->SetRow(5);
    Window->bpCopyStart->click();
    EXPECT_EQ(Window->bpCopyStart->text(), QStringLiteral("Start = -1"));
    EXPECT_EQ(Window->bpCopyEnd->text(), QStringLiteral("End = 4"));
    EXPECT_FALSE(Window->bpCopyTo->isEnabled());

    Window->vleLines->SetRow(2);
    Window->bpCopyEnd->click();
    EXPECT_EQ(Window->CopyStartRow(), 0);
    EXPECT_EQ(Window->CopyEndRow(), 2);
    EXPECT_FALSE(Window->bpCopyTo->isEnabled());
    Window->vleLines->SetRow(4);
    Window->bpCopyStart->click();
    EXPECT_EQ(Window->CopyStartRow(), 2);
    EXPECT_EQ(Window->CopyEndRow(), 4);
    EXPECT_EQ(Window->bpCopyStart->text(), QStringLiteral("Start = 1"));
    EXPECT_EQ(Window->bpCopyEnd->text(), QStringLiteral("End = 3"));
    EXPECT_TRUE(Window->bpCopyTo->isEnabled());
    // The other page shares the marks but not the buttons.
    EXPECT_FALSE(Window->bCopyEnd->isEnabled());
    EXPECT_FALSE(Window->bCopyTo->isEnabled());
    EXPECT_EQ(Window->bCopyStart->text(), QStringLiteral("Start"));
}

TEST_F(TListEditingTest, CopyToPushesDownOrOverwritesAndCarriesTheMidiStrings)
{
    const QStringList files = Column(Window->vleFiles);
    Window->vleLines->SetRow(3);
    Window->bpCopyStart->click();
    Window->vleLines->SetRow(4);
    Window->bpCopyEnd->click();
    Window->vleLines->SetRow(10);
    const int clicks = SelectionMidiSent;

    Dialogs.Answers = {TMessageButton::Cancel};
    Window->bpCopyTo->click();
    EXPECT_EQ(Window->bpCopyTo->text(), QStringLiteral("Copy to = 9"));
    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Text,
              QStringLiteral("Pushdown ? (Entries ,may be deleted at the end)\r\n'No'  to "
                             "overwrite the entries"));
    EXPECT_EQ(Dialogs.Records[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
    EXPECT_EQ(Window->vleLines->ValueOfRow(10), QStringLiteral("t9"));
    EXPECT_EQ(Window->CopyBuffer.Values[3], QStringLiteral("t2"));

    Dialogs.Answers = {TMessageButton::Yes};
    Window->bpCopyTo->click();
    EXPECT_EQ(Window->vleLines->ValueOfRow(10), QStringLiteral("t2"));
    EXPECT_EQ(Window->vleLines->ValueOfRow(11), QStringLiteral("t3"));
    EXPECT_EQ(Window->vleLines->ValueOfRow(12), QStringLiteral("t9"));
    EXPECT_EQ(Window->vleLines->ValueOfRow(123), QStringLiteral("t120"));
    // Row 3's strings went with it to row 10; row 12 has row 10's (none) and
    // row 122 has row 120's.
    EXPECT_EQ(Window->MidiStringLists[10], QStringList{QStringLiteral("B0 07 3")});
    EXPECT_TRUE(Window->MidiStringLists[11].isEmpty());
    EXPECT_TRUE(Window->MidiStringLists[12].isEmpty());
    EXPECT_EQ(Window->MidiStringLists[14], QStringList{QStringLiteral("B0 07 12")});
    EXPECT_EQ(Window->MidiStringLists[122], QStringList{QStringLiteral("B0 07 120")});
    EXPECT_TRUE(Window->MidiStringLists[123].isEmpty());
    EXPECT_EQ(Column(Window->vleFiles), files);
    // The cursor stays and nothing is selected by a copy.
    EXPECT_EQ(Window->vleLines->Row(), 10);
    EXPECT_EQ(SelectionMidiSent, clicks);

    // Overwrite on the file page with the same marks.
    const QStringList lines = Column(Window->vleLines);
    Window->vleFiles->SetRow(20);
    Dialogs.Answers = {TMessageButton::No};
    Window->CopyBlockTo(Window->vleFiles);
    EXPECT_EQ(Window->bCopyTo->text(), QStringLiteral("Copy to = 19"));
    EXPECT_EQ(Window->vleFiles->ValueOfRow(20), QStringLiteral("f2"));
    EXPECT_EQ(Window->vleFiles->ValueOfRow(21), QStringLiteral("f3"));
    EXPECT_EQ(Window->vleFiles->ValueOfRow(22), QStringLiteral("f21"));
    EXPECT_EQ(Window->MidiStringLists[21], QStringList());
    EXPECT_EQ(Window->MidiStringLists[20], QStringList{QStringLiteral("B0 07 3")});
    EXPECT_EQ(Column(Window->vleLines), lines);
}

} // namespace
} // namespace tarvello::test
