#pragma once

#include <QString>

namespace tarvello {

// Writes the demo's settings file afresh, key by key in the order in which the
// program saves its settings, so that it reads exactly like a file the
// program wrote itself. Throws TError when it cannot be written.
void WriteDemoSettings(const QString &path);

// Writes the MIDI strings file of the demo's slots. Throws TError on failure.
void WriteDemoMidiStrings(const QString &path);

} // namespace tarvello
