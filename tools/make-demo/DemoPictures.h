#pragma once

#include <QString>

namespace tarvello {

// The stage plan that the welcome page shows: who stands where, which
// keyboard runs the prompter and which one takes its MIDI strings. PNG.
void WriteStagePlan(const QString &path);

// The poster of "Salt and Static", a picture shown on its own with the
// song's ending cue on it. JPEG.
void WritePoster(const QString &path);

// Both throw TError when the picture cannot be written.

} // namespace tarvello
