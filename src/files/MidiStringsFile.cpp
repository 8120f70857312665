#include "files/MidiStringsFile.h"

#include "files/TextFile.h"

#include <QFileInfo>

namespace tarvello {

namespace {

constexpr QChar Escape = QLatin1Char('\\');
constexpr qsizetype ListFileHeaderLines = 1 + SlotCount;

// Whether `line`, with any backslashes in front taken away, would read as a marker.
bool LooksLikeMarker(QStringView line)
{
    qsizetype start = 0;
    while (start < line.size() && line[start] == Escape) {
        ++start;
    }
    return IsMidiStringsMarker(line.sliced(start));
}

} // namespace

bool IsMidiStringsMarker(QStringView line)
{
    static constexpr QLatin1StringView Word("Edit ");
    if (line.size() <= Word.size() || !line.startsWith(Word)) {
        return false;
    }
    for (const QChar c : line.sliced(Word.size())) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

QString ProtectMidiString(const QString &midiString)
{
    return LooksLikeMarker(midiString) ? Escape + midiString : midiString;
}

QString UnprotectMidiString(const QString &storedLine)
{
    if (storedLine.startsWith(Escape) && LooksLikeMarker(storedLine)) {
        return storedLine.mid(1);
    }
    return storedLine;
}

QStringList MidiStringsSectionLines(const TMidiStringLists &lists)
{
    QStringList lines;
    for (int slot = 0; slot < SlotCount; ++slot) {
        lines.append(QStringLiteral("Edit %1").arg(slot));
        for (const QString &midiString : lists[RowOfSlot(slot)]) {
            lines.append(ProtectMidiString(midiString));
        }
    }
    return lines;
}

qsizetype ReadMidiStringsSection(TLineReader &reader, TMidiStringLists &lists)
{
    qsizetype list = 0;
    qsizetype dropped = 0;
    while (!reader.AtEnd()) {
        const QString line = reader.ReadLine();
        if (IsMidiStringsMarker(line)) {
            ++list;
        }
        if (list >= MidiStringListCount) {
            ++dropped;
        } else if (!IsMidiStringsMarker(line)) {
            lists[static_cast<size_t>(list)].append(UnprotectMidiString(line));
        }
    }
    return dropped;
}

void ReadMidiStringsFile(const QString &path, TMidiStringLists &lists)
{
    TLineReader reader(ReadTextFile(path));
    ReadMidiStringsSection(reader, lists);
}

void WriteMidiStringsFile(const QString &path, const TMidiStringLists &lists)
{
    WriteTextFile(path, MidiStringsSectionLines(lists));
}

QStringList ListFileLines(const TSlotValues &values, const TMidiStringLists &lists)
{
    QStringList lines;
    lines.reserve(ListFileHeaderLines + SlotCount);
    lines.append(QString());
    for (const QString &value : values) {
        lines.append(value);
    }
    lines.append(MidiStringsSectionLines(lists));
    return lines;
}

TSlotValues ListFileValues(const QStringList &lines)
{
    TLineReader reader(lines);
    reader.ReadLine(); // the place of the grids' title row
    TSlotValues values;
    for (QString &value : values) {
        value = reader.ReadLine();
    }
    return values;
}

qsizetype ReadListFileMidiStrings(const QStringList &lines, TMidiStringLists &lists)
{
    if (lines.size() <= ListFileHeaderLines) {
        return 0;
    }
    TLineReader reader(lines.mid(ListFileHeaderLines));
    return ReadMidiStringsSection(reader, lists);
}

void WriteListFile(const QString &path, const TSlotValues &values, const TMidiStringLists &lists)
{
    WriteTextFile(path, ListFileLines(values, lists));
}

TSlotValues ReadPromptListFile(const QString &path)
{
    return ListFileValues(ReadTextFile(path));
}

TSlotValues ReadFileListFile(const QString &path, TMidiStringLists &lists)
{
    const QStringList lines = ReadTextFile(path);
    ReadListFileMidiStrings(lines, lists);
    return ListFileValues(lines);
}

QString CompleteListFileName(const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
        return path;
    }
    return path + QStringLiteral(".txt");
}

} // namespace tarvello
