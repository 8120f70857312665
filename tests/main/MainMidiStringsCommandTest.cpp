#include "MainWindowFixture.h"

#include "midistrings/MidiStringsDialog.h"
#include "widgets/KeyValueGrid.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tarvello::test {
namespace {

// The main window with the real MIDI strings editor attached, as at start-up,
// and an operator who acts in the editor once it is open.
class TMidiStringsCommandTest : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        Editor = std::make_unique<TfMidiStrings>(Dialogs);
        Window->SetMidiStringsDialog(Editor.get());
    }

    void TearDown() override
    {
        Window.reset();
        Editor.reset();
    }

    // Runs `act` on the open editor, then the command that opened it ends.
    void WhenOpen(std::function<void(TfMidiStrings &)> act)
    {
        QTimer::singleShot(0, Editor.get(), [this, act] {
            ASSERT_TRUE(Editor->isVisible());
            Shown = Text();
            act(*Editor);
        });
    }

    QPlainTextEdit *Edit() const
    {
        return Editor->findChild<QPlainTextEdit *>(QStringLiteral("mMidiStringEdit"));
    }
    QString Text() const { return Edit()->toPlainText(); }
    void Type(const QString &text) const { Edit()->setPlainText(text); }
    void Press(const char *button) const
    {
        Editor->findChild<QPushButton *>(QLatin1String(button))->click();
    }

    bool Framed(TKeyValueGrid *grid, int row)
    {
        QApplication::processEvents();
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, 0));
        const QImage image = grid->viewport()->grab().toImage();
        return image.pixelColor(cell.center().x(), cell.top()) == QColor(Qt::red);
    }

    std::unique_ptr<TfMidiStrings> Editor;
    QString Shown;
};

TEST_F(TMidiStringsCommandTest, OkStoresTheLinesAsTypedAndFramesTheSlot)
{
    SelectValue(4);
    OpenPage("tsTextEdit");
    ASSERT_FALSE(Framed(LineGrid(), 5));

    // An empty editor left empty marks nothing.
    WhenOpen([this](TfMidiStrings &) { Press("BitBtn1"); });
    Find<QPushButton>("bpMidiStrings")->click();
    EXPECT_TRUE(Shown.isEmpty());
    EXPECT_TRUE(Window->Show().MidiStringLists()[5].isEmpty());
    EXPECT_FALSE(Framed(LineGrid(), 5));

    WhenOpen([this](TfMidiStrings &) {
        Type(QStringLiteral("B2 07 64\n\nswitch the organ\nC0 05\n"));
        Press("BitBtn1");
    });
    Find<QAction>("mMidiString")->trigger();
    EXPECT_EQ(Window->Show().MidiStringLists()[5],
              (QStringList{"B2 07 64", "", "switch the organ", "C0 05"}));
    EXPECT_TRUE(Framed(LineGrid(), 5));
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsFileList");
    EXPECT_TRUE(Framed(FileGrid(), 5));

    // The next opening shows them again, each on its line.
    WhenOpen([this](TfMidiStrings &) { Press("BitBtn2"); });
    Find<QPushButton>("bMidiStrings")->click();
    EXPECT_EQ(Shown, QStringLiteral("B2 07 64\n\nswitch the organ\nC0 05\n"));
    EXPECT_EQ(Window->Show().MidiStringLists()[5].size(), 4);
}

TEST_F(TMidiStringsCommandTest, CancelEscapeAndClearThenCancelKeepTheStrings)
{
    SelectValue(9);
    Window->Show().SetMidiStrings(SlotOfRow(10), QStringList{QStringLiteral("F0 7E 7F 09 01 F7")});
    OpenPage("tsTextEdit");

    WhenOpen([this](TfMidiStrings &) {
        Type(QStringLiteral("90 3C 7F"));
        Press("BitBtn2");
    });
    Click("bpMidiStrings");
    EXPECT_EQ(Shown, QStringLiteral("F0 7E 7F 09 01 F7\n"));

    WhenOpen([this](TfMidiStrings &dialog) {
        Press("bClear");
        EXPECT_TRUE(Text().isEmpty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    Click("bpMidiStrings");
    EXPECT_EQ(Window->Show().MidiStringLists()[10],
              QStringList{QStringLiteral("F0 7E 7F 09 01 F7")});
    EXPECT_TRUE(Framed(LineGrid(), 10));

    WhenOpen([this](TfMidiStrings &) {
        Press("bClear");
        Press("BitBtn1");
    });
    Click("bpMidiStrings");
    EXPECT_TRUE(Window->Show().MidiStringLists()[10].isEmpty());
    EXPECT_FALSE(Framed(LineGrid(), 10));
}

TEST_F(TMidiStringsCommandTest, ALoneLineBreakIsOneEmptyStringThatStillMarksTheSlot)
{
    OpenPage("tsTextEdit");
    WhenOpen([this](TfMidiStrings &) {
        Type(QStringLiteral("\n"));
        Press("BitBtn1");
    });
    Click("bpMidiStrings");
    EXPECT_EQ(Window->Show().MidiStringLists()[1], QStringList{QString()});
    EXPECT_TRUE(Framed(LineGrid(), 1));
}

TEST_F(TMidiStringsCommandTest, TheEditorKeepsTheSlotItWasOpenedFor)
{
    ChooseItem("rgDisplayType", 1);
    OpenPage("tsFileList");
    TKeyValueGrid *files = FileGrid();
    const QPoint at = files->visualRect(files->model()->index(7, 1)).center();
    QTest::mousePress(files->viewport(), Qt::RightButton, {}, at);
    QApplication::processEvents();
    ASSERT_TRUE(Find<QMenu>("pmFiles")->isVisible());
    Find<QMenu>("pmFiles")->hide();
    ASSERT_EQ(CurrentSlot(), 7);

    // A selection arriving while the editor is open does not take the lines.
    WhenOpen([this](TfMidiStrings &) {
        SelectValue(30);
        Type(QStringLiteral("C0 07"));
        Press("BitBtn1");
    });
    Find<QAction>("mMidiStrings")->trigger();
    EXPECT_EQ(CurrentSlot(), 30);
    EXPECT_EQ(Window->Show().MidiStringLists()[8], QStringList{QStringLiteral("C0 07")});
    EXPECT_TRUE(Window->Show().MidiStringLists()[31].isEmpty());
}

} // namespace
} // namespace tarvello::test
