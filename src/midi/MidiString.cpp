#include "midi/MidiString.h"
#include "core/HexDigit.h"

#include <QString>

namespace tarvello {

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
