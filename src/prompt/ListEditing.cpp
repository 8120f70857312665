#include "prompt/ListEditing.h"

#include "prompt/PromptReference.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tarvello {

namespace {

QString FilterEntry(const QString &title, const QStringList &extensions)
{
    QStringList patterns;
    for (const QString &extension : extensions) {
        patterns.append(QStringLiteral("*.") + extension);
    }
    for (const QString &extension : extensions) {
        patterns.append(QStringLiteral("*.") + extension.toUpper());
    }
    return title + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

QString BrowseFilter()
{
    // The pictures of both views are one kind to the operator.
    QStringList titles;
    QList<QStringList> kinds;
    QStringList every;
    for (const TShownFileKind &kind : ShownFileKinds()) {
        const qsizetype at = titles.indexOf(kind.Title);
        if (at < 0) {
            titles.append(kind.Title);
            kinds.append(kind.Extensions);
        } else {
            kinds[at].append(kind.Extensions);
        }
        every.append(kind.Extensions);
    }
    QStringList entries{FilterEntry(QStringLiteral("Text, Graphic, HTML and PDF files"), every)};
    for (qsizetype i = 0; i < titles.size(); ++i) {
        entries.append(FilterEntry(titles.at(i), kinds.at(i)));
    }
    entries.append(QStringLiteral("All files (*)"));
    return entries.join(QStringLiteral(";;"));
}

QString BrowsedFileReference(const QString &chosen, const QString &workingFolder)
{
    const QString working = QDir(workingFolder).canonicalPath();
    const QFileInfo file(chosen);
    const QString folder = QDir(file.absolutePath()).canonicalPath();
    const bool under = !working.isEmpty() && !QDir(working).isRoot() && !folder.isEmpty() &&
                       (folder == working || folder.startsWith(working + QLatin1Char('/')));
    if (!under) {
        return chosen;
    }
    return QDir(working).relativeFilePath(folder + QLatin1Char('/') + file.fileName());
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
