#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"
#include "support/JackPeer.h"

#include "core/TarvelloError.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tarvello::test {
namespace {

using namespace std::chrono_literals;

// What reached the input list's handlers, with a bounded wait.
class TInputRecorder {
public:
    struct TShort {
        std::uint8_t Status, Data1, Data2;
    };

    void Attach(TMidiInput &in)
    {
        in.OnMidiData = [this](int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
            {
                std::lock_guard lock(Mutex);
                Shorts.push_back({status, data1, data2});
            }
            Arrived.notify_all();
        };
        in.OnSysExData = [this](int, QBuffer &stream) {
            {
                std::lock_guard lock(Mutex);
                Positions.push_back(stream.pos());
                SysEx.push_back(stream.readAll());
            }
            Arrived.notify_all();
        };
    }
    bool WaitForShorts(std::size_t count)
    {
        std::unique_lock lock(Mutex);
        return Arrived.wait_for(lock, 5s, [&] { return Shorts.size() >= count; });
    }
    bool WaitForSysEx(std::size_t count)
    {
        std::unique_lock lock(Mutex);
        return Arrived.wait_for(lock, 5s, [&] { return SysEx.size() >= count; });
    }

    std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<TShort> Shorts;
    std::vector<QByteArray> SysEx;
    std::vector<qint64> Positions;
};

// The real back-end bound to JACK, listing after the peer's ports exist.
class JackMidiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Peer = std::make_unique<TJackPeer>();
        System = std::make_shared<TRtMidiSystem>(TRtMidiSystem::TApi::Jack);
        ASSERT_EQ(System->ActiveApi(), TRtMidiSystem::TApi::Jack);
        SetMidiSystem(System);
    }
    void TearDown() override
    {
        ReleaseMidiDevices();
        System.reset();
        Peer.reset();
    }
    int PeerOutputIndex() { return MidiInput().Devices.IndexOf(TJackPeer::OutputPortName()); }
    int PeerInputIndex() { return MidiOutput().Devices.IndexOf(TJackPeer::InputPortName()); }

    std::unique_ptr<TJackPeer> Peer;
    std::shared_ptr<TRtMidiSystem> System;
};

TEST_F(JackMidiTest, PeerPortsAreListedByNameAndOurOwnAreNot)
{
    EXPECT_GE(PeerOutputIndex(), 0) << MidiInput().Devices.Names().join(", ").toStdString();
    EXPECT_GE(PeerInputIndex(), 0) << MidiOutput().Devices.Names().join(", ").toStdString();
    MidiInput().Open(PeerOutputIndex());
    MidiOutput().Open(PeerInputIndex()); // our client now has an "in" and an "out" port

    TRtMidiSystem second(TRtMidiSystem::TApi::Jack);
    for (const auto &[count, name] :
         {std::pair{second.InGetNumDevs(), &TRtMidiSystem::InGetDevName},
          std::pair{second.OutGetNumDevs(), &TRtMidiSystem::OutGetDevName}}) {
        bool peerSeen = false;
        for (unsigned i = 0; i < count; ++i) {
            QString device;
            ASSERT_EQ((second.*name)(i, device), MidiResult::NoError);
            EXPECT_FALSE(device.startsWith("Tarvello:") || device.startsWith("Tarvello-"))
                << device.toStdString();
            peerSeen = peerSeen || device.startsWith("TarvelloPeer");
        }
        EXPECT_TRUE(peerSeen);
    }
}

TEST_F(JackMidiTest, ProgramChangeAndClockArriveAsShortMessages)
{
    TInputRecorder recorder;
    recorder.Attach(MidiInput());
    ASSERT_GE(PeerOutputIndex(), 0);
    MidiInput().Open(PeerOutputIndex());
    // Events that are no whole message reach nothing.
    for (const char *broken : {"C0", "B20793", "B08005", "0793"}) {
        Peer->Send(QByteArray::fromHex(broken));
    }
    Peer->Send(QByteArray::fromHex("C315"));
    Peer->Send(QByteArray::fromHex("F8"));
    ASSERT_TRUE(recorder.WaitForShorts(2));
    std::lock_guard lock(recorder.Mutex);
    ASSERT_EQ(recorder.Shorts.size(), 2u);
    EXPECT_EQ(recorder.Shorts[0].Status, 0xC3);
    EXPECT_EQ(recorder.Shorts[0].Data1, 0x15);
    EXPECT_EQ(recorder.Shorts[0].Data2, 0);
    EXPECT_EQ(recorder.Shorts[1].Status, 0xF8);
}

