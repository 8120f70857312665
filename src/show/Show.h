#pragma once

#include "core/SlotTypes.h"
#include "show/BlockCopy.h"
#include "show/SlotMove.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace tarvello {

// The two texts a slot holds: the line shown in "Text Line" display and the
// file reference shown in "File" display. A slot's MIDI strings are its third
// field.
enum class TSlotField { Line, File, MidiStrings };

// The show: 123 slots, each with a text line, a file reference and the MIDI
// strings sent when it is selected. This is the one store of them; the grids
// of the edit pages are views of it, and everything that changes a slot goes
// through it, so that each change is announced once.
class TShow : public QObject {
    Q_OBJECT

public:
    explicit TShow(QObject *parent = nullptr);

    // Slots outside 0..122 throw TError.
    const QString &Text(TSlotField field, int slot) const;
    const QString &Line(int slot) const { return Text(TSlotField::Line, slot); }
    const QString &File(int slot) const { return Text(TSlotField::File, slot); }
    const QStringList &MidiStrings(int slot) const;
    // The lines that stood ahead of the first slot marker of a MIDI strings
    // file: they belong to no slot and are never sent nor saved.
    const QStringList &StrayMidiStrings() const { return Strings[0]; }
    // Every slot's MIDI strings by grid row (row k + 1 is slot k, row 0 the
    // stray lines), as the MIDI strings and list files lay them out.
    const TMidiStringLists &MidiStringLists() const { return Strings; }

    void SetText(TSlotField field, int slot, const QString &text);
    void SetLine(int slot, const QString &text) { SetText(TSlotField::Line, slot, text); }
    void SetFile(int slot, const QString &text) { SetText(TSlotField::File, slot, text); }
    void SetMidiStrings(int slot, const QStringList &strings);
    void SetStrayMidiStrings(const QStringList &strings);
    // All 123 texts of one field at once (a list file, the settings file).
    void SetTexts(TSlotField field, const std::array<QString, SlotCount> &texts);
    std::array<QString, SlotCount> Texts(TSlotField field) const;
    // Every list replaced (row-indexed as MidiStringLists()).
    void SetMidiStringLists(const TMidiStringLists &lists);

    // The edits the list pages offer, on one field and the MIDI strings.
    // "Delete" on the file list: the reference and the slot's MIDI strings.
    void DeleteFileEntry(int slot);
    // Every slot's MIDI strings cleared (the stray lines are not the
    // operator's to clear).
    void ClearMidiStrings();
    // Every slot's text of the field cleared, MIDI strings left alone.
    void ClearTexts(TSlotField field);
    // Moves the entry of `slot` one place; returns the slot where it now
    // stands, or -1 when there is no neighbour that way.
    int MoveEntry(TSlotField field, int slot, TMoveDirection direction);
    // The rows of one field and the MIDI strings, as block copies take them,
    // and the same written back (only what differs is changed).
    TSlotRows Rows(TSlotField field) const;
    void ApplyRows(TSlotField field, const TSlotRows &rows);

signals:
    // One per change of one slot's field; `slot` is -1 for the stray lines.
    void SlotChanged(int slot, tarvello::TSlotField field);

private:
    std::array<QString, SlotCount> &Field(TSlotField field);
    const std::array<QString, SlotCount> &Field(TSlotField field) const;

    std::array<QString, SlotCount> LineTexts;
    std::array<QString, SlotCount> FileTexts;
    TMidiStringLists Strings;
};

} // namespace tarvello
