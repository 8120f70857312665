#include "main/MainWindow.h"

#include "prompt/PromptEngine.h"

#include "main/MidiDeviceWatch.h"
#include "midi/Midi.h"
#include "pages/SettingsPage.h"
#include "prompt/MidiDispatch.h"

#include <functional>

namespace tarvello {
namespace {

// Closes the device stored for a list and opens the one clicked. A stored
// index that names no device (-1: the stored device was not found) has
// nothing to close. The new index is stored before the old device closes: a
// thru echo opens the output it names on demand, and one that still named the
// old device would open it again and keep it open until the program ends.
// When the system refuses the device, no device of the list is open any more,
// and the index says so; a device that opened but could not be started is
// closed again, so that the next click opens it afresh.
void SwitchDevice(TMidiDevices &devices, const std::atomic<int> &storedIndex, int clicked,
                  const std::function<void(int)> &store)
{
    const int previous = storedIndex.load();
    store(clicked);
    if (previous >= 0 && previous < devices.Devices.Count()) {
        devices.Close(previous);
    }
    try {
        devices.Open(clicked);
    } catch (...) {
        // -1 first: an echo must not open the device again once it is closed.
        store(-1);
        try {
            devices.Close(clicked);
        } catch (...) {
            // The refusal is what the operator is told about.
        }
        throw;
    }
}

QString NameAt(const TMidiDevices &devices, int index)
{
    return index >= 0 && index < devices.Devices.Count() ? devices.Devices.Name(index) : QString();
}

// Where the index that named the device `named` points once the list has been
// made anew: at the open device; nowhere when the device it named was open
// and has gone; otherwise at the device of that name, if it is still there.
int FollowedIndex(const TMidiDevices &devices, const QString &named, const QStringList &closed)
{
    const int open = devices.OpenIndex();
    if (open >= 0) {
        return open;
    }
    if (named.isEmpty() || closed.contains(named)) {
        return -1;
    }
    for (int i = 0; i < devices.Devices.Count(); ++i) {
        if (devices.Devices.Name(i) == named) {
            return i;
        }
    }
    return -1;
}

// Opens the chosen device when none of the list is open and it is present.
// Quietly: this happens on a stage page, and the next look tries again. The
// index is stored once the device is open, so that a thru echo never opens it
// on demand meanwhile (it may be gone again). True when it is still awaited.
bool OpenChosen(TMidiDevices &devices, const QString &chosen, const std::function<void(int)> &store)
{
    if (chosen.isEmpty() || devices.OpenIndex() >= 0) {
        return false;
    }
    const int present = devices.Devices.IndexOf(chosen);
    if (present < 0) {
        return true;
    }
    try {
        devices.Open(present);
    } catch (...) {
        try {
            devices.Close(present); // opened but not started: afresh next time
        } catch (...) {
        }
        return true;
    }
    store(present);
    return false;
}

} // namespace

void TfMain::lbMidiInClick()
{
    // The chosen device that is not connected: it is still waited for.
    const int row = SettingsPage->InputRow();
    if (row < 0) {
        return;
    }
    SettingsPage->ChooseSelectedInput();
    SwitchDevice(MidiInput(), Engine->Midi().InputDevice, row,
                 [this](int index) { Engine->Midi().InputDevice = index; });
}

void TfMain::lbMidiOutClick()
{
    const int row = SettingsPage->OutputRow();
    if (row < 0) {
        return;
    }
    SettingsPage->ChooseSelectedOutput();
    // The input thread reads the output index for every echo: the store waits
    // for a message being handled, so no echo that read the old index is still
    // under way when the old device closes.
    SwitchDevice(MidiOutput(), Engine->Midi().OutputDevice, row, [this](int index) {
        Engine->Dispatch().BetweenMessages([this, index] { Engine->Midi().OutputDevice = index; });
    });
}

void TfMain::WatchMidiDevices()
{
    if (DeviceWatch) {
        return;
    }
    DeviceWatch = std::make_unique<TMidiDeviceWatch>(MidiSystem());
    connect(DeviceWatch.get(), &TMidiDeviceWatch::DevicesChanged, this, &TfMain::FollowMidiDevices);
    // The first look within a second: a stored device that was missing or
    // refused at start-up is awaited from then on (not at once: what was
    // refused a moment ago is refused again).
    DeviceWatch->KeepLooking(true);
}

void TfMain::FollowMidiDevices()
{
    // Nothing here may raise a box: it runs by itself, on whatever page the
    // show is on. What fails is tried again at the next look.
    bool awaited = false;
    bool missing = false;
    try {
        // A list that could not be made at start-up may be made now.
        const bool fresh = ExistingMidiInput() == nullptr;
        TMidiInput &input = MidiInput();
        if (fresh) {
            RegisterMidiInputEvents();
        }
        // Not between messages: closing a device waits for its input handler.
        const QString named = NameAt(input, Engine->Midi().InputDevice);
        const QStringList closed = input.Refresh();
        // Without a MIDI system the watch cannot be told of one that starts:
        // it looks once a second, and making the lists anew looks for a
        // system too.
        missing = !input.System().SystemPresent();
        Engine->Midi().InputDevice = FollowedIndex(input, named, closed);
        awaited |= OpenChosen(input, SettingsPage->ChosenInput(),
                              [this](int index) { Engine->Midi().InputDevice = index; });
        SettingsPage->SetInputDevices(input.Devices.Names());
    } catch (...) {
        awaited = true;
    }
    try {
        TMidiOutput &output = MidiOutput();
        const auto store = [this](int index) {
            Engine->Dispatch().BetweenMessages(
                [this, index] { Engine->Midi().OutputDevice = index; });
        };
        // Between messages: an echo never meets the list half made, nor an
        // index of the old list.
        Engine->Dispatch().BetweenMessages([&] {
            const QString named = NameAt(output, Engine->Midi().OutputDevice);
            const QStringList closed = output.Refresh();
            Engine->Midi().OutputDevice = FollowedIndex(output, named, closed);
        });
        awaited |= OpenChosen(output, SettingsPage->ChosenOutput(), store);
        SettingsPage->SetOutputDevices(output.Devices.Names());
    } catch (...) {
        awaited = true;
    }
    SettingsPage->ShowMidiSystemMissing(missing);
    if (DeviceWatch) {
        DeviceWatch->KeepLooking(awaited);
    }
}

} // namespace tarvello