TEST_F(JackMidiTest, SysExArrivesOnceAndWholeEvenInPieces)
{
    TInputRecorder recorder;
    recorder.Attach(MidiInput());
    MidiInput().Open(PeerOutputIndex());
    const QByteArray sysex = QByteArray::fromHex("F0430102030405060708F7").remove(9, 1);
    ASSERT_EQ(sysex.size(), 10);
    Peer->Send(sysex);
    // A bridge from another MIDI system may carry a dump in pieces, with a
    // clock tick between them: the program still sees the dump once, whole.
    Peer->Send(QByteArray::fromHex("F0431011"));
    Peer->Send(QByteArray::fromHex("F8"));
    Peer->Send(QByteArray::fromHex("1213F7"));
    Peer->Send(QByteArray::fromHex("C001")); // a marker: everything before it has arrived
    ASSERT_TRUE(recorder.WaitForShorts(2));
    std::lock_guard lock(recorder.Mutex);
    ASSERT_EQ(recorder.SysEx.size(), 2u);
    EXPECT_EQ(recorder.SysEx[0], sysex);
    EXPECT_EQ(recorder.Positions[0], 0);
    EXPECT_EQ(recorder.SysEx[1], QByteArray::fromHex("F04310111213F7"));
    EXPECT_EQ(recorder.Shorts[0].Status, 0xF8);
    EXPECT_EQ(recorder.Shorts[1].Status, 0xC0);
}

TEST_F(JackMidiTest, SentMessagesArriveAsTheRightMessages)
{
    const int out = PeerInputIndex();
    ASSERT_GE(out, 0);
    MidiOutput().SendShortMessage(out, 0xB2, 0x07, 0x93); // opens the port on demand
    MidiOutput().SendShortMessage(out, 0xC0, 0x05, 0x00);
    MidiOutput().SendHexString(out, "B2 07 93");
    MidiOutput().SendHexString(out, "F0 7E 7F 06 01 F7");
    MidiOutput().SendHexString(out, "C0 05 B0 07 64");
    MidiOutput().SendHexString(out, "B2 07 93 a comment, never sent");
    ASSERT_TRUE(Peer->WaitForMessages(6));
    std::this_thread::sleep_for(100ms); // anything extra would have come by now
    const std::vector<QByteArray> expected = {
        QByteArray::fromHex("B20793"), QByteArray::fromHex("C005"),
        QByteArray::fromHex("B20793"), QByteArray::fromHex("F07E7F0601F7"),
        QByteArray::fromHex("C005"),   QByteArray::fromHex("B00764")};
    EXPECT_EQ(Peer->Received(), expected);
}

TEST_F(JackMidiTest, ThruEchoesFromTheInputThreadAndCloseStopsInput)
{
    const int in = PeerOutputIndex();
    const int out = PeerInputIndex();
    MidiInput().OnMidiData = [out](int, std::uint8_t status, std::uint8_t data1,
                                   std::uint8_t data2) {
        MidiOutput().SendShortMessage(out, status, data1, data2);
    };
    MidiInput().Open(in);
    Peer->Send(QByteArray::fromHex("C007"));
    Peer->Send(QByteArray::fromHex("B0667F"));
    ASSERT_TRUE(Peer->WaitForMessages(2));
    EXPECT_EQ(Peer->Received(), (std::vector<QByteArray>{QByteArray::fromHex("C007"),
                                                         QByteArray::fromHex("B0667F")}));

    MidiInput().Close(in);
    Peer->ClearReceived();
    Peer->Send(QByteArray::fromHex("C008"));
    EXPECT_FALSE(Peer->WaitForMessages(1, 300ms));

    MidiInput().Open(in);
    Peer->Send(QByteArray::fromHex("C009"));
    ASSERT_TRUE(Peer->WaitForMessages(1));
    EXPECT_EQ(Peer->Received().front(), QByteArray::fromHex("C009"));
}

TEST_F(JackMidiTest, AFloodOfAnyBytesWhileReopeningNeitherFaultsNorStopsInput)
{
    const int in = PeerOutputIndex();
    const int out = PeerInputIndex();
    std::atomic<int> shorts{0};
    MidiInput().OnMidiData = [&](int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        ++shorts;
        MidiOutput().SendShortMessage(out, status, data1, data2); // thru, as on stage
    };
    MidiInput().OnSysExData = [](int, QBuffer &) {};
    std::atomic<bool> done{false};
    std::thread flood([&] {
        QRandomGenerator random(2024);
        while (!done.load()) {
            QByteArray bytes(random.bounded(1, 12), Qt::Uninitialized);
            for (auto &b : bytes) {
                b = static_cast<char>(random.bounded(256));
            }
            Peer->Send(bytes);
            std::this_thread::sleep_for(50us);
        }
    });
    for (int i = 0; i < 20; ++i) {
        MidiInput().Open(in);
        std::this_thread::sleep_for(20ms);
        MidiInput().Close(in);
    }
    done.store(true);
    flood.join();
    EXPECT_GT(shorts.load(), 0);

    // Still working afterwards (what the flood left in flight may come first).
    TInputRecorder recorder;
    recorder.Attach(MidiInput());
    MidiInput().Open(in);
    Peer->Send(QByteArray::fromHex("C07F"));
    std::unique_lock lock(recorder.Mutex);
    EXPECT_TRUE(recorder.Arrived.wait_for(lock, 5s, [&] {
        for (const auto &message : recorder.Shorts) {
            if (message.Status == 0xC0 && message.Data1 == 0x7F) {
                return true;
            }
        }
        return false;
    }));
}

} // namespace
} // namespace tarvello::test
