#pragma once

#include <QString>

namespace tarvello {

// The settings file lies beside the program and bears its name: the
// executable's path with ".INI" in place of its extension, or with ".INI"
// appended when the file name has none (as on Linux). A full stop in a folder
// name, or one that only starts a hidden file's name, is no extension.
QString SettingsFilePath(const QString &executablePath);

// The help page the F1 key opens, resolved against the current directory at
// the moment of the key press.
inline constexpr const char *HelpPageName = "TarvelloGettingStarted.html";

} // namespace tarvello
