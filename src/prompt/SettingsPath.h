#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tarvello {

// The settings file lies beside the program and bears its name: the
// executable's path with ".INI" in place of its extension, or with ".INI"
// appended when the file name has none (as on Linux). A full stop in a folder
// name, or one that only starts a hidden file's name, is no extension.
QString SettingsFilePath(const QString &executablePath);

// Where the program keeps its settings.
struct TSettingsLocation {
    // The file read at start-up and written at shut-down.
    QString File;
    // A show to start from while `File` does not exist yet; it is only ever
    // read. Empty for none.
    QString StartingPoint;
    // Where the show's MIDI strings file goes with it: the user's configuration
    // folder when the settings live there (an installed program, started from
    // the desktop's menu in the home folder). Empty: the folder the program
    // started in, as for a show folder or the build tree.
    QString MidiStringsFolder;
};

// A program that may write its settings file beside itself (a build tree, a
// show folder on a stick: the folder may be written, and the file too when it
// is there) keeps its settings there, as it always has. An installed program
// usually may not: its settings then go to the user's
// configuration folder ($XDG_CONFIG_HOME, or ~/.config when that is unset or
// not an absolute path), in a folder "tarvello", under the same file name;
// and a settings file beside the program, put there by whoever installed it,
// is the show the user starts from. With neither an absolute configuration
// folder nor a home folder there is nowhere else: the file beside the program.
TSettingsLocation SettingsLocation(const QString &executablePath, bool besideWritable,
                                   const QString &configHome, const QString &home);

// The show a user's own settings start from: the one put beside the program
// by whoever installed it, or while there is none the demo show installed
// with the program (`installedDemo`, its settings file), or else none.
QString StartingShow(const QString &besideProgram, const QString &installedDemo,
                     const std::function<bool(const QString &)> &exists);

// Where this running program keeps its settings, by the rules above, or the
// file chosen for this run. The folder must take new files, as the file is
// replaced whole at every save; a file there that may not be written (a show
// locked by whoever put it there) is read but not written.
TSettingsLocation ProgramSettingsLocation();

// Chooses the settings file of this run (the command line's): from then on
// ProgramSettingsLocation() gives `file`, with no starting point and the MIDI
// strings file beside it. Called once, before the window is made.
void ChooseSettingsFile(const QString &file);

// The folder of the installed help page and the settings folder's name.
inline constexpr const char *ProgramFolderName = "tarvello";

// The help page the F1 key opens, resolved against the current directory at
// the moment of the key press.
inline constexpr const char *HelpPageName = "TarvelloGettingStarted.html";

// The show's MIDI strings file: "MidiStrings.txt" in the folder the program
// was started in (or in TSettingsLocation::MidiStringsFolder), as an absolute path. It is worked
// out once at start-up, because the file dialogs move the current directory: the file the shut-down
// writes must be the one the start-up read, not one in the folder of the last
// list or prompt file chosen (which may hold another show's MIDI strings).
QString MidiStringsFilePath(const QString &startFolder);

// The MIDI strings file the start-up reads: the show's own (`file`), or while
// there is none yet the first of `earlier` that exists (the one kept where the
// program started, where an installed program kept it before it moved beside
// the settings, so that moving the file loses nobody's MIDI strings; then the
// starting show's). Saving always writes `file`.
QString MidiStringsFileToRead(const QString &file, const QStringList &earlier,
                              const std::function<bool(const QString &)> &exists);

} // namespace tarvello
