#include "midistrings/MidiStringText.h"

#include <QChar>

namespace tarvello {

QString MidiStringsToEditorText(const QStringList &strings)
{
    QString text;
    for (const QString &line : strings) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

QStringList MidiStringsFromEditorText(const QString &text)
{
    QStringList lines;
    QString line;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n') || ch == QChar::ParagraphSeparator ||
            ch == QChar::LineSeparator) {
            if (ch == QLatin1Char('\r') && i + 1 < length && text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            lines.append(line);
            line.clear();
        } else {
            line += ch;
        }
    }
    if (!line.isEmpty()) {
        lines.append(line);
    }
    return lines;
}

} // namespace tarvello
