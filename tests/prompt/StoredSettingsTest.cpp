#include "prompt/StoredSettings.h"
#include "files/IniFile.h"
#include "prompt/SettingsPath.h"

#include <QFile>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class StoredSettingsTest : public ::testing::Test {
protected:
    QString Path() const { return Dir.filePath("Tarvello.INI"); }

    TStoredSettings ReadFrom(const QByteArray &bytes)
    {
        WriteBytes(Path(), bytes);
        return ReadStoredSettings(TIniFile(Path()));
    }

    QTemporaryDir Dir;
};

TEST(SettingsPath, TheExecutablesNameWithIniForItsExtension)
{
    EXPECT_EQ(SettingsFilePath("/opt/show/Tarvello"), "/opt/show/Tarvello.INI");
    EXPECT_EQ(SettingsFilePath("/opt/show/Tarvello.exe"), "/opt/show/Tarvello.INI");
    EXPECT_EQ(SettingsFilePath("/opt/show.v2/Tarvello"), "/opt/show.v2/Tarvello.INI");
    EXPECT_EQ(SettingsFilePath("C:\\Show.d\\Tarvello.EXE"), "C:\\Show.d\\Tarvello.INI");
    EXPECT_EQ(SettingsFilePath("/home/me/.tarvello"), "/home/me/.tarvello.INI");
    EXPECT_EQ(SettingsFilePath("Tarvello.app.bin"), "Tarvello.app.INI");
}

TEST(SettingsPath, BesideTheProgramWhenItMayWriteThereElseInTheUsersConfigurationFolder)
{
    const auto location = [](bool writable, const QString &config, const QString &home) {
        const TSettingsLocation found =
            SettingsLocation("/usr/local/bin/Tarvello", writable, config, home);
        return found.File + " from " + found.StartingPoint + " strings " + found.MidiStringsFolder;
    };
    EXPECT_EQ(location(true, "/home/me/cfg", "/home/me"),
              "/usr/local/bin/Tarvello.INI from  strings ");
    EXPECT_EQ(location(false, "/home/me/cfg/", "/home/me"),
              "/home/me/cfg/tarvello/Tarvello.INI from /usr/local/bin/Tarvello.INI strings "
              "/home/me/cfg/tarvello");
    // Unset, or relative as the XDG rules tell to ignore: ~/.config.
    for (const QString config : {"", "cfg"}) {
        EXPECT_EQ(location(false, config, "/home/me"),
                  "/home/me/.config/tarvello/Tarvello.INI from /usr/local/bin/Tarvello.INI "
                  "strings /home/me/.config/tarvello");
    }
    // No folder of the user's at all: beside the program, where the save will
    // say that it cannot write.
    EXPECT_EQ(location(false, "", ""), "/usr/local/bin/Tarvello.INI from  strings ");

    // The MIDI strings file beside the user's settings; until it exists, the one
    // the program kept in the start folder before is read, so none are lost,
    // and then the starting show's.
    const QString own = "/home/me/.config/tarvello/MidiStrings.txt";
    const QString earlier = "/home/me/MidiStrings.txt";
    const QString demo = "/usr/share/tarvello/demo/MidiStrings.txt";
    const auto read = [&](const QStringList &there) {
        return MidiStringsFileToRead(own, {earlier, demo},
                                     [&](const QString &name) { return there.contains(name); });
    };
    EXPECT_EQ(read({own, earlier, demo}), own);
    EXPECT_EQ(read({earlier, demo}), earlier);
    EXPECT_EQ(read({demo}), demo);
    EXPECT_EQ(read({}), own);

    // A new user starts from the show put beside the program, else from the
    // demo installed with it.
    const auto start = [](const QStringList &there) {
        return StartingShow("/usr/bin/Tarvello.INI", "/usr/share/tarvello/demo/Tarvello.INI",
                            [&](const QString &name) { return there.contains(name); });
    };
    EXPECT_EQ(start({"/usr/bin/Tarvello.INI", "/usr/share/tarvello/demo/Tarvello.INI"}),
              "/usr/bin/Tarvello.INI");
    EXPECT_EQ(start({"/usr/share/tarvello/demo/Tarvello.INI"}),
              "/usr/share/tarvello/demo/Tarvello.INI");
    EXPECT_EQ(start({}), "/usr/bin/Tarvello.INI");
}

