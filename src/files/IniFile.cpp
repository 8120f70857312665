#include "files/IniFile.h"
#include "core/HexDigit.h"

#include "core/TarvelloError.h"
#include "files/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <limits>

namespace tarvello {

namespace {

// What the profile rules trim: blanks, tabs and the other ASCII spacing
// characters, and control-Z, which DOS-era editors left at the end of files.
bool IsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\v' || u == u'\f' || u == 0x1A;
}

QStringView TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

bool IsQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// A value the reader would change (trim or unquote) goes inside double quotes.
QString StoredValue(const QString &value)
{
    const QString single = StorableLine(value);
    if (single.isEmpty()) {
        return single;
    }
    const QChar first = single.front();
    const QChar last = single.back();
    if (IsBlank(first) || IsBlank(last) || (IsQuote(first) && first == last)) {
        return QLatin1Char('"') + single + QLatin1Char('"');
    }
    return single;
}

QStringList SplitIniLines(const QString &text)
{
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < size) {
        lines.append(text.mid(start));
    }
    return lines;
}

std::optional<quint32> ParseHex(QStringView digits)
{
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    quint64 value = 0;
    for (const QChar c : digits) {
        const int digit = HexDigitValue(c.unicode());
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<quint64>(digit);
        if (value > std::numeric_limits<quint32>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<quint32>(value);
}

} // namespace

std::optional<int> ParseProfileInteger(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'))) {
        negative = text.front() == QLatin1Char('-');
        text = text.sliced(1);
    }
    if (text.startsWith(QLatin1Char('$')) || text.startsWith(QLatin1String("0x")) ||
        text.startsWith(QLatin1String("0X"))) {
        const auto bits = ParseHex(text.sliced(text.front() == QLatin1Char('$') ? 1 : 2));
        if (!bits) {
            return std::nullopt;
        }
        // Two's complement wrap, as a 32-bit colour or mask is meant.
        const quint32 pattern = negative ? 0u - *bits : *bits;
        return static_cast<int>(pattern);
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1) {
            return std::nullopt;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

TIniFile::TIniFile(QString fileName) : Path(std::move(fileName)) {}

TIniFile::TIniFile(QString fileName, QString startingPoint)
    : Path(std::move(fileName)), StartingPoint(std::move(startingPoint))
{
}

TIniFile::TLine TIniFile::ParseLine(const QString &text)
{
    TLine line;
    line.Text = text;
    const QStringView trimmed = TrimBlanks(text);
    if (trimmed.isEmpty() || trimmed.front() == QLatin1Char(';')) {
        return line;
    }
    if (trimmed.front() == QLatin1Char('[')) {
        const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            line.Kind = TLineKind::Section;
            line.Name = TrimBlanks(trimmed.sliced(1, close - 1)).toString();
        }
        return line;
    }
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0) {
        return line;
    }
    line.Kind = TLineKind::Key;
    line.Name = TrimBlanks(trimmed.first(equals)).toString();
    QStringView value = TrimBlanks(trimmed.sliced(equals + 1));
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        value = value.sliced(1, value.size() - 2);
    }
    line.Value = value.toString();
    return line;
}

TIniFile::TLine TIniFile::KeyLine(const QString &key, const QString &value)
{
    TLine line;
    line.Kind = TLineKind::Key;
    line.Name = key;
    line.Value = value;
    line.Text = key + QLatin1Char('=') + StoredValue(value);
    return line;
}

QString TIniFile::KeyValueLine(const QString &key, const QString &value)
{
    return KeyLine(key, value).Text;
}

TIniFile::TStamp TIniFile::DiskStamp() const
{
    const QFileInfo info(Path);
    TStamp stamp;
    stamp.Exists = info.exists();
    if (stamp.Exists) {
        stamp.Size = info.size();
        stamp.Modified = info.fileTime(QFileDevice::FileModificationTime);
    }
    return stamp;
}

void TIniFile::SyncWithDisk() const
{
    if (Dirty) {
        return; // pending writes are the truth until they are stored
    }
    const TStamp stamp = DiskStamp();
    if (Loaded && stamp == LoadedStamp) {
        return;
    }
    LoadedStamp = stamp;
    Loaded = true;
    Unreadable = false;
    if (stamp.Exists) {
        Unreadable = !ReadLines(Path);
    } else if (!StartingPoint.isEmpty()) {
        // A starting point that cannot be read costs nothing when the file is
        // saved: it is never written, and the file starts afresh.
        ReadLines(StartingPoint);
    } else {
        Lines.clear();
    }
}

