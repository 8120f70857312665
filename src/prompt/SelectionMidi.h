#pragma once

// What a selection in the lists sends to the MIDI output: the selecting
// Program Change or Control Change rebuilt from the settings, then the slot's
// MIDI strings, each as a message of its own.

#include "prompt/MidiSettings.h"

#include <QStringList>

#include <cstdint>
#include <optional>

namespace tarvello {

class TMidiOutput;

struct TShortMessage {
    std::uint8_t Status = 0;
    std::uint8_t Data1 = 0;
    std::uint8_t Data2 = 0;
    bool operator==(const TShortMessage &) const = default;
};

struct TSelectionMidiSettings {
    bool SendMessage = false; // "Output Midi on list click"
    bool SendStrings = false; // "Output Midi String List"
    int MessageType = PatchMessageType;
    int Channel = 0;
    int Controller = 0;
    int OutputDevice = 0;
};

// The message that selects slot in the program's own settings: a Program
// Change with the slot as program number, or a Control Change on the chosen
// controller with the slot as value. Without a chosen controller there is no
// such message.
std::optional<TShortMessage> SelectionShortMessage(int messageType, int channel, int controller,
                                                   int slot);

// Sends what the settings ask for, the short message first. An output error
// stops at that point: a failing short message sends no MIDI string, and a
// failing string stops the lines after it. Lines that are not MIDI strings
// (comments) are skipped.
void SendSelectionMidi(TMidiOutput &output, const TSelectionMidiSettings &settings, int slot,
                       const QStringList &midiStrings);

} // namespace tarvello
