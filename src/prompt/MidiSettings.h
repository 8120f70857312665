#pragma once

#include <atomic>

namespace tarvello {

// The two kinds of message that select a slot, as status bytes without
// their channel.
inline constexpr int PatchMessageType = 0xC0;      // Program Change
inline constexpr int ControllerMessageType = 0xB0; // Control Change

// The MIDI settings as the input thread reads them: written on the window's
// thread with single stores, so a message that arrives during a change is
// judged by the old or the new value of each field.
struct TMidiSettings {
    std::atomic<int> MessageType{PatchMessageType}; // or ControllerMessageType
    std::atomic<int> Channel{0};                    // 0..15
    std::atomic<int> Controller{0};                 // 0..127, -1 for none
    // The open devices' indexes, -1 when the chosen one has gone.
    std::atomic<int> InputDevice{0};
    std::atomic<int> OutputDevice{0};
    // "Midi Thru", a copy of the check box.
    std::atomic<bool> Thru{false};
    // In Controller mode, the controller whose value opens a show (0..127),
    // -1 for none.
    std::atomic<int> ShowController{-1};
    // "Song Select": a Song Select message selects a slot as a Program
    // Change does.
    std::atomic<bool> SongSelect{false};
};

} // namespace tarvello
