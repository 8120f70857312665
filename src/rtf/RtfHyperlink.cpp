#include "rtf/RtfHyperlink.h"

namespace tarvello {

QString RtfHyperlinkTarget(const QString &instruction)
{
    const QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return QString();
    QString address;
    QString anchor;
    bool nextIsAnchor = false;
    bool nextIsSkipped = false;
    qsizetype i = 9;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar option = text[i + 1].toLower();
            nextIsAnchor = option == QLatin1Char('l');
            nextIsSkipped = option == QLatin1Char('o') || option == QLatin1Char('t');
            i += 2;
            continue;
        }
        QString argument;
        if (c == QLatin1Char('"')) {
            const qsizetype end = text.indexOf(QLatin1Char('"'), i + 1);
            argument = text.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? text.size() : end + 1;
        } else {
            qsizetype end = i;
            while (end < text.size() && !text[end].isSpace())
                ++end;
            argument = text.mid(i, end - i);
            i = end;
        }
        if (nextIsAnchor)
            anchor = argument;
        else if (!nextIsSkipped && address.isEmpty())
            address = argument;
        nextIsAnchor = false;
        nextIsSkipped = false;
    }
    if (!anchor.isEmpty())
        address += QLatin1Char('#') + anchor;
    return address;
}

} // namespace tarvello
