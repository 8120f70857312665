#include "rtf/RtfCodePage.h"

#include <QStringDecoder>

namespace tarvello {

int RtfCharsetCodePage(int charset)
{
    switch (charset) {
    case 2:
        return RtfCodePageSymbol;
    case 77:
        return RtfCodePageMac;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // ANSI, default and unknown charsets follow the document
    }
}

int RtfFontCodePage(const QString &name, int charset)
{
    if (name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
        return RtfCodePageWingdings;
    if (charset >= 0)
        return RtfCharsetCodePage(charset);
    // Old writers leave the charset out; the Symbol font still holds symbols.
    if (name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return RtfCodePageSymbol;
    return 0;
}

namespace {

QString EncodingName(int codePage)
{
    if (codePage == RtfCodePageMac)
        return QStringLiteral("macintosh");
    if (codePage >= 437 && codePage <= 869)
        return QStringLiteral("IBM%1").arg(codePage);
    return QStringLiteral("windows-%1").arg(codePage);
}

// The Symbol font's bullets and arrows, the glyphs lyric sheets use; other
// bytes of a symbol font are shown as Latin-1, which keeps digits and letters.
QChar SymbolGlyph(unsigned char byte)
{
    switch (byte) {
    case 0xB7:
        return QChar(0x2022); // bullet
    case 0xA7:
        return QChar(0x2663); // club
    case 0xA8:
        return QChar(0x2666); // diamond
    case 0xA9:
        return QChar(0x2665); // heart
    case 0xAA:
        return QChar(0x2660); // spade
    case 0xAB:
        return QChar(0x2194);
    case 0xAC:
        return QChar(0x2190);
    case 0xAD:
        return QChar(0x2191);
    case 0xAE:
        return QChar(0x2192);
    case 0xAF:
        return QChar(0x2193);
    case 0xB0:
        return QChar(0x00B0);
    case 0xB1:
        return QChar(0x00B1);
    case 0xD7:
        return QChar(0x22C5);
    case 0xE0:
        return QChar(0x25CA);
    default:
        return QChar(byte);
    }
}

// Wingdings bullets and marks as list bullets use them.
QChar WingdingsGlyph(unsigned char byte)
{
    switch (byte) {
    case 0x6C:
        return QChar(0x25CF); // black circle
    case 0x6E:
        return QChar(0x25A0); // black square
    case 0x71:
        return QChar(0x2751);
    case 0x76:
        return QChar(0x2756);
    case 0x9F:
        return QChar(0x2022);
    case 0xA7:
        return QChar(0x25AA); // small black square
    case 0xA8:
        return QChar(0x25FB);
    case 0xD8:
        return QChar(0x27A2); // arrowhead
    case 0xE0:
        return QChar(0x2192);
    case 0xE8:
        return QChar(0x2794);
    case 0xFB:
        return QChar(0x2717); // ballot x
    case 0xFC:
        return QChar(0x2713); // check mark
    case 0xFE:
        return QChar(0x2611);
    default:
        return QChar(0x2022);
    }
}

} // namespace

TRtfTextDecoder::TRtfTextDecoder() = default;
TRtfTextDecoder::~TRtfTextDecoder() = default;

QStringDecoder &TRtfTextDecoder::decoderFor(int codePage)
{
    auto found = Decoders.find(codePage);
    if (found != Decoders.end())
        return *found->second;
    auto decoder = std::make_unique<QStringDecoder>(EncodingName(codePage).toLatin1().constData());
    if (!decoder->isValid()) {
        // An unknown code page: Windows-1252 is what most such files are in, and
        // Latin-1 stands in should even that be missing.
        decoder = std::make_unique<QStringDecoder>("windows-1252");
        if (!decoder->isValid())
            decoder = std::make_unique<QStringDecoder>(QStringConverter::Latin1);
    }
    return *Decoders.emplace(codePage, std::move(decoder)).first->second;
}

QString TRtfTextDecoder::decode(int codePage, QByteArrayView bytes)
{
    if (codePage == RtfCodePageSymbol || codePage == RtfCodePageWingdings) {
        QString text;
        text.reserve(bytes.size());
        for (const char byte : bytes) {
            const auto value = static_cast<unsigned char>(byte);
            if (value < 0x20)
                text.append(QChar(value));
            else if (codePage == RtfCodePageSymbol)
                text.append(SymbolGlyph(value));
            else
                text.append(value < 0x80 && value != 0x6C && value != 0x6E && value != 0x71 &&
                                    value != 0x76
                                ? QChar(value)
                                : WingdingsGlyph(value));
        }
        return text;
    }
    return decoderFor(codePage).decode(bytes);
}

} // namespace tarvello
