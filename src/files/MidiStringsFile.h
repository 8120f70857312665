#pragma once

#include "core/SlotTypes.h"

#include <QString>
#include <QStringList>

#include <array>

namespace tarvello {

class TLineReader;

// The MIDI strings section: for each slot key k from 0 to 122 a marker line
// "Edit k", then the MIDI strings of slot k, one per line, as held.
//
// A marker is a line that is exactly "Edit ", a blank and decimal digits; the
// number itself is not looked at, so the n-th marker opens slot n - 1. A MIDI
// string that would read as a marker is written with a backslash in front
// ("\Edit 5"), and one that already starts with backslashes before such a text
// gets one more, so every string comes back unchanged in its own slot. Files
// holding only bare markers read as they always did.

// True for a marker line.
bool IsMidiStringsMarker(QStringView line);

// A MIDI string as the section stores it, and back.
QString ProtectMidiString(const QString &midiString);
QString UnprotectMidiString(const QString &storedLine);

// The 123 markers with each slot's MIDI strings (lists 1 to 123); list 0 belongs
// to no slot and is not written.
QStringList MidiStringsSectionLines(const TMidiStringLists &lists);

// Reads a section from the reader's current line to the end, appending to
// `lists`: lines ahead of the first marker go to list 0, those after the n-th
// marker to list n. Lines after a 124th marker have no slot and are dropped.
// Returns the number of lines dropped that way.
qsizetype ReadMidiStringsSection(TLineReader &reader, TMidiStringLists &lists);

// The MIDI strings file ("./MidiStrings.txt"), which holds one section and
// nothing else. Reading appends, as above; both throw TError with the file
// error texts and change nothing when the file cannot be opened or written.
void ReadMidiStringsFile(const QString &path, TMidiStringLists &lists);
void WriteMidiStringsFile(const QString &path, const TMidiStringLists &lists);

// The prompt list and file list files: an empty first line (the grids' title
// row), the values of slots 0 to 122 on lines 2 to 124 (text lines or file
// names, by position only), then the MIDI strings section.
using TSlotValues = std::array<QString, SlotCount>;

QStringList ListFileLines(const TSlotValues &values, const TMidiStringLists &lists);

// The slot values of a list file's lines; slots for which the file has no line
// left come back empty.
TSlotValues ListFileValues(const QStringList &lines);

// Appends the MIDI strings section of a list file (line 125 onward, none when the
// file is shorter) to `lists`. Returns the lines dropped after a 124th marker.
qsizetype ReadListFileMidiStrings(const QStringList &lines, TMidiStringLists &lists);

// Whole-file steps for the list commands. Each opens the file before changing
// anything, so on a TError the caller's values and lists are as they were.
void WriteListFile(const QString &path, const TSlotValues &values, const TMidiStringLists &lists);
// Prompt list: the values only; the file's MIDI strings are not read.
TSlotValues ReadPromptListFile(const QString &path);
// File list: the values, and the file's MIDI strings appended to `lists`.
TSlotValues ReadFileListFile(const QString &path, TMidiStringLists &lists);

// The name a list is saved under: ".txt" is added when the file name the
// operator typed has no full stop (a full stop in a folder name does not count).
QString CompleteListFileName(const QString &path);

} // namespace tarvello
