#pragma once

// The MIDI device layer as the rest of the program uses it:
//
//   TMidiInput &in = MidiInput();          // first call enumerates the inputs
//   QStringList names = in.Devices.Names();
//   in.OnMidiData = [](int device, std::uint8_t status, std::uint8_t data1,
//                      std::uint8_t data2) { ... };   // on the MIDI input thread
//   in.Open(index);  ...  in.Close(index);
//
//   MidiOutput().SendShortMessage(index, 0xC0, 5, 0);  // opens on demand
//   MidiOutput().SendHexString(index, "B2 07 93");     // comments are skipped
//
// Failures throw tarvello::TError carrying the text the operator sees.

#include "midi/MidiDevices.h"
#include "midi/MidiInput.h"
#include "midi/MidiOutput.h"
#include "midi/MidiString.h"
#include "midi/MidiSystem.h"

namespace tarvello {

// The program-wide device lists, made on first use from MidiSystem() and kept
// until ReleaseMidiDevices. Making a list enumerates the devices; a failing
// name query throws and the next call tries again.
TMidiInput &MidiInput();
TMidiOutput &MidiOutput();

// Destroys both lists (closing what is still open) and lets go of the MIDI
// system. Called at program end after the main window; tests call it between cases.
void ReleaseMidiDevices();

// The input list if it exists, without making it: for the input callback,
// which must never enumerate devices on the MIDI thread.
TMidiInput *ExistingMidiInput() noexcept;

} // namespace tarvello
