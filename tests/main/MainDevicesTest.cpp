// MIDI devices that come and go while the program runs, over the fake MIDI
// system, which announces them from its own thread as the real ones do.

#include "MainMidiFixture.h"
#include "MainPersistenceFixture.h"
#include "support/Wait.h"

#include "core/SlotTypes.h"
#include "midi/Midi.h"

#include <QCheckBox>
#include <QLabel>
#include <QRandomGenerator>

#include <atomic>
#include <thread>

namespace tarvello::test {
namespace {

bool WaitUntil(const std::function<bool()> &condition)
{
    return WaitFor(condition, 5000);
}

// Input "In A" and output "Out B" are open and chosen; Watch() has the window
// follow the devices.
class TDevicesTest : public TMainMidiTest {
protected:
    void Watch() { Window->WatchMidiDevices(); }
    QListWidget *Inputs() const { return Find<QListWidget>("lbMidiIn"); }
    QListWidget *Outputs() const { return Find<QListWidget>("lbMidiOut"); }
    bool Selects(int slot)
    {
        return WaitFor([&] { return CurrentSlot() == slot; });
    }
};

TEST_F(TDevicesTest, AnInputThatGoesIsMarkedAndTakenAgainWhenItIsBack)
{
    Watch();
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    Fake->RemoveInput("In A");
    ASSERT_TRUE(WaitFor([&] { return Engine().Midi().InputDevice == -1; }));
    EXPECT_EQ(ItemTexts(Inputs()), QStringList({"In B", "In A (not connected)"}));
    EXPECT_EQ(Inputs()->currentRow(), 1);
    EXPECT_FALSE(Fake->IsInputOpen("In A"));
    // A click on it changes nothing: it is still the one awaited.
    ClickRow("lbMidiIn", Inputs()->currentRow());
    EXPECT_EQ(ItemTexts(Inputs()).size(), 2);

    Fake->AddInput("In A");
    ASSERT_TRUE(WaitFor([&] { return Fake->IsInputOpen("In A"); }));
    EXPECT_EQ(ItemTexts(Inputs()), QStringList({"In B", "In A"}));
    EXPECT_EQ(Inputs()->currentRow(), 1);
    EXPECT_EQ(Engine().Midi().InputDevice, 1);
    Fake->DeliverTo("In A", QByteArray::fromHex("C007"));
    ASSERT_TRUE(Selects(7));
    EXPECT_EQ(SentHex(), QStringList{"c00700"}) << "thru";
    EXPECT_TRUE(Dialogs.Records.empty());
}

TEST_F(TDevicesTest, AnOutputThatGoesAndComesBackHearsTheNextSelection)
{
    Watch();
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    Find<QCheckBox>("cbMidiOut")->setChecked(true);
    Find<QCheckBox>("cbMidiStrings")->setChecked(true);
    Window->Show().SetMidiStrings(4, QStringList{"B0 07 64"});
    Fake->RemoveOutput("Out B");
    ASSERT_TRUE(WaitFor([&] { return Engine().Midi().OutputDevice == -1; }));
    EXPECT_EQ(ItemTexts(Outputs()), QStringList({"Out A", "Out B (not connected)"}));
    // Selections go on with no output and no box; nothing opens on demand.
    Receive("C003");
    ASSERT_TRUE(Selects(3));
    EXPECT_TRUE(SentHex().isEmpty());
    EXPECT_FALSE(Fake->IsOutputOpen("Out A"));

    Fake->AddOutput("Out B");
    ASSERT_TRUE(WaitFor([&] { return Fake->IsOutputOpen("Out B"); }));
    EXPECT_EQ(Engine().Midi().OutputDevice, 1);
    EXPECT_EQ(Outputs()->currentRow(), 1);
    Receive("C004");
    ASSERT_TRUE(Selects(4));
    EXPECT_EQ(SentHex(), QStringList({"c00400", "c00400", "b00764"}));
    EXPECT_TRUE(Dialogs.Records.empty());
}

TEST_F(TDevicesTest, ListsFollowTheSystemAndChoosingAnotherEndsTheWait)
{
    Watch();
    Fake->AddInput("In C");
    ASSERT_TRUE(WaitFor([&] { return Inputs()->count() == 3; }));
    Fake->RemoveInput("In B");
    ASSERT_TRUE(WaitFor([&] { return ItemTexts(Inputs()) == QStringList({"In A", "In C"}); }));
    EXPECT_EQ(Inputs()->currentRow(), 0);
    EXPECT_EQ(Fake->Calls().filter("InClose").size(), 0) << "the open device is left alone";

    Fake->RemoveInput("In A");
    ASSERT_TRUE(WaitFor([&] { return Engine().Midi().InputDevice == -1; }));
    ClickRow("lbMidiIn", 0);
    EXPECT_EQ(ItemTexts(Inputs()), QStringList{"In C"});
    EXPECT_TRUE(Fake->IsInputOpen("In C"));
    Fake->AddInput("In A");
    ASSERT_TRUE(WaitFor([&] { return Inputs()->count() == 2; }));
    Spin(100);
    EXPECT_FALSE(Fake->IsInputOpen("In A"));
    EXPECT_EQ(Engine().Midi().InputDevice, 0);
    EXPECT_EQ(Inputs()->currentRow(), 0);
}

TEST_F(TDevicesTest, ASystemThatCannotAnnounceIsLookedAtOnceASecond)
{
    Fake->SetAnnouncing(false);
    Watch();
    EXPECT_FALSE(Fake->Watched());
    Fake->RemoveInput("In A");
    ASSERT_TRUE(WaitFor([&] { return Engine().Midi().InputDevice == -1; }, 3000));
    Fake->AddInput("In A");
    ASSERT_TRUE(WaitFor([&] { return Fake->IsInputOpen("In A"); }, 3000));
}

// The chosen devices, and one they could be taken for, come and go at random
// while a keyboard plays and thru runs: nothing faults, the indexes name the
// open devices at every moment the window's thread sees them, and no echo
// reaches another device.
TEST_F(TDevicesTest, AStormOfDevicesComingAndGoingWhileMidiFlows)
{
    Watch();
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    std::atomic<bool> running{true};
    std::thread keyboard([&] {
        for (int i = 0; running; ++i) {
            Fake->DeliverTo("In A", QByteArray::fromHex(i % 2 ? "F8" : "C005"));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::thread cables([&] {
        QRandomGenerator random(18);
        const QStringList devices{"In A", "In B", "Out A", "Out B"};
        QStringList gone;
        while (running) {
            const QString device = devices[random.bounded(devices.size())];
            const bool input = device.startsWith("In");
            if (gone.removeAll(device) > 0) {
                input ? Fake->AddInput(device) : Fake->AddOutput(device);
            } else {
                gone << device;
                input ? Fake->RemoveInput(device) : Fake->RemoveOutput(device);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(random.bounded(1, 4)));
        }
        for (const QString &device : gone) {
            device.startsWith("In") ? Fake->AddInput(device) : Fake->AddOutput(device);
        }
    });
    int dishonest = 0;
    const auto honest = [&](TMidiDevices &devices, int index, const char *name) {
        if (index == -1) {
            return devices.OpenIndex() == -1;
        }
        return index >= 0 && index < devices.Devices.Count() &&
               devices.Devices.Name(index) == name && devices.DeviceHandle(index) != 0;
    };
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        dishonest += !honest(MidiInput(), Engine().Midi().InputDevice, "In A");
        dishonest += !honest(MidiOutput(), Engine().Midi().OutputDevice, "Out B");
    }
    running = false;
    keyboard.join();
    cables.join();
    ASSERT_TRUE(WaitFor([&] { return Fake->IsInputOpen("In A") && Fake->IsOutputOpen("Out B"); }));
    Fake->WaitForDelivery();
    EXPECT_EQ(dishonest, 0);
    EXPECT_TRUE(honest(MidiInput(), Engine().Midi().InputDevice, "In A"));
    EXPECT_TRUE(honest(MidiOutput(), Engine().Midi().OutputDevice, "Out B"));
    EXPECT_FALSE(Fake->IsOutputOpen("Out A"));
    int elsewhere = 0;
    for (const auto &sent : Fake->Sent()) {
        elsewhere += sent.Name != "Out B";
    }
    EXPECT_EQ(elsewhere, 0);
    EXPECT_GT(Fake->Sent().size(), 100u);
    EXPECT_TRUE(Dialogs.Records.empty());
    Fake->DeliverTo("In A", QByteArray::fromHex("C009"));
    EXPECT_TRUE(Selects(9));
}

using TStartWithoutDevicesTest = TPersistenceTest;

TEST_F(TStartWithoutDevicesTest, StoredDevicesSwitchedOnAfterTheStartAreTaken)
{
    WriteBytes(SettingsPath(), "[MidiDevices]\r\nInput=late keys\r\nOutput=Late Synth\r\n");
    WriteBytes(MidiStringsPath(), QByteArray());
    Start();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty());
    EXPECT_EQ(ItemTexts(Find<QListWidget>("lbMidiIn")),
              QStringList({"In A", "In B", "late keys (not connected)"}));
    EXPECT_EQ(Find<QListWidget>("lbMidiIn")->currentRow(), 2);
    EXPECT_EQ(Engine().Midi().InputDevice, -1);
    Fake->AddInput("Late Keys");
    Fake->AddOutput("Late Synth");
    const auto open = [&] {
        return Fake->IsInputOpen("Late Keys") && Fake->IsOutputOpen("Late Synth");
    };
    ASSERT_TRUE(WaitUntil(open));
    EXPECT_EQ(ItemTexts(Find<QListWidget>("lbMidiIn")), QStringList({"In A", "In B", "Late Keys"}));
    EXPECT_EQ(Engine().Midi().InputDevice, 2);
    EXPECT_EQ(Engine().Midi().OutputDevice, 2);
    Fake->DeliverTo("Late Keys", QByteArray::fromHex("C00B"));
    EXPECT_TRUE(WaitUntil([&] { return CurrentSlot() == 11; }));
    End();
    EXPECT_TRUE(
        SettingsBytes().startsWith("[MidiDevices]\r\nInput=Late Keys\r\nOutput=Late Synth\r\n"));
}

TEST_F(TStartWithoutDevicesTest, NoMidiSystemIsToldOnSettingsUntilOneRuns)
{
    WriteBytes(SettingsPath(), "[MidiDevices]\r\nInput=In B\r\n");
    WriteBytes(MidiStringsPath(), QByteArray());
    Fake->SetSystemPresent(false);
    Start();
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty());
    const QLabel *notice = Find<QLabel>("lNoMidiSystem");
    QListWidget *inputs = Find<QListWidget>("lbMidiIn");
    EXPECT_TRUE(notice->isVisibleTo(Page("tsMidi")));
    EXPECT_TRUE(notice->text().startsWith("No MIDI system found. Start JACK or load the ALSA "
                                          "sequencer"));
    EXPECT_EQ(ItemTexts(inputs), QStringList{"In B (not connected)"});
    EXPECT_GT(notice->y(), inputs->visualItemRect(inputs->item(0)).bottom()) << "below it";
    EXPECT_TRUE(ItemTexts(Find<QListWidget>("lbMidiOut")).isEmpty());

    Fake->SetSystemPresent(true);
    ASSERT_TRUE(WaitUntil([&] { return Fake->IsInputOpen("In B"); }));
    EXPECT_TRUE(notice->isHidden());
    EXPECT_EQ(ItemTexts(inputs), QStringList({"In A", "In B"}));
    EXPECT_EQ(ItemTexts(Find<QListWidget>("lbMidiOut")), QStringList({"Out A", "Out B"}));
    Fake->DeliverTo("In B", QByteArray::fromHex("C00B"));
    EXPECT_TRUE(WaitUntil([&] { return CurrentSlot() == 11; }));
}

} // namespace
} // namespace tarvello::test
