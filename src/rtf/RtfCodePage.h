#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

class QStringDecoder;

namespace tarvello {

// Windows code page numbers as RTF names them.
constexpr int RtfCodePageAnsi = 1252;
constexpr int RtfCodePageMac = 10000;
constexpr int RtfCodePagePc = 437;
constexpr int RtfCodePagePca = 850;
// Not a real code page: text in a symbol font (\fcharset2), whose bytes name glyphs.
constexpr int RtfCodePageSymbol = -2;
constexpr int RtfCodePageWingdings = -3;

// The code page of a font's \fcharsetN, or 0 when the charset says "use the
// document's code page".
int RtfCharsetCodePage(int charset);

// The code page for text in a font of the given name and charset (-1 when the font
// table gives none), or 0 for the document's code page.
int RtfFontCodePage(const QString &name, int charset);

// Turns bytes of text into Unicode for any code page a document names, keeping
// one decoder per code page. A double-byte character must come in one call: the
// parser gathers a run of text and escapes before it decodes them.
class TRtfTextDecoder {
public:
    TRtfTextDecoder();
    ~TRtfTextDecoder();

    QString decode(int codePage, QByteArrayView bytes);

private:
    QStringDecoder &decoderFor(int codePage);

    std::map<int, std::unique_ptr<QStringDecoder>> Decoders;
};

} // namespace tarvello
