#include "DemoSettings.h"

#include "DemoSlots.h"

#include "core/SlotTypes.h"
#include "core/TarvelloError.h"
#include "files/IniFile.h"
#include "files/MidiStringsFile.h"

#include <QFile>

namespace tarvello {

namespace {

// The demo shows its files, so it opens on the Lyric page with the Nav Pad
// beside the main window. No MIDI device is named: the program highlights
// the first devices of this machine and the operator picks the right ones.
// MIDI output stays off until then, so that a machine without MIDI ports
// does not answer every step through the show with an error.
constexpr int DisplayTypeFile = 1;
constexpr int WindowTop = 60;
constexpr int WindowLeft = 40;
constexpr int WindowWidth = 900;
constexpr int WindowHeight = 560;
constexpr int PadTop = WindowTop;
constexpr int PadLeft = WindowLeft + WindowWidth + 20;
// Autoscroll is on, so the newcomer sees the lyric sheets and the score move
// by themselves; two minutes a file keeps the short demo files readable.
constexpr int ScrollSeconds = 120;

} // namespace

void WriteDemoSettings(const QString &path)
{
    // A file left from an earlier run would keep its line order; the demo
    // starts from nothing, as a first save does.
    if (QFile::exists(path) && !QFile::remove(path)) {
        throw TError(QStringLiteral("Unable to write to %1").arg(path));
    }
    TIniFile ini(path);

    ini.WriteString("MidiDevices", "Channel", "1");
    ini.WriteString("MidiDevices", "Controller", "102");
    ini.WriteInteger("Display", "Colour", 13564364);
    ini.WriteString("Font", "Name", "DejaVu Sans");
    ini.WriteInteger("Font", "Color", 268435455);
    ini.WriteInteger("Font", "Height", -48);
    ini.WriteInteger("Font", "Size", 36);
    ini.WriteInteger("Screen", "Top", WindowTop);
    ini.WriteInteger("Screen", "Height", WindowHeight);
    ini.WriteInteger("Screen", "Left", WindowLeft);
    ini.WriteInteger("Screen", "Width", WindowWidth);
    ini.WriteInteger("TouchPad", "Top", PadTop);
    ini.WriteInteger("TouchPad", "Left", PadLeft);
    ini.WriteString("TextFiles", "Last Dir", "./");
    ini.WriteBool("Setting", "SuppressNumber", false);
    ini.WriteBool("Setting", "MidiThru", false);
    ini.WriteBool("Setting", "MidiOut", false);
    ini.WriteBool("Setting", "MidiStringOut", false);
    ini.WriteBool("Setting", "TouchPad", true);
    ini.WriteBool("Setting", "PdfScrollbar", false);
    ini.WriteInteger("Setting", "MidiMessage", 0);
    ini.WriteInteger("Setting", "DisplayType", DisplayTypeFile);
    ini.WriteInteger("Display", "LyricColour", 8454143);

    const auto &show = DemoSlots();
    auto slotValue = [&show](int key, QString TDemoSlot::*field) {
        return key < int(show.size()) ? show[key].*field : QString();
    };
    for (int n = 1; n <= SlotCount; ++n) {
        ini.WriteString("Files", QStringLiteral("Names %1").arg(n),
                        slotValue(SlotOfRow(n), &TDemoSlot::File));
    }
    for (int n = 1; n <= SlotCount; ++n) {
        ini.WriteString("Lines", QStringLiteral("Text %1").arg(n),
                        slotValue(SlotOfRow(n), &TDemoSlot::Line));
    }
    // "Stage": page-turner keys, full screen, autoscroll.
    // A newcomer's arrow keys (and page-turner pedal) step through the show at
    // once; full screen is left to F11, so the tabs stay in sight.
    ini.WriteBool("Stage", "PedalKeys", true);
    ini.WriteBool("Stage", "FullScreen", false);
    ini.WriteString("Stage", "Screen", "");
    // Autoscroll on, so the files move by themselves.
    ini.WriteBool("Stage", "AutoScroll", true);
    ini.WriteInteger("Stage", "ScrollSeconds", ScrollSeconds);
    // Band screens off, and no key: every copy of the show makes its own at
    // its first start, so that no two bands share one.
    ini.WriteBool("Band", "Enabled", false);
    ini.WriteInteger("Band", "Port", 8750);
    ini.UpdateFile();
}

void WriteDemoMidiStrings(const QString &path)
{
    TMidiStringLists lists;
    const auto &show = DemoSlots();
    for (int key = 0; key < int(show.size()); ++key) {
        lists[RowOfSlot(key)] = show[key].MidiStrings;
    }
    WriteMidiStringsFile(path, lists);
}

} // namespace tarvello
