#include "prompt/StoredSettings.h"

#include "files/IniFile.h"

#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tarvello {
namespace {

// Section names, as a new file spells them.
const QString MidiDevices = QStringLiteral("MidiDevices");
const QString TextFiles = QStringLiteral("TextFiles");
const QString Display = QStringLiteral("Display");
const QString Font = QStringLiteral("Font");
const QString Setting = QStringLiteral("Setting");
const QString Screen = QStringLiteral("Screen");
const QString TouchPad = QStringLiteral("TouchPad");
const QString Files = QStringLiteral("Files");
const QString Lines = QStringLiteral("Lines");
const QString Stage = QStringLiteral("Stage");
const QString Band = QStringLiteral("Band");
const QString Osc = QStringLiteral("OSC");

constexpr int DesignDotsPerInch = 96;
constexpr int PointsPerInch = 72;
// A font beyond this would only make the label slow to draw; no stage
// display needs more.
constexpr int LargestPixelSize = 1000;
constexpr int DefaultPixelSize = 32;

constexpr int MinimumWindowHeight = 20;
constexpr int MinimumWindowWidth = 100;

// Rounds a * b / c to the nearest whole number, as fonts are converted
// between points and pixels.
int MulDiv(int a, int b, int c)
{
    return int(std::lround(double(a) * b / c));
}

std::optional<QString> DeviceName(const TIniFile &file, const QString &key)
{
    QString name = file.ReadString(MidiDevices, key, QString());
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name;
}

} // namespace


