#pragma once

#include "files/MidiStringsFile.h"
#include "prompt/AutoScroll.h"
#include "show/ShowFile.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

namespace tarvello {

class TIniFile;

inline constexpr int DefaultReleaseWindowMs = 300;
inline constexpr int LongestReleaseWindowMs = 2000;
// Band screens listen here unless the operator chose another port.
inline constexpr int DefaultBandPort = 8750;
// OSC control listens here, on this machine alone, unless told otherwise.
inline constexpr int DefaultOscPort = 8760;

// Everything the settings file keeps, as it stands in the file. The main
// window's controls are the working copy while the program runs; this is
// what is read from the file at start-up and what is written at shut-down.
struct TStoredSettings {
    // "MidiDevices". A device is stored by the name its list shows; none is
    // stored when no device was chosen.
    std::optional<QString> Input;
    std::optional<QString> Output;
    QString Channel = QStringLiteral("1");      // 1 to 16
    QString Controller = QStringLiteral("102"); // 0 to 127, -1 for none
    // "TextFiles"
    QString LastDir = QStringLiteral("./");
    // "Display": colour values laid out 0x00BBGGRR
    int Colour = 13564364;     // light green
    int LyricColour = 8454143; // light yellow
    // "Font"
    QString FontName = QStringLiteral("MS Sans Serif");
    int FontColor = 268435455; // hexadecimal 0FFFFFFF: see PromptFontColour
    int FontHeight = -32;      // pixels; negative: without internal leading
    int FontSize = 24;         // points
    // "Setting"
    int MidiMessage = 0; // 0 "Patch  (PC)", 1 "Controller (CC)"
    int DisplayType = 0; // 0 "Text Line", 1 "File (Text or RTF)"
    bool SuppressNumber = false;
    bool MidiThru = false;
    bool MidiOut = false;
    bool MidiStringOut = false;
    bool TouchPad = false;
    bool PdfScrollbar = false;
    // "Screen": the main window
    int Top = 203;
    int Height = 503;
    int Left = 372;
    int Width = 851;
    // "TouchPad": the Nav Pad's position and client size (a file from before
    // the pad could be resized has none: the design's), and whether the
    // operator put it over the full-screen prompt
    int PadTop = 203;
    int PadLeft = 372;
    int PadWidth = 170;
    int PadHeight = 124;
    bool PadOverPrompt = false;
    // "Files" and "Lines": the file name and text line of each slot
    TSlotValues Files;
    TSlotValues Lines;
    // "Stage": page-turner keys, full screen and autoscroll
    bool PedalKeys = false;  // the stage pages take page-turner keys
    bool FullScreen = false; // the main window starts full screen
    QString StageScreen;     // the screen it is full on (QScreen::name()); empty: none named
    // Autoscroll: on the Lyric page, files scroll by themselves and
    // take this long from top to bottom. No number, zero or less: the default.
    bool AutoScroll = false;
    int ScrollSeconds = DefaultScrollSeconds;
    // Seconds a new prompt waits before it scrolls (0 to
    // LongestScrollDelaySeconds).
    int ScrollDelay = 0;
    // Page Dn at the end of a prompt goes on to the next slot.
    bool PageTurnerContinues = false;
    // Milliseconds from the first MIDI value of a run to the selection, 0 to
    // 2000 (held in that range); 0 acts on each value at once.
    int ReleaseWindow = DefaultReleaseWindowMs;
    // Shows: in Controller mode the controller that opens a show by its
    // value (-1 none), "Song Select" selecting slots, and numbers shown from
    // 1 rather than 0.
    int ShowController = -1;
    bool SongSelect = false;
    bool NumbersFromOne = false;
    // "Band": band screens, the phones and tablets that follow the show.
    // Nothing listens unless enabled. The key lets a remote drive the show;
    // each settings file makes its own at the first start.
    bool BandEnabled = false;
    int BandPort = DefaultBandPort;
    QString BandKey;
    // "OSC": commands over the network and what the stage shows sent back.
    // Off unless enabled; `Listen` is an address of this machine (any other
    // than loopback needs the band key); `Targets` up to four "host:port"
    // separated by commas, as typed.
    bool OscEnabled = false;
    int OscPort = DefaultOscPort;
    QString OscListen = QStringLiteral("127.0.0.1");
    QString OscTargets;
};

// Reads every key, each with its default when absent; an integer, boolean or
// colour that is no number gives its default too.
TStoredSettings ReadStoredSettings(const TIniFile &file);

// Writes every key in the order a new file lays them out ("MidiDevices",
// "Display", "Font", "Screen", "TouchPad", "TextFiles", "Setting", "Files",
// "Lines", then "Stage", which is new: an older file gets it at its end and
// keeps every line it had); "Input" and "Output" only when a device is chosen, so a stored
// device that is missing today stays in the file for the next start. The
// window's bounds are held where it can be seen and grabbed again: top and
// left at least 0, height at least 20, width at least 100; the Nav Pad's top
// and left at least 0. Nothing is stored on disk until the file's UpdateFile().
// The newest section, "Stage", comes last: a file from an older version keeps
// every line it had and only gains that section at its end.
void WriteStoredSettings(TIniFile &file, const TStoredSettings &settings);

// A new key for band screens: 32 hexadecimal digits from the system's
// cryptographic random source.
QString NewBandKey();
// Whether a stored key is one the program made (32 hexadecimal digits); any
// other text is replaced by a new key when the settings are read.
bool ValidBandKey(const QString &key);


// The row of the channel list for a stored channel: channel - 1. A value that
// is no whole number from 1 to 16 selects channel 1, so that a damaged file
// still gives a working prompter.
int ChannelRowOfSetting(const QString &channel);

// The row of the controller list for a stored controller (index = number). A
// whole number outside 0 to 127 selects nothing (-1); a value that is no
// whole number gives the default controller 102.
int ControllerRowOfSetting(const QString &controller);

// A radio group holds a stored item index in its range: below -1 it chooses
// nothing (-1), beyond the last item the last one.
int RadioItemOfSetting(int value, int itemCount);

// The prompt font from the stored name, height and size. The size in points
// decides (the height only counts where the size is missing or not positive),
// and is laid out in pixels at 96 dots per inch as the window's design is.
// Style and character set are those of `design`.
QFont PromptFontOfSettings(const QFont &design, const QString &name, int height, int size);

struct TFontSettings {
    QString Name;
    int Height = 0;
    int Size = 0;
};
// The name, height in pixels and size in points the file keeps for a font.
TFontSettings FontSettingsOf(const QFont &font);

// A colour value as the file keeps it (0x00BBGGRR), and what it looks like.
int ColourValueOf(const QColor &colour);
QColor ColourOfSetting(int value);

// The colour the prompt font is drawn in. A value with a non-zero top byte
// names no plain colour (the default 0FFFFFFF among them): it is drawn in the
// window's own text colour `windowText`, so the default prompt stays readable
// on the light page.
QColor PromptFontColour(int value, const QColor &windowText);

// The value to store for a colour that was loaded as `loaded` and drawn as
// `drawnForLoaded`: the loaded value itself while the colour is unchanged (a
// value the program cannot draw exactly goes back to the file as it was read),
// otherwise the value of the colour drawn now.
int ColourValueToSave(int loaded, const QColor &drawnForLoaded, const QColor &drawnNow);

} // namespace tarvello
