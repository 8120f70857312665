#pragma once

#include <QByteArrayView>

namespace tarvello {

// One lexical unit of an RTF stream. Names and text point into the caller's
// buffer, which must outlive the token.
struct TRtfToken {
    enum Kind {
        End,        // no more input
        GroupStart, // {
        GroupEnd,   // }
        Word,       // \name or \nameN
        Symbol,     // \x for a non-letter x (\~, \-, \*, \\ ...)
        Hex,        // \'hh: one byte of text in the current code page
        Text,       // a run of plain bytes, line ends removed
        Binary,     // the raw bytes that follow \binN
    };
    Kind kind = End;
    QByteArrayView data; // Word: name; Text, Binary: the bytes
    int param = 0;       // Word: the number; Symbol: the character; Hex: the byte
    bool hasParam = false;
};

// Splits RTF bytes into tokens. It never fails: malformed escapes become text or
// are dropped, over-long words and numbers are cut short, and \bin never reads past
// the end of the input.
class TRtfTokenizer {
public:
    explicit TRtfTokenizer(QByteArrayView input) : Input(input) {}

    TRtfToken next();

    // Jumps over the rest of the group just opened, nested groups included, without
    // tokenising it; the closing brace is consumed.
    void skipGroup();

    bool atEnd() const { return Pos >= Input.size(); }
    qsizetype position() const { return Pos; }

private:
    TRtfToken readControl();

    QByteArrayView Input;
    qsizetype Pos = 0;
};

} // namespace tarvello
