#include "MidiFakeFixture.h"

#include <QRandomGenerator>

#include <atomic>
#include <thread>

namespace tarvello::test {
namespace {

using MidiOutputTest = MidiFakeTest;

// The long messages the fake received, each written as hex.
QStringList LongMessages(const TFakeMidiSystem &fake)
{
    QStringList messages;
    for (const auto &sent : fake.Sent()) {
        if (sent.Long) {
            messages.append(BytesToHex(sent.Bytes));
        }
    }
    return messages;
}

TEST_F(MidiOutputTest, ShortMessageOpensItsDeviceOnceAndPacksTheBytes)
{
    TMidiOutput &out = MidiOutput();
    Fake->ClearCalls();
    out.SendShortMessage(1, 0xB0, 7, 100);
    EXPECT_EQ(Fake->Calls(), QStringList({"OutOpen 1", "OutShortMsg"}));
    out.SendShortMessage(1, 0xC3, 0x15, 0);
    EXPECT_EQ(Fake->Calls(), QStringList({"OutOpen 1", "OutShortMsg", "OutShortMsg"}));
    const auto sent = Fake->Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].DeviceId, 1u);
    EXPECT_EQ(sent[0].Packed, 0x006407B0u);
    EXPECT_EQ(sent[1].Packed, 0x000015C3u);
    EXPECT_NE(out.DeviceHandle(1), 0u);
    EXPECT_EQ(out.DeviceHandle(0), 0u);
}

TEST_F(MidiOutputTest, IndexErrorsNameTheListOrTheDevice)
{
    TMidiOutput &out = MidiOutput();
    Fake->ClearCalls();
    EXPECT_EQ(ErrorOf([&] { out.SendShortMessage(5, 0xC0, 1, 0); }),
              "List index out of bounds (5)");
    EXPECT_EQ(ErrorOf([&] { out.SendShortMessage(-1, 0xC0, 1, 0); }),
              "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { out.Open(5); }), "TMidiOutput: Device index out of bounds! (5)");
    QBuffer stream;
    stream.setData(QByteArray::fromHex("B20793"));
    EXPECT_EQ(ErrorOf([&] { out.SendLongMessage(2, stream); }),
              "TMidiOutput: Device index out of bounds! (2)");
    EXPECT_EQ(ErrorOf([&] { out.SendHexString(2, "B2 07 93"); }),
              "TMidiOutput: Device index out of bounds! (2)");
    EXPECT_TRUE(Fake->Calls().isEmpty());
}

TEST_F(MidiOutputTest, MidiStringsGoOutAsOneLongMessageEach)
{
    TMidiOutput &out = MidiOutput();
    out.Open(0);
    for (const char *line :
         {"B2 07 93", "b2 07 93", "F0 7E 7F 06 01 F7", "C0 05 B0 07 64", "B2 7 93", "ABC"}) {
        out.SendHexString(0, QString::fromLatin1(line));
    }
    EXPECT_EQ(LongMessages(*Fake), QStringList({"B2 07 93", "B2 07 93", "F0 7E 7F 06 01 F7",
                                                "C0 05 B0 07 64", "B2 79", "AB"}));
}

TEST_F(MidiOutputTest, CommentsAndEmptyLinesAreSkippedWithoutError)
{
    TMidiOutput &out = MidiOutput();
    out.Open(0);
    Fake->ClearCalls();
    for (const QString &line : {QStringLiteral("B2 07 93 volume"), QStringLiteral("B2,07,93"),
                                QStringLiteral("B2\t07 93"), QStringLiteral(""),
                                QStringLiteral("    "), QStringLiteral("7")}) {
        EXPECT_NO_THROW(out.SendHexString(0, line)) << line.toStdString();
    }
    EXPECT_TRUE(Fake->Calls().isEmpty());
    EXPECT_TRUE(Fake->Sent().empty());
    // Skipped before the index is looked at, as a comment has nothing to send.
    EXPECT_NO_THROW(out.SendHexString(9, "-- verse --"));
}

TEST_F(MidiOutputTest, LongMessageNeedsAnOpenDeviceAndReportsFailures)
{
    TMidiOutput &out = MidiOutput();
    EXPECT_EQ(ErrorOf([&] { out.SendHexString(0, "B2 07 93"); }),
              MidiResultText(MidiResult::InvalidHandle));
    EXPECT_EQ(out.DeviceHandle(0), 0u); // not opened on demand
    out.Open(0);
    Fake->FailCall("OutLongMsg", MidiResult::NotReady);
    EXPECT_EQ(ErrorOf([&] { out.SendHexString(0, "B2 07 93"); }),
              MidiResultText(MidiResult::NotReady));
    Fake->FailCall("OutShortMsg", MidiResult::Error);
    EXPECT_EQ(ErrorOf([&] { out.SendShortMessage(0, 0xC0, 1, 0); }),
              MidiResultText(MidiResult::Error));
    Fake->FailCall("OutOpen", MidiResult::Allocated);
    EXPECT_EQ(ErrorOf([&] { out.SendShortMessage(1, 0xC0, 1, 0); }),
              MidiResultText(MidiResult::Allocated));
    EXPECT_EQ(out.DeviceHandle(1), 0u);
    out.Close(0);
    EXPECT_EQ(out.DeviceHandle(0), 0u);
    EXPECT_TRUE(Fake->Sent().empty());
}

TEST_F(MidiOutputTest, ThruFromTheInputThreadNeverRacesOpenAndClose)
{
    TMidiInput &in = MidiInput();
    TMidiOutput &out = MidiOutput();
    std::atomic<int> echoed{0};
    std::atomic<int> failed{0};
    in.OnMidiData = [&](int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        try {
            out.SendShortMessage(1, status, data1, data2);
            ++echoed;
        } catch (const TError &) {
            ++failed;
        }
    };
    in.Open(0);
    constexpr int Messages = 3000;
    std::thread window([&] {
        for (int i = 0; i < 500; ++i) {
            out.Close(1);
            out.Open(1);
            out.SendHexString(1, "B0 07 64");
        }
    });
    for (int i = 0; i < Messages; ++i) {
        Fake->Deliver(0, QByteArray::fromHex("C005"));
    }
    window.join();
    Fake->WaitForDelivery();
    in.Close(0);
    EXPECT_EQ(failed.load(), 0);
    EXPECT_EQ(echoed.load(), Messages);
    int shorts = 0;
    for (const auto &sent : Fake->Sent()) {
        shorts += sent.Long ? 0 : 1;
    }
    EXPECT_EQ(shorts, Messages); // every echo reached an open device
}

TEST_F(MidiOutputTest, AnyMidiStringTextIsHandledWithoutFault)
{
    TMidiOutput &out = MidiOutput();
    out.Open(0);
    QRandomGenerator random(4242);
    int expectedSends = 0;
    for (int i = 0; i < 3000; ++i) {
        QString text;
        const int length = random.bounded(0, 50);
        for (int k = 0; k < length; ++k) {
            text.append(random.bounded(4) == 0
                            ? QChar(static_cast<char16_t>(random.bounded(1, 0xFFFF)))
                            : QChar(u"0123456789ABCDEFabcdef  "[random.bounded(24)]));
        }
        expectedSends += IsSendableMidiString(text) ? 1 : 0;
        ASSERT_NO_THROW(out.SendHexString(0, text)) << text.toStdString();
    }
    EXPECT_EQ(static_cast<int>(LongMessages(*Fake).size()), expectedSends);
    EXPECT_GT(expectedSends, 100);
}

} // namespace
} // namespace tarvello::test
