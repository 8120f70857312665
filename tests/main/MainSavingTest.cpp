#include "MainPersistenceFixture.h"

#include "files/KeptVersions.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"

#include <QLabel>
#include <QListWidget>

#include <cstdio>
#include <functional>
#include <vector>

namespace tarvello::test {
namespace {

using TSavingTest = TPersistenceTest;

TEST_F(TSavingTest, EditsAndSettingsAreOnDiskWithinASecondAsTheShutDownWritesThem)
{
    Start();
    const QString settingsBak = PreviousVersionPath(SettingsPath());
    const QString midiStringsBak = PreviousVersionPath(MidiStringsPath());

    // An edit in the page's grid, with the program left running.
    LineGrid()->SetValue("0", "Opening number");
    Window->Show().SetMidiStrings(0, QStringList{"C0 01"});
    ASSERT_TRUE(WaitFor([&] {
        return SettingsBytes().contains("Text 1=Opening number\r\n") &&
               ReadBytes(MidiStringsPath()).contains("Edit 0\r\nC0 01\r\n");
    }));
    const QByteArray firstSettings = SettingsBytes();
    const QByteArray firstMidiStrings = ReadBytes(MidiStringsPath());
    EXPECT_FALSE(QFileInfo::exists(settingsBak)) << "no version before the first";

    // A setting changed on the Settings page, the window resized and the MIDI
    // strings changed again: the versions they replace are kept.
    ClickRow("lbChannel", 4);
    Window->Show().SetMidiStrings(0, QStringList{"C0 02"});
    Window->resize(700, 450);
    ASSERT_TRUE(WaitFor([&] {
        return SettingsBytes().contains("Channel=5\r\n") &&
               SettingsBytes().contains("Width=700\r\n") &&
               ReadBytes(MidiStringsPath()).contains("C0 02");
    }));
    EXPECT_EQ(ReadBytes(settingsBak), firstSettings);
    EXPECT_EQ(ReadBytes(midiStringsBak), firstMidiStrings);
    const QByteArray runningSettings = SettingsBytes();
    const QByteArray runningMidiStrings = ReadBytes(MidiStringsPath());

    // The shut-down writes the very same bytes, and keeps the .bak as it was.
    End();
    EXPECT_EQ(SettingsBytes(), runningSettings);
    EXPECT_EQ(ReadBytes(MidiStringsPath()), runningMidiStrings);
    EXPECT_EQ(ReadBytes(settingsBak), firstSettings);
    EXPECT_EQ(ReadBytes(midiStringsBak), firstMidiStrings);
}

TEST_F(TSavingTest, AfterAKillTheNextStartOpensTheShowAsLastWritten)
{
    Start();
    LineGrid()->SetValue("2", "Encore");
    ClickRow("lbChannel", 9);
    ASSERT_TRUE(WaitFor([&] { return SettingsBytes().contains("Channel=10\r\n"); }));
    ASSERT_TRUE(SettingsBytes().contains("Text 3=Encore\r\n"));

    // Killed: no shut-down runs.
    Window.reset();
    ReleaseMidiDevices();
    SetMidiSystem(Fake);
    Start();
    EXPECT_TRUE(Dialogs.Records.empty()) << "nothing asked, nothing reported";
    EXPECT_EQ(LineGrid()->Value("2"), QStringLiteral("Encore"));
    EXPECT_EQ(Find<QListWidget>("lbChannel")->currentRow(), 9);
}

// The ways a write fails on stage, each caused and then mended: the old file
// stays whole, the Settings page and the caption say why (no box over the
// stage), and the next change is written.
TEST_F(TSavingTest, AWriteThatFailsKeepsTheOldFileSaysWhyAndTheNextOneIsWritten)
{
    // The settings folder on a small file system of its own, where this
    // machine lets the test make one, so that it can be filled.
    const TSmallFileSystem small(ProgramDir.path());
    Start();
    LineGrid()->SetValue("0", "Opening number");
    ASSERT_TRUE(WaitFor([&] { return SettingsBytes().contains("Text 1=Opening number\r\n"); }));
    Dialogs.Records.clear();
    QLabel *problem = Find<QLabel>("lSaveProblem");
    const QString filler = ProgramDir.filePath(QStringLiteral("filler"));

    struct TCause {
        const char *Name;
        std::function<bool()> Apply;
        std::function<void()> Lift;
    };
    const std::vector<TCause> causes{
        {"a read-only folder",
         [&] { return small.SetReadOnly(true) || WriteProtectFolder(ProgramDir.path()); },
         [&] {
             small.SetReadOnly(false);
             LiftFolderProtection(ProgramDir.path());
         }},
        {"a file-size limit",
         [&] { return LimitFileSize(QFileInfo(SettingsPath()).size()); },
         [] { LimitFileSize(-1); }},
        {"a full disk", [&] { return small.Fill(filler); },
         [&] { QFile::remove(filler); }},
    };
    // Edit n is row n's text line, slot n + 1's.
    const auto writtenLine = [](int edit) {
        return QStringLiteral("Text %1=Song %2\r\n").arg(edit + 1).arg(edit).toUtf8();
    };
    int edit = 1;
    for (const TCause &cause : causes) {
        SCOPED_TRACE(cause.Name);
        const QByteArray before = SettingsBytes();
        if (!cause.Apply()) {
            cause.Lift();
            std::printf("skipped %s: this machine cannot cause it\n", cause.Name);
            continue;
        }
        LineGrid()->SetValue(QString::number(edit), QStringLiteral("Song %1").arg(edit));
        const bool told = WaitFor([&] { return !problem->isHidden(); });
        const QString line = problem->text();
        const QString caption = Window->windowTitle();
        const QByteArray kept = SettingsBytes();
        cause.Lift();
        ASSERT_TRUE(told);
        EXPECT_EQ(kept, before) << "the old file is whole";
        const QString failure = QStringLiteral("Not saved: Unable to write to %1 (").arg(SettingsPath());
        EXPECT_TRUE(line.startsWith(failure) && line.endsWith(QLatin1Char(')')) &&
                    line.size() > failure.size() + 4)
            << line.toStdString();
        EXPECT_TRUE(caption.endsWith(QStringLiteral(" - Not saved"))) << caption.toStdString();
        EXPECT_TRUE(Dialogs.Records.empty());

        // Mended: the next change is written with the one that failed.
        ++edit;
        LineGrid()->SetValue(QString::number(edit), QStringLiteral("Song %1").arg(edit));
        ASSERT_TRUE(WaitFor([&] {
            return SettingsBytes().contains(writtenLine(edit));
        }));
        EXPECT_TRUE(SettingsBytes().contains(writtenLine(edit - 1)));
        EXPECT_TRUE(problem->isHidden());
        EXPECT_FALSE(Window->windowTitle().endsWith(QStringLiteral(" - Not saved")));
        ++edit;
    }
    End();
}

TEST_F(TSavingTest, MovingOrResizingTheNavPadIsWritten)
{
    Start();
    TfTouch pad(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(&pad);
    pad.show();
    const QByteArray before = SettingsBytes();
    pad.move(pad.pos() + QPoint(40, 30));
    pad.resize(300, 220);
    const QPoint place = pad.SettingsPosition();
    const QByteArray written = QStringLiteral("[TouchPad]\r\nTop=%1\r\nLeft=%2\r\nWidth=300\r\n"
                                              "Height=220\r\n")
                                   .arg(place.y())
                                   .arg(place.x())
                                   .toUtf8();
    EXPECT_FALSE(before.contains(written));
    EXPECT_TRUE(WaitFor([&] { return SettingsBytes().contains(written); }));
    Window->SetTouchPad(nullptr);
}

} // namespace
} // namespace tarvello::test
