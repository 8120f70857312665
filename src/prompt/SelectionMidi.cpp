#include "prompt/SelectionMidi.h"

#include "midi/MidiOutput.h"

namespace tarvello {

std::optional<TShortMessage> SelectionShortMessage(int messageType, int channel, int controller,
                                                   int slot)
{
    const auto status = static_cast<std::uint8_t>(messageType + channel);
    const auto value = static_cast<std::uint8_t>(slot & 0x7F);
    if (messageType == ControllerMessageType) {
        // A controller number outside 0..127 would go out as a status byte in
        // the middle of the message and garble the receiver's stream.
        if (controller < 0 || controller > 127) {
            return std::nullopt;
        }
        return TShortMessage{status, static_cast<std::uint8_t>(controller), value};
    }
    return TShortMessage{status, value, 0};
}

void SendSelectionMidi(TMidiOutput &output, const TSelectionMidiSettings &settings, int slot,
                       const QStringList &midiStrings)
{
    if (settings.SendMessage) {
        if (const auto message = SelectionShortMessage(settings.MessageType, settings.Channel,
                                                       settings.Controller, slot)) {
            output.SendShortMessage(settings.OutputDevice, message->Status, message->Data1,
                                    message->Data2);
        }
    }
    if (settings.SendStrings) {
        // A copy: the count and the lines are those of the moment of selection.
        const QStringList lines = midiStrings;
        for (const QString &line : lines) {
            output.SendHexString(settings.OutputDevice, line);
        }
    }
}

} // namespace tarvello
