#include "rtf/RtfTokenizer.h"
#include "core/HexDigit.h"

#include <algorithm>
#include <limits>

namespace tarvello {

namespace {

// Control words are at most 32 letters and their numbers at most 10 digits in any
// real file; longer runs are consumed but not kept, so hostile input cannot make
// a name or a number overflow.
constexpr qsizetype MaxWordLength = 32;
constexpr int MaxDigits = 10;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

TRtfToken TRtfTokenizer::next()
{
    TRtfToken token;
    // Line ends carry no meaning in RTF text; skip them between tokens.
    while (Pos < Input.size() && (Input[Pos] == '\r' || Input[Pos] == '\n'))
        ++Pos;
    if (Pos >= Input.size())
        return token;

    const char c = Input[Pos];
    if (c == '{') {
        ++Pos;
        token.kind = TRtfToken::GroupStart;
        return token;
    }
    if (c == '}') {
        ++Pos;
        token.kind = TRtfToken::GroupEnd;
        return token;
    }
    if (c == '\\')
        return readControl();

    const qsizetype start = Pos;
    while (Pos < Input.size()) {
        const char d = Input[Pos];
        if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
            break;
        ++Pos;
    }
    token.kind = TRtfToken::Text;
    token.data = Input.sliced(start, Pos - start);
    return token;
}

TRtfToken TRtfTokenizer::readControl()
{
    TRtfToken token;
    ++Pos; // the backslash
    if (Pos >= Input.size())
        return token; // a lone backslash at the very end

    const char c = Input[Pos];
    if (!IsLetter(c)) {
        ++Pos;
        if (c == '\'') {
            const int high = Pos < Input.size()
                                 ? HexDigitValue(char32_t(static_cast<unsigned char>(Input[Pos])))
                                 : -1;
            const int low =
                Pos + 1 < Input.size()
                    ? HexDigitValue(char32_t(static_cast<unsigned char>(Input[Pos + 1])))
                    : -1;
            if (high < 0 || low < 0) {
                // A broken escape: drop it and read on from the next character.
                token.kind = TRtfToken::Symbol;
                token.param = 0;
                return token;
            }
            Pos += 2;
            token.kind = TRtfToken::Hex;
            token.param = high * 16 + low;
            return token;
        }
        token.kind = TRtfToken::Symbol;
        token.param = static_cast<unsigned char>(c);
        return token;
    }

    const qsizetype nameStart = Pos;
    while (Pos < Input.size() && IsLetter(Input[Pos]))
        ++Pos;
    token.kind = TRtfToken::Word;
    token.data = Input.sliced(nameStart, std::min(Pos - nameStart, MaxWordLength));
    if (Pos - nameStart > MaxWordLength)
        token.data = QByteArrayView(); // no real word is that long: make it unknown

    bool negative = false;
    if (Pos + 1 < Input.size() && Input[Pos] == '-' && IsDigit(Input[Pos + 1])) {
        negative = true;
        ++Pos;
    }
    if (Pos < Input.size() && IsDigit(Input[Pos])) {
        long long value = 0;
        int digits = 0;
        while (Pos < Input.size() && IsDigit(Input[Pos])) {
            if (digits < MaxDigits)
                value = value * 10 + (Input[Pos] - '0');
            ++digits;
            ++Pos;
        }
        if (negative)
            value = -value;
        value = std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max());
        token.param = static_cast<int>(value);
        token.hasParam = true;
    }
    // One blank after a control word is its delimiter, not text.
    if (Pos < Input.size() && Input[Pos] == ' ')
        ++Pos;

    if (token.data == QByteArrayView("bin") && token.hasParam && token.param > 0) {
        const qsizetype length = std::min<qsizetype>(token.param, Input.size() - Pos);
        token.kind = TRtfToken::Binary;
        token.data = Input.sliced(Pos, length);
        Pos += length;
    }
    return token;
}

void TRtfTokenizer::skipGroup()
{
    int depth = 1;
    while (Pos < Input.size()) {
        const char c = Input[Pos];
        if (c == '{') {
            ++depth;
            ++Pos;
        } else if (c == '}') {
            ++Pos;
            if (--depth == 0)
                return;
        } else if (c == '\\') {
            // \bin data may hold braces, so read control words properly here.
            const TRtfToken token = readControl();
            (void)token;
        } else {
            ++Pos;
        }
    }
}

} // namespace tarvello
