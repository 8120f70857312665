#include "rtf/RtfTokenizer.h"
#include "rtf/RtfCodePage.h"
#include "rtf/RtfHyperlink.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace tarvello {
namespace {

// Tokens written compactly: "{", "}", "\name", "\name=N", "sym:c", "hex:hh",
// "text:..." and "bin:N" (length).
std::vector<std::string> Tokens(QByteArrayView input)
{
    TRtfTokenizer tokenizer(input);
    std::vector<std::string> result;
    for (TRtfToken token = tokenizer.next(); token.kind != TRtfToken::End;
         token = tokenizer.next()) {
        switch (token.kind) {
        case TRtfToken::GroupStart:
            result.push_back("{");
            break;
        case TRtfToken::GroupEnd:
            result.push_back("}");
            break;
        case TRtfToken::Word:
            result.push_back("\\" + token.data.toByteArray().toStdString() +
                             (token.hasParam ? "=" + std::to_string(token.param) : ""));
            break;
        case TRtfToken::Symbol:
            result.push_back("sym:" + (token.param ? std::string(1, static_cast<char>(token.param))
                                                   : std::string()));
            break;
        case TRtfToken::Hex:
            result.push_back("hex:" + std::to_string(token.param));
            break;
        case TRtfToken::Text:
            result.push_back("text:" + token.data.toByteArray().toStdString());
            break;
        case TRtfToken::Binary:
            result.push_back("bin:" + std::to_string(token.data.size()));
            break;
        case TRtfToken::End:
            break;
        }
    }
    return result;
}

using List = std::vector<std::string>;

TEST(RtfTokenizerTest, SplitsWordsSymbolsEscapesAndText)
{
    EXPECT_EQ(Tokens("{\\rtf1\\ansi Hello\\par}"),
              (List{"{", "\\rtf=1", "\\ansi", "text:Hello", "\\par", "}"}));
    // One blank ends a word; a second is text. Digits and a minus sign end it too.
    EXPECT_EQ(Tokens("\\b  x\\fi-360y\\li0\\u-3913?"),
              (List{"\\b", "text: x", "\\fi=-360", "text:y", "\\li=0", "\\u=-3913", "text:?"}));
    EXPECT_EQ(Tokens("a\\'e9\\'E9\\~\\{\\\\\\*"),
              (List{"text:a", "hex:233", "hex:233", "sym:~", "sym:{", "sym:\\", "sym:*"}));
    // Line ends are not text, but a backslash before one is a symbol.
    EXPECT_EQ(Tokens("one\r\ntwo\\\nthree"),
              (List{"text:one", "text:two", "sym:\n", "text:three"}));
    // A minus not followed by a digit is text.
    EXPECT_EQ(Tokens("\\b-x"), (List{"\\b", "text:-x"}));
}

TEST(RtfTokenizerTest, CutsHostileInputShort)
{
    // A word too long for any real one becomes an unknown word, and reading goes on.
    const QByteArray longWord = "\\" + QByteArray(5000, 'A') + "1 ok";
    EXPECT_EQ(Tokens(longWord), (List{"\\=1", "text:ok"}));
    // Numbers too large for an integer are held at its limit.
    EXPECT_EQ(Tokens("\\fs99999999999999999999"),
              (List{"\\fs=" + std::to_string(std::numeric_limits<int>::max())}));
    EXPECT_EQ(Tokens("\\fs-99999999999"),
              (List{"\\fs=" + std::to_string(std::numeric_limits<int>::min())}));
    // A broken escape is dropped; a lone backslash at the end ends the input.
    EXPECT_EQ(Tokens("\\'g1x\\'"), (List{"sym:", "text:g1x", "sym:"}));
    EXPECT_EQ(Tokens("x\\"), (List{"text:x"}));
    // \bin takes exactly its count of bytes, braces and backslashes included,
    // and never more than the input has.
    EXPECT_EQ(Tokens("\\bin3 {\\}x}"), (List{"bin:3", "text:x", "}"}));
    EXPECT_EQ(Tokens("\\bin999 abc"), (List{"bin:3"}));
    // Without a count \bin is an ordinary word and hex data after it stays text.
    EXPECT_EQ(Tokens("\\bin ffd8"), (List{"\\bin", "text:ffd8"}));
}

TEST(RtfTokenizerTest, SkipsAWholeGroupWithoutBeingFooledByItsData)
{
    const QByteArray input = "{\\*\\x a{b}\\}\\{ \\bin3 }}}}after}";
    TRtfTokenizer tokenizer(input);
    ASSERT_EQ(tokenizer.next().kind, TRtfToken::GroupStart);
    tokenizer.skipGroup();
    const TRtfToken next = tokenizer.next();
    ASSERT_EQ(next.kind, TRtfToken::Text);
    EXPECT_EQ(next.data, QByteArrayView("after"));

    TRtfTokenizer unclosed("{never closed {");
    unclosed.next();
    unclosed.skipGroup();
    EXPECT_TRUE(unclosed.atEnd());
}

TEST(RtfTokenizerTest, FindsHyperlinkTargets)
{
    EXPECT_EQ(RtfHyperlinkTarget(" HYPERLINK \"https://example.org/a b\" "),
              QStringLiteral("https://example.org/a b"));
    EXPECT_EQ(RtfHyperlinkTarget("HYPERLINK https://example.org \\o \"tip\""),
              QStringLiteral("https://example.org"));
    EXPECT_EQ(RtfHyperlinkTarget("hyperlink \\l \"chorus\""), QStringLiteral("#chorus"));
    EXPECT_EQ(RtfHyperlinkTarget("HYPERLINK \\t \"_blank\" \"song.html\" \\l \"v2\""),
              QStringLiteral("song.html#v2"));
    EXPECT_EQ(RtfHyperlinkTarget("HYPERLINK \"unterminated"), QStringLiteral("unterminated"));
    EXPECT_EQ(RtfHyperlinkTarget("PAGE \\* MERGEFORMAT"), QString());
    EXPECT_EQ(RtfHyperlinkTarget("HYPERLINK"), QString());
}

TEST(RtfTokenizerTest, DecodesEveryCodePageADocumentMayName)
{
    TRtfTextDecoder decoder;
    EXPECT_EQ(decoder.decode(1252, "\x80\x93"), QString::fromUtf8("€“"));
    EXPECT_EQ(decoder.decode(1251, "\xcf\xf0"), QString::fromUtf8("Пр"));
    EXPECT_EQ(decoder.decode(RtfCharsetCodePage(238), "\xb9"), QString::fromUtf8("ą"));
    EXPECT_EQ(decoder.decode(RtfCodePageMac, "\x8e"), QString::fromUtf8("é"));
    EXPECT_EQ(decoder.decode(437, "\xf1"), QString::fromUtf8("±"));
    EXPECT_EQ(decoder.decode(932, "\x82\xa0"), QString::fromUtf8("あ"));
    // An unknown code page reads as Windows-1252 rather than failing.
    EXPECT_EQ(decoder.decode(12345, "caf\xe9"), QString::fromUtf8("café"));
    EXPECT_EQ(decoder.decode(RtfFontCodePage("Wingdings", 2), "\xfc\xa7"), QString::fromUtf8("✓▪"));
    EXPECT_EQ(decoder.decode(RtfFontCodePage("Symbol", -1), "\xb7"), QString::fromUtf8("•"));
    EXPECT_EQ(RtfFontCodePage("Arial", 0), 0);
    EXPECT_EQ(RtfFontCodePage("Arial", -1), 0);
    EXPECT_EQ(RtfCharsetCodePage(204), 1251);
    EXPECT_EQ(RtfCharsetCodePage(1), 0);
}

} // namespace
} // namespace tarvello
