#include "MainWindowFixture.h"

#include "pages/ListEditPage.h"

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
            LineGrid()->SetValueOfRow(row, QStringLiteral("t%1").arg(row - 1));
            FileGrid()->SetValueOfRow(row, QStringLiteral("f%1").arg(row - 1));
            if (row % 3 == 0) {
                Window->Show().SetMidiStrings(SlotOfRow(row),
                                              QStringList{QStringLiteral("B0 07 %1").arg(row)});
            }
        }
        Window->Show().SetStrayMidiStrings(QStringList{QStringLiteral("ahead of the first slot")});
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
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsFileList");
    FileGrid()->SetRow(6);
    ASSERT_TRUE(FramedInGrab(FileGrid(), 6));

    Dialogs.Answers = {TMessageButton::No};
    Find<QPushButton>("bDelete")->click();
    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Text,
              QStringLiteral("Are you sure you want to delete the entry and Midi Strings?"));
    EXPECT_EQ(Dialogs.Records[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(Dialogs.Records[0].Buttons, TMessageButton::Yes | TMessageButton::No);
    EXPECT_EQ(FileGrid()->ValueOfRow(6), QStringLiteral("f5"));
    EXPECT_FALSE(Window->Show().MidiStringLists()[6].isEmpty());

    Dialogs.Answers = {TMessageButton::Yes};
    Find<QAction>("pmFileDelete")->trigger();
    EXPECT_TRUE(FileGrid()->ValueOfRow(6).isEmpty());
    EXPECT_TRUE(Window->Show().MidiStringLists()[6].isEmpty());
    EXPECT_EQ(LineGrid()->ValueOfRow(6), QStringLiteral("t5"));
    EXPECT_FALSE(FramedInGrab(FileGrid(), 6));
    EXPECT_EQ(FileGrid()->ValueOfRow(7), QStringLiteral("f6"));
}

TEST_F(TListEditingTest, BrowseAndDeleteKeepToTheEntryOfTheirDialog)
{
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsFileList");
    // MIDI selects slot 40 while each dialog is open.
    Dialogs.WhileOpen = [this] { SelectValue(40); };

    FileGrid()->SetRow(RowOfSlot(7));
    Dialogs.FileAnswers = {QStringLiteral("/charts/seven.pdf")};
    Find<QAction>("pmBrowse")->trigger();
    EXPECT_EQ(FileGrid()->Row(), RowOfSlot(40));
    EXPECT_EQ(FileGrid()->Value(QStringLiteral("7")), QStringLiteral("/charts/seven.pdf"));
    EXPECT_EQ(FileGrid()->Value(QStringLiteral("40")), QStringLiteral("f40"));

    FileGrid()->SetRow(RowOfSlot(8));
    Dialogs.Answers = {TMessageButton::Yes};
    Find<QAction>("pmFileDelete")->trigger();
    EXPECT_EQ(FileGrid()->Value(QStringLiteral("8")), QString());
    EXPECT_TRUE(Window->Show().MidiStringLists()[RowOfSlot(8)].isEmpty());
    EXPECT_EQ(FileGrid()->Value(QStringLiteral("40")), QStringLiteral("f40"));
    EXPECT_FALSE(Window->Show().MidiStringLists()[RowOfSlot(41)].isEmpty());
}

TEST_F(TListEditingTest, DeletePromptTextClearsOnlyTheTextWithoutAsking)
{
    OpenPage("tsTextEdit");
    LineGrid()->SetRow(3);
    LineGrid()->SetRow(1);
    Find<QPushButton>("bpDelete")->click();
    EXPECT_TRUE(Dialogs.Records.empty());
    EXPECT_TRUE(LineGrid()->ValueOfRow(1).isEmpty());
    EXPECT_EQ(LineGrid()->LastRow(), 123);
    EXPECT_EQ(LineGrid()->Key(1), QStringLiteral("0"));
    EXPECT_EQ(LineGrid()->ValueOfRow(2), QStringLiteral("t1"));
    EXPECT_EQ(FileGrid()->ValueOfRow(1), QStringLiteral("f0"));

    LineGrid()->SetRow(3);
    Find<QAction>("pmTextDelete")->trigger();
    EXPECT_TRUE(LineGrid()->ValueOfRow(3).isEmpty());
    EXPECT_EQ(Window->Show().MidiStringLists()[3].size(), 1);
}

TEST_F(TListEditingTest, ClearingAListAsksTwiceAndOnlyYesActs)
{
    const QStringList files = Column(FileGrid());
    const TMidiStringLists strings = Window->Show().MidiStringLists();

    // No to the first question: nothing changes and the second is not asked.
    Dialogs.Answers = {TMessageButton::No};
    Find<QAction>("mClearAllPrompts")->trigger();
    EXPECT_EQ(Dialogs.MessageTexts(),
              QStringList{QStringLiteral("Are you sure you want to clear all the text lines?")});
    EXPECT_EQ(LineGrid()->ValueOfRow(1), QStringLiteral("t0"));

    // Yes, then No: the lines go, the MIDI strings and their marks stay.
    Dialogs.Records.clear();
    Dialogs.Answers = {TMessageButton::Yes, TMessageButton::No};
    Find<QAction>("mClearAllPrompts")->trigger();
    EXPECT_EQ(
        Dialogs.MessageTexts(),
        (QStringList{QStringLiteral("Are you sure you want to clear all the text lines?"),
                     QStringLiteral("Are you sure you want to clear all the Midi Message data?")}));
    EXPECT_EQ(Dialogs.Records[1].Kind, TMessageKind::Confirmation);
    EXPECT_EQ(Column(LineGrid()), QStringList(123, QString()));
    EXPECT_EQ(Column(FileGrid()), files);
    EXPECT_EQ(Window->Show().MidiStringLists(), strings);
    OpenPage("tsTextEdit");
    EXPECT_TRUE(FramedInGrab(LineGrid(), 3));

    // The file list with Yes and Yes: every slot's strings go, list 0 stays.
    Dialogs.Records.clear();
    Dialogs.Answers = {TMessageButton::Yes, TMessageButton::Yes};
    Find<QAction>("mClearFileList")->trigger();
    EXPECT_EQ(Dialogs.MessageTexts().value(0),
              QStringLiteral("Are you sure you want to clear all the file names ?"));
    EXPECT_EQ(Column(FileGrid()), QStringList(123, QString()));
    for (int row = 1; row <= 123; ++row) {
        EXPECT_TRUE(Window->Show().MidiStringLists()[row].isEmpty()) << row;
    }
    EXPECT_EQ(Window->Show().MidiStringLists()[0],
              QStringList{QStringLiteral("ahead of the first slot")});
    EXPECT_FALSE(FramedInGrab(LineGrid(), 3));
}

TEST_F(TListEditingTest, TheTitleRowIsFramedWhileTheListOfNoSlotHoldsLines)
{
    OpenPage("tsTextEdit");
    const auto titleFramed = [this] {
        QApplication::processEvents();
        QHeaderView *title = LineGrid()->horizontalHeader();
        const QImage image = title->viewport()->grab().toImage();
        const int x = title->sectionViewportPosition(0) + title->sectionSize(0) / 2;
        return image.pixelColor(x, 0) == QColor(Qt::red);
    };
    EXPECT_TRUE(titleFramed());
    // Clearing the slots' strings leaves the list that belongs to none.
    Dialogs.Answers = {TMessageButton::Yes};
    Trigger("mClearMidiStrings");
    EXPECT_TRUE(titleFramed());

    Window->Show().SetStrayMidiStrings({});
    EXPECT_FALSE(titleFramed());
}

TEST_F(TListEditingTest, ClearMidiStringsFromEitherMenuOnlyOnYes)
{
    Find<QAction>("mClearMidiString")->trigger();
    EXPECT_EQ(Window->Show().MidiStringLists()[3].size(), 1);
    Dialogs.Answers = {TMessageButton::Yes};
    Find<QAction>("mClearMidiStrings")->trigger();
    EXPECT_TRUE(Window->Show().MidiStringLists()[3].isEmpty());
    EXPECT_EQ(Dialogs.MessageTexts().size(), 2);
    EXPECT_EQ(LineGrid()->ValueOfRow(3), QStringLiteral("t2"));
}

TEST_F(TListEditingTest, BrowseFillsTheCurrentFileAndRemembersTheStartingFolder)
{
    FileGrid()->SetRow(8);
    TListEditPage *page = Find<TListEditPage>("tsFileList");
    page->SetBrowseFolder(QStringLiteral("/srv/show/"));
    Dialogs.FileAnswers = {std::nullopt};
    Find<QAction>("pmBrowse")->trigger();
    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Call, TFakeDialogs::TCall::OpenFile);
    EXPECT_EQ(Dialogs.Records[0].Text, QStringLiteral("/srv/show"));
    EXPECT_TRUE(Dialogs.Records[0].Filter.startsWith(
        QStringLiteral("Text, Graphic, HTML and PDF files (")));
    EXPECT_TRUE(Dialogs.Records[0].Filter.contains(QStringLiteral("*.pdf")));
    EXPECT_EQ(FileGrid()->ValueOfRow(8), QStringLiteral("f7"));
    EXPECT_EQ(page->BrowseFolder(), QStringLiteral("/srv/show/"));

    Dialogs.FileAnswers = {QStringLiteral("/home/band/charts/Song.pdf")};
    Find<QAction>("pmBrowse")->trigger();
    EXPECT_EQ(FileGrid()->ValueOfRow(8), QStringLiteral("/home/band/charts/Song.pdf"));
    // The chooser's starting folder is kept, not the chosen file's.
    EXPECT_EQ(page->BrowseFolder(), QStringLiteral("/srv/show"));
    EXPECT_EQ(LineGrid()->ValueOfRow(8), QStringLiteral("t7"));
}

