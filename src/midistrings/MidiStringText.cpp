#include "midistrings/MidiStringText.h"

#include "core/HexDigit.h"

#include <QChar>

#include <algorithm>

namespace tarvello {
namespace {

bool EndsLine(QChar ch)
{
    return ch == QLatin1Char('\r') || ch == QLatin1Char('\n') || ch == QChar::ParagraphSeparator ||
           ch == QChar::LineSeparator;
}

bool IsHexDigit(QChar ch)
{
    return HexDigitValue(ch.unicode()) >= 0;
}

// Separates the groups of a line that is no MIDI string.
bool SeparatesGroups(QChar ch)
{
    return ch.isSpace() || ch == QLatin1Char(',') || ch == QLatin1Char(';');
}

QList<QStringView> Groups(QStringView line, bool (*separates)(QChar))
{
    QList<QStringView> groups;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        const bool boundary = i == line.size() || separates(line[i]);
        if (boundary && start >= 0) {
            groups.append(line.sliced(start, i - start));
            start = -1;
        } else if (!boundary && start < 0) {
            start = i;
        }
    }
    return groups;
}

bool IsBlank(QChar ch)
{
    return ch == QLatin1Char(' ');
}

} // namespace

QString MidiStringsToEditorText(const QStringList &strings)
{
    QString text;
    for (const QString &line : strings) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

QList<TTextSpan> MidiStringLineSpans(const QString &text)
{
    QList<TTextSpan> spans;
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar ch = text.at(i);
        if (!EndsLine(ch)) {
            continue;
        }
        spans.append({start, i - start});
        if (ch == QLatin1Char('\r') && i + 1 < length && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
        }
        start = i + 1;
    }
    if (start < length) {
        spans.append({start, length - start});
    }
    return spans;
}

QStringList MidiStringsFromEditorText(const QString &text)
{
    QStringList lines;
    for (const TTextSpan &span : MidiStringLineSpans(text)) {
        lines.append(text.mid(span.Start, span.Length));
    }
    return lines;
}

bool IsGarbledMidiString(QStringView line)
{
    const auto first =
        std::find_if(line.begin(), line.end(), [](QChar ch) { return !ch.isSpace(); });
    if (first == line.end() || *first == MidiStringCommentMark) {
        return false;
    }
    const bool sent = std::all_of(line.begin(), line.end(),
                                  [](QChar ch) { return IsBlank(ch) || IsHexDigit(ch); });
    if (sent) {
        const QList<QStringView> groups = Groups(line, &IsBlank);
        return std::any_of(groups.begin(), groups.end(),
                           [](QStringView group) { return group.size() % 2 != 0; });
    }
    const QList<QStringView> groups = Groups(line, &SeparatesGroups);
    const bool allShort = std::all_of(groups.begin(), groups.end(),
                                      [](QStringView group) { return group.size() <= 2; });
    const bool aByte = std::any_of(groups.begin(), groups.end(), [](QStringView group) {
        return group.size() == 2 && IsHexDigit(group[0]) && IsHexDigit(group[1]);
    });
    return allShort && aByte;
}

QList<int> GarbledMidiStrings(const QStringList &strings)
{
    QList<int> garbled;
    for (int i = 0; i < strings.size(); ++i) {
        if (IsGarbledMidiString(strings[i])) {
            garbled.append(i);
        }
    }
    return garbled;
}

QString MidiStringAsComment(const QString &line)
{
    return QString(QChar(MidiStringCommentMark)) + QLatin1Char(' ') + line;
}

} // namespace tarvello
