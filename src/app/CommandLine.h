#pragma once

#include <QString>
#include <QStringList>

namespace tarvello {

// What the command line asks for.
struct TCommandLine {
    enum class TAction {
        Run,     // start the program
        Help,    // print the usage and end
        Version, // print the name and version and end
        Error,   // print `Error` and the usage on standard error and end with status 2
    };
    TAction Action = TAction::Run;
    // The settings file to use instead of the usual one, as an absolute path;
    // empty for the usual one.
    QString SettingsFile;
    QString Error;
};

// Reads the program's arguments (the first is the program itself; Qt's own
// options, such as -platform, are taken out by the application object before).
//   -h, --help          the usage
//   -v, --version       "Tarvello" and the version
//   --settings FILE     another show: FILE instead of the usual settings file
//   FILE.INI            the same, as the only argument (what a file manager passes)
// A relative FILE is taken from `currentFolder`. The file need not exist (a new
// show starts empty), but its folder must.
TCommandLine ParseCommandLine(const QStringList &arguments, const QString &currentFolder);

// The usage text for --help, naming the program as `programName`.
QString CommandLineUsage(const QString &programName);

// The answer to --version.
QString VersionAnswer();

} // namespace tarvello
