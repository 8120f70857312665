#include "prompt/SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tarvello {
namespace {

// Where the file name starts in a path of either platform's spelling.
qsizetype NameStart(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
}

// The settings file the command line chose for this run; empty for none.
QString &ChosenSettingsFile()
{
    static QString chosen;
    return chosen;
}

} // namespace

QString SettingsFilePath(const QString &executablePath)
{
    const qsizetype nameStart = NameStart(executablePath);
    const qsizetype dot = executablePath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > nameStart ? executablePath.left(dot) : executablePath;
    return stem + QStringLiteral(".INI");
}

TSettingsLocation SettingsLocation(const QString &executablePath, bool besideWritable,
                                   const QString &configHome, const QString &home)
{
    const QString beside = SettingsFilePath(executablePath);
    if (besideWritable) {
        return {beside, {}, {}};
    }
    // A relative configuration folder would depend on where the program was
    // started; the XDG rules say to ignore it.
    QString folder;
    if (QDir::isAbsolutePath(configHome)) {
        folder = configHome;
    } else if (QDir::isAbsolutePath(home)) {
        folder = home + QStringLiteral("/.config");
    } else {
        return {beside, {}, {}};
    }
    const QString own =
        QDir::cleanPath(folder + QLatin1Char('/') + QLatin1String(ProgramFolderName));
    return {own + QLatin1Char('/') + beside.mid(NameStart(beside)), beside, own};
}

QString MidiStringsFilePath(const QString &startFolder)
{
    return QDir::cleanPath(QDir(startFolder).absoluteFilePath(QStringLiteral("MidiStrings.txt")));
}

QString MidiStringsFileToRead(const QString &file, const QStringList &earlier,
                              const std::function<bool(const QString &)> &exists)
{
    if (exists(file)) {
        return file;
    }
    const auto found = std::find_if(earlier.begin(), earlier.end(), exists);
    return found == earlier.end() ? file : *found;
}

QString StartingShow(const QString &besideProgram, const QString &installedDemo,
                     const std::function<bool(const QString &)> &exists)
{
    if (!exists(besideProgram) && !installedDemo.isEmpty() && exists(installedDemo)) {
        return installedDemo;
    }
    return besideProgram;
}

void ChooseSettingsFile(const QString &file)
{
    ChosenSettingsFile() = file;
}

TSettingsLocation ProgramSettingsLocation()
{
    if (const QString &chosen = ChosenSettingsFile(); !chosen.isEmpty()) {
        return {chosen, {}, QFileInfo(chosen).absolutePath()};
    }
    const QString executable = QCoreApplication::applicationFilePath();
    const QFileInfo beside(SettingsFilePath(executable));
    const bool writable =
        QFileInfo(beside.absolutePath()).isWritable() && (!beside.exists() || beside.isWritable());
    TSettingsLocation location =
        SettingsLocation(executable, writable, qEnvironmentVariable("XDG_CONFIG_HOME"),
                         qEnvironmentVariable("HOME"));
    if (!location.StartingPoint.isEmpty()) {
        const QString demo =
            QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/" TARVELLO_DEMO_FROM_PROGRAM "/Tarvello.INI"));
        location.StartingPoint =
            StartingShow(location.StartingPoint, demo,
                         [](const QString &name) { return QFileInfo::exists(name); });
    }
    return location;
}

} // namespace tarvello
