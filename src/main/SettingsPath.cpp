#include "main/SettingsPath.h"

#include <algorithm>

namespace tarvello {

QString SettingsFilePath(const QString &executablePath)
{
    const qsizetype nameStart = std::max(executablePath.lastIndexOf(QLatin1Char('/')),
                                         executablePath.lastIndexOf(QLatin1Char('\\'))) +
                                1;
    const qsizetype dot = executablePath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > nameStart ? executablePath.left(dot) : executablePath;
    return stem + QStringLiteral(".INI");
}

} // namespace tarvello