TStoredSettings ReadStoredSettings(const TIniFile &file)
{
    const TStoredSettings defaults;
    TStoredSettings s;
    s.Input = DeviceName(file, QStringLiteral("Input"));
    s.Output = DeviceName(file, QStringLiteral("Output"));
    s.Channel = file.ReadString(MidiDevices, QStringLiteral("Channel"), defaults.Channel);
    s.Controller = file.ReadString(MidiDevices, QStringLiteral("Controller"), defaults.Controller);
    s.LastDir = file.ReadString(TextFiles, QStringLiteral("Last Dir"), defaults.LastDir);
    s.Colour = file.ReadInteger(Display, QStringLiteral("Colour"), defaults.Colour);
    s.LyricColour = file.ReadInteger(Display, QStringLiteral("LyricColour"), defaults.LyricColour);
    s.FontName = file.ReadString(Font, QStringLiteral("Name"), defaults.FontName);
    s.FontColor = file.ReadInteger(Font, QStringLiteral("Color"), defaults.FontColor);
    s.FontHeight = file.ReadInteger(Font, QStringLiteral("Height"), defaults.FontHeight);
    s.FontSize = file.ReadInteger(Font, QStringLiteral("Size"), defaults.FontSize);
    s.MidiMessage = file.ReadInteger(Setting, QStringLiteral("MidiMessage"), defaults.MidiMessage);
    s.DisplayType = file.ReadInteger(Setting, QStringLiteral("DisplayType"), defaults.DisplayType);
    s.SuppressNumber = file.ReadBool(Setting, QStringLiteral("SuppressNumber"), false);
    s.MidiThru = file.ReadBool(Setting, QStringLiteral("MidiThru"), false);
    // Written "MidiOut", looked up as "Midiout": names match in any case.
    s.MidiOut = file.ReadBool(Setting, QStringLiteral("Midiout"), false);
    s.MidiStringOut = file.ReadBool(Setting, QStringLiteral("MidiStringOut"), false);
    s.TouchPad = file.ReadBool(Setting, QStringLiteral("TouchPad"), false);
    s.PdfScrollbar = file.ReadBool(Setting, QStringLiteral("PdfScrollbar"), false);
    s.Top = file.ReadInteger(Screen, QStringLiteral("Top"), defaults.Top);
    s.Height = file.ReadInteger(Screen, QStringLiteral("Height"), defaults.Height);
    s.Left = file.ReadInteger(Screen, QStringLiteral("Left"), defaults.Left);
    s.Width = file.ReadInteger(Screen, QStringLiteral("Width"), defaults.Width);
    s.PadTop = file.ReadInteger(TouchPad, QStringLiteral("Top"), defaults.PadTop);
    s.PadLeft = file.ReadInteger(TouchPad, QStringLiteral("Left"), defaults.PadLeft);
    s.PadWidth = file.ReadInteger(TouchPad, QStringLiteral("Width"), defaults.PadWidth);
    s.PadHeight = file.ReadInteger(TouchPad, QStringLiteral("Height"), defaults.PadHeight);
    s.PadOverPrompt = file.ReadBool(TouchPad, QStringLiteral("OverPrompt"), false);
    for (int slot = 0; slot < SlotCount; ++slot) {
        s.Files[size_t(slot)] = file.ReadString(Files, FileNameKey(slot), QString());
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        s.Lines[size_t(slot)] = file.ReadString(Lines, TextLineKey(slot), QString());
    }
    // "Stage": page-turner keys, full screen and autoscroll.
    s.PedalKeys = file.ReadBool(Stage, QStringLiteral("PedalKeys"), false);
    s.FullScreen = file.ReadBool(Stage, QStringLiteral("FullScreen"), false);
    s.StageScreen = file.ReadString(Stage, QStringLiteral("Screen"), QString());
    s.AutoScroll = file.ReadBool(Stage, QStringLiteral("AutoScroll"), false);
    s.ScrollSeconds =
        file.ReadInteger(Stage, QStringLiteral("ScrollSeconds"), defaults.ScrollSeconds);
    if (s.ScrollSeconds <= 0) {
        s.ScrollSeconds = defaults.ScrollSeconds;
    }
    s.ScrollDelay = std::clamp(file.ReadInteger(Stage, QStringLiteral("ScrollDelay"), 0), 0,
                               LongestScrollDelaySeconds);
    s.PageTurnerContinues = file.ReadBool(Stage, QStringLiteral("PageTurnerContinues"), false);
    s.ReleaseWindow =
        std::clamp(file.ReadInteger(Stage, QStringLiteral("ReleaseWindow"), defaults.ReleaseWindow),
                   0, LongestReleaseWindowMs);
    s.ShowController = file.ReadInteger(Stage, QStringLiteral("ShowController"), -1);
    if (s.ShowController < -1 || s.ShowController > 127) {
        s.ShowController = -1;
    }
    s.SongSelect = file.ReadBool(Stage, QStringLiteral("SongSelect"), false);
    s.NumbersFromOne = file.ReadBool(Stage, QStringLiteral("NumbersFromOne"), false);
    // "Band": a port outside 1 to 65535 gives the default; a key that the
    // program did not make (none in an older file) is made anew here and kept
    // by the next save.
    s.BandEnabled = file.ReadBool(Band, QStringLiteral("Enabled"), false);
    s.BandPort = file.ReadInteger(Band, QStringLiteral("Port"), DefaultBandPort);
    if (s.BandPort < 1 || s.BandPort > 65535) {
        s.BandPort = DefaultBandPort;
    }
    s.BandKey = file.ReadString(Band, QStringLiteral("Key"), QString());
    if (!ValidBandKey(s.BandKey)) {
        s.BandKey = NewBandKey();
    }
    s.OscEnabled = file.ReadBool(Osc, QStringLiteral("Enabled"), false);
    s.OscPort = file.ReadInteger(Osc, QStringLiteral("Port"), DefaultOscPort);
    if (s.OscPort < 1 || s.OscPort > 65535) {
        s.OscPort = DefaultOscPort;
    }
    s.OscListen = file.ReadString(Osc, QStringLiteral("Listen"), defaults.OscListen);
    if (s.OscListen.isEmpty()) {
        s.OscListen = defaults.OscListen;
    }
    s.OscTargets = file.ReadString(Osc, QStringLiteral("Targets"), QString());
    return s;
}

