#include "main/MainWindow.h"

#include "midi/Midi.h"
#include "prompt/SelectionMidi.h"

#include <QCheckBox>

namespace tarvello {

void TfMain::SendSelectionMidiToOutput()
{
    TSelectionMidiSettings settings;
    settings.SendMessage = cbMidiOut->isChecked();
    settings.SendStrings = cbMidiStrings->isChecked();
    const int slot = CurrentSlot();
    const QStringList &strings = MidiStringLists[slot + 1];
    // Nothing to send: the device lists are not even made.
    if (!settings.SendMessage && (!settings.SendStrings || strings.isEmpty())) {
        return;
    }
    settings.MessageType = MidiMessageType;
    settings.Channel = MidiChannel;
    settings.Controller = MidiController;
    settings.OutputDevice = OutputDeviceIndex;
    tarvello::SendSelectionMidi(MidiOutput(), settings, slot, strings);
}

} // namespace tarvello
