#pragma once

// Cutting a run of MIDI bytes into single messages, the way a receiver on a
// serial MIDI line reads it. The ALSA sequencer and JACK carry one message per
// event, so bytes written as one string ('C0 05 B0 07 64') must be cut before
// they go out, and an event holding several messages must be cut on the way in.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvello {

// Length of the message that begins with a status byte: 1 to 3, or 0 for the
// start of a system-exclusive message (its length is open) and for data bytes.
constexpr int MidiMessageLength(std::uint8_t status)
{
    if (status < 0x80 || status == 0xF0) {
        return 0;
    }
    if (status < 0xF0) {
        const std::uint8_t kind = status & 0xF0;
        return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1; // F4-F7 and the real-time bytes F8-FF
    }
}

// Whether a data byte after a complete channel message starts another one of
// the same status. A MIDI line allows it; an event of the ALSA sequencer or of
// JACK is one message of its own, always with its status byte.
enum class TRunningStatus { Allowed, Refused };

// Calls deliver(const std::uint8_t *message, std::size_t length) for every message
// in order, as a receiver on a MIDI line would read them:
// - real-time bytes (F8-FF) stand alone wherever they appear, even inside a
//   system-exclusive message, which then goes on;
// - a system-exclusive message runs from F0 up to and including F7, or up to the
//   next status byte or the end when F7 is missing, and stays one message;
// - channel messages use running status ('C0 05 06' is two program changes)
//   unless it is refused;
// - data bytes with no status to run on, and a message cut short by the next
//   status byte or the end, are dropped: a receiver ignores them too.
// Returns true when every byte went into a message.
template <class Deliver>
bool SplitMidiMessages(const std::uint8_t *data, std::size_t size, Deliver &&deliver,
                       TRunningStatus runningStatus = TRunningStatus::Allowed)
{
    const bool mayRun = runningStatus == TRunningStatus::Allowed;
    std::uint8_t message[3] = {};
    std::size_t have = 0;
    std::size_t need = 0;
    std::uint8_t running = 0;
    std::vector<std::uint8_t>
        sysex; // only for a system-exclusive message broken by real-time bytes
    bool whole = true;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t byte = data[i];
        if (byte >= 0xF8) {
            deliver(&data[i], std::size_t{1});
            ++i;
            continue;
        }
        if (byte == 0xF0) {
            have = 0;
            running = 0;
            std::size_t end = i + 1;
            bool interrupted = false;
            while (end < size && (data[end] < 0x80 || data[end] >= 0xF8)) {
                interrupted = interrupted || data[end] >= 0xF8;
                ++end;
            }
            if (end < size && data[end] == 0xF7) {
                ++end;
            }
            if (!interrupted) {
                deliver(&data[i], end - i);
            } else {
                sysex.clear();
                for (std::size_t k = i; k < end; ++k) {
                    if (data[k] >= 0xF8) {
                        deliver(&data[k], std::size_t{1});
                    } else {
                        sysex.push_back(data[k]);
                    }
                }
                deliver(sysex.data(), sysex.size());
            }
            i = end;
            continue;
        }
        if (byte >= 0x80) {
            whole = whole && have == 0;
            message[0] = byte;
            have = 1;
            need = static_cast<std::size_t>(MidiMessageLength(byte));
            running = byte < 0xF0 && mayRun ? byte : 0;
        } else if (have == 0) {
            if (running != 0) {
                message[0] = running;
                message[1] = byte;
                have = 2;
                need = static_cast<std::size_t>(MidiMessageLength(running));
            } else {
                whole = false;
            }
        } else {
            message[have++] = byte;
        }
        if (have != 0 && have == need) {
            deliver(static_cast<const std::uint8_t *>(message), have);
            have = 0;
        }
        ++i;
    }
    return whole && have == 0;
}

// True when the bytes are nothing but complete messages, so cutting them loses nothing.
inline bool IsWholeMidi(const std::uint8_t *data, std::size_t size)
{
    return SplitMidiMessages(data, size, [](const std::uint8_t *, std::size_t) {});
}

} // namespace tarvello
