#include "MidiFakeFixture.h"

#include "midi/MidiMessageSplit.h"

#include <QRandomGenerator>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace tarvello::test {
namespace {

using MidiInputTest = MidiFakeTest;

struct TShort {
    int Device;
    std::uint8_t Status, Data1, Data2;
    std::thread::id Thread;
};

TEST_F(MidiInputTest, ListsTheSystemsDevicesInItsNumbering)
{
    TMidiInput &in = MidiInput();
    EXPECT_EQ(&in, &MidiInput());
    EXPECT_EQ(in.Devices.Names(), QStringList({"In A", "In B"}));
    EXPECT_EQ(in.Devices.IndexOf("in b"), 1);
    EXPECT_EQ(in.DeviceHandle(0), 0u);
    EXPECT_EQ(MidiOutput().Devices.Names(), QStringList({"Out A", "Out B"}));
}

TEST_F(MidiInputTest, FailingNameQueryRaisesAndTheNextUseTriesAgain)
{
    Fake->FailCall("InGetDevName", MidiResult::NoMemory);
    EXPECT_EQ(ErrorOf([] { MidiInput(); }), MidiResultText(MidiResult::NoMemory));
    EXPECT_EQ(MidiInput().Devices.Count(), 2);
}

TEST_F(MidiInputTest, OpenAndCloseMakeTheDriverCallsInOrderAndOnlyOnce)
{
    TMidiInput &in = MidiInput();
    Fake->ClearCalls();
    in.Open(1);
    EXPECT_EQ(Fake->Calls(),
              QStringList({"InOpen 1", "InPrepareHeader", "InAddBuffer", "InStart"}));
    EXPECT_NE(in.DeviceHandle(1), 0u);
    EXPECT_TRUE(Fake->IsInputOpen(1));

    Fake->ClearCalls();
    in.Open(1);
    EXPECT_TRUE(Fake->Calls().isEmpty());

    in.Close(1);
    EXPECT_EQ(Fake->Calls(), QStringList({"InStop", "InReset", "InUnprepareHeader", "InClose"}));
    EXPECT_EQ(in.DeviceHandle(1), 0u);
    EXPECT_FALSE(Fake->IsInputOpen(1));
    EXPECT_EQ(in.LastResult(), MidiResult::NoError);

    Fake->ClearCalls();
    in.Close(1);
    in.Close(0);
    EXPECT_TRUE(Fake->Calls().isEmpty());
}

TEST_F(MidiInputTest, UnknownIndexRaisesBeforeAnyDriverCall)
{
    TMidiInput &in = MidiInput();
    Fake->ClearCalls();
    EXPECT_EQ(ErrorOf([&] { in.DeviceHandle(-1); }),
              "TMidiInput: Device index out of bounds! (-1)");
    EXPECT_EQ(ErrorOf([&] { in.Open(2); }), "TMidiInput: Device index out of bounds! (2)");
    EXPECT_EQ(ErrorOf([&] { in.Close(-5); }), "TMidiInput: Device index out of bounds! (-5)");
    EXPECT_TRUE(Fake->Calls().isEmpty());
}

TEST_F(MidiInputTest, WithoutDevicesEveryOpenAndCloseIsOutOfBounds)
{
    ReleaseMidiDevices();
    SetMidiSystem(std::make_shared<TFakeMidiSystem>(QStringList{}, QStringList{}));
    EXPECT_TRUE(MidiInput().Devices.IsEmpty());
    EXPECT_EQ(ErrorOf([] { MidiInput().Open(0); }), "TMidiInput: Device index out of bounds! (0)");
    EXPECT_EQ(ErrorOf([] { MidiOutput().Close(0); }),
              "TMidiOutput: Device index out of bounds! (0)");
}

TEST_F(MidiInputTest, DriverFailuresCarryTheSystemsText)
{
    TMidiInput &in = MidiInput();
    Fake->FailCall("InOpen", MidiResult::Allocated);
    EXPECT_EQ(ErrorOf([&] { in.Open(0); }), MidiResultText(MidiResult::Allocated));
    EXPECT_EQ(in.LastResult(), MidiResult::Allocated);
    EXPECT_EQ(in.DeviceHandle(0), 0u);

    // A buffer that cannot be lent after a good open leaves the device open.
    Fake->FailCall("InAddBuffer", MidiResult::NoMemory);
    EXPECT_EQ(ErrorOf([&] { in.Open(0); }), MidiResultText(MidiResult::NoMemory));
    EXPECT_NE(in.DeviceHandle(0), 0u);

    // A code the system has no text for is still a failure.
    Fake->SetErrorTextAvailable(false);
    Fake->FailCall("InStop", 99);
    EXPECT_EQ(ErrorOf([&] { in.Close(0); }), "MIDI system error 99");
    EXPECT_NE(in.DeviceHandle(0), 0u);
}

TEST_F(MidiInputTest, ShortMessagesArriveUnpackedOnTheDriversThread)
{
    TMidiInput &in = MidiInput();
    std::mutex mutex;
    std::vector<TShort> got;
    in.OnMidiData = [&](int device, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        std::lock_guard lock(mutex);
        got.push_back({device, status, data1, data2, std::this_thread::get_id()});
    };
    in.Open(1);
    Fake->Deliver(1, QByteArray::fromHex("C315"));
    Fake->Deliver(1, QByteArray::fromHex("B00764"));
    Fake->Deliver(1, QByteArray::fromHex("F8"));
    Fake->Deliver(0, QByteArray::fromHex("C301"));       // device 0 is closed: nothing
    Fake->Deliver(1, QByteArray::fromHex("C005B00764")); // one event, two messages
    // What makes no whole message is dropped, whole messages beside it are not.
    Fake->Deliver(1, QByteArray::fromHex("C0"));     // not a program change to 0
    Fake->Deliver(1, QByteArray::fromHex("B20793")); // 93 is a status, not a value
    Fake->Deliver(1, QByteArray::fromHex("B08005")); // nor a controller number
    Fake->Deliver(1, QByteArray::fromHex("0793"));   // no status
    Fake->Deliver(1, QByteArray::fromHex("C20506")); // no running status in an event
    Fake->WaitForDelivery();
    in.Close(1);
    Fake->Deliver(1, QByteArray::fromHex("C302")); // closed again: nothing
    Fake->WaitForDelivery();

    std::lock_guard lock(mutex);
    ASSERT_EQ(got.size(), 6u);
    const std::uint8_t expected[6][3] = {{0xC3, 0x15, 0}, {0xB0, 7, 0x64}, {0xF8, 0, 0},
                                         {0xC0, 5, 0},    {0xB0, 7, 0x64}, {0xC2, 5, 0}};
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].Device, 1);
        EXPECT_EQ(got[i].Status, expected[i][0]);
        EXPECT_EQ(got[i].Data1, expected[i][1]);
        EXPECT_EQ(got[i].Data2, expected[i][2]);
        EXPECT_EQ(got[i].Thread, Fake->DeliveryThreadId());
    }
}

