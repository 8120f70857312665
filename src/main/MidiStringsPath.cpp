#include "main/MidiStringsPath.h"

#include <QDir>

namespace tarvello {

QString MidiStringsFilePath(const QString &startFolder)
{
    return QDir::cleanPath(QDir(startFolder).absoluteFilePath(QStringLiteral("MidiStrings.txt")));
}

} // namespace tarvello
