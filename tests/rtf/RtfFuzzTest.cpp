#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <random>

namespace tarvello {
namespace {

// A sheet that uses every part of the reader, as the seed for mutations.
QByteArray SeedDocument()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\fcharset128 MS Gothic;}{\\f2 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;}"
           "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Set}}\\uc1\\pard\\qc\\f0\\fs48 "
           "{\\b Verse 1}\\par\\pard\\li720\\fi-360{\\f2\\'b7}\\tab caf\\'e9 \\u8364? "
           "{\\f1\\'82\\'a0}\\line {\\cf1\\ul Chorus}\\par"
           "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org\"}}{\\fldrslt link}}\\par"
           "\\trowd\\cellx2000\\cellx4000\\pard\\intbl A\\cell\\pard\\intbl B\\cell\\row"
           "\\pard{\\pict\\pngblip\\picwgoal600\\pichgoal600 " +
           png.toHex() + "}{\\*\\unknown x}\\par end}";
}

// Plain text a performer could see: no control characters but tabs and the
// document's own separators.
bool HasOnlyShowableCharacters(const QTextDocument &document)
{
    const QString raw = document.toRawText();
    return std::all_of(raw.begin(), raw.end(),
                       [](QChar c) { return c.unicode() >= 0x20 || c == QLatin1Char('\t'); });
}

TEST(RtfFuzzTest, RandomBytesAlwaysGiveADocument)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 3000);
    // Bytes drawn mostly from RTF's own alphabet reach deeper into the reader
    // than uniform noise does.
    const QByteArray alphabet = "{}\\\\\\'*0123456789abcdefuclpartbinfsx;- \r\n";
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    QTextDocument document;
    for (int round = 0; round < 600; ++round) {
        QByteArray input = round % 2 ? "{\\rtf1 " : "";
        const int size = length(random);
        for (int i = 0; i < size; ++i)
            input.append(round % 3 ? alphabet[pick(random)] : static_cast<char>(byte(random)));
        ReadRtf(input, document);
        ASSERT_GE(document.blockCount(), 1);
        ASSERT_TRUE(HasOnlyShowableCharacters(document)) << "round " << round;
    }
}

TEST(RtfFuzzTest, MutatedSheetsAlwaysGiveADocument)
{
    const QByteArray seed = SeedDocument();
    QTextDocument document;
    ReadRtf(seed, document);
    ASSERT_TRUE(document.toPlainText().contains(QStringLiteral("Chorus")));

    std::mt19937 random(4711);
    const QByteArray specials = "{}\\'*;0123456789 ";
    for (int round = 0; round < 1500; ++round) {
        QByteArray input = seed;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !input.isEmpty(); ++e) {
            const qsizetype at = static_cast<qsizetype>(random() % input.size());
            switch (random() % 5) {
            case 0:
                input[at] = static_cast<char>(random() % 256);
                break;
            case 1:
                input.insert(at, specials[static_cast<qsizetype>(random() % specials.size())]);
                break;
            case 2:
                input.remove(at, static_cast<qsizetype>(random() % 64));
                break;
            case 3:
                input.insert(at, input.mid(static_cast<qsizetype>(random() % input.size()),
                                           static_cast<qsizetype>(random() % 128)));
                break;
            default:
                input.truncate(at);
                break;
            }
        }
        ReadRtf(input, document);
        ASSERT_GE(document.blockCount(), 1);
        ASSERT_TRUE(HasOnlyShowableCharacters(document)) << "round " << round;
    }
}

TEST(RtfFuzzTest, StrayBracesLoseNoWords)
{
    std::mt19937 random(99);
    QTextDocument document;
    for (int round = 0; round < 200; ++round) {
        QByteArray input = "{\\rtf1\\ansi ";
        QStringList words;
        for (int w = 0; w < 30; ++w) {
            const QString word = QStringLiteral("w%1x%2").arg(round).arg(w);
            words.append(word);
            input += word.toLatin1();
            const unsigned choice = random() % 6;
            input += choice == 0 ? "}" : choice == 1 ? "{" : choice == 2 ? "{\\b " : " ";
            input += ' ';
        }
        ReadRtf(input, document);
        const QString text = document.toPlainText();
        for (const QString &word : words)
            ASSERT_TRUE(text.contains(word)) << word.toStdString() << " lost from " << input.data();
    }
}

} // namespace
} // namespace tarvello
