#include "midi/MidiMessageSplit.h"
#include "midi/MidiString.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

namespace tarvello {
namespace {

// The messages of a run of bytes, each written as hex.
QStringList Split(const QByteArray &bytes, TRunningStatus running = TRunningStatus::Allowed)
{
    QStringList messages;
    SplitMidiMessages(
        reinterpret_cast<const std::uint8_t *>(bytes.constData()),
        static_cast<std::size_t>(bytes.size()),
        [&](const std::uint8_t *message, std::size_t length) {
            messages.append(BytesToHex(QByteArray(reinterpret_cast<const char *>(message),
                                                  static_cast<qsizetype>(length))));
        },
        running);
    return messages;
}

QStringList Split(const char16_t *hex, TRunningStatus running = TRunningStatus::Allowed)
{
    return Split(HexToBytes(hex), running);
}

TEST(MidiMessageSplit, CutsAStringIntoTheMessagesAReceiverWouldRead)
{
    EXPECT_EQ(Split(u"C0 05 B0 07 64"), QStringList({"C0 05", "B0 07 64"}));
    EXPECT_EQ(Split(u"B2 07 13"), QStringList({"B2 07 13"}));
    // A system-exclusive message stays one, terminated or not.
    EXPECT_EQ(Split(u"F0 7E 7F 06 01 F7"), QStringList({"F0 7E 7F 06 01 F7"}));
    EXPECT_EQ(Split(u"F0 43 10 B0 07 64"), QStringList({"F0 43 10", "B0 07 64"}));
    EXPECT_EQ(Split(u"F0 7E 7F"), QStringList({"F0 7E 7F"}));
    // Running status: two program changes, three volume changes.
    EXPECT_EQ(Split(u"C0 05 06"), QStringList({"C0 05", "C0 06"}));
    EXPECT_EQ(Split(u"B0 07 10 07 20 07 30"), QStringList({"B0 07 10", "B0 07 20", "B0 07 30"}));
    EXPECT_EQ(Split(u"B0 07 10 07 20 C0 05 06", TRunningStatus::Refused),
              QStringList({"B0 07 10", "C0 05"}));
    // System common messages end running status.
    EXPECT_EQ(Split(u"C0 05 F3 02 06"), QStringList({"C0 05", "F3 02"}));
    EXPECT_EQ(Split(u"F2 10 20 F6"), QStringList({"F2 10 20", "F6"}));
}

TEST(MidiMessageSplit, RealTimeBytesStandAloneEvenInsideOtherMessages)
{
    EXPECT_EQ(Split(u"F8"), QStringList({"F8"}));
    EXPECT_EQ(Split(u"B0 F8 07 64"), QStringList({"F8", "B0 07 64"}));
    EXPECT_EQ(Split(u"F0 01 F8 02 F7 FE"), QStringList({"F8", "F0 01 02 F7", "FE"}));
    EXPECT_EQ(Split(u"C0 05 FA 06"), QStringList({"C0 05", "FA", "C0 06"}));
}

bool Whole(const char16_t *hex)
{
    const QByteArray bytes = HexToBytes(hex);
    return IsWholeMidi(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()));
}

TEST(MidiMessageSplit, DropsWhatNoReceiverWouldTakeAsAMessageAndSaysSo)
{
    EXPECT_TRUE(Split(u"07 13").isEmpty());                   // no status
    EXPECT_TRUE(Split(u"B0 07").isEmpty());                   // cut short by the end
    EXPECT_EQ(Split(u"B0 07 C0 05"), QStringList({"C0 05"})); // cut short by a status
    EXPECT_TRUE(Split(u"B2 07 93").isEmpty());                // 93 is a status, not a value
    for (const char16_t *hex :
         {u"07 13", u"B0 07", u"B0 07 C0 05", u"B2 07 93", u"C0 05 F3 02 06"}) {
        EXPECT_FALSE(Whole(hex));
    }
    for (const char16_t *hex : {u"", u"C0 05 B0 07 64", u"F0 7E 7F 06 01 F7", u"C0 05 06",
                                u"F0 01 F8 02 F7 FE", u"F0 7E"}) {
        EXPECT_TRUE(Whole(hex));
    }
}

TEST(MidiMessageSplit, AnyBytesGiveWellFormedMessagesOnly)
{
    QRandomGenerator random(77);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes(random.bounded(0, 64), Qt::Uninitialized);
        for (auto &b : bytes) {
            b = static_cast<char>(random.bounded(256));
        }
        qsizetype total = 0;
        SplitMidiMessages(
            reinterpret_cast<const std::uint8_t *>(bytes.constData()),
            static_cast<std::size_t>(bytes.size()),
            [&](const std::uint8_t *message, std::size_t length) {
                ASSERT_GE(length, 1u);
                ASSERT_GE(message[0], 0x80);
                total += static_cast<qsizetype>(length);
                if (message[0] == 0xF0) {
                    for (std::size_t i = 1; i < length; ++i) {
                        const bool last = i + 1 == length;
                        ASSERT_TRUE(message[i] < 0x80 || (last && message[i] == 0xF7));
                    }
                } else {
                    ASSERT_EQ(length, static_cast<std::size_t>(MidiMessageLength(message[0])));
                    for (std::size_t i = 1; i < length; ++i) {
                        ASSERT_LT(message[i], 0x80);
                    }
                }
            });
        // Running status can only add status bytes for data bytes it carries.
        ASSERT_LE(total, 2 * bytes.size());
    }
}

} // namespace
} // namespace tarvello
