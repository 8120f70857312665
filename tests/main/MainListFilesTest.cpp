#include "MainPersistenceFixture.h"

#include "core/TarvelloError.h"
#include "prompt/Prompt.h"
#include "widgets/KeyValueGrid.h"

#include <QAction>
#include <QImage>
#include <QRegularExpression>

#include <algorithm>

namespace tarvello::test {
namespace {

class TListFilesTest : public TPersistenceTest {
protected:
    void SetUp() override
    {
        TPersistenceTest::SetUp();
        WriteBytes(MidiStringsPath(), QByteArray());
        Start();
        Dialogs.Records.clear();
        ListDir = ShowDir.filePath("Lists");
        QDir().mkpath(ListDir);
    }

    QString ListPath(const QString &name) const { return QDir(ListDir).filePath(name); }

    // The text of the error box a command raised, or nothing.
    QString ErrorOf(const std::function<void()> &command)
    {
        const qsizetype before = Dialogs.MessageTexts().size();
        command();
        const QStringList texts = Dialogs.MessageTexts();
        return texts.size() > before ? texts.constLast() : QString();
    }

    QString ListDir;
};

TEST_F(TListFilesTest, SavingAPromptListCompletesTheNameAndOverwritesWithoutAQuestion)
{
    LineGrid()->SetValue("0", "Opening");
    LineGrid()->SetValue("122", "Encore");
    Window->Show().SetMidiStrings(1, QStringList{"C1 05", "Edit 9"});
    Dialogs.FileAnswers.push_back(ListPath("songs"));
    Find<QAction>("pmSaveLinetoFile")->trigger();

    ASSERT_EQ(Dialogs.Records.size(), 1u);
    EXPECT_EQ(Dialogs.Records[0].Call, TFakeDialogs::TCall::SaveFile);
    EXPECT_EQ(Dialogs.Records[0].Text, "./");
    EXPECT_EQ(Dialogs.Records[0].Filter, "Text files only (*.txt *.TXT)");
    const QList<QByteArray> lines = ReadBytes(ListPath("songs.txt")).split('\n');
    ASSERT_EQ(lines.size(), 124 + 123 + 2 + 1);
    EXPECT_EQ(lines[0], "\r");
    EXPECT_EQ(lines[1], "Opening\r");
    EXPECT_EQ(lines[123], "Encore\r");
    EXPECT_EQ(lines[124], "Edit 0\r");
    EXPECT_EQ(lines[125], "Edit 1\r");
    EXPECT_EQ(lines[126], "C1 05\r");
    EXPECT_EQ(lines[127], "\\Edit 9\r") << "a MIDI string that reads as a marker is protected";
    EXPECT_EQ(lines[128], "Edit 2\r");
    EXPECT_EQ(QDir::currentPath(), ListDir) << "the chooser moved the current directory";

    // The dialog proposes the completed name; choosing the file again
    // replaces it and adds no second extension.
    LineGrid()->SetValue("0", "New opening");
    Dialogs.FileAnswers.push_back(ListPath("songs.txt"));
    Trigger("pmSaveLinetoFile");
    EXPECT_EQ(Dialogs.Records[1].Text, ListPath("songs.txt"));
    EXPECT_TRUE(ReadBytes(ListPath("songs.txt")).startsWith("\r\nNew opening\r\n"));
    EXPECT_EQ(QDir(ListDir).entryList(QDir::Files), QStringList{"songs.txt"});

    // Cancelled: nothing is written.
    LineGrid()->SetValue("0", "Not saved");
    Trigger("pmSaveLinetoFile");
    EXPECT_TRUE(ReadBytes(ListPath("songs.txt")).startsWith("\r\nNew opening\r\n"));
}

TEST_F(TListFilesTest, AnEmptyShowSavesAs247Lines)
{
    Dialogs.FileAnswers.push_back(ListPath("empty.list.txt"));
    Trigger("mSaveFileList");
    QByteArray expected = QByteArray("\r\n").repeated(124);
    for (int slot = 0; slot < SlotCount; ++slot) {
        expected += "Edit " + QByteArray::number(slot) + "\r\n";
    }
    EXPECT_EQ(ReadBytes(ListPath("empty.list.txt")), expected);
}

TEST_F(TListFilesTest, OpeningListsFillsTheSlotsByPosition)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        LineGrid()->SetValue(QString::number(slot), QStringLiteral("Song %1").arg(slot));
    }
    Window->Show().SetMidiStrings(3, QStringList{"C0 03"});
    Dialogs.FileAnswers.push_back(ListPath("set.txt"));
    Trigger("pmSaveLinetoFile");
    for (int slot = 0; slot < SlotCount; ++slot) {
        LineGrid()->SetValue(QString::number(slot), QString());
    }
    Window->Show().SetMidiStrings(3, {});

