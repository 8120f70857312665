#include "CommandLine.h"

#include "core/Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace tarvello {
namespace {

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show this help and end."));
const QCommandLineOption VersionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the name and version and end."));
const QCommandLineOption SettingsOption(
    QStringLiteral("settings"),
    QStringLiteral("Use the show in FILE instead of the usual settings file. The program starts "
                   "in FILE's folder, where the show's relative file names and its MIDI strings "
                   "file (MidiStrings.txt) are found."),
    QStringLiteral("FILE"));

// One parser for the arguments and the usage, so that both name the same
// options.
void Describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Tarvello: a prompter for musicians on stage, driven by MIDI."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption(HelpOption);
    parser.addOption(VersionOption);
    parser.addOption(SettingsOption);
    parser.addPositionalArgument(QStringLiteral("FILE.INI"),
                                 QStringLiteral("The same as --settings FILE.INI."),
                                 QStringLiteral("[FILE.INI]"));
}

TCommandLine Failed(const QString &error)
{
    return {TCommandLine::TAction::Error, {}, error};
}

} // namespace

TCommandLine ParseCommandLine(const QStringList &arguments, const QString &currentFolder)
{
    QCommandLineParser parser;
    Describe(parser);
    if (!parser.parse(arguments)) {
        return Failed(parser.errorText());
    }
    if (parser.isSet(HelpOption)) {
        return {TCommandLine::TAction::Help, {}, {}};
    }
    if (parser.isSet(VersionOption)) {
        return {TCommandLine::TAction::Version, {}, {}};
    }
    QStringList files = parser.values(SettingsOption);
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        // What a file manager passes for "Open with": only a settings file
        // makes sense, and anything else is more likely a mistyped option.
        if (!positional.front().endsWith(QStringLiteral(".INI"), Qt::CaseInsensitive)) {
            return Failed(QStringLiteral("Not a settings file (.INI): %1").arg(positional.front()));
        }
        files += positional;
    }
    if (files.size() > 1) {
        return Failed(QStringLiteral("One settings file at a time."));
    }
    if (files.isEmpty()) {
        return {};
    }
    if (files.front().isEmpty()) {
        return Failed(QStringLiteral("No settings file named."));
    }
    const QFileInfo file(QDir(currentFolder).absoluteFilePath(files.front()));
    if (file.isDir()) {
        return Failed(QStringLiteral("A folder, not a settings file: %1").arg(files.front()));
    }
    if (!file.dir().exists()) {
        return Failed(QStringLiteral("No folder for the settings file: %1").arg(files.front()));
    }
    return {TCommandLine::TAction::Run, QDir::cleanPath(file.absoluteFilePath()), {}};
}

QString CommandLineUsage(const QString &programName)
{
    QCommandLineParser parser;
    Describe(parser);
    // Qt names the program by its first argument only when an application
    // object exists; --help is answered before there is one.
    QString text = parser.helpText();
    text.remove(0, text.indexOf(QLatin1Char('\n')));
    return QStringLiteral("Usage: %1 [options] [FILE.INI]").arg(programName) + text +
           QStringLiteral("\nWithout a settings file the program keeps its settings beside "
                          "itself\n(Tarvello.INI), or in ~/.config/tarvello/ when it may not "
                          "write there.\nSee tarvello(1).\n");
}

QString VersionAnswer()
{
    return QStringLiteral("Tarvello ") + QLatin1String(ProgramVersion);
}

} // namespace tarvello
