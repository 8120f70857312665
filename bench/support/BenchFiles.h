#pragma once

// Files that the display benchmarks show, written into a folder of theirs.

#include <QByteArray>
#include <QString>

class QTemporaryDir;

namespace tarvello {

// Writes bytes to `name` in `folder` and gives the file's path.
QString WriteBenchFile(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes);

// An A4 songbook of `pages` pages that cost what sheet music and lyrics cost
// to draw: a title, staves with notes and stems, and a line of words each.
void WriteSongbook(const QString &path, int pages);

// A MIDI strings file of 123 empty slots: a show that starts without the
// box a missing file raises.
QByteArray MidiStringsOfNoSlot();

} // namespace tarvello