TEST_F(StoredSettingsTest, AMissingFileGivesEveryDefault)
{
    const TStoredSettings s = ReadStoredSettings(TIniFile(Path()));
    EXPECT_FALSE(s.Input);
    EXPECT_FALSE(s.Output);
    EXPECT_EQ(ChannelRowOfSetting(s.Channel), 0);
    EXPECT_EQ(ControllerRowOfSetting(s.Controller), 102);
    EXPECT_EQ(s.LastDir, "./");
    EXPECT_EQ(s.Colour, 13564364);
    EXPECT_EQ(s.LyricColour, 8454143);
    EXPECT_EQ(s.FontName, "MS Sans Serif");
    EXPECT_EQ(s.FontColor, 268435455);
    EXPECT_EQ(s.FontHeight, -32);
    EXPECT_EQ(s.FontSize, 24);
    EXPECT_EQ(s.MidiMessage, 0);
    EXPECT_EQ(s.DisplayType, 0);
    EXPECT_FALSE(s.SuppressNumber || s.MidiThru || s.MidiOut || s.MidiStringOut || s.TouchPad ||
                 s.PdfScrollbar);
    EXPECT_EQ(QRect(s.Left, s.Top, s.Width, s.Height), QRect(372, 203, 851, 503));
    EXPECT_EQ(s.PadTop, 203);
    EXPECT_EQ(s.PadLeft, 372);
    EXPECT_FALSE(s.AutoScroll);
    EXPECT_EQ(s.ScrollSeconds, 180);
    for (int slot = 0; slot < SlotCount; ++slot) {
        EXPECT_TRUE(s.Files[size_t(slot)].isEmpty());
        EXPECT_TRUE(s.Lines[size_t(slot)].isEmpty());
    }
}

// The bytes a save with all defaults and one input device named In A gave
// before the section "Stage" came.
QByteArray FileBeforeTheStageSection()
{
    QByteArray expected = "[MidiDevices]\r\nInput=In A\r\nChannel=1\r\nController=102\r\n"
                          "[Display]\r\nColour=13564364\r\nLyricColour=8454143\r\n"
                          "[Font]\r\nName=MS Sans Serif\r\nColor=268435455\r\nHeight=-32\r\n"
                          "Size=24\r\n"
                          "[Screen]\r\nTop=203\r\nHeight=503\r\nLeft=372\r\nWidth=851\r\n"
                          "[TouchPad]\r\nTop=203\r\nLeft=372\r\n"
                          "[TextFiles]\r\nLast Dir=./\r\n"
                          "[Setting]\r\nSuppressNumber=0\r\nMidiThru=0\r\nMidiOut=0\r\n"
                          "MidiStringOut=0\r\nTouchPad=0\r\nPdfScrollbar=0\r\nMidiMessage=0\r\n"
                          "DisplayType=0\r\n"
                          "[Files]\r\n";
    for (int n = 1; n <= 123; ++n) {
        expected += "Names " + QByteArray::number(n) + "=\r\n";
    }
    expected += "[Lines]\r\n";
    for (int n = 1; n <= 123; ++n) {
        expected += "Text " + QByteArray::number(n) + "=\r\n";
    }
    return expected;
}

// An older file gains the Nav Pad's size and stage place in the pad's own
// section, and keeps every other line.
QByteArray WithPadSize(QByteArray file)
{
    return file.replace("[TouchPad]\r\nTop=203\r\nLeft=372\r\n",
                        "[TouchPad]\r\nTop=203\r\nLeft=372\r\nWidth=170\r\nHeight=124\r\n"
                        "OverPrompt=0\r\n");
}

