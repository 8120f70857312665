#include "midi/MidiString.h"

#include <QString>

namespace tarvello {

namespace {

// ASCII only: a full-width digit or any other Unicode digit is not MIDI.
int HexDigitValue(char16_t c) noexcept
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    return -1;
}

} // namespace

bool IsMidiStringText(QStringView text) noexcept
{
    for (const QChar c : text) {
        if (c.unicode() != u' ' && HexDigitValue(c.unicode()) < 0) {
            return false;
        }
    }
    return true;
}

bool IsSendableMidiString(QStringView text) noexcept
{
    if (!IsMidiStringText(text)) {
        return false;
    }
    int digits = 0;
    for (const QChar c : text) {
        if (c.unicode() != u' ' && ++digits == 2) {
            return true;
        }
    }
    return false;
}

QByteArray HexToBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    int high = -1;
    for (const QChar c : text) {
        const int value = HexDigitValue(c.unicode());
        if (value < 0) {
            continue;
        }
        if (high < 0) {
            high = value;
        } else {
            bytes.append(static_cast<char>(high * 16 + value));
            high = -1;
        }
    }
    return bytes;
}

QString BytesToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace tarvello