TEST_F(MidiInputTest, SysExArrivesOnceWholeAndTheBufferGoesBack)
{
    TMidiInput &in = MidiInput();
    std::vector<QByteArray> got;
    std::vector<qint64> positions;
    in.OnSysExData = [&](int device, QBuffer &stream) {
        EXPECT_EQ(device, 0);
        positions.push_back(stream.pos());
        got.push_back(stream.readAll());
    };
    in.Open(0);
    const QByteArray ten = QByteArray::fromHex("F07E7F060102030405F7");
    ASSERT_EQ(ten.size(), 10);
    Fake->ClearCalls();
    Fake->Deliver(0, ten);
    Fake->WaitForDelivery();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], ten);
    EXPECT_EQ(positions[0], 0);
    TSysExData &data = in.SysExData(0);
    EXPECT_EQ(data.SysExStream.size(), 0);
    EXPECT_TRUE(data.SysExHeader.Flags & MidiHeaderFlag::InQueue);
    EXPECT_EQ(Fake->Calls(), QStringList({"InPrepareHeader", "InAddBuffer"}));

    // Longer than one buffer: delivered buffer by buffer, handed on once.
    QByteArray big(TSysExData::BufferSize + 1000, '\x11');
    big[0] = '\xF0';
    big[big.size() - 1] = '\xF7';
    Fake->Deliver(0, big);
    Fake->WaitForDelivery();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], big);

    // Closing hands the empty buffer back: nothing is delivered, nothing lent again.
    Fake->ClearCalls();
    in.Close(0);
    EXPECT_EQ(got.size(), 2u);
    EXPECT_FALSE(Fake->Calls().contains("InAddBuffer"));
    EXPECT_FALSE(data.SysExHeader.Flags & MidiHeaderFlag::InQueue);
}

