#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tarvello {

// The editor shows a slot's MIDI strings one per line, each ended by a line
// break, so that the text read back gives the same list again: a trailing empty
// string survives an opening of the editor, and no list gains one.
QString MidiStringsToEditorText(const QStringList &strings);

// The lines of the editor's text as MIDI strings: every line unchanged, empty
// lines included, except an empty last line (text ending with a line break).
// A lone line break therefore gives one empty string, an empty text none.
// CR LF, CR, LF, the paragraph and the line separator all end a line.
QStringList MidiStringsFromEditorText(const QString &text);

// Where each of those lines stands in the text: its first character and its
// length, in the same order.
struct TTextSpan {
    qsizetype Start = 0;
    qsizetype Length = 0;
};
QList<TTextSpan> MidiStringLineSpans(const QString &text);

// The mark that makes a line a comment of the operator's: a line that begins
// with it (after blanks) is never sent and never questioned.
inline constexpr char16_t MidiStringCommentMark = u'#';

// A line that would go out other than as written, or that looks like a
// message but would not go out at all. Lines of hex digits and blanks are
// sent with the blanks taken out and the digits paired from the left, so a
// group with an odd count of digits shifts or drops what follows it ('B1 7 64'
// goes out as B1 76). A line with any other character is never sent: it is a
// comment, unless every group of it (between blanks, tabs, commas or
// semicolons) is at most two characters long and one of them is a whole hex
// byte, as in 'C1 3O' (a letter O) or 'B2,07,93'. Empty and blank lines and
// lines that begin with the comment mark are fine.
bool IsGarbledMidiString(QStringView line);

// The indexes of the garbled lines among the strings.
QList<int> GarbledMidiStrings(const QStringList &strings);

// The line kept as a comment: behind the comment mark, never sent.
QString MidiStringAsComment(const QString &line);

} // namespace tarvello
