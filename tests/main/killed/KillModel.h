#pragma once

// What the show's two files must hold, key by key and slot by slot, as the
// kill test follows them from edit to edit.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace tarvello::test::killed {

// The settings file by key: each key's whole line (without its line end) under
// "section/key" in lower case, as the profile rules match names.
using TSettingsLines = std::map<QString, QByteArray>;
// The MIDI strings file by slot: the lines after each slot's marker.
using TSlotBlocks = std::vector<QList<QByteArray>>;

QString KeyId(const QString &section, const QString &key);

// The files as parsed; an error names what makes a file unreadable: a line
// that is no section, key or comment, a duplicate key, a line end other than
// CR LF, a last line without one, markers missing or out of order.
std::optional<QString> ParseSettings(const QByteArray &bytes, TSettingsLines &keys);
std::optional<QString> ParseMidiStrings(const QByteArray &bytes, TSlotBlocks &blocks);

struct TShowModel {
    TSettingsLines Settings;
    TSlotBlocks Blocks;

    // A key's value as written (after the first "="), UTF-8.
    QString Value(const QString &id) const;
    // The key's line with another value, the key spelled as the file has it.
    QByteArray LineWith(const QString &id, const QString &value) const;
};

// What an edit changes: the keys and slots it gives a new line or block.
struct TChange {
    TSettingsLines Settings;
    std::map<int, QList<QByteArray>> Blocks;
};

// The change edit n makes to a show that holds `model`.
TChange ChangeOfEdit(int n, const TShowModel &model);

// Checks the files as they stand after the kill that followed an edit, against
// the model from before it and the edit's change: every key and slot the edit
// did not touch as it was, those it touched new or (unless `mustHold`) old.
// Returns the failures; `after` is the show the files hold.
QStringList CheckFiles(const TShowModel &before, const TChange &change, bool mustHold,
                       const QByteArray &settings, const QByteArray &midiStrings,
                       TShowModel &after);

} // namespace tarvello::test::killed