TEST_F(MidiInputTest, SysExIsDroppedWhileNoBufferIsLent)
{
    TMidiInput &in = MidiInput();
    std::vector<QByteArray> sysex;
    std::atomic<int> shorts{0};
    in.OnSysExData = [&](int, QBuffer &stream) { sysex.push_back(stream.data()); };
    in.OnMidiData = [&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++shorts; };
    in.Open(0);
    // The buffer cannot be lent again after the first message.
    Fake->FailCall("InAddBuffer", MidiResult::NoMemory);
    Fake->Deliver(0, QByteArray::fromHex("F001F7"));
    Fake->Deliver(0, QByteArray::fromHex("F002F7"));
    Fake->Deliver(0, QByteArray::fromHex("C005"));
    Fake->WaitForDelivery();
    ASSERT_EQ(sysex.size(), 1u);
    EXPECT_EQ(shorts.load(), 1); // short messages need no buffer
    // Closing and opening again lends the buffer anew.
    in.Close(0);
    in.Open(0);
    Fake->Deliver(0, QByteArray::fromHex("F003F7"));
    Fake->WaitForDelivery();
    ASSERT_EQ(sysex.size(), 2u);
    EXPECT_EQ(sysex[1], QByteArray::fromHex("F003F7"));
}

TEST_F(MidiInputTest, AThrowingHandlerLosesOnlyItsOwnMessage)
{
    TMidiInput &in = MidiInput();
    std::atomic<int> shorts{0};
    std::vector<QByteArray> sysex;
    in.OnMidiData = [&](int, std::uint8_t status, std::uint8_t, std::uint8_t) {
        ++shorts;
        if (status == 0xC0) {
            throw TError("handler failed");
        }
    };
    in.OnSysExData = [&](int, QBuffer &stream) {
        sysex.push_back(stream.data());
        if (sysex.size() == 1) {
            throw std::runtime_error("handler failed");
        }
    };
    in.Open(0);
    Fake->Deliver(0, QByteArray::fromHex("C001"));
    Fake->Deliver(0, QByteArray::fromHex("F001F7"));
    Fake->Deliver(0, QByteArray::fromHex("B00102"));
    Fake->Deliver(0, QByteArray::fromHex("F002F7"));
    Fake->WaitForDelivery();
    EXPECT_EQ(shorts.load(), 2);
    ASSERT_EQ(sysex.size(), 2u);
    EXPECT_EQ(sysex[1], QByteArray::fromHex("F002F7")); // not glued to the first
}

TEST_F(MidiInputTest, RandomInputNeverFaultsAndOnlyWholeMessagesArrive)
{
    TMidiInput &in = MidiInput();
    std::atomic<int> bad{0};
    std::atomic<int> shorts{0};
    in.OnMidiData = [&](int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        ++shorts;
        const int length = MidiMessageLength(status);
        if (length == 0 || data1 >= 0x80 || data2 >= 0x80 || (length < 3 && data2 != 0) ||
            (length < 2 && data1 != 0)) {
            ++bad;
        }
    };
    in.OnSysExData = [&](int, QBuffer &stream) {
        if (stream.size() == 0 || static_cast<std::uint8_t>(stream.data()[0]) != 0xF0) {
            ++bad;
        }
    };
    in.Open(0);
    QRandomGenerator random(99);
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes(random.bounded(1, 40), Qt::Uninitialized);
        for (auto &b : bytes) {
            b = static_cast<char>(random.bounded(256));
        }
        Fake->Deliver(0, bytes);
    }
    Fake->WaitForDelivery();
    in.Close(0);
    EXPECT_EQ(bad.load(), 0);
    EXPECT_GT(shorts.load(), 100);
}

TEST_F(MidiInputTest, OnlyTheProgramWideListsDevicesReachItsHandlers)
{
    std::atomic<int> got{0};
    MidiInput().OnMidiData = [&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++got; };
    {
        TMidiInput stray(Fake);
        stray.Open(1); // the callback finds MidiInput(), where device 1 is closed
        Fake->Deliver(1, QByteArray::fromHex("C001"));
        Fake->WaitForDelivery();
        stray.Close(1);
    }
    EXPECT_EQ(got.load(), 0);
    MidiInput().Open(1);
    Fake->Deliver(1, QByteArray::fromHex("C001"));
    Fake->WaitForDelivery();
    EXPECT_EQ(got.load(), 1);
}

TEST_F(MidiInputTest, ReleasingTheListsClosesOpenDevices)
{
    MidiInput().Open(0);
    MidiOutput().Open(1);
    ASSERT_TRUE(Fake->IsInputOpen(0));
    ReleaseMidiDevices();
    EXPECT_FALSE(Fake->IsInputOpen(0));
    EXPECT_FALSE(Fake->IsOutputOpen(1));
    EXPECT_EQ(ExistingMidiInput(), nullptr);
}

TEST_F(MidiInputTest, TheSystemCannotChangeUnderExistingLists)
{
    MidiOutput();
    EXPECT_THROW(SetMidiSystem(std::make_shared<TFakeMidiSystem>(QStringList{}, QStringList{})),
                 TError);
}

} // namespace
} // namespace tarvello::test
