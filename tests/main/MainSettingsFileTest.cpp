#include "MainPersistenceFixture.h"

#include "core/ErrorText.h"
#include "main/HelpKey.h"
#include "pages/ListEditPage.h"
#include "pages/LyricAutoScroll.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QWindow>

#include <random>

namespace tarvello::test {
namespace {

using TSettingsFileTest = TPersistenceTest;

int CountLines(const QByteArray &bytes, const QByteArray &line)
{
    return int(bytes.split('\n').count(line + '\r'));
}

QStringList VisibleTabs(const QTabWidget &pages)
{
    QStringList tabs;
    for (int i = 0; i < pages.count(); ++i) {
        if (pages.isTabVisible(i)) {
            tabs << pages.tabText(i);
        }
    }
    return tabs;
}

TEST_F(TSettingsFileTest, FirstRunReportsTheMissingMidiStringsFileAndStartsWithDefaults)
{
    Start();
    ASSERT_EQ(Dialogs.MessageTexts(), QStringList{"File not found."});
    EXPECT_EQ(Dialogs.Records[0].Title, "Tarvello");
    EXPECT_EQ(Dialogs.Records[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Dialogs.ShownAtBox, std::vector<bool>{false}) << "the box comes before the window";

    EXPECT_EQ(Window->pos(), QPoint(372, 203));
    EXPECT_EQ(Window->size(), QSize(851, 503));
    EXPECT_EQ(Window->windowTitle(), "Tarvello v1.4.0");
    EXPECT_EQ(Pages()->currentWidget(), Page("tsDisplay"));
    EXPECT_EQ(VisibleTabs(*Pages()), (QStringList{"Display", "Text List Edit", "Settings"}));
    EXPECT_EQ(PatchName()->text(), "Waiting for Midi");
    EXPECT_TRUE(Find<QLabel>("lVersion")->text().startsWith("Tarvello  Version 1.4.0"));
    EXPECT_EQ(Find<QListWidget>("lbChannel")->currentRow(), 0);
    EXPECT_EQ(Find<QListWidget>("lbController")->currentRow(), 102);
    EXPECT_EQ(Engine().Midi().Controller, 102);
    EXPECT_EQ(Find<TRadioGroup>("rgMessage")->ItemIndex(), 0);
    EXPECT_EQ(Find<TRadioGroup>("rgDisplayType")->ItemIndex(), 0);
    for (const char *name : {"cbSuppressNum", "cbMidiThru", "cbMidiOut", "cbMidiStrings",
                             "cbTouchPad", "cbPdfScrollbar"}) {
        EXPECT_FALSE(Find<QCheckBox>(name)->isChecked()) << name;
    }
    EXPECT_EQ(PatchName()->font().families().constFirst(), "MS Sans Serif");
    EXPECT_EQ(PatchName()->font().pixelSize(), 32);
    EXPECT_EQ(Window->PadPlace().y(), 203);
    EXPECT_EQ(Window->PadPlace().x(), 372);
    for (int slot = 0; slot < SlotCount; ++slot) {
        ASSERT_TRUE(LineGrid()->Value(QString::number(slot)).isEmpty());
        ASSERT_TRUE(FileGrid()->Value(QString::number(slot)).isEmpty());
    }
    // No device is chosen, and none looks chosen.
    EXPECT_TRUE(Find<QListWidget>("lbMidiIn")->selectedItems().isEmpty());
    EXPECT_TRUE(Find<QListWidget>("lbMidiOut")->selectedItems().isEmpty());
    EXPECT_FALSE(Fake->IsInputOpen(0));
    EXPECT_FALSE(Fake->IsOutputOpen(0));

    // The help key works from the start, against the current directory.
    QList<QUrl> help;
    Find<THelpKey>("HelpKey")->SetOpener([&](const QUrl &page) { help << page; });
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(Window->windowHandle(), &f1);
    EXPECT_EQ(help, QList<QUrl>{QUrl::fromLocalFile(
                        QDir(ShowDir.path()).filePath("TarvelloGettingStarted.html"))});

    // The first shut-down stores no devices and creates the MIDI strings file.
    End();
    const QByteArray saved = SettingsBytes();
    EXPECT_TRUE(saved.startsWith("[MidiDevices]\r\nChannel=1\r\n"
                                 "Controller=102\r\n[Display]\r\nColour=13564364\r\n"
                                 "LyricColour=8454143\r\n[Font]\r\nName=MS Sans Serif\r\n"
                                 "Color=268435455\r\nHeight=-32\r\nSize=24\r\n"))
        << saved.left(300).constData();
    const QByteArray midiStrings = ReadBytes(MidiStringsPath());
    EXPECT_EQ(midiStrings.count("\r\n"), 123);
    EXPECT_TRUE(midiStrings.startsWith("Edit 0\r\nEdit 1\r\n"));

    // The next start opens nothing either, and no box comes up; devices once
    // chosen open at every start.
    Start();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty());
    EXPECT_FALSE(Fake->IsInputOpen(0) || Fake->IsOutputOpen(0));
    ClickRow("lbMidiIn", 0);
    ClickRow("lbMidiOut", 0);
    End();
    Start();
    EXPECT_TRUE(Fake->IsInputOpen(0));
    EXPECT_TRUE(Fake->IsOutputOpen(0));
    End();
    EXPECT_FALSE(Fake->IsInputOpen(0)) << "the devices are closed at shut-down";
}

TEST_F(TSettingsFileTest, EverythingTheOperatorSetSurvivesARestart)
{
    Start();
    ClickRow("lbMidiIn", 1);
    ClickRow("lbMidiOut", 1);
    ClickRow("lbChannel", 9);
    Find<TRadioGroup>("rgMessage")->SetItemIndex(1);
    ClickRow("lbController", 7);
    Find<TRadioGroup>("rgDisplayType")->SetItemIndex(1);
    const char *const checked[] = {"cbSuppressNum", "cbMidiThru", "cbMidiOut", "cbMidiStrings",
                                   "cbPdfScrollbar"};
    for (const char *name : checked) {
        Find<QCheckBox>(name)->setChecked(true);
    }
    QPalette background = PatchName()->palette();
    background.setColor(QPalette::Window, QColor(10, 20, 30));
    PatchName()->setPalette(background);
    QPalette lyric = LyricText()->viewport()->palette();
    lyric.setColor(QPalette::Base, QColor(250, 240, 230));
    LyricText()->viewport()->setPalette(lyric);
    QFont font = PatchName()->font();
    font.setFamilies({"DejaVu Serif"});
    font.setPointSize(36);
    PatchName()->setFont(font);
    Find<TListEditPage>("tsFileList")->SetBrowseFolder("/home/band/charts/");
    Window->move(40, 30);
    Window->resize(700, 420);
    TfTouch pad(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(&pad);
    pad.move(500, 400);
    const QString longLine(3000, QLatin1Char('x'));
    LineGrid()->SetValue("0", "   three blanks first");
    LineGrid()->SetValue("1", longLine);
    LineGrid()->SetValue("122", "\"quoted\"");
    FileGrid()->SetValue("0", "chart.pdf /PAGE 2");
    FileGrid()->SetValue("122", "https://example.org/set");
    Window->Show().SetMidiStrings(0, QStringList{"C1 05", "Edit 5", ""});
    Window->Show().SetMidiStrings(1, QStringList{"\\Edit 7", "B2 07 64"});
    Window->Show().SetMidiStrings(122, QStringList{"; last song"});
    // Autoscroll.
    Find<QCheckBox>("cbAutoScroll")->setChecked(true);
    Find<QSpinBox>("seScrollSeconds")->setValue(240);
    Find<QSpinBox>("seReleaseWindow")->setValue(0);
    End();

    Start();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty()) << Dialogs.MessageTexts().join('|').toStdString();
    EXPECT_EQ(Find<QListWidget>("lbMidiIn")->currentRow(), 1);
    EXPECT_TRUE(Fake->IsInputOpen(1));
    EXPECT_EQ(Engine().Midi().InputDevice, 1);
    EXPECT_EQ(Find<QListWidget>("lbMidiOut")->currentRow(), 1);
    EXPECT_TRUE(Fake->IsOutputOpen(1));
    EXPECT_EQ(Find<QListWidget>("lbChannel")->currentRow(), 9);
    EXPECT_EQ(Engine().Midi().Channel, 9);
    EXPECT_EQ(Find<TRadioGroup>("rgMessage")->ItemIndex(), 1);
    EXPECT_EQ(Engine().Midi().MessageType, 0xB0);
    EXPECT_FALSE(Find<QListWidget>("lbController")->isHidden());
    EXPECT_EQ(Engine().Midi().Controller, 7);
    EXPECT_EQ(Find<TRadioGroup>("rgDisplayType")->ItemIndex(), 1);
    EXPECT_EQ(Pages()->currentWidget(), Page("tsLyric"));
    EXPECT_EQ(VisibleTabs(*Pages()), (QStringList{"Lyric", "File List Edit", "Settings"}));
    EXPECT_EQ(LyricText()->toPlainText(), "Waiting for Midi");
    for (const char *name : checked) {
        EXPECT_TRUE(Find<QCheckBox>(name)->isChecked()) << name;
    }
    EXPECT_TRUE(Engine().Midi().Thru);
    EXPECT_FALSE(Find<QCheckBox>("cbTouchPad")->isChecked());
    EXPECT_EQ(PatchName()->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(LyricText()->viewport()->palette().color(QPalette::Base), QColor(250, 240, 230));
    EXPECT_EQ(PatchName()->font().families().constFirst(), "DejaVu Serif");
    EXPECT_EQ(PatchName()->font().pixelSize(), 48);
    EXPECT_EQ(Find<TListEditPage>("tsFileList")->BrowseFolder(), "/home/band/charts/");
    EXPECT_EQ(Window->pos(), QPoint(40, 30));
    EXPECT_EQ(Window->size(), QSize(700, 420));
    EXPECT_EQ(Window->PadPlace(), pad.SettingsPosition())
        << "the pad's own position, though it was never shown";
    EXPECT_EQ(LineGrid()->Value("0"), "   three blanks first");
    EXPECT_EQ(LineGrid()->Value("1"), longLine);
    EXPECT_EQ(LineGrid()->Value("122"), "\"quoted\"");
    EXPECT_EQ(FileGrid()->Value("0"), "chart.pdf /PAGE 2");
    EXPECT_EQ(FileGrid()->Value("122"), "https://example.org/set");
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(0)], (QStringList{"C1 05", "Edit 5", ""}));
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(1)],
              (QStringList{"\\Edit 7", "B2 07 64"}));
    EXPECT_TRUE(Window->Show().MidiStringLists()[RowOfSlot(2)].isEmpty());
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(122)], QStringList{"; last song"});
    EXPECT_TRUE(Window->Show().MidiStringLists()[0].isEmpty());
    // Autoscroll.
    EXPECT_TRUE(Find<QCheckBox>("cbAutoScroll")->isChecked());
    EXPECT_TRUE(LyricPage()->AutoScroller().Enabled());
    EXPECT_EQ(Find<QSpinBox>("seScrollSeconds")->value(), 240);
    EXPECT_EQ(Find<QSpinBox>("seReleaseWindow")->value(), 0);
    EXPECT_EQ(LyricPage()->AutoScroller().State().SecondsForWhole(), 240);
}

