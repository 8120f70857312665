#pragma once

#include <QString>
#include <QStringList>

namespace tarvello {

// The editor shows a slot's MIDI strings one per line, each ended by a line
// break, so that the text read back gives the same list again: a trailing empty
// string survives an opening of the editor, and no list gains one.
QString MidiStringsToEditorText(const QStringList &strings);

// The lines of the editor's text as MIDI strings: every line unchanged, empty
// lines included, except an empty last line (text ending with a line break).
// A lone line break therefore gives one empty string, an empty text none.
// CR LF, CR, LF and the paragraph separator all end a line.
QStringList MidiStringsFromEditorText(const QString &text);

} // namespace tarvello