TEST_F(StoredSettingsTest, ANewFileWithAllDefaultsIsLaidOutExactly)
{
    TStoredSettings s;
    s.Input = QStringLiteral("In A");
    s.BandKey = QStringLiteral("0123456789abcdef0123456789ABCDEF");
    TIniFile file(Path());
    WriteStoredSettings(file, s);
    file.UpdateFile();

    QByteArray expected = WithPadSize(FileBeforeTheStageSection());
    expected += "[Stage]\r\nPedalKeys=0\r\nFullScreen=0\r\nScreen=\r\nAutoScroll="
                "0\r\nScrollSeconds=180\r\nScrollDelay=0\r\nPageTurnerContinues=0\r\n"
                "ReleaseWindow=300\r\nShowController=-1\r\nSongSelect=0\r\nNumbersFromOne=0\r\n"
                "[Band]\r\nEnabled=0\r\nPort=8750\r\nKey=0123456789abcdef0123456789ABCDEF\r\n"
                "[OSC]\r\nEnabled=0\r\nPort=8760\r\nListen=127.0.0.1\r\nTargets=\r\n";
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(StoredSettingsTest, TheStageSectionComesBackAndOldFilesOnlyGainItAtTheirEnd)
{
    const QByteArray old = FileBeforeTheStageSection();
    TStoredSettings s = ReadFrom(old);
    EXPECT_FALSE(s.PedalKeys || s.FullScreen);
    EXPECT_TRUE(s.StageScreen.isEmpty());
    {
        TIniFile file(Path());
        WriteStoredSettings(file, s);
        file.UpdateFile();
    }
    const QByteArray saved = ReadBytes(Path());
    const QByteArray kept = WithPadSize(old);
    EXPECT_TRUE(saved.startsWith(kept)) << "every line of the old file keeps its bytes";
    const QByteArray band =
        "[Band]\r\nEnabled=0\r\nPort=8750\r\nKey=" + s.BandKey.toLatin1() +
        "\r\n[OSC]\r\nEnabled=0\r\nPort=8760\r\nListen=127.0.0.1\r\nTargets=\r\n";
    EXPECT_EQ(saved.mid(kept.size()), "[Stage]\r\nPedalKeys=0\r\nFullScreen=0\r\nScreen="
                                      "\r\nAutoScroll=0\r\nScrollSeconds=180\r\n"
                                      "ScrollDelay=0\r\nPageTurnerContinues=0\r\n"
                                      "ReleaseWindow=300\r\nShowController=-1\r\n"
                                      "SongSelect=0\r\nNumbersFromOne=0\r\n" +
                                          band);

    // Stored keys in any case and place come back, and keep their lines.
    const QByteArray stage = old.left(old.indexOf("[Files]")) +
                             "[stage]\r\nscreen=HDMI-2\r\nFullScreen=1\r\nPedalKeys=$1\r\n" +
                             old.mid(old.indexOf("[Files]"));
    s = ReadFrom(stage);
    s.BandKey = QString::fromLatin1(band.mid(band.indexOf("Key=") + 4, 32));
    EXPECT_TRUE(s.PedalKeys && s.FullScreen);
    EXPECT_EQ(s.StageScreen, "HDMI-2");
    s.PedalKeys = false;
    {
        TIniFile file(Path());
        WriteStoredSettings(file, s);
        file.UpdateFile();
    }
    QByteArray expected = WithPadSize(stage);
    expected.replace("PedalKeys=$1",
                     "PedalKeys=0\r\nAutoScroll=0\r\nScrollSeconds=180\r\nScrollDelay=0\r\n"
                     "PageTurnerContinues=0\r\nReleaseWindow=300\r\nShowController=-1\r\n"
                     "SongSelect=0\r\nNumbersFromOne=0");
    expected.replace("screen=", "Screen=");
    expected += band;
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(StoredSettingsTest, BandScreensAreOffAndEachFileMakesItsOwnKey)
{
    const TStoredSettings fresh = ReadStoredSettings(TIniFile(Path()));
    EXPECT_FALSE(fresh.BandEnabled);
    EXPECT_EQ(fresh.BandPort, 8750);
    EXPECT_TRUE(ValidBandKey(fresh.BandKey));
    EXPECT_NE(fresh.BandKey, ReadStoredSettings(TIniFile(Path())).BandKey);

    // A stored key is kept; one the program did not make, and a port that is
    // none, are replaced.
    TStoredSettings s =
        ReadFrom("[band]\r\nenabled=1\r\nport=9000\r\nkey=" + fresh.BandKey.toLatin1() + "\r\n");
    EXPECT_TRUE(s.BandEnabled);
    EXPECT_EQ(s.BandPort, 9000);
    EXPECT_EQ(s.BandKey, fresh.BandKey);
    for (const char *bad : {"Key=secret\r\nPort=0", "Key=\r\nPort=70000", "Port=x"}) {
        s = ReadFrom(QByteArray("[Band]\r\n") + bad + "\r\n");
        EXPECT_EQ(s.BandPort, 8750) << bad;
        EXPECT_TRUE(ValidBandKey(s.BandKey)) << bad;
    }
    EXPECT_FALSE(ValidBandKey(QStringLiteral("0123456789abcdef0123456789abcdeg")));
}

TEST_F(StoredSettingsTest, OscIsOffOnThisMachineAloneUntilSetOtherwise)
{
    const TStoredSettings fresh = ReadStoredSettings(TIniFile(Path()));
    EXPECT_FALSE(fresh.OscEnabled);
    EXPECT_EQ(fresh.OscPort, 8760);
    EXPECT_EQ(fresh.OscListen, "127.0.0.1");
    EXPECT_TRUE(fresh.OscTargets.isEmpty());
    TStoredSettings s = ReadFrom("[osc]\r\nenabled=1\r\nport=9001\r\nlisten=192.168.1.5\r\n"
                                 "targets=10.0.0.2:9000, 10.0.0.3:9000\r\n");
    EXPECT_TRUE(s.OscEnabled);
    EXPECT_EQ(s.OscPort, 9001);
    EXPECT_EQ(s.OscListen, "192.168.1.5");
    EXPECT_EQ(s.OscTargets, "10.0.0.2:9000, 10.0.0.3:9000");
    s = ReadFrom("[OSC]\r\nPort=70000\r\nListen=\r\n");
    EXPECT_EQ(s.OscPort, 8760);
    EXPECT_EQ(s.OscListen, "127.0.0.1");
}

TEST_F(StoredSettingsTest, EveryKeyComesBackAfterASave)
{
    TStoredSettings s;
    s.Input = QStringLiteral("Stage Keys:in");
    s.Output = QStringLiteral("Rack Synth:out");
    s.Channel = QStringLiteral("16");
    s.Controller = QStringLiteral("7");
    s.LastDir = QStringLiteral("/home/band/charts/");
    s.Colour = 0x0000FF;
    s.LyricColour = 0x123456;
    s.FontName = QStringLiteral("DejaVu Serif");
    s.FontColor = 0x00FF00;
    s.FontHeight = -48;
    s.FontSize = 36;
    s.MidiMessage = 1;
    s.DisplayType = 1;
    s.SuppressNumber = s.MidiThru = s.MidiOut = s.MidiStringOut = s.TouchPad = s.PdfScrollbar =
        true;
    s.Top = 10;
    s.Height = 400;
    s.Left = 20;
    s.Width = 700;
    s.PadTop = 900;
    s.PadLeft = 1500;
    for (int slot = 0; slot < SlotCount; ++slot) {
        s.Files[size_t(slot)] = QStringLiteral("song %1.pdf /PAGE 2").arg(slot);
        s.Lines[size_t(slot)] = QStringLiteral("Song number %1 = \"the one\"").arg(slot);
    }
    // Values a profile reader would trim or unquote, and one past its old limit.
    s.Lines[0] = QStringLiteral("   three blanks first");
    s.Lines[1] = QString(3000, QLatin1Char('x'));
    s.Lines[2] = QStringLiteral("'quoted'");
    s.Lines[122] = QStringLiteral("\"both\" ends ");
    s.Files[122] = QStringLiteral("Ünïcödé — ♪.txt");
    s.AutoScroll = true;
    s.ScrollSeconds = 95;
    s.ScrollDelay = 4;
    s.PageTurnerContinues = true;
    s.ReleaseWindow = 0;

    TIniFile file(Path());
    WriteStoredSettings(file, s);
    file.UpdateFile();
    const TStoredSettings back = ReadStoredSettings(TIniFile(Path()));

    EXPECT_EQ(back.Input, s.Input);
    EXPECT_EQ(back.Output, s.Output);
    EXPECT_EQ(back.Channel, "16");
    EXPECT_EQ(back.Controller, "7");
    EXPECT_EQ(back.LastDir, s.LastDir);
    EXPECT_EQ(back.Colour, s.Colour);
    EXPECT_EQ(back.LyricColour, s.LyricColour);
    EXPECT_EQ(back.FontName, s.FontName);
    EXPECT_EQ(back.FontColor, s.FontColor);
    EXPECT_EQ(back.FontHeight, -48);
    EXPECT_EQ(back.FontSize, 36);
    EXPECT_EQ(back.MidiMessage, 1);
    EXPECT_EQ(back.DisplayType, 1);
    EXPECT_TRUE(back.SuppressNumber && back.MidiThru && back.MidiOut && back.MidiStringOut &&
                back.TouchPad && back.PdfScrollbar);
    EXPECT_EQ(QRect(back.Left, back.Top, back.Width, back.Height), QRect(20, 10, 700, 400));
    EXPECT_EQ(back.PadTop, 900);
    EXPECT_EQ(back.PadLeft, 1500);
    EXPECT_EQ(back.Files, s.Files);
    EXPECT_EQ(back.Lines, s.Lines);
    EXPECT_TRUE(back.AutoScroll);
    EXPECT_EQ(back.ScrollSeconds, 95);
    EXPECT_EQ(back.ScrollDelay, 4);
    EXPECT_TRUE(back.PageTurnerContinues);
    EXPECT_EQ(back.ReleaseWindow, 0);
}

TEST_F(StoredSettingsTest, ASaveKeepsWhatItDoesNotWriteAndClampsTheBounds)
{
    WriteBytes(Path(), "; my show\r\n[MidiDevices]\r\nInput=Old Keys\r\nOutput=Old Rack\r\n"
                       "[Setting]\r\nMidiout=1\r\n[Extra]\r\nNote=kept\r\n");
    TStoredSettings s = ReadStoredSettings(TIniFile(Path()));
    EXPECT_TRUE(s.MidiOut) << "the key is looked up in any letter case";
    // Today no device is chosen: the stored names stay for the next start.
    s.Input.reset();
    s.Output.reset();
    s.Left = -8;
    s.Top = -8;
    s.Width = 60;
    s.Height = 10;
    s.PadTop = -30;
    s.PadLeft = -1;
    TIniFile file(Path());
    WriteStoredSettings(file, s);
    file.UpdateFile();

    const QByteArray bytes = ReadBytes(Path());
    EXPECT_TRUE(bytes.startsWith("; my show\r\n[MidiDevices]\r\nInput=Old Keys\r\n"
                                 "Output=Old Rack\r\nChannel=1\r\n"));
    EXPECT_TRUE(bytes.contains("[Setting]\r\nMidiOut=1\r\n")) << bytes.constData();
    EXPECT_FALSE(bytes.contains("Midiout"));
    EXPECT_TRUE(bytes.contains("[Extra]\r\nNote=kept\r\n"));
    EXPECT_TRUE(bytes.contains("[Screen]\r\nTop=0\r\nHeight=20\r\nLeft=0\r\nWidth=100\r\n"));
    EXPECT_TRUE(bytes.contains("[TouchPad]\r\nTop=0\r\nLeft=0\r\n"));
}

TEST_F(StoredSettingsTest, NumbersAndTheirDefaults)
{
    const TStoredSettings s = ReadFrom("[Display]\r\nColour=$FF\r\nLyricColour=red\r\n"
                                       "[Font]\r\nColor=0xFF00\r\n"
                                       "[Setting]\r\nMidiThru=2\r\nSuppressNumber=yes\r\n"
                                       "MidiMessage=5\r\nDisplayType=-7\r\n"
                                       "[Screen]\r\nTop=$10\r\nWidth=wide\r\n"
                                       "[Lines]\r\nText 0=ignored\r\nText 1=first\r\n"
                                       "Text 123=last\r\nText 124=beyond\r\n");
    EXPECT_EQ(ColourOfSetting(s.Colour), QColor(255, 0, 0));
    EXPECT_EQ(s.LyricColour, 8454143);
    EXPECT_EQ(ColourOfSetting(s.FontColor), QColor(0, 255, 0));
    EXPECT_TRUE(s.MidiThru);
    EXPECT_FALSE(s.SuppressNumber);
    EXPECT_EQ(RadioItemOfSetting(s.MidiMessage, 2), 1);
    EXPECT_EQ(RadioItemOfSetting(s.DisplayType, 2), -1);
    EXPECT_EQ(RadioItemOfSetting(0, 2), 0);
    EXPECT_EQ(s.Top, 16);
    EXPECT_EQ(s.Width, 851);
    EXPECT_EQ(s.Lines[0], "first");
    EXPECT_EQ(s.Lines[122], "last");
    EXPECT_TRUE(s.Lines[1].isEmpty());

    // Autoscroll: a time that is no number, zero or negative is the default.
    for (const char *seconds : {"abc", "0", "-5", "", "1e3"}) {
        const TStoredSettings stage =
            ReadFrom(QByteArray("[Stage]\r\nAutoScroll=yes\r\nScrollSeconds=") + seconds);
        EXPECT_EQ(stage.ScrollSeconds, 180) << seconds;
        EXPECT_FALSE(stage.AutoScroll);
    }
    const TStoredSettings stage = ReadFrom("[stage]\r\nautoscroll=2\r\nscrollseconds=$3C\r\n");
    EXPECT_TRUE(stage.AutoScroll);
    EXPECT_EQ(stage.ScrollSeconds, 60);

    // The release window: held in 0 to 2000 ms; no number is the 300 ms that
    // a file without the key has always had.
    for (const auto &[text, ms] :
         std::initializer_list<std::pair<const char *, int>>{{"0", 0},
                                                             {"$32", 50},
                                                             {"2000", 2000},
                                                             {"2500", 2000},
                                                             {"-40", 0},
                                                             {"soon", 300},
                                                             {"", 300}}) {
        EXPECT_EQ(ReadFrom(QByteArray("[Stage]\r\nReleaseWindow=") + text).ReleaseWindow, ms)
            << text;
    }
    EXPECT_EQ(ReadFrom("[Stage]\r\nAutoScroll=1\r\n").ReleaseWindow, 300);

    EXPECT_EQ(ChannelRowOfSetting("1"), 0);
    EXPECT_EQ(ChannelRowOfSetting("16"), 15);
    EXPECT_EQ(ChannelRowOfSetting(" 10 "), 9);
    EXPECT_EQ(ChannelRowOfSetting("17"), 0);
    EXPECT_EQ(ChannelRowOfSetting("0"), 0);
    EXPECT_EQ(ChannelRowOfSetting("ten"), 0);
    EXPECT_EQ(ControllerRowOfSetting("0"), 0);
    EXPECT_EQ(ControllerRowOfSetting("127"), 127);
    // Not the default 102, so that a value read as hex cannot pass as the fallback.
    EXPECT_EQ(ControllerRowOfSetting("$40"), 64);
    EXPECT_EQ(ControllerRowOfSetting("0x7F"), 127);
    EXPECT_EQ(ControllerRowOfSetting("200"), -1);
    EXPECT_EQ(ControllerRowOfSetting("-1"), -1);
    EXPECT_EQ(ControllerRowOfSetting("7.5"), 102);
    EXPECT_EQ(ControllerRowOfSetting(""), 102);
}

TEST(PromptFontSettings, TheSizeDecidesAndRoundTrips)
{
    const QFont design;
    const QFont noSize = PromptFontOfSettings(design, "MS Sans Serif", -20, 0);
    EXPECT_EQ(noSize.pixelSize(), 20) << "the height counts only without a size";
    const QFont defaults = PromptFontOfSettings(design, "MS Sans Serif", -20, 24);
    EXPECT_EQ(defaults.pixelSize(), 32);
    EXPECT_EQ(defaults.families().constFirst(), "MS Sans Serif");
    EXPECT_EQ(PromptFontOfSettings(design, "X", 999, 12).pixelSize(), 16);
    EXPECT_LE(PromptFontOfSettings(design, "X", 0, 2147483647).pixelSize(), 1000);
    EXPECT_GE(PromptFontOfSettings(design, "X", -2147483647 - 1, -5).pixelSize(), 1);

    for (int size = 1; size <= 200; ++size) {
        const TFontSettings back = FontSettingsOf(PromptFontOfSettings(design, "F", 0, size));
        ASSERT_EQ(back.Size, size);
        ASSERT_EQ(back.Name, "F");
    }
    EXPECT_EQ(FontSettingsOf(PromptFontOfSettings(design, "F", 0, 24)).Height, -32);
    QFont points;
    points.setPointSize(18);
    EXPECT_EQ(FontSettingsOf(points).Size, 18);
    EXPECT_EQ(FontSettingsOf(points).Height, -24);
}

TEST(ColourSettings, PlainColoursAndValuesWithATopByte)
{
    EXPECT_EQ(ColourOfSetting(13564364), QColor(204, 249, 206));
    EXPECT_EQ(ColourValueOf(QColor(204, 249, 206)), 13564364);
    EXPECT_EQ(ColourValueOf(QColor(255, 255, 128)), 8454143);
    const QColor text(10, 20, 30);
    EXPECT_EQ(PromptFontColour(268435455, text), text);
    EXPECT_EQ(PromptFontColour(-1, text), text);
    EXPECT_EQ(PromptFontColour(0xFF, text), QColor(255, 0, 0));

    // Unchanged: written back as read, top byte and all; changed: the new colour.
    EXPECT_EQ(ColourValueToSave(268435455, text, text), 268435455);
    EXPECT_EQ(ColourValueToSave(268435455, text, QColor(0, 0, 255)), 0xFF0000);
}

} // namespace
} // namespace tarvello