TEST_F(TSettingsFileTest, TheNavPadSizeSurvivesARestartAndAnOlderFileKeepsTheDesignSize)
{
    WriteBytes(SettingsPath(), "[TouchPad]\r\nTop=100\r\nLeft=120\r\n");
    Start();
    auto pad = std::make_unique<TfTouch>(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(pad.get());
    EXPECT_EQ(pad->size(), QSize(170, 124));
    pad->resize(340, 250);
    End();
    EXPECT_TRUE(SettingsBytes().contains(
        "[TouchPad]\r\nTop=100\r\nLeft=120\r\nWidth=340\r\nHeight=250\r\nOverPrompt=0\r\n"));

    Start();
    pad = std::make_unique<TfTouch>(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(pad.get());
    EXPECT_EQ(pad->size(), QSize(340, 250));
    EXPECT_EQ(pad->pos(), QPoint(120, 100));
    End();
}

TEST_F(TSettingsFileTest, StoredValuesOutOfTheOrdinary)
{
    WriteBytes(SettingsPath(), "[midiDEVICES]\r\nINPUT=in b\r\nOutput=Gone Synth\r\n"
                               "Channel=seventeen\r\nController=200\r\n"
                               "[Display]\r\nColour=$FF\r\nLyricColour=red\r\n"
                               "[Font]\r\nHeight=-20\r\n"
                               "[Setting]\r\nMidiout=1\r\nMidiThru=2\r\nSuppressNumber=yes\r\n"
                               "MidiMessage=5\r\nDisplayType=-7\r\nTouchPad=1\r\n"
                               "[TouchPad]\r\nTop=-40\r\nLeft=1200\r\n"
                               "[Screen]\r\nLeft=-8\r\nTop=-8\r\nWidth=60\r\nHeight=10\r\n"
                               "[Lines]\r\nText 0=nowhere\r\nText 1=first\r\nText 123=last\r\n");
    WriteBytes(MidiStringsPath(), "stray line\r\nEdit 5\r\nC0 01\r\nEdit 3\r\nEdit 9\r\nC0 03\r\n");
    Start();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty());
    // Device names match in any case; a missing one opens nothing and is shown
    // as awaited.
    EXPECT_EQ(Find<QListWidget>("lbMidiIn")->currentRow(), 1);
    EXPECT_TRUE(Fake->IsInputOpen(1));
    EXPECT_EQ(Find<QListWidget>("lbMidiOut")->currentItem()->text(), "Gone Synth (not connected)");
    EXPECT_EQ(Engine().Midi().OutputDevice, -1);
    EXPECT_FALSE(Fake->IsOutputOpen(0) || Fake->IsOutputOpen(1));
    EXPECT_EQ(Find<QListWidget>("lbChannel")->currentRow(), 0);
    EXPECT_EQ(Find<QListWidget>("lbController")->currentRow(), -1);
    EXPECT_EQ(Engine().Midi().Controller, -1);
    EXPECT_EQ(PatchName()->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(LyricText()->viewport()->palette().color(QPalette::Base), QColor(255, 255, 128));
    EXPECT_EQ(PatchName()->font().pixelSize(), 32) << "24 points, whatever the height";
    EXPECT_EQ(PatchName()->palette().color(QPalette::WindowText),
              Window->palette().color(QPalette::WindowText))
        << "the default font colour is no plain colour: dark text, readable";
    EXPECT_TRUE(Find<QCheckBox>("cbMidiOut")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("cbMidiThru")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("cbSuppressNum")->isChecked());
    EXPECT_EQ(Find<TRadioGroup>("rgMessage")->ItemIndex(), 1);
    EXPECT_EQ(Find<TRadioGroup>("rgDisplayType")->ItemIndex(), -1);
    EXPECT_TRUE(Find<QCheckBox>("cbTouchPad")->isChecked());
    EXPECT_EQ(Window->PadPlace().y(), -40);
    EXPECT_EQ(Window->PadPlace().x(), 1200);
    EXPECT_EQ(LineGrid()->Value("0"), "first");
    EXPECT_EQ(LineGrid()->Value("122"), "last");
    // Markers count by position, whatever number they carry.
    EXPECT_EQ(Window->Show().MidiStringLists()[0], QStringList{"stray line"});
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(0)], QStringList{"C0 01"});
    EXPECT_TRUE(Window->Show().MidiStringLists()[RowOfSlot(1)].isEmpty());
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(2)], QStringList{"C0 03"});

    Window->move(-8, -8);
    Window->resize(60, 10);
    End();
    const QByteArray saved = SettingsBytes();
    EXPECT_TRUE(saved.contains("Output=Gone Synth\r\n")) << "kept for the day it is back";
    EXPECT_TRUE(saved.contains("Controller=-1\r\n"));
    EXPECT_TRUE(saved.contains("Channel=1\r\n"));
    EXPECT_TRUE(saved.contains("[Setting]\r\nMidiOut=1\r\n"));
    EXPECT_FALSE(saved.contains("Midiout"));
    EXPECT_TRUE(saved.contains("Colour=255\r\n"));
    EXPECT_TRUE(saved.contains("Color=268435455\r\n")) << "written back as it was read";
    EXPECT_TRUE(saved.contains("[TouchPad]\r\nTop=0\r\nLeft=1200\r\n"));
    // Each key keeps its line where the file had it.
    const QByteArray screen = saved.mid(saved.indexOf("[Screen]"), 40);
    EXPECT_TRUE(screen.startsWith("[Screen]\r\nLeft=0\r\nTop=0\r\nWidth=")) << screen.data();
    EXPECT_EQ(CountLines(saved, "Text 0=nowhere"), 1) << "a key the program does not use stays";
    // The stray line ahead of the first marker belongs to no slot.
    EXPECT_FALSE(ReadBytes(MidiStringsPath()).contains("stray line"));
}