TEST_F(TListEditingTest, FontAndColoursReachTheirViewsOnlyWhenChosen)
{
    const QFont before = PatchName()->font();
    Find<QPushButton>("bChooseFont")->click();
    EXPECT_EQ(PatchName()->font(), before);

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(40);
    chosen.setBold(true);
    Dialogs.FontAnswers = {chosen};
    Dialogs.FontColourAnswers = {QColor(250, 240, 0)};
    Find<QAction>("mTxtFileFont")->trigger();
    // The colour chosen with the font is the prompt text's, in both views.
    EXPECT_EQ(PatchName()->palette().color(QPalette::WindowText), QColor(250, 240, 0));
    EXPECT_EQ(LyricText()->palette().color(QPalette::Text), QColor(250, 240, 0));
    EXPECT_EQ(PatchName()->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(PatchName()->font().pointSize(), 40);
    EXPECT_TRUE(PatchName()->font().bold());
    EXPECT_EQ(LyricText()->font().pointSize(), 40);
    EXPECT_EQ(LyricText()->document()->defaultFont().pointSize(), 40);

    const QColor lyric = LyricText()->viewport()->palette().color(QPalette::Base);
    Dialogs.ColourAnswers = {QColor(10, 20, 30)};
    Find<QAction>("pmLineColour")->trigger();
    EXPECT_EQ(PatchName()->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(LyricText()->viewport()->palette().color(QPalette::Base), lyric);

    Dialogs.ColourAnswers = {std::nullopt, QColor(200, 100, 0)};
    Find<QAction>("pmLyricColour")->trigger();
    EXPECT_EQ(LyricText()->viewport()->palette().color(QPalette::Base), lyric);
    Find<QAction>("pmLyricColour")->trigger();
    EXPECT_EQ(LyricText()->viewport()->palette().color(QPalette::Base), QColor(200, 100, 0));
    EXPECT_EQ(PatchName()->palette().color(QPalette::Window), QColor(10, 20, 30));
}

TEST_F(TListEditingTest, MarkingABlockShowsTheSlotsAndEnablesTheButtons)
{
    QPushButton *start = Find<QPushButton>("bpCopyStart");
    QPushButton *end = Find<QPushButton>("bpCopyEnd");
    QPushButton *copyTo = Find<QPushButton>("bpCopyTo");
    EXPECT_FALSE(end->isEnabled());
    EXPECT_FALSE(copyTo->isEnabled());
    LineGrid()->SetRow(3);
    start->click();
    EXPECT_EQ(start->text(), QStringLiteral("Start = 2"));
    EXPECT_TRUE(end->isEnabled());
    EXPECT_FALSE(copyTo->isEnabled());

    // A second "Start" before any "End" exchanges the marks.
    LineGrid()->SetRow(5);
    start->click();
    EXPECT_EQ(start->text(), QStringLiteral("Start = -1"));
    EXPECT_EQ(end->text(), QStringLiteral("End = 4"));
    EXPECT_FALSE(copyTo->isEnabled());

    LineGrid()->SetRow(2);
    end->click();
    EXPECT_EQ(start->text(), QStringLiteral("Start = -1"));
    EXPECT_EQ(end->text(), QStringLiteral("End = 1"));
    EXPECT_FALSE(copyTo->isEnabled());
    LineGrid()->SetRow(4);
    start->click();
    EXPECT_EQ(start->text(), QStringLiteral("Start = 1"));
    EXPECT_EQ(end->text(), QStringLiteral("End = 3"));
    EXPECT_TRUE(copyTo->isEnabled());
    // The other page shares the marks but not the buttons.
    EXPECT_FALSE(Find<QPushButton>("bCopyEnd")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("bCopyTo")->isEnabled());
    EXPECT_EQ(Find<QPushButton>("bCopyStart")->text(), QStringLiteral("Start"));
}

TEST_F(TListEditingTest, CopyToPushesDownOrOverwritesAndCarriesTheMidiStrings)
{
    QPushButton *copyTo = Find<QPushButton>("bpCopyTo");
    const QStringList files = Column(FileGrid());
    LineGrid()->SetRow(3);
    Find<QPushButton>("bpCopyStart")->click();
    LineGrid()->SetRow(4);
    Find<QPushButton>("bpCopyEnd")->click();
    LineGrid()->SetRow(10);
    const int clicks = SelectionMidiSent;

    Dialogs.Answers = {TMessageButton::Cancel};
    copyTo->click();
    EXPECT_EQ(copyTo->text(), QStringLiteral("Copy to = 9"));
    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Text,
              QStringLiteral("Pushdown ? (Entries ,may be deleted at the end)\r\n'No'  to "
                             "overwrite the entries"));
    EXPECT_EQ(Dialogs.Records[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
    EXPECT_EQ(LineGrid()->ValueOfRow(10), QStringLiteral("t9"));

    Dialogs.Answers = {TMessageButton::Yes};
    copyTo->click();
    EXPECT_EQ(LineGrid()->ValueOfRow(10), QStringLiteral("t2"));
    EXPECT_EQ(LineGrid()->ValueOfRow(11), QStringLiteral("t3"));
    EXPECT_EQ(LineGrid()->ValueOfRow(12), QStringLiteral("t9"));
    EXPECT_EQ(LineGrid()->ValueOfRow(123), QStringLiteral("t120"));
    // Row 3's strings went with it to row 10; row 12 has row 10's (none) and
    // row 122 has row 120's.
    EXPECT_EQ(Window->Show().MidiStringLists()[10], QStringList{QStringLiteral("B0 07 3")});
    EXPECT_TRUE(Window->Show().MidiStringLists()[11].isEmpty());
    EXPECT_TRUE(Window->Show().MidiStringLists()[12].isEmpty());
    EXPECT_EQ(Window->Show().MidiStringLists()[14], QStringList{QStringLiteral("B0 07 12")});
    EXPECT_EQ(Window->Show().MidiStringLists()[122], QStringList{QStringLiteral("B0 07 120")});
    EXPECT_TRUE(Window->Show().MidiStringLists()[123].isEmpty());
    EXPECT_EQ(Column(FileGrid()), files);
    // The cursor stays and nothing is selected by a copy.
    EXPECT_EQ(LineGrid()->Row(), 10);
    EXPECT_EQ(SelectionMidiSent, clicks);

    // Overwrite on the file page with the same marks, set there: the pages
    // share the marks but each enables its own buttons.
    const QStringList lines = Column(LineGrid());
    UseDisplayType(1);
    OpenPage("tsFileList");
    FileGrid()->SetRow(3);
    Click("bCopyStart");
    FileGrid()->SetRow(4);
    Click("bCopyEnd");
    FileGrid()->SetRow(20);
    Dialogs.Answers = {TMessageButton::No};
    Click("bCopyTo");
    EXPECT_EQ(Find<QPushButton>("bCopyTo")->text(), QStringLiteral("Copy to = 19"));
    EXPECT_EQ(FileGrid()->ValueOfRow(20), QStringLiteral("f2"));
    EXPECT_EQ(FileGrid()->ValueOfRow(21), QStringLiteral("f3"));
    EXPECT_EQ(FileGrid()->ValueOfRow(22), QStringLiteral("f21"));
    EXPECT_EQ(Window->Show().MidiStringLists()[21], QStringList());
    EXPECT_EQ(Window->Show().MidiStringLists()[20], QStringList{QStringLiteral("B0 07 3")});
    EXPECT_EQ(Column(LineGrid()), lines);
}

} // namespace
} // namespace tarvello::test
