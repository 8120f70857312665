#include "prompt/SelectionMidi.h"

#include "core/TarvelloError.h"
#include "midi/Midi.h"
#include "support/FakeMidiSystem.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvello::test {
namespace {

class SelectionMidiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fake = std::make_shared<TFakeMidiSystem>(QStringList{"In"}, QStringList{"Out A", "Out B"});
        SetMidiSystem(Fake);
        MidiOutput().Open(1);
    }
    void TearDown() override { ReleaseMidiDevices(); }

    // What went out, as hex text per message ("c111", "b20764").
    QStringList SentHex() const
    {
        QStringList sent;
        for (const auto &message : Fake->Sent()) {
            if (message.Long) {
                sent << QString::fromLatin1(message.Bytes.toHex());
            } else {
                QByteArray bytes;
                for (int shift = 0; shift < 24; shift += 8) {
                    bytes.append(char((message.Packed >> shift) & 0xFF));
                }
                sent << QString::fromLatin1(bytes.toHex());
            }
        }
        return sent;
    }

    std::shared_ptr<TFakeMidiSystem> Fake;
};

TEST(SelectionShortMessage, IsRebuiltFromTheSettings)
{
    EXPECT_EQ(SelectionShortMessage(0xC0, 1, 7, 17), (TShortMessage{0xC1, 17, 0}));
    EXPECT_EQ(SelectionShortMessage(0xB0, 0, 102, 17), (TShortMessage{0xB0, 102, 17}));
    EXPECT_EQ(SelectionShortMessage(0xB0, 15, 0, 122), (TShortMessage{0xBF, 0, 122}));
    // No controller chosen: no message that a receiver could take apart.
    EXPECT_EQ(SelectionShortMessage(0xB0, 0, -1, 17), std::nullopt);
}

TEST_F(SelectionMidiTest, ShortMessageFirstThenEachMidiStringWithoutComments)
{
    TSelectionMidiSettings settings;
    settings.SendMessage = true;
    settings.SendStrings = true;
    settings.MessageType = 0xC0;
    settings.Channel = 1;
    settings.OutputDevice = 1;
    SendSelectionMidi(
        MidiOutput(), settings, 17,
        {QStringLiteral("B2 07 64"), QStringLiteral("this is a comment"), QStringLiteral("C2 05")});
    EXPECT_EQ(SentHex(), (QStringList{"c11100", "b20764", "c205"}));
    for (const auto &message : Fake->Sent()) {
        EXPECT_EQ(message.DeviceId, 1u);
    }
}

TEST_F(SelectionMidiTest, EachOptionAlone)
{
    TSelectionMidiSettings settings;
    settings.MessageType = 0xB0;
    settings.Controller = 102;
    settings.OutputDevice = 1;
    const QStringList strings{QStringLiteral("F0 7E 7F 09 01 F7")};

    SendSelectionMidi(MidiOutput(), settings, 17, strings);
    EXPECT_TRUE(SentHex().isEmpty());

    settings.SendMessage = true;
    SendSelectionMidi(MidiOutput(), settings, 17, strings);
    EXPECT_EQ(SentHex(), (QStringList{"b06611"}));

    settings.SendMessage = false;
    settings.SendStrings = true;
    SendSelectionMidi(MidiOutput(), settings, 17, strings);
    EXPECT_EQ(SentHex(), (QStringList{"b06611", "f07e7f0901f7"}));
}

TEST_F(SelectionMidiTest, AnOutputErrorStopsWhatFollows)
{
    TSelectionMidiSettings settings;
    settings.SendMessage = true;
    settings.SendStrings = true;
    settings.OutputDevice = 1;
    const QStringList strings{QStringLiteral("B2 07 64"), QStringLiteral("C2 05")};

    Fake->FailCall(QStringLiteral("OutShortMsg"), MidiResult::NotReady);
    EXPECT_THROW(SendSelectionMidi(MidiOutput(), settings, 3, strings), TError);
    EXPECT_TRUE(SentHex().isEmpty());

    Fake->FailCall(QStringLiteral("OutLongMsg"), MidiResult::NotReady);
    EXPECT_THROW(SendSelectionMidi(MidiOutput(), settings, 3, strings), TError);
    EXPECT_EQ(SentHex(), (QStringList{"c00300"}));

    // An output index that names no device.
    settings.OutputDevice = 5;
    EXPECT_THROW(SendSelectionMidi(MidiOutput(), settings, 3, strings), TError);
    EXPECT_EQ(SentHex().size(), 1);
}

} // namespace
} // namespace tarvello::test
