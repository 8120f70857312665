#include "show/Show.h"

#include "core/TarvelloError.h"

namespace tarvello {
namespace {

void CheckSlot(int slot)
{
    if (slot < 0 || slot >= SlotCount) {
        throw TError(QStringLiteral("There is no slot %1").arg(slot));
    }
}

void CheckTextField(TSlotField field)
{
    if (field == TSlotField::MidiStrings) {
        throw TError(QStringLiteral("MIDI strings are not a text of the slot"));
    }
}

} // namespace

TShow::TShow(QObject *parent) : QObject(parent) {}

std::array<QString, SlotCount> &TShow::Field(TSlotField field)
{
    CheckTextField(field);
    return field == TSlotField::Line ? LineTexts : FileTexts;
}

const std::array<QString, SlotCount> &TShow::Field(TSlotField field) const
{
    CheckTextField(field);
    return field == TSlotField::Line ? LineTexts : FileTexts;
}

const QString &TShow::Text(TSlotField field, int slot) const
{
    CheckSlot(slot);
    return Field(field)[size_t(slot)];
}

const QStringList &TShow::MidiStrings(int slot) const
{
    CheckSlot(slot);
    return Strings[size_t(RowOfSlot(slot))];
}

void TShow::SetText(TSlotField field, int slot, const QString &text)
{
    CheckSlot(slot);
    QString &stored = Field(field)[size_t(slot)];
    if (stored == text) {
        return;
    }
    stored = text;
    emit SlotChanged(slot, field);
}

void TShow::SetMidiStrings(int slot, const QStringList &strings)
{
    CheckSlot(slot);
    QStringList &stored = Strings[size_t(RowOfSlot(slot))];
    if (stored == strings) {
        return;
    }
    stored = strings;
    emit SlotChanged(slot, TSlotField::MidiStrings);
}

void TShow::SetStrayMidiStrings(const QStringList &strings)
{
    if (Strings[0] == strings) {
        return;
    }
    Strings[0] = strings;
    emit SlotChanged(-1, TSlotField::MidiStrings);
}

void TShow::SetTexts(TSlotField field, const std::array<QString, SlotCount> &texts)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        SetText(field, slot, texts[size_t(slot)]);
    }
}

std::array<QString, SlotCount> TShow::Texts(TSlotField field) const
{
    return Field(field);
}

void TShow::SetMidiStringLists(const TMidiStringLists &lists)
{
    SetStrayMidiStrings(lists[0]);
    for (int slot = 0; slot < SlotCount; ++slot) {
        SetMidiStrings(slot, lists[size_t(RowOfSlot(slot))]);
    }
}

void TShow::DeleteFileEntry(int slot)
{
    SetFile(slot, QString());
    SetMidiStrings(slot, {});
}

void TShow::ClearMidiStrings()
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        SetMidiStrings(slot, {});
    }
}

void TShow::ClearTexts(TSlotField field)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        SetText(field, slot, QString());
    }
}

int TShow::MoveEntry(TSlotField field, int slot, TMoveDirection direction)
{
    CheckSlot(slot);
    TSlotRows rows = Rows(field);
    const int neighbour = tarvello::MoveEntry(rows, RowOfSlot(slot), direction);
    if (neighbour == 0) {
        return -1;
    }
    ApplyRows(field, rows);
    return SlotOfRow(neighbour);
}

TSlotRows TShow::Rows(TSlotField field) const
{
    TSlotRows rows;
    const std::array<QString, SlotCount> &texts = Field(field);
    for (int slot = 0; slot < SlotCount; ++slot) {
        rows.Values[size_t(RowOfSlot(slot))] = texts[size_t(slot)];
    }
    rows.Strings = Strings;
    return rows;
}

void TShow::ApplyRows(TSlotField field, const TSlotRows &rows)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        SetText(field, slot, rows.Values[size_t(RowOfSlot(slot))]);
    }
    SetMidiStringLists(rows.Strings);
}

} // namespace tarvello
