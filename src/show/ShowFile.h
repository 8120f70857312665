#pragma once

#include "core/SlotTypes.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace tarvello {

// The key of slot `slotKey` in "Files" ("Names 1" for slot 0) and in "Lines"
// ("Text 1" for slot 0), in the settings file and in a show file alike.
QString FileNameKey(int slotKey);
QString TextLineKey(int slotKey);

// Everything a show holds: its slots' text lines, file references and MIDI
// strings (row-indexed, as the MIDI strings file lays them out).
struct TShowContents {
    std::array<QString, SlotCount> Lines;
    std::array<QString, SlotCount> Files;
    TMidiStringLists Strings;
};

// A show file: the settings file's rules and sections for the slots, so a
// show can be read (and mended) like the settings file, and copied to another
// machine on its own:
//   [Show]         Name, and the Number it had where it was written
//   [Files]        "Names 1" ... as the settings file keeps them
//   [Lines]        "Text 1" ...
//   [MidiStrings]  to the end of the file: the MIDI strings section, as the
//                  MIDI strings file holds it
struct TShowFileHeader {
    QString Name;
    int Number = 0;
};

// Reads a show file. Throws TError naming the file when it cannot be read or
// is no show file (no "[Show]" section); nothing is changed then.
TShowContents ReadShowFile(const QString &path, TShowFileHeader *header = nullptr);
// The bytes of a show file.
QByteArray ShowFileBytes(const TShowFileHeader &header, const TShowContents &contents);

} // namespace tarvello
