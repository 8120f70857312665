#include "midi/MidiString.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QString>

namespace tarvello {
namespace {

TEST(MidiString, CheckAcceptsHexAndSpacesOnly)
{
    for (const char *line : {"B2 07 93", "b2 07 93", "F0 7E 7F 06 01 F7", "ABC", "   ", "",
                             "0123456789abcdefABCDEF"}) {
        EXPECT_TRUE(IsMidiStringText(QString::fromLatin1(line))) << line;
    }
    // Comments, punctuation, tabs, letters beyond F, non-ASCII digits, a stray
    // line end: never sent.
    for (const QString &line :
         {QStringLiteral("B2 07 93 volume"), QStringLiteral("B2,07,93"), QStringLiteral("B2\t07"),
          QStringLiteral("G0"), QStringLiteral("B2 07 93\r"), QStringLiteral("\uFF11\uFF12"),
          QStringLiteral("B2\u00A007")}) {
        EXPECT_FALSE(IsMidiStringText(line)) << line.toStdString();
        EXPECT_FALSE(IsSendableMidiString(line)) << line.toStdString();
    }
}

TEST(MidiString, LinesWithoutAByteAreNotSendable)
{
    EXPECT_FALSE(IsSendableMidiString(u""));
    EXPECT_FALSE(IsSendableMidiString(u"    "));
    EXPECT_FALSE(IsSendableMidiString(u" A "));
    EXPECT_TRUE(IsSendableMidiString(u" A B "));
}

TEST(MidiString, ConversionPairsDigitsFromTheLeftWhateverTheSpacing)
{
    const auto hex = [](const char16_t *text) { return BytesToHex(HexToBytes(text)); };
    EXPECT_EQ(hex(u"B2 07 93"), "B2 07 93");
    EXPECT_EQ(hex(u"b2 07 93"), "B2 07 93");
    EXPECT_EQ(hex(u"B20793"), "B2 07 93");
    EXPECT_EQ(hex(u"B 20 793"), "B2 07 93");
    EXPECT_EQ(hex(u"B2 7 93"), "B2 79"); // the last single digit is dropped
    EXPECT_EQ(hex(u"ABC"), "AB");
    EXPECT_EQ(hex(u"C0 05 B0 07 64"), "C0 05 B0 07 64");
    EXPECT_EQ(hex(u"ff 00"), "FF 00");
    EXPECT_TRUE(HexToBytes(u"   ").isEmpty());
}

TEST(MidiString, AnyTextGivesSomeResultWithoutFault)
{
    QRandomGenerator random(1234);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(0, 80);
        for (int i = 0; i < length; ++i) {
            // Mostly the characters a MIDI string uses, with anything else mixed in.
            const int pick = random.bounded(10);
            if (pick < 6) {
                text.append(QChar(u"0123456789abcdefABCDEF "[random.bounded(23)]));
            } else {
                text.append(QChar(static_cast<char16_t>(random.bounded(1, 0xFFFF))));
            }
        }
        const QByteArray bytes = HexToBytes(text);
        int digits = 0;
        for (const QChar c : text) {
            digits += QStringLiteral("0123456789abcdefABCDEF").contains(c) ? 1 : 0;
        }
        ASSERT_EQ(bytes.size(), digits / 2) << text.toStdString();
        if (IsMidiStringText(text)) {
            ASSERT_EQ(IsSendableMidiString(text), digits >= 2);
            // What is sent reads back as the same digits.
            QString compact = text;
            compact.remove(u' ');
            ASSERT_EQ(QString::fromLatin1(bytes.toHex()).toUpper(),
                      compact.left(digits / 2 * 2).toUpper());
        } else {
            ASSERT_FALSE(IsSendableMidiString(text));
        }
    }
}

} // namespace
} // namespace tarvello
