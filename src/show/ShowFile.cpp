#include "show/ShowFile.h"

#include "core/TarvelloError.h"
#include "files/IniFile.h"
#include "files/MidiStringsFile.h"
#include "files/TextFile.h"

#include <QFileInfo>

namespace tarvello {
namespace {

const QString ShowSection = QStringLiteral("Show");
const QString FilesSection = QStringLiteral("Files");
const QString LinesSection = QStringLiteral("Lines");
const QString StringsHeader = QStringLiteral("[MidiStrings]");

bool IsStringsHeader(const QString &line)
{
    return line.trimmed().compare(StringsHeader, Qt::CaseInsensitive) == 0;
}

} // namespace

QString FileNameKey(int slotKey)
{
    return QStringLiteral("Names %1").arg(slotKey + 1);
}

QString TextLineKey(int slotKey)
{
    return QStringLiteral("Text %1").arg(slotKey + 1);
}

TShowContents ReadShowFile(const QString &path, TShowFileHeader *header)
{
    if (!QFileInfo(path).isFile()) {
        throw TError(QStringLiteral("The show file %1 is missing").arg(path));
    }
    // Read once for the MIDI strings; the key part goes through the settings
    // rules.
    const QStringList lines = ReadTextFile(path);
    const TIniFile file(path);
    if (!file.SectionExists(ShowSection)) {
        throw TError(QStringLiteral("%1 is no show file (it has no [Show] section)").arg(path));
    }
    TShowContents contents;
    for (int slot = 0; slot < SlotCount; ++slot) {
        contents.Files[size_t(slot)] = file.ReadString(FilesSection, FileNameKey(slot), QString());
        contents.Lines[size_t(slot)] = file.ReadString(LinesSection, TextLineKey(slot), QString());
    }
    qsizetype start = 0;
    while (start < lines.size() && !IsStringsHeader(lines[start])) {
        ++start;
    }
    if (start < lines.size()) {
        TLineReader reader(lines.mid(start + 1));
        ReadMidiStringsSection(reader, contents.Strings);
    }
    if (header) {
        header->Name = file.ReadString(ShowSection, QStringLiteral("Name"), QString());
        header->Number = file.ReadInteger(ShowSection, QStringLiteral("Number"), 0);
    }
    return contents;
}

QByteArray ShowFileBytes(const TShowFileHeader &header, const TShowContents &contents)
{
    QStringList lines;
    lines.reserve(2 * SlotCount + 140);
    lines << QLatin1Char('[') + ShowSection + QLatin1Char(']')
          << TIniFile::KeyValueLine(QStringLiteral("Name"), header.Name)
          << QStringLiteral("Number=%1").arg(header.Number) << QString()
          << QLatin1Char('[') + FilesSection + QLatin1Char(']');
    // KeyValueLine keeps each value on its one line.
    for (int slot = 0; slot < SlotCount; ++slot) {
        lines << TIniFile::KeyValueLine(FileNameKey(slot), contents.Files[size_t(slot)]);
    }
    lines << QString() << QLatin1Char('[') + LinesSection + QLatin1Char(']');
    for (int slot = 0; slot < SlotCount; ++slot) {
        lines << TIniFile::KeyValueLine(TextLineKey(slot), contents.Lines[size_t(slot)]);
    }
    lines << QString() << StringsHeader;
    lines << MidiStringsSectionLines(contents.Strings);
    return EncodeTextLines(lines);
}

} // namespace tarvello
