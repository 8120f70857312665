#include "MainWindowFixture.h"

#include "prompt/ListEditing.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/UpDown.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace tarvello::test {
namespace {

class TGridMouseTest : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        Window->move(20, 30);
        for (int row = 1; row <= 123; ++row) {
            LineGrid()->SetValueOfRow(row, QStringLiteral("t%1").arg(row));
            FileGrid()->SetValueOfRow(row, QStringLiteral("f%1").arg(row));
        }
        Window->Show().SetMidiStrings(SlotOfRow(4), QStringList{QStringLiteral("C0 04")});
        OpenPage("tsTextEdit");
        QApplication::processEvents();
    }

    void TearDown() override
    {
        TextMenu()->hide();
        FileMenu()->hide();
        TMainWindowTest::TearDown();
    }

    QMenu *TextMenu() const { return Find<QMenu>("pmText"); }
    QMenu *FileMenu() const { return Find<QMenu>("pmFiles"); }
    TUpDown *LineUpDown() const { return Find<TUpDown>("UDPrompt"); }
    TUpDown *FileUpDown() const { return Find<TUpDown>("UDFiles"); }

    // The middle of a row's value cell, in the grid's viewport.
    static QPoint CellPoint(TKeyValueGrid *grid, int row, int column = 1)
    {
        grid->scrollTo(grid->model()->index(row - 1, column));
        return grid->visualRect(grid->model()->index(row - 1, column)).center();
    }

    static void Press(TKeyValueGrid *grid, Qt::MouseButton button, QPoint at)
    {
        QTest::mousePress(grid->viewport(), button, {}, at);
        QTest::mouseRelease(grid->viewport(), button, {}, at);
        QApplication::processEvents();
    }

    static void PressArrow(TUpDown *upDown, const char *arrow)
    {
        upDown->findChild<QToolButton *>(QLatin1String(arrow))->click();
    }
};

TEST_F(TGridMouseTest, ARightClickSelectsTheRowBeforeItsMenuOpensAtTheWindowPoint)
{
    bool menuOpenAtSelection = true;
    int selected = -1;
    Window->SetSelectionMidiSender([this, &menuOpenAtSelection, &selected] {
        ++SelectionMidiSent;
        menuOpenAtSelection = TextMenu()->isVisible();
        selected = CurrentSlot();
    });
    LineGrid()->SetRow(2);
    SelectionMidiSent = 0;

    const QPoint at = CellPoint(LineGrid(), 6);
    Press(LineGrid(), Qt::RightButton, at);
    EXPECT_EQ(LineGrid()->Row(), 6);
    EXPECT_EQ(CurrentSlot(), 5);
    EXPECT_EQ(SelectionMidiSent, 1);
    EXPECT_EQ(selected, 5);
    EXPECT_FALSE(menuOpenAtSelection);
    ASSERT_TRUE(TextMenu()->isVisible());
    EXPECT_FALSE(FileMenu()->isVisible());
    const QPoint inGrid = LineGrid()->viewport()->mapTo(LineGrid(), at);
    EXPECT_EQ(TextMenu()->pos(), GridMenuPoint(Window->frameGeometry().topLeft(), inGrid));
    // A right press has not moved the cursor when the up-down takes its place.
    EXPECT_EQ(LineUpDown()->Position(), -2);
    TextMenu()->hide();

    // The same row again: no second selection, the menu opens all the same.
    Press(LineGrid(), Qt::RightButton, at);
    EXPECT_EQ(SelectionMidiSent, 1);
    EXPECT_TRUE(TextMenu()->isVisible());
    EXPECT_EQ(LineUpDown()->Position(), -6);
}

TEST_F(TGridMouseTest, ASecondClickOnARowSendsItsSlotAgain)
{
    TKeyValueGrid *lines = LineGrid();
    Press(lines, Qt::LeftButton, CellPoint(lines, 6, 0));
    EXPECT_EQ(CurrentSlot(), 5);
    EXPECT_EQ(SelectionMidiSent, 1);
    Press(lines, Qt::LeftButton, CellPoint(lines, 6, 0));
    EXPECT_EQ(SelectionMidiSent, 2);
    Press(lines, Qt::LeftButton, CellPoint(lines, 6, 1));
    EXPECT_EQ(SelectionMidiSent, 3);
    // The program moving the cursor to the row already current sends nothing,
    // nor does a right click, which opens the menu.
    SelectValue(5);
    EXPECT_EQ(SelectionMidiSent, 3);
    Press(lines, Qt::RightButton, CellPoint(lines, 6, 0));
    EXPECT_EQ(SelectionMidiSent, 3);
}