void WriteStoredSettings(TIniFile &file, const TStoredSettings &s)
{
    if (s.Input) {
        file.WriteString(MidiDevices, QStringLiteral("Input"), *s.Input);
    }
    if (s.Output) {
        file.WriteString(MidiDevices, QStringLiteral("Output"), *s.Output);
    }
    file.WriteString(MidiDevices, QStringLiteral("Channel"), s.Channel);
    file.WriteString(MidiDevices, QStringLiteral("Controller"), s.Controller);
    file.WriteInteger(Display, QStringLiteral("Colour"), s.Colour);
    file.WriteString(Font, QStringLiteral("Name"), s.FontName);
    file.WriteInteger(Font, QStringLiteral("Color"), s.FontColor);
    file.WriteInteger(Font, QStringLiteral("Height"), s.FontHeight);
    file.WriteInteger(Font, QStringLiteral("Size"), s.FontSize);
    file.WriteInteger(Screen, QStringLiteral("Top"), std::max(s.Top, 0));
    file.WriteInteger(Screen, QStringLiteral("Height"), std::max(s.Height, MinimumWindowHeight));
    file.WriteInteger(Screen, QStringLiteral("Left"), std::max(s.Left, 0));
    file.WriteInteger(Screen, QStringLiteral("Width"), std::max(s.Width, MinimumWindowWidth));
    file.WriteInteger(TouchPad, QStringLiteral("Top"), std::max(s.PadTop, 0));
    file.WriteInteger(TouchPad, QStringLiteral("Left"), std::max(s.PadLeft, 0));
    file.WriteInteger(TouchPad, QStringLiteral("Width"), s.PadWidth);
    file.WriteInteger(TouchPad, QStringLiteral("Height"), s.PadHeight);
    file.WriteBool(TouchPad, QStringLiteral("OverPrompt"), s.PadOverPrompt);
    file.WriteString(TextFiles, QStringLiteral("Last Dir"), s.LastDir);
    file.WriteBool(Setting, QStringLiteral("SuppressNumber"), s.SuppressNumber);
    file.WriteBool(Setting, QStringLiteral("MidiThru"), s.MidiThru);
    file.WriteBool(Setting, QStringLiteral("MidiOut"), s.MidiOut);
    file.WriteBool(Setting, QStringLiteral("MidiStringOut"), s.MidiStringOut);
    file.WriteBool(Setting, QStringLiteral("TouchPad"), s.TouchPad);
    file.WriteBool(Setting, QStringLiteral("PdfScrollbar"), s.PdfScrollbar);
    file.WriteInteger(Setting, QStringLiteral("MidiMessage"), s.MidiMessage);
    file.WriteInteger(Setting, QStringLiteral("DisplayType"), s.DisplayType);
    file.WriteInteger(Display, QStringLiteral("LyricColour"), s.LyricColour);
    for (int slot = 0; slot < SlotCount; ++slot) {
        file.WriteString(Files, FileNameKey(slot), s.Files[size_t(slot)]);
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        file.WriteString(Lines, TextLineKey(slot), s.Lines[size_t(slot)]);
    }
    // "Stage": page-turner keys, full screen and autoscroll.
    file.WriteBool(Stage, QStringLiteral("PedalKeys"), s.PedalKeys);
    file.WriteBool(Stage, QStringLiteral("FullScreen"), s.FullScreen);
    file.WriteString(Stage, QStringLiteral("Screen"), s.StageScreen);
    file.WriteBool(Stage, QStringLiteral("AutoScroll"), s.AutoScroll);
    file.WriteInteger(Stage, QStringLiteral("ScrollSeconds"),
                      s.ScrollSeconds > 0 ? s.ScrollSeconds : DefaultScrollSeconds);
    file.WriteInteger(Stage, QStringLiteral("ScrollDelay"),
                      std::clamp(s.ScrollDelay, 0, LongestScrollDelaySeconds));
    file.WriteBool(Stage, QStringLiteral("PageTurnerContinues"), s.PageTurnerContinues);
    file.WriteInteger(Stage, QStringLiteral("ReleaseWindow"),
                      std::clamp(s.ReleaseWindow, 0, LongestReleaseWindowMs));
    file.WriteInteger(Stage, QStringLiteral("ShowController"), std::clamp(s.ShowController, -1, 127));
    file.WriteBool(Stage, QStringLiteral("SongSelect"), s.SongSelect);
    file.WriteBool(Stage, QStringLiteral("NumbersFromOne"), s.NumbersFromOne);
    // "Band" is newer still and comes after "Stage".
    file.WriteBool(Band, QStringLiteral("Enabled"), s.BandEnabled);
    file.WriteInteger(Band, QStringLiteral("Port"), s.BandPort);
    file.WriteString(Band, QStringLiteral("Key"),
                     ValidBandKey(s.BandKey) ? s.BandKey : NewBandKey());
    // "OSC", the newest, last.
    file.WriteBool(Osc, QStringLiteral("Enabled"), s.OscEnabled);
    file.WriteInteger(Osc, QStringLiteral("Port"), s.OscPort);
    file.WriteString(Osc, QStringLiteral("Listen"), s.OscListen);
    file.WriteString(Osc, QStringLiteral("Targets"), s.OscTargets);
}