    Dialogs.FileAnswers.push_back(ListPath("set.txt"));
    Find<QAction>("pmConvert")->trigger();
    EXPECT_EQ(Dialogs.Records.back().Call, TFakeDialogs::TCall::OpenFile);
    EXPECT_EQ(Dialogs.Records.back().Filter, "Text files only (*.txt *.TXT)");
    for (int slot = 0; slot < SlotCount; ++slot) {
        ASSERT_EQ(LineGrid()->Value(QString::number(slot)), QStringLiteral("Song %1").arg(slot));
    }
    EXPECT_EQ(LineGrid()->LastRow(), SlotCount) << "no row added";
    EXPECT_TRUE(Window->Show().MidiStringLists()[RowOfSlot(3)].isEmpty())
        << "a prompt list's MIDI strings are not read";

    // A plain list of ten titles: the first line is the title row's place.
    QByteArray titles;
    for (int n = 1; n <= 10; ++n) {
        titles += "Title " + QByteArray::number(n) + "\n";
    }
    WriteBytes(ListPath("TITLES.TXT"), titles);
    Dialogs.FileAnswers.push_back(ListPath("TITLES.TXT"));
    Trigger("pmConvert");
    EXPECT_EQ(LineGrid()->Value("0"), "Title 2");
    EXPECT_EQ(LineGrid()->Value("8"), "Title 10");
    EXPECT_EQ(LineGrid()->Value("9"), "");
    EXPECT_EQ(LineGrid()->Value("122"), "");
    EXPECT_EQ(Dialogs.Records.back().Text, ListPath("set.txt")) << "proposes the last name";
}

TEST_F(TListFilesTest, OpeningAFileListAddsItsMidiStringsEachTime)
{
    WriteBytes(ListPath("files.txt"),
               "\r\nintro.txt\r\nscore.pdf /PAGE 2\r\n" + QByteArray("\r\n").repeated(121) +
                   "Edit 5\r\nC0 01\r\nEdit 3\r\nB0 07 64\r\n\\Edit 12\r\nEdit 9\r\nC0 03\r\n");
    Window->Show().SetMidiStrings(0, QStringList{"F0 7E F7"});
    WriteBytes(ListPath("MidiStrings.txt"), "Edit 0\r\nC0 09\r\n");
    for (int time = 0; time < 2; ++time) {
        Dialogs.FileAnswers.push_back(ListPath("files.txt"));
        Find<QAction>("mLoadFileList")->trigger();
    }
    EXPECT_EQ(FileGrid()->Value("0"), "intro.txt");
    EXPECT_EQ(FileGrid()->Value("1"), "score.pdf /PAGE 2");
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(0)],
              (QStringList{"F0 7E F7", "C0 01", "C0 01"}));
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(1)],
              (QStringList{"B0 07 64", "Edit 12", "B0 07 64", "Edit 12"}));
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(2)], (QStringList{"C0 03", "C0 03"}));
    EXPECT_TRUE(Window->Show().MidiStringLists()[RowOfSlot(3)].isEmpty());

    // The chooser left the current directory in the list's folder, but the
    // shut-down writes the MIDI strings file where the start-up read it, and
    // another show's file in the list's folder stays as it was.
    End();
    EXPECT_EQ(QDir::currentPath(), ListDir);
    EXPECT_TRUE(ReadBytes(MidiStringsPath()).startsWith("Edit 0\r\nF0 7E F7\r\nC0 01\r\n"));
    EXPECT_EQ(ReadBytes(ListPath("MidiStrings.txt")), "Edit 0\r\nC0 09\r\n");
}