TEST_F(TSettingsFileTest, ADeviceThatCannotBeOpenedIsReportedAndTheShowStillLoads)
{
    WriteBytes(SettingsPath(), "[MidiDevices]\r\nInput=In A\r\n[Lines]\r\nText 5=Intro\r\n");
    WriteBytes(MidiStringsPath(), "Edit 0\r\nC0 07\r\n");
    Fake->FailCall("InOpen", MidiResult::Allocated);
    Start();
    EXPECT_EQ(Dialogs.MessageTexts(),
              QStringList{ErrorBoxText(MidiResultText(MidiResult::Allocated))});
    EXPECT_EQ(Find<QListWidget>("lbMidiIn")->currentRow(), 0) << "still selected, but not open";
    EXPECT_FALSE(Fake->IsInputOpen(0));
    EXPECT_EQ(LineGrid()->Value("4"), "Intro");
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(0)], QStringList{"C0 07"});
    End();
    EXPECT_TRUE(SettingsBytes().contains("Text 5=Intro\r\n"));
}

TEST_F(TSettingsFileTest, DevicesThatFailToCloseAreReportedAndTheShowIsStillSaved)
{
    WriteBytes(SettingsPath(), "[MidiDevices]\r\nInput=In B\r\nOutput=Out B\r\n");
    WriteBytes(MidiStringsPath(), QByteArray());
    Start();
    ASSERT_TRUE(Fake->IsInputOpen(1) && Fake->IsOutputOpen(1));
    LineGrid()->SetValue("0", "Encore");
    Window->Show().SetMidiStrings(0, QStringList{"C0 07"});
    Fake->FailCall("InStop", MidiResult::Error);
    Fake->FailCall("OutClose", MidiResult::InvalidHandle);
    Dialogs.Records.clear();
    End();
    EXPECT_EQ(Dialogs.MessageTexts(),
              (QStringList{ErrorBoxText(MidiResultText(MidiResult::Error)),
                           ErrorBoxText(MidiResultText(MidiResult::InvalidHandle))}));
    EXPECT_TRUE(SettingsBytes().contains("Text 1=Encore\r\n"));
    EXPECT_TRUE(ReadBytes(MidiStringsPath()).startsWith("Edit 0\r\nC0 07\r\n"));
}

