#include "MidiFakeFixture.h"

#include <mutex>
#include <utility>
#include <vector>

namespace tarvello::test {
namespace {

using MidiDeviceRefreshTest = MidiFakeTest;

TEST_F(MidiDeviceRefreshTest, AnOpenInputKeepsItsHandleAndOneThatWentIsClosedQuietly)
{
    TMidiInput &in = MidiInput();
    std::mutex mutex;
    std::vector<std::pair<int, int>> got; // index, status
    in.OnMidiData = [&](int device, std::uint8_t status, std::uint8_t, std::uint8_t) {
        std::lock_guard lock(mutex);
        got.emplace_back(device, status);
    };
    in.Open(1);
    const TMidiHandle handle = in.DeviceHandle(1);
    Fake->RemoveInput("In A");
    Fake->AddInput("In C");
    EXPECT_TRUE(in.Refresh().isEmpty());
    EXPECT_EQ(in.Devices.Names(), QStringList({"In B", "In C"}));
    EXPECT_EQ(in.DeviceHandle(0), handle);
    EXPECT_EQ(in.OpenIndex(), 0);
    // Input goes on, under the device's new index.
    Fake->DeliverTo("In B", QByteArray::fromHex("C005"));
    Fake->WaitForDelivery();
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{0, 0xC0}}));

    // Gone and back between two looks: the old handle hears nothing any more.
    Fake->RemoveInput("In B");
    Fake->AddInput("In B");
    EXPECT_EQ(in.Refresh(), QStringList{"In B"});
    EXPECT_EQ(in.OpenIndex(), -1);
    EXPECT_FALSE(Fake->IsInputOpen("In B"));
    EXPECT_EQ(in.Devices.Names(), QStringList({"In C", "In B"}));

    // A device that fails on its way out is dropped all the same.
    in.Open(1);
    Fake->FailCall("InStop", MidiResult::NoDevice);
    Fake->RemoveInput("In B");
    EXPECT_EQ(in.Refresh(), QStringList{"In B"});
    EXPECT_EQ(in.Devices.Names(), QStringList{"In C"});
    EXPECT_EQ(in.OpenIndex(), -1);

    // A name the system cannot give ends the list there.
    Fake->AddInput("In D");
    Fake->FailCall("InGetDevName", MidiResult::Error);
    in.Refresh();
    EXPECT_TRUE(in.Devices.IsEmpty());
    in.Refresh();
    EXPECT_EQ(in.Devices.Names(), QStringList({"In C", "In D"}));
}

TEST_F(MidiDeviceRefreshTest, AnOpenOutputKeepsItsHandleAndOneThatWentIsClosedQuietly)
{
    TMidiOutput &out = MidiOutput();
    out.SendShortMessage(1, 0xC0, 1, 0);
    Fake->RemoveOutput("Out A");
    EXPECT_TRUE(out.Refresh().isEmpty());
    EXPECT_EQ(out.Devices.Names(), QStringList{"Out B"});
    out.SendShortMessage(0, 0xC0, 2, 0);
    Fake->RemoveOutput("Out B");
    Fake->AddOutput("Out A");
    EXPECT_EQ(out.Refresh(), QStringList{"Out B"});
    EXPECT_FALSE(Fake->IsOutputOpen("Out B"));
    EXPECT_EQ(out.Devices.Names(), QStringList{"Out A"});
    EXPECT_EQ(out.OpenIndex(), -1);
    const auto sent = Fake->Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].Name, "Out B");
    EXPECT_EQ(sent[1].Packed, 0x02C0u);
}

} // namespace
} // namespace tarvello::test
