#pragma once

// The edits of the kill test, numbered: what edit number n does and with which
// values. The program that makes an edit and the test that checks the files
// after the kill both take them from here.
//
// The list edits are made on the edit page that the display type shows (the
// other one is disabled): Text Edit for "Text Line", File List for "File".
// There they act on the text lines or on the file references.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <array>

namespace tarvello::test::killed {

enum class TEditKind {
    Typed,       // a value typed into the page's grid and committed with Return
    MidiStrings, // the current slot's, through the MIDI strings editor, OK
    BlockCopy,   // Start, End, Copy to
    Move,        // a row moved one place with the page's arrows
    Clear,       // Delete (the text, or the file with its strings), Clear Midi Strings
    ListOpened,  // Open Prompt List or Open File List
    Font,        // the page menu's font, with its colour
    Colour,      // the page menu's colour
    InputDevice,
    OutputDevice,
    Channel,
    Controller,
    MessageType,
    DisplayType,
    StageSetting, // page turner keys, page turner continues, release window
    WindowBounds, // the main window resized or moved
    NavPad,       // the Nav Pad moved
};

constexpr int SlotCount = 123;
constexpr int SpinStep = 50; // the release window's step

// One round of edits; the display type changes in the middle of it, so that
// each list edit is made on both pages in turn.
constexpr std::array<TEditKind, 18> EditCycle{
    TEditKind::Typed,       TEditKind::MidiStrings,  TEditKind::BlockCopy,
    TEditKind::InputDevice, TEditKind::Move,         TEditKind::Channel,
    TEditKind::Clear,       TEditKind::Font,         TEditKind::DisplayType,
    TEditKind::Typed,       TEditKind::ListOpened,   TEditKind::MessageType,
    TEditKind::Colour,      TEditKind::OutputDevice, TEditKind::StageSetting,
    TEditKind::Controller,  TEditKind::WindowBounds, TEditKind::NavPad};

inline TEditKind KindOfEdit(int n)
{
    return EditCycle[size_t(n) % EditCycle.size()];
}
// The round an edit is in: picks the variant where a kind has several.
inline int RoundOfEdit(int n)
{
    return n / int(EditCycle.size());
}

// Slots as the show keys them (0 to 122).
inline int TypedSlot(int n)
{
    return (7 * n + 2) % SlotCount;
}
inline QString TypedValue(int n, bool textLine)
{
    return textLine ? QStringLiteral("Verse %1 für Zoë = chorus").arg(n)
                    : QStringLiteral("charts/song-%1.pdf").arg(n);
}

// A slot a MIDI value can select (122 and above navigate).
inline int MidiStringsSlot(int n)
{
    return (5 * n + 1) % 120;
}
inline QStringList MidiStringsOf(int n)
{
    return {QStringLiteral("C0 %1").arg(n % 128, 2, 16, QLatin1Char('0')).toUpper(),
            QStringLiteral("B0 07 %1").arg((n * 3) % 128, 2, 16, QLatin1Char('0')).toUpper()};
}

// The first slot of [low, high) from `start` on, wrapping round, for which
// `hasEntry(slot)` holds, so that a delete, move or copy has an entry to act
// on whatever the edits before it left. The program and the test find the
// same slot in the same show.
template <typename THasEntry> int SlotWithEntry(int start, int low, int high, THasEntry hasEntry)
{
    for (int i = 0; i < high - low; ++i) {
        const int slot = low + (start - low + i) % (high - low);
        if (hasEntry(slot)) {
            return slot;
        }
    }
    return start;
}

// A block of two or three slots copied to a place after it; odd rounds push
// the slots from there down, even rounds overwrite them.
template <typename THasEntry> int CopyStart(int n, THasEntry hasEntry)
{
    return SlotWithEntry((3 * n) % 40, 0, 40, hasEntry);
}
inline int CopyLength(int n)
{
    return 2 + n % 2;
}
inline int CopyTarget(int n)
{
    return 60 + (13 * n) % 50;
}
inline bool CopyPushesDown(int n)
{
    return RoundOfEdit(n) % 2 == 1;
}

// The slot moved and the way: up on even rounds, down on odd ones.
template <typename THasEntry> int MovedSlot(int n, THasEntry hasEntry)
{
    return SlotWithEntry(10 + (17 * n) % 100, 10, 110, hasEntry);
}
inline bool MovedUp(int n)
{
    return RoundOfEdit(n) % 2 == 0;
}

// Rounds 0 and 1 delete one slot's entry, round 2 clears every slot's MIDI
// strings.
inline bool ClearsMidiStrings(int n)
{
    return RoundOfEdit(n) % 3 == 2;
}
template <typename THasEntry> int ClearedSlot(int n, THasEntry hasEntry)
{
    return SlotWithEntry((9 * n + 4) % SlotCount, 0, SlotCount, hasEntry);
}

// The list opened: the test writes it into the show folder before the
// program starts.
inline QString ListFileName(int n)
{
    return QStringLiteral("list-%1.txt").arg(n);
}
// The value a list gives slot `slot`; empty for most slots.
inline QString ListValue(int n, int slot, bool textLine)
{
    if ((slot + n) % 4 != 0) {
        return QString();
    }
    return textLine ? QStringLiteral("Listed %1 line %2").arg(n).arg(slot)
                    : QStringLiteral("docs/list%1-%2.rtf").arg(n).arg(slot);
}
// The MIDI strings a file list brings for slot `slot`, added to those it holds.
inline QStringList ListMidiStrings(int n, int slot, bool textLine)
{
    if (textLine || (slot + n) % 10 != 0) {
        return {};
    }
    return {QStringLiteral("90 3C %1").arg(slot % 100, 2, 10, QLatin1Char('0'))};
}
// The list file: an empty title line, the slots' values, then the MIDI strings
// section (a prompt list's is never read; it has none).
inline QByteArray ListFileBytes(int n, bool textLine)
{
    QStringList lines{QString()};
    for (int slot = 0; slot < SlotCount; ++slot) {
        lines.append(ListValue(n, slot, textLine));
    }
    if (!textLine) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            lines.append(QStringLiteral("Edit %1").arg(slot));
            lines.append(ListMidiStrings(n, slot, textLine));
        }
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// The next row of a list: the channel moves on by 1 to 7, the controller by 1
// to 9.
inline int ChannelRowAfter(int n, int row)
{
    return (row + 1 + n % 7) % 16;
}
inline int ControllerRowAfter(int n, int row)
{
    return (row + 1 + n % 9) % 128;
}

inline QString FontFamily(int n)
{
    return RoundOfEdit(n) % 2 == 0 ? QStringLiteral("DejaVu Serif")
                                   : QStringLiteral("DejaVu Sans Mono");
}
inline int FontPoints(int n)
{
    return 20 + n % 30;
}
inline QColor FontColour(int n)
{
    return QColor((n * 37) % 256, 200, 50);
}

// The Text Edit page's colour is the Display page's background, the File
// List page's the Lyric view's.
inline QColor ChosenColour(int n)
{
    return QColor((n * 53) % 256, (n * 29) % 256, 128);
}

// 0: page turner keys toggled; 1: page turner continues toggled; 2: the
// release window one step up.
inline int StageVariant(int n)
{
    return RoundOfEdit(n) % 3;
}

// Even rounds resize, odd rounds move the main window.
inline bool WindowMoved(int n)
{
    return RoundOfEdit(n) % 2 == 1;
}
inline int WindowWidth(int n)
{
    return 640 + (n * 13) % 120;
}
inline int WindowHeight(int n)
{
    return 420 + (n * 7) % 100;
}
inline int WindowLeft(int n)
{
    return (n * 5) % 60;
}
inline int WindowTop(int n)
{
    return (n * 3) % 40;
}

inline int PadLeft(int n)
{
    return 300 + n % 50;
}
inline int PadTop(int n)
{
    return 150 + n % 40;
}

} // namespace tarvello::test::killed
