#pragma once

#include <QString>

namespace tarvello {

// The show's MIDI strings file: "MidiStrings.txt" in the folder the program
// was started in, as an absolute path. It is worked out once at start-up,
// because the file dialogs move the current directory: the file the shut-down
// writes must be the one the start-up read, not one in the folder of the last
// list or prompt file chosen (which may hold another show's MIDI strings).
QString MidiStringsFilePath(const QString &startFolder);

} // namespace tarvello