TEST_F(TListFilesTest, AFileThatCannotBeOpenedChangesNothing)
{
    FileGrid()->SetValue("0", "kept.txt");
    Window->Show().SetMidiStrings(0, QStringList{"C0 01"});
    Dialogs.FileAnswers.push_back(ListPath("missing.txt"));
    EXPECT_EQ(ErrorOf([&] { Trigger("mLoadFileList"); }), "File not found.");
    Dialogs.FileAnswers.push_back(ShowDir.filePath("no such folder/list.txt"));
    EXPECT_EQ(ErrorOf([&] { Trigger("pmConvert"); }), "Invalid filename.");
    Dialogs.FileAnswers.push_back(ShowDir.filePath("no such folder/list"));
    EXPECT_EQ(ErrorOf([&] { Trigger("mSaveFileList"); }), "Invalid filename.");
    EXPECT_EQ(FileGrid()->Value("0"), "kept.txt");
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(0)], QStringList{"C0 01"});

    // Cancelling the choosers changes nothing either.
    Trigger("mLoadFileList");
    Trigger("pmConvert");
    EXPECT_EQ(FileGrid()->Value("0"), "kept.txt");
}

TEST_F(TListFilesTest, BrowseKeepsTheShowFolderPortableAndOffersEveryKindShown)
{
    QDir(ShowDir.path()).mkpath("charts");
    WriteBytes(ShowDir.filePath("charts/song.pdf"), "%PDF-1.4\n");
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(ShowDir.filePath("stage-plan.png")));
    QTemporaryDir elsewhere;
    WriteBytes(elsewhere.filePath("notes.txt"), "elsewhere\n");
    const auto browse = [this](int slot, const QString &chosen) {
        FileGrid()->SetRow(RowOfSlot(slot));
        Dialogs.FileAnswers.push_back(chosen);
        Trigger("pmBrowse");
        return FileGrid()->Value(QString::number(slot));
    };

    // In the show's folder or below it: relative, and it still shows, since
    // the chooser did not take the working folder along.
    EXPECT_EQ(browse(0, ShowDir.filePath("charts/song.pdf")), "charts/song.pdf");
    EXPECT_EQ(QDir::currentPath(), QDir(ShowDir.path()).canonicalPath());
    EXPECT_EQ(ResolvePromptFile("charts/song.pdf").Kind, TPromptKind::Pdf);
    EXPECT_EQ(browse(1, ShowDir.filePath("stage-plan.png")), "stage-plan.png");
    EXPECT_EQ(browse(2, elsewhere.filePath("notes.txt")), elsewhere.filePath("notes.txt"));
    // The show folder reached through a link is the show folder.
    ASSERT_TRUE(QFile::link(ShowDir.path(), elsewhere.filePath("show")));
    EXPECT_EQ(browse(4, elsewhere.filePath("show/charts/song.pdf")), "charts/song.pdf");
    // A folder beside it whose name only starts like the show folder's.
    QDir beside(ShowDir.path() + "-old");
    beside.mkpath(".");
    EXPECT_EQ(browse(3, beside.filePath("old.txt")), beside.filePath("old.txt"));
    beside.removeRecursively();

    // The first filter takes every kind the Lyric page shows, in either case.
    const QStringList filters = Dialogs.Records.back().Filter.split(";;");
    ASSERT_GE(filters.size(), 2);
    EXPECT_EQ(filters.last(), "All files (*)");
    const QString first = filters.first();
    const QStringList patterns =
        first.mid(first.indexOf('(') + 1).chopped(1).split(' ', Qt::SkipEmptyParts);
    for (const char *name : {"a.txt", "A.RTF", "b.pdf", "B.PDF", "c.htm", "c.html", "d.jpg",
                             "e.GIF", "f.bmp", "stage-plan.png", "G.PNG", "h.jpeg"}) {
        const bool offered = std::any_of(patterns.begin(), patterns.end(), [&](const QString &p) {
            return QRegularExpression::fromWildcard(p, Qt::CaseSensitive).match(name).hasMatch();
        });
        EXPECT_TRUE(offered) << name << " in " << first.toStdString();
    }
}

} // namespace
} // namespace tarvello::test