TEST_F(TSettingsFileTest, AMidiSystemThatCannotListItsDevicesDoesNotCostTheShow)
{
    WriteBytes(SettingsPath(), "[MidiDevices]\r\nInput=In A\r\n[Lines]\r\nText 1=Intro\r\n");
    WriteBytes(MidiStringsPath(), "Edit 0\r\nC0 07\r\n");
    Fake->FailCall("InGetDevName", MidiResult::NoDriver, -1);
    Start();
    EXPECT_EQ(Dialogs.MessageTexts(),
              QStringList{ErrorBoxText(MidiResultText(MidiResult::NoDriver))});
    EXPECT_EQ(ItemTexts(Find<QListWidget>("lbMidiIn")), QStringList{"In A (not connected)"});
    EXPECT_EQ(Find<QListWidget>("lbMidiOut")->count(), 2);
    EXPECT_EQ(LineGrid()->Value("0"), "Intro");
    EXPECT_EQ(Window->Show().MidiStringLists()[RowOfSlot(0)], QStringList{"C0 07"});
    End();
    const QByteArray saved = SettingsBytes();
    EXPECT_TRUE(saved.contains("Input=In A\r\n"));
    EXPECT_TRUE(saved.contains("Text 1=Intro\r\n"));
    EXPECT_TRUE(ReadBytes(MidiStringsPath()).startsWith("Edit 0\r\nC0 07\r\n"));
}