QString NewBandKey()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString key;
    for (quint32 word : words) {
        key += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    }
    return key;
}

bool ValidBandKey(const QString &key)
{
    return key.size() == 32 && std::all_of(key.begin(), key.end(), [](QChar c) {
               return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                      (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                      (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
           });
}

int ChannelRowOfSetting(const QString &channel)
{
    const std::optional<int> number = ParseProfileInteger(channel.trimmed());
    if (!number || *number < 1 || *number > 16) {
        return 0;
    }
    return *number - 1;
}

int ControllerRowOfSetting(const QString &controller)
{
    const std::optional<int> number = ParseProfileInteger(controller.trimmed());
    if (!number) {
        return 102;
    }
    return *number >= 0 && *number <= 127 ? *number : -1;
}

int RadioItemOfSetting(int value, int itemCount)
{
    return std::clamp(value, -1, itemCount - 1);
}

QFont PromptFontOfSettings(const QFont &design, const QString &name, int height, int size)
{
    int pixels = DefaultPixelSize;
    if (size > 0) {
        pixels = MulDiv(std::min(size, LargestPixelSize), DesignDotsPerInch, PointsPerInch);
    } else if (height != 0) {
        pixels = height == std::numeric_limits<int>::min() ? LargestPixelSize : std::abs(height);
    }
    QFont font = design;
    // Faces a Linux desktop lacks ("MS Sans Serif") fall back to a sans face;
    // the stored name stays first, so it is also what goes back to the file.
    font.setFamilies({name, QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPixelSize(std::clamp(pixels, 1, LargestPixelSize));
    return font;
}

TFontSettings FontSettingsOf(const QFont &font)
{
    TFontSettings settings;
    settings.Name = font.families().isEmpty() ? font.family() : font.families().constFirst();
    if (font.pointSizeF() > 0) {
        settings.Size = int(std::lround(font.pointSizeF()));
    } else {
        settings.Size = MulDiv(font.pixelSize(), PointsPerInch, DesignDotsPerInch);
    }
    settings.Height = -MulDiv(settings.Size, DesignDotsPerInch, PointsPerInch);
    return settings;
}

int ColourValueOf(const QColor &colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

QColor ColourOfSetting(int value)
{
    const auto v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QColor PromptFontColour(int value, const QColor &windowText)
{
    return (quint32(value) >> 24) != 0 ? windowText : ColourOfSetting(value);
}

int ColourValueToSave(int loaded, const QColor &drawnForLoaded, const QColor &drawnNow)
{
    return drawnNow.rgb() == drawnForLoaded.rgb() ? loaded : ColourValueOf(drawnNow);
}

} // namespace tarvello