bool TIniFile::ReadLines(const QString &path) const
{
    Lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    const QStringList texts = SplitIniLines(DecodeText(bytes));
    Lines.reserve(texts.size());
    for (const QString &text : texts) {
        Lines.push_back(ParseLine(text));
    }
    return true;
}

qsizetype TIniFile::FindSection(const QString &section) const
{
    for (size_t i = 0; i < Lines.size(); ++i) {
        const TLine &line = Lines[i];
        if (line.Kind == TLineKind::Section &&
            line.Name.compare(section, Qt::CaseInsensitive) == 0) {
            return static_cast<qsizetype>(i);
        }
    }
    return -1;
}

qsizetype TIniFile::FindKey(qsizetype sectionIndex, const QString &key) const
{
    if (sectionIndex < 0) {
        return -1;
    }
    for (size_t i = static_cast<size_t>(sectionIndex) + 1; i < Lines.size(); ++i) {
        const TLine &line = Lines[i];
        if (line.Kind == TLineKind::Section) {
            break;
        }
        if (line.Kind == TLineKind::Key && line.Name.compare(key, Qt::CaseInsensitive) == 0) {
            return static_cast<qsizetype>(i);
        }
    }
    return -1;
}

const TIniFile::TLine *TIniFile::FindValue(const QString &section, const QString &key) const
{
    SyncWithDisk();
    const qsizetype index =
        FindKey(FindSection(TrimBlanks(section).toString()), TrimBlanks(key).toString());
    return index < 0 ? nullptr : &Lines[static_cast<size_t>(index)];
}

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &defaultValue) const
{
    const TLine *line = FindValue(section, key);
    return line ? line->Value : defaultValue;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const TLine *line = FindValue(section, key);
    if (!line) {
        return defaultValue;
    }
    return ParseProfileInteger(line->Value).value_or(defaultValue);
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    const TLine *line = FindValue(section, key);
    if (!line) {
        return defaultValue;
    }
    const std::optional<int> value = ParseProfileInteger(line->Value);
    return value ? *value != 0 : defaultValue;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return FindValue(section, key) != nullptr;
}

bool TIniFile::SectionExists(const QString &section) const
{
    SyncWithDisk();
    return FindSection(TrimBlanks(section).toString()) >= 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = TrimBlanks(section).toString();
    const QString keyName = TrimBlanks(key).toString();
    const auto hasBreak = [](const QString &name) {
        return name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n'));
    };
    if (sectionName.isEmpty() || hasBreak(sectionName) || sectionName.contains(QLatin1Char(']'))) {
        throw TError(QStringLiteral("Invalid section name \"%1\"").arg(section));
    }
    if (keyName.isEmpty() || hasBreak(keyName) || keyName.contains(QLatin1Char('=')) ||
        keyName.front() == QLatin1Char('[') || keyName.front() == QLatin1Char(';')) {
        throw TError(QStringLiteral("Invalid key name \"%1\"").arg(key));
    }

    SyncWithDisk();
    TLine line = KeyLine(keyName, value);
    // What a reader gets back, so reads before the save see the stored value.
    line.Value = ParseLine(line.Text).Value;

    const qsizetype sectionIndex = FindSection(sectionName);
    if (sectionIndex < 0) {
        TLine header;
        header.Kind = TLineKind::Section;
        header.Name = sectionName;
        header.Text = QLatin1Char('[') + sectionName + QLatin1Char(']');
        Lines.push_back(std::move(header));
        Lines.push_back(std::move(line));
    } else if (const qsizetype keyIndex = FindKey(sectionIndex, keyName); keyIndex >= 0) {
        Lines[static_cast<size_t>(keyIndex)] = std::move(line);
    } else {
        size_t insertAt = static_cast<size_t>(sectionIndex) + 1;
        for (size_t i = insertAt; i < Lines.size() && Lines[i].Kind != TLineKind::Section; ++i) {
            if (Lines[i].Kind == TLineKind::Key) {
                insertAt = i + 1;
            }
        }
        Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    }
    Dirty = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray TIniFile::Contents() const
{
    SyncWithDisk();
    QByteArray bytes;
    for (const TLine &line : Lines) {
        bytes.append(line.Text.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

void TIniFile::UpdateFile()
{
    if (!Dirty) {
        return;
    }
    const QString failure = QStringLiteral("Unable to write to %1").arg(Path);
    if (Unreadable) {
        throw TError(failure);
    }
    try {
        SaveFileAtomically(Path, Contents());
    } catch (const TWriteError &error) {
        throw TWriteError(failure, error.cause());
    } catch (const TError &error) {
        throw TWriteError(failure, error.message());
    }
    Dirty = false;
    LoadedStamp = DiskStamp();
}

} // namespace tarvello