TEST_F(TSettingsFileTest, WithoutMidiDevicesTheSaveStoresNoDevice)
{
    UseMidiDevices({}, {});
    Start();
    EXPECT_EQ(Find<QListWidget>("lbMidiIn")->count(), 0);
    EXPECT_EQ(Find<QListWidget>("lbMidiIn")->currentRow(), -1);
    EXPECT_EQ(Find<QListWidget>("lbMidiOut")->currentRow(), -1);
    End();
    EXPECT_TRUE(SettingsBytes().startsWith("[MidiDevices]\r\nChannel=1\r\nController=102\r\n"));
}

TEST_F(TSettingsFileTest, ASaveThatCannotWriteKeepsTheOldFilesWhole)
{
    Start();
    LineGrid()->SetValue("0", "Opening number");
    Window->Show().SetMidiStrings(0, QStringList{"C0 01"});
    End();
    const QByteArray oldSettings = SettingsBytes();
    const QByteArray oldMidiStrings = ReadBytes(MidiStringsPath());

    // The program's folder is read-only: the settings file cannot be replaced,
    // and the save stops before the MIDI strings file.
    Start();
    LineGrid()->SetValue("0", "Changed");
    Window->Show().SetMidiStrings(0, QStringList{"C0 02"});
    if (!WriteProtectFolder(ProgramDir.path())) {
        LiftFolderProtection(ProgramDir.path());
        GTEST_SKIP() << "this file system cannot write-protect a folder";
    }
    Dialogs.Records.clear();
    End();
    LiftFolderProtection(ProgramDir.path());
    EXPECT_EQ(Dialogs.MessageTexts(),
              QStringList{QStringLiteral("Unable to write to %1.").arg(SettingsPath())});
    EXPECT_EQ(SettingsBytes(), oldSettings);
    EXPECT_EQ(ReadBytes(MidiStringsPath()), oldMidiStrings);
    EXPECT_EQ(QDir(ProgramDir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Tarvello.INI"})
        << "no temporary file left behind";

    // The show folder is read-only: the settings are saved, the MIDI strings
    // file is refused and stays as it was.
    Start();
    LineGrid()->SetValue("0", "Changed again");
    Window->Show().SetMidiStrings(0, QStringList{"C0 03"});
    ASSERT_TRUE(WriteProtectFolder(ShowDir.path()));
    Dialogs.Records.clear();
    End();
    LiftFolderProtection(ShowDir.path());
    EXPECT_EQ(Dialogs.MessageTexts(), QStringList{"File access denied."});
    EXPECT_TRUE(SettingsBytes().contains("Text 1=Changed again\r\n"));
    EXPECT_EQ(ReadBytes(MidiStringsPath()), oldMidiStrings);
}

TEST_F(TSettingsFileTest, AMidiStringsFileThatCannotBeReadIsReportedAndNotReplaced)
{
    const QByteArray show = "Edit 0\r\nC0 07\r\n";
    WriteBytes(MidiStringsPath(), show);
    // Copied in from another account: it may be replaced, but not read.
    QFile::setPermissions(MidiStringsPath(), QFileDevice::WriteOwner);
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther;
    QFile::setPermissions(ProgramDir.path(), open);
    QFile::setPermissions(ShowDir.path(), open);
    {
        TReadingWithoutRootRights reading;
        ASSERT_FALSE(QFile(MidiStringsPath()).open(QIODevice::ReadOnly));
        Start();
    }
    EXPECT_EQ(Dialogs.MessageTexts(), QStringList{"File access denied."});
    LineGrid()->SetValue("0", "Opening");
    Dialogs.Records.clear();
    End();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty()) << "told once, at the start";
    EXPECT_TRUE(SettingsBytes().contains("Text 1=Opening\r\n"));
    QFile::setPermissions(MidiStringsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ReadBytes(MidiStringsPath()), show);
}

TEST_F(TSettingsFileTest, TheDemoShowStartsOnTheLyricPageWithItsNavPad)
{
    const QDir demo(QStringLiteral(TARVELLO_SOURCE_DIR "/demo"));
    const QByteArray demoSettings = ReadBytes(demo.filePath("Tarvello.INI"));
    const QByteArray demoMidiStrings = ReadBytes(demo.filePath("MidiStrings.txt"));
    ASSERT_FALSE(demoSettings.isEmpty());
    WriteBytes(SettingsPath(), demoSettings);
    WriteBytes(MidiStringsPath(), demoMidiStrings);
    Start();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty()) << Dialogs.MessageTexts().join('|').toStdString();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsLyric"));
    EXPECT_EQ(LyricText()->toPlainText(), "Waiting for Midi");
    EXPECT_TRUE(Find<QCheckBox>("cbTouchPad")->isChecked());
    EXPECT_FALSE(FileGrid()->Value("0").isEmpty());
    int slotsWithMidiStrings = 0;
    for (int row = 1; row < MidiStringListCount; ++row) {
        slotsWithMidiStrings += !Window->Show().MidiStringLists()[row].isEmpty();
    }
    EXPECT_GT(slotsWithMidiStrings, 0);

    // The pad comes up with the main window's next paint, at its stored place
    // as far as this screen lets it.
    TfTouch pad(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(&pad);
    EXPECT_FALSE(pad.isVisible());
    Window->update();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(pad.isVisible());
    Window->SetTouchPad(nullptr);

    // Saved again, the show is the same: every line of the demo's settings is
    // still there and the MIDI strings file is as it was.
    End();
    const QByteArray saved = SettingsBytes();
    for (const QByteArray &line : demoSettings.split('\n')) {
        EXPECT_TRUE(saved.contains(line)) << line.constData();
    }
    EXPECT_EQ(ReadBytes(MidiStringsPath()), demoMidiStrings);
}

TEST_F(TSettingsFileTest, RandomSettingsAndMidiStringsFilesNeverBreakTheStart)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 4000);
    // Bytes that make the reader's life hard: line ends, brackets, "=", quotes,
    // markers and digits, mixed with anything at all.
    const QByteArray hard = "\r\n\r\n[]=\"' $0x-9Edit 12\x1a";
    for (int round = 0; round < 12; ++round) {
        const auto noise = [&] {
            QByteArray bytes;
            const int size = length(random);
            for (int i = 0; i < size; ++i) {
                bytes.append(byte(random) < 96 ? hard.at(byte(random) % hard.size())
                                               : char(byte(random)));
            }
            return bytes;
        };
        WriteBytes(SettingsPath(), "[Setting]\r\nDisplayType=" + noise() + "\r\n[Lines]\r\n" +
                                       noise() + "\r\n[Files]\r\nNames 1=" + noise());
        WriteBytes(MidiStringsPath(), noise());
        Start();
        ASSERT_EQ(LineGrid()->LastRow(), SlotCount);
        ASSERT_EQ(FileGrid()->LastRow(), SlotCount);
        int strings = 0;
        for (const QStringList &list : Window->Show().MidiStringLists()) {
            strings += int(list.size());
        }
        ASSERT_LE(strings, ReadBytes(MidiStringsPath()).size() + 1);
        End();
        // What was saved reads back to the same show.
        Start();
        const QByteArray again = SettingsBytes();
        End();
        ASSERT_EQ(SettingsBytes(), again) << "round " << round;
    }
}

} // namespace
} // namespace tarvello::test
