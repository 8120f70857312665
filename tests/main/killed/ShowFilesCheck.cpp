#include "KillModel.h"

#include "KillEdits.h"

#include <algorithm>

namespace tarvello::test::killed {
namespace {

// The file's lines without their CR LF ends, or an error.
std::optional<QString> SplitLines(const QByteArray &bytes, QList<QByteArray> &lines)
{
    if (bytes.isEmpty() || !bytes.endsWith("\r\n")) {
        return QStringLiteral("the last line has no CR LF (%1 bytes)").arg(bytes.size());
    }
    lines = bytes.chopped(2).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray &line = lines[i];
        if (i + 1 < lines.size()) {
            if (!line.endsWith('\r')) {
                return QStringLiteral("line %1 ends in LF alone").arg(i + 1);
            }
            line.chop(1);
        }
        if (line.contains('\r')) {
            return QStringLiteral("line %1 holds a lone CR").arg(i + 1);
        }
    }
    return std::nullopt;
}

QString Shown(const QByteArray &line)
{
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(line));
}

QString Shown(const QList<QByteArray> &block)
{
    QStringList lines;
    for (const QByteArray &line : block) {
        lines.append(QString::fromUtf8(line));
    }
    return QStringLiteral("[%1]").arg(lines.join(QStringLiteral(" | ")));
}

// Compares one key's or slot's content with the model: what the edit did not
// touch as before, what it touched new or, when it need not hold yet, old.
template <typename T>
void CheckOne(const QString &what, const T &found, const T &before, const T *changed, bool mustHold,
              QStringList &failures)
{
    if (!changed) {
        if (found != before) {
            failures.append(QStringLiteral("%1 was not edited but changed: %2, was %3")
                                .arg(what, Shown(found), Shown(before)));
        }
        return;
    }
    if (found == *changed || (!mustHold && found == before)) {
        return;
    }
    failures.append(found == before
                        ? QStringLiteral("%1 lost the edit: still %2, edited to %3")
                              .arg(what, Shown(found), Shown(*changed))
                        : QStringLiteral("%1 holds %2, neither the edit's %3 nor the old %4")
                              .arg(what, Shown(found), Shown(*changed), Shown(before)));
}

} // namespace

QString KeyId(const QString &section, const QString &key)
{
    return (section.trimmed() + QLatin1Char('/') + key.trimmed()).toLower();
}

std::optional<QString> ParseSettings(const QByteArray &bytes, TSettingsLines &keys)
{
    keys.clear();
    QList<QByteArray> lines;
    if (auto error = SplitLines(bytes, lines)) {
        return error;
    }
    QString section;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';')) {
            continue;
        }
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            section = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            return QStringLiteral("line %1 is no key: %2").arg(i + 1).arg(Shown(line));
        }
        const QString id = KeyId(section, QString::fromUtf8(line.left(equals)));
        if (!keys.emplace(id, line).second) {
            return QStringLiteral("key %1 twice").arg(id);
        }
    }
    return std::nullopt;
}

std::optional<QString> ParseMidiStrings(const QByteArray &bytes, TSlotBlocks &blocks)
{
    blocks.assign(SlotCount, {});
    QList<QByteArray> lines;
    if (auto error = SplitLines(bytes, lines)) {
        return error;
    }
    int slot = -1;
    for (const QByteArray &line : lines) {
        if (line.startsWith("Edit ") && line.size() > 5 &&
            std::all_of(line.begin() + 5, line.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            ++slot;
            if (slot >= SlotCount || line != "Edit " + QByteArray::number(slot)) {
                return QStringLiteral("marker %1 where slot %2's belongs")
                    .arg(Shown(line))
                    .arg(slot);
            }
            continue;
        }
        if (slot < 0) {
            return QStringLiteral("lines ahead of the first marker");
        }
        blocks[size_t(slot)].append(line);
    }
    if (slot != SlotCount - 1) {
        return QStringLiteral("%1 markers, not %2").arg(slot + 1).arg(SlotCount);
    }
    return std::nullopt;
}

QString TShowModel::Value(const QString &id) const
{
    const auto found = Settings.find(id);
    if (found == Settings.end()) {
        return QString();
    }
    const QByteArray &line = found->second;
    return QString::fromUtf8(line.mid(line.indexOf('=') + 1));
}

QByteArray TShowModel::LineWith(const QString &id, const QString &value) const
{
    const auto found = Settings.find(id);
    const QByteArray key = found == Settings.end() ? id.section(QLatin1Char('/'), 1).toUtf8()
                                                   : found->second.left(found->second.indexOf('='));
    return key + '=' + value.toUtf8();
}

QStringList CheckFiles(const TShowModel &before, const TChange &change, bool mustHold,
                       const QByteArray &settings, const QByteArray &midiStrings, TShowModel &after)
{
    QStringList failures;
    after = before;
    if (auto error = ParseSettings(settings, after.Settings)) {
        failures.append(QStringLiteral("the settings file does not parse: ") + *error);
        after.Settings = before.Settings;
    } else {
        for (const auto &[id, line] : before.Settings) {
            if (!after.Settings.count(id)) {
                failures.append(QStringLiteral("key %1 is gone").arg(id));
            }
        }
        for (const auto &[id, line] : after.Settings) {
            const auto old = before.Settings.find(id);
            if (old == before.Settings.end()) {
                failures.append(QStringLiteral("key %1 appeared: %2").arg(id, Shown(line)));
                continue;
            }
            const auto edited = change.Settings.find(id);
            CheckOne(QStringLiteral("key ") + id, line, old->second,
                     edited == change.Settings.end() ? nullptr : &edited->second, mustHold,
                     failures);
        }
    }
    if (auto error = ParseMidiStrings(midiStrings, after.Blocks)) {
        failures.append(QStringLiteral("the MIDI strings file does not parse: ") + *error);
        after.Blocks = before.Blocks;
    } else {
        for (int slot = 0; slot < SlotCount; ++slot) {
            const auto edited = change.Blocks.find(slot);
            CheckOne(QStringLiteral("MIDI strings of slot %1").arg(slot),
                     after.Blocks[size_t(slot)], before.Blocks[size_t(slot)],
                     edited == change.Blocks.end() ? nullptr : &edited->second, mustHold, failures);
        }
    }
    return failures;
}

} // namespace tarvello::test::killed