TEST_F(TGridMouseTest, ARightClickOnTheValueBeingTypedOpensTheRowMenu)
{
    TKeyValueGrid *lines = LineGrid();
    Press(lines, Qt::LeftButton, CellPoint(lines, 3));
    lines->edit(lines->model()->index(2, 1));
    QApplication::processEvents();
    auto *editor = lines->viewport()->findChild<QLineEdit *>();
    ASSERT_TRUE(editor && editor->isVisible());
    QTest::mousePress(editor, Qt::RightButton, {}, editor->rect().center());
    QApplication::processEvents();
    EXPECT_TRUE(TextMenu()->isVisible());
    EXPECT_EQ(lines->Row(), 3);
    EXPECT_EQ(LineUpDown()->Position(), -3);
    TextMenu()->hide();
    // The desktop follows a right press with a context menu request; the
    // editor's own cut and paste menu must not cover the row's.
    QContextMenuEvent request(QContextMenuEvent::Mouse, editor->rect().center(),
                              editor->mapToGlobal(editor->rect().center()));
    QApplication::sendEvent(editor, &request);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // A left click there places the caret and keeps the up-down with the row.
    LineUpDown()->SetPosition(-9);
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->rect().center());
    EXPECT_EQ(LineUpDown()->Position(), -3);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(TGridMouseTest, RightClicksOnTheTitleRowOrBelowTheRowsDoNothing)
{
    LineGrid()->SetRow(7);
    SelectionMidiSent = 0;
    QHeaderView *title = LineGrid()->horizontalHeader();
    QTest::mousePress(title->viewport(), Qt::RightButton, {}, QPoint(60, title->height() / 2));
    QApplication::processEvents();
    EXPECT_FALSE(TextMenu()->isVisible());
    EXPECT_EQ(LineGrid()->Row(), 7);
    EXPECT_EQ(LineUpDown()->Position(), -7);
    QTest::mousePress(title->viewport(), Qt::LeftButton, {}, QPoint(60, title->height() / 2));
    EXPECT_EQ(LineGrid()->Row(), 7);

    // Below the last row: a grid taller than its rows, scrolled to the end.
    Window->resize(800, 3600);
    QApplication::processEvents();
    TKeyValueGrid *grid = LineGrid();
    const QRect last = grid->visualRect(grid->model()->index(122, 1));
    ASSERT_LT(last.bottom() + 20, grid->viewport()->height());
    Press(grid, Qt::RightButton, QPoint(last.center().x(), last.bottom() + 10));
    EXPECT_FALSE(TextMenu()->isVisible());
    EXPECT_EQ(grid->Row(), 7);
    EXPECT_EQ(SelectionMidiSent, 0);
}

TEST_F(TGridMouseTest, ArrowsMoveTheSelectedEntryWithItsMidiStringsInThatGridOnly)
{
    TKeyValueGrid *lines = LineGrid();
    Press(lines, Qt::LeftButton, CellPoint(lines, 4));
    ASSERT_EQ(lines->Row(), 4);
    EXPECT_EQ(LineUpDown()->Position(), -4);

    PressArrow(LineUpDown(), "up");
    EXPECT_EQ(lines->ValueOfRow(3), QStringLiteral("t4"));
    EXPECT_EQ(lines->ValueOfRow(4), QStringLiteral("t3"));
    EXPECT_EQ(Window->Show().MidiStringLists()[3], QStringList{QStringLiteral("C0 04")});
    EXPECT_TRUE(Window->Show().MidiStringLists()[4].isEmpty());
    EXPECT_EQ(FileGrid()->ValueOfRow(3), QStringLiteral("f3"));
    EXPECT_EQ(FileGrid()->ValueOfRow(4), QStringLiteral("f4"));
    EXPECT_EQ(lines->Row(), 3);
    EXPECT_EQ(CurrentSlot(), 2);
    EXPECT_EQ(LineUpDown()->Position(), -3);

    PressArrow(LineUpDown(), "down");
    PressArrow(LineUpDown(), "down");
    EXPECT_EQ(lines->ValueOfRow(5), QStringLiteral("t4"));
    EXPECT_EQ(Window->Show().MidiStringLists()[5], QStringList{QStringLiteral("C0 04")});
    EXPECT_EQ(lines->ValueOfRow(3), QStringLiteral("t3"));
    EXPECT_EQ(lines->ValueOfRow(4), QStringLiteral("t5"));

    // The file grid moves file names and strings, not text lines.
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsFileList");
    TKeyValueGrid *files = FileGrid();
    Press(files, Qt::LeftButton, CellPoint(files, 5));
    PressArrow(FileUpDown(), "down");
    EXPECT_EQ(files->ValueOfRow(6), QStringLiteral("f5"));
    EXPECT_EQ(files->ValueOfRow(5), QStringLiteral("f6"));
    EXPECT_EQ(Window->Show().MidiStringLists()[6], QStringList{QStringLiteral("C0 04")});
    EXPECT_EQ(lines->ValueOfRow(5), QStringLiteral("t4"));
    EXPECT_EQ(lines->ValueOfRow(6), QStringLiteral("t6"));
    EXPECT_EQ(files->Row(), 6);
}

TEST_F(TGridMouseTest, ArrowsStopAtTheFirstAndLastRow)
{
    TKeyValueGrid *lines = LineGrid();
    Press(lines, Qt::LeftButton, CellPoint(lines, 1));
    PressArrow(LineUpDown(), "up");
    EXPECT_EQ(lines->ValueOfRow(1), QStringLiteral("t1"));
    EXPECT_EQ(lines->Row(), 1);

    Press(lines, Qt::LeftButton, CellPoint(lines, 123));
    ASSERT_EQ(LineUpDown()->Position(), -123);
    PressArrow(LineUpDown(), "down");
    EXPECT_EQ(lines->ValueOfRow(123), QStringLiteral("t123"));
    EXPECT_EQ(lines->ValueOfRow(1), QStringLiteral("t1"));
    EXPECT_EQ(lines->Row(), 123);

    // After a keyboard move the up-down judges its limits by the row of the
    // last mouse press: from row 1 the upper arrow stays put, even on row 5.
    Press(lines, Qt::LeftButton, CellPoint(lines, 1));
    lines->SetRow(5);
    PressArrow(LineUpDown(), "up");
    EXPECT_EQ(lines->ValueOfRow(5), QStringLiteral("t5"));
    PressArrow(LineUpDown(), "down");
    EXPECT_EQ(lines->ValueOfRow(6), QStringLiteral("t5"));
    EXPECT_EQ(lines->Row(), 6);
}

} // namespace
} // namespace tarvello::test
