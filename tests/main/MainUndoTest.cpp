#include "MainWindowFixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace tarvello::test {
namespace {

using TUndoTest = TMainWindowTest;

TEST_F(TUndoTest, ListEditsAreTakenBackByKeysAndMenusOnTheEditPagesOnly)
{
    TShow &show = Window->Show();
    show.SetLine(4, QStringLiteral("Verse"));
    show.SetFile(4, QStringLiteral("verse.pdf"));
    show.SetMidiStrings(4, {QStringLiteral("C0 04")});
    const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(Window->windowHandle(), key, modifiers);
    };
    QAction *undo = Find<QAction>("pmTextUndo");
    EXPECT_FALSE(undo->isEnabled());

    OpenPage("tsTextEdit");
    LineGrid()->SetRow(RowOfSlot(4));
    Click("bpDelete");
    ASSERT_TRUE(show.Line(4).isEmpty());
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Delete Prompt Text"));

    LineGrid()->setFocus();
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(show.Line(4), QStringLiteral("Verse"));
    // While a value is typed, the keys are the editor's.
    press(Qt::Key_F2, Qt::NoModifier);
    ASSERT_NE(LineGrid()->viewport()->findChild<QLineEdit *>(), nullptr);
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(show.Line(4), QStringLiteral("Verse"));
    LineGrid()->CommitEdit();

    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(show.Line(4).isEmpty());
    press(Qt::Key_Z, Qt::ControlModifier);
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(show.Line(4).isEmpty());

    // A pedal's keys on a stage page never take an edit back.
    OpenPage("tsDisplay");
    PatchName()->setFocus();
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(show.Line(4).isEmpty());

    // One history for both lists; an undo brings back all of a slot.
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsFileList");
    FileGrid()->SetRow(RowOfSlot(4));
    Dialogs.Answers = {TMessageButton::Yes};
    Trigger("pmFileDelete");
    ASSERT_TRUE(show.MidiStrings(4).isEmpty());
    Trigger("pmFileUndo");
    EXPECT_EQ(show.File(4), QStringLiteral("verse.pdf"));
    EXPECT_EQ(show.MidiStrings(4), QStringList{QStringLiteral("C0 04")});
    Trigger("pmFileUndo");
    EXPECT_EQ(show.Line(4), QStringLiteral("Verse"));
    Trigger("pmFileRedo");
    EXPECT_TRUE(show.Line(4).isEmpty());

    // A list opened is no edit: the history before it is gone.
    QTemporaryDir folder;
    QFile list(folder.filePath(QStringLiteral("show.txt")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("\r\nopening.pdf\r\n");
    list.close();
    Dialogs.FileAnswers = {list.fileName()};
    Trigger("mLoadFileList");
    EXPECT_EQ(show.File(0), QStringLiteral("opening.pdf"));
    EXPECT_FALSE(Find<QAction>("pmFileUndo")->isEnabled());
    EXPECT_FALSE(Find<QAction>("pmFileRedo")->isEnabled());
}

} // namespace
} // namespace tarvello::test
