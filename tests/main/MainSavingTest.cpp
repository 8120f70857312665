#include "MainPersistenceFixture.h"

#include "files/KeptVersions.h"
#include "widgets/KeyValueGrid.h"

#include <QLabel>
#include <QListWidget>

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

TEST_F(TSavingTest, AWriteThatFailsIsALineOnTheSettingsPageNotABoxOverTheStage)
{
    Start();
    Dialogs.Records.clear();
    QLabel *problem = Find<QLabel>("lSaveProblem");
    if (!WriteProtectFolder(ProgramDir.path())) {
        LiftFolderProtection(ProgramDir.path());
        GTEST_SKIP() << "this file system cannot write-protect a folder";
    }
    LineGrid()->SetValue("0", "Opening number");
    const bool told = WaitFor([&] { return !problem->isHidden(); });
    LiftFolderProtection(ProgramDir.path());
    ASSERT_TRUE(told);
    EXPECT_EQ(problem->text(),
              QStringLiteral("Not saved: Unable to write to %1").arg(SettingsPath()));
    EXPECT_TRUE(Dialogs.Records.empty());

    // The next change is written, and the line goes.
    LineGrid()->SetValue("1", "Second song");
    ASSERT_TRUE(WaitFor([&] { return SettingsBytes().contains("Text 2=Second song\r\n"); }));
    EXPECT_TRUE(SettingsBytes().contains("Text 1=Opening number\r\n"));
    EXPECT_TRUE(problem->isHidden());
}

} // namespace
} // namespace tarvello::test
