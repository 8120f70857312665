#pragma once

// The MIDI string: one line of hexadecimal text that a slot sends as one long
// message. Anything else on a line (a word, a comma, a tab) makes it a comment
// that is never sent, which lets the user annotate the MIDI strings of a slot.

#include <QByteArray>
#include <QStringView>

namespace tarvello {

// True when every character is a hexadecimal digit (either case) or a space.
// The empty line passes too; callers decide what to do with it.
bool IsMidiStringText(QStringView text) noexcept;

// True when the line is to be sent: it passes IsMidiStringText and holds at
// least one byte. A line of blanks, or a single digit, gives no bytes and is
// skipped rather than sent as an empty message.
bool IsSendableMidiString(QStringView text) noexcept;

// The bytes of a MIDI string: spaces removed, digits taken in pairs from the
// left (high nibble first), a last single digit dropped. 'B2 07 93', 'B20793'
// and 'B 20 793' give B2 07 93; 'B2 7 93' gives B2 79. Characters that are not
// hexadecimal digits are skipped like spaces, so any text gives some result.
QByteArray HexToBytes(QStringView text);

// The inverse for display and tests: "B2 07 93".
QString BytesToHex(const QByteArray &bytes);

} // namespace tarvello
