#include "MainPersistenceFixture.h"

#include "pages/ListEditPage.h"

#include "midistrings/MidiStringsDialog.h"
#include "widgets/KeyValueGrid.h"

#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace tarvello::test {
namespace {

using TListEditingRestartTest = TPersistenceTest;

// What the operator builds with the edit commands is what the next start shows.
TEST_F(TListEditingRestartTest, EditedSlotsSurviveARestart)
{
    Start();
    TfMidiStrings editor(Dialogs);
    Window->SetMidiStringsDialog(&editor);
    for (int row = 1; row <= 5; ++row) {
        LineGrid()->SetValueOfRow(row, QStringLiteral("Song %1").arg(row));
    }

    // Strings for slot 1 through the editor.
    SelectValue(1);
    QTimer::singleShot(0, &editor, [&editor] {
        editor.findChild<QPlainTextEdit *>(QStringLiteral("mMidiStringEdit"))
            ->setPlainText(QStringLiteral("C0 11\nswitch the strings pad\n"));
        editor.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    Trigger("mMidiString");

    // Rows 2 and 3 copied to row 5 with push down; slot 0's text moved down.
    LineGrid()->SetRow(2);
    Click("bpCopyStart");
    LineGrid()->SetRow(3);
    Click("bpCopyEnd");
    LineGrid()->SetRow(5);
    Dialogs.Answers = {TMessageButton::Yes};
    Click("bpCopyTo");

    FileGrid()->SetRow(4);
    Find<TListEditPage>("tsFileList")->SetBrowseFolder(ShowDir.path() + QLatin1Char('/'));
    Dialogs.FileAnswers = {ShowDir.filePath(QStringLiteral("chart.pdf"))};
    Trigger("pmBrowse");
    Dialogs.ColourAnswers = {QColor(0, 0, 128)};
    Trigger("pmLineColour");
    End();

    Start();
    EXPECT_EQ(LineGrid()->ValueOfRow(2), QStringLiteral("Song 2"));
    EXPECT_EQ(LineGrid()->ValueOfRow(5), QStringLiteral("Song 2"));
    EXPECT_EQ(LineGrid()->ValueOfRow(6), QStringLiteral("Song 3"));
    EXPECT_EQ(LineGrid()->ValueOfRow(7), QStringLiteral("Song 5"));
    const QStringList strings{QStringLiteral("C0 11"), QStringLiteral("switch the strings pad")};
    EXPECT_EQ(Window->Show().MidiStringLists()[2], strings);
    EXPECT_EQ(Window->Show().MidiStringLists()[5], strings);
    EXPECT_TRUE(Window->Show().MidiStringLists()[7].isEmpty());
    EXPECT_EQ(FileGrid()->ValueOfRow(4), QStringLiteral("chart.pdf"));
    EXPECT_EQ(Find<TListEditPage>("tsFileList")->BrowseFolder(), ShowDir.path());
    EXPECT_EQ(PatchName()->palette().color(QPalette::Window), QColor(0, 0, 128));
    // The marks are not kept.
    EXPECT_EQ(Find<QPushButton>("bpCopyStart")->text(), QStringLiteral("Start"));
    EXPECT_FALSE(Find<QPushButton>("bpCopyEnd")->isEnabled());
}

} // namespace
} // namespace tarvello::test
