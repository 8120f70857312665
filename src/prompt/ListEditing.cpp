#include "prompt/ListEditing.h"

#include <QStringList>

namespace tarvello {

QString BrowseFilter()
{
    const QStringList extensions{"TXT", "RTF", "PDF", "HTM", "HTML", "BMP", "GIF", "JPG"};
    QStringList patterns;
    for (const QString &extension : extensions) {
        patterns.append(QStringLiteral("*.") + extension);
    }
    for (const QString &extension : extensions) {
        patterns.append(QStringLiteral("*.") + extension.toLower());
    }
    return QStringLiteral("Text, Graphic, HTML and PDF files (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

QString BrowseStartDirectory(const QString &directory)
{
    if (directory.size() <= 1) {
        return directory;
    }
    const QChar last = directory.back();
    const bool separator = last == QLatin1Char('\\') || last == QLatin1Char('/');
    if (separator && directory.at(directory.size() - 2) != QLatin1Char(':')) {
        return directory.left(directory.size() - 1);
    }
    return directory;
}

QPoint GridMenuPoint(QPoint windowTopLeft, QPoint clickInGrid)
{
    return {windowTopLeft.x() + clickInGrid.x() + 10, windowTopLeft.y() + clickInGrid.y()};
}

QString DeleteEntryQuestion()
{
    return QStringLiteral("Are you sure you want to delete the entry and Midi Strings?");
}

QString ClearMidiStringsQuestion()
{
    return QStringLiteral("Are you sure you want to clear all the Midi Message data?");
}

QString ClearAllPromptsQuestion()
{
    return QStringLiteral("Are you sure you want to clear all the text lines?");
}

QString ClearFileListQuestion()
{
    return QStringLiteral("Are you sure you want to clear all the file names ?");
}

QString PushDownQuestion()
{
    return QStringLiteral("Pushdown ? (Entries ,may be deleted at the end)\r\n'No'  to overwrite "
                          "the entries");
}

} // namespace tarvello
