#pragma once

// What an OSC message asks of the stage, read from its address and arguments
// by fixed rules. Nothing here touches the network or a widget: the server
// hands each message's parts to ParseOscMessage and acts on its answer.

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvello {

enum class TOscVerb {
    Slot,  // Number: a slot, 0..122, as the same MIDI value
    Value, // Number: a MIDI value, 0..127
    Next,
    Previous,
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    Select, // the Nav Pad's "Select"
    Show,   // Number: a show, opened at its first slot
    Ping    // answered with /tarvello/pong to its sender
};

struct TOscCommand {
    TOscVerb Verb = TOscVerb::Ping;
    int Number = 0;
    bool operator==(const TOscCommand &) const = default;
};

// One argument as it came: its type tag and the value of that type.
struct TOscArgument {
    char Type = 'i';
    std::int32_t Int = 0;
    float Float = 0;
    std::string Text;
};

// Why a message was not acted on.
enum class TOscDrop {
    None,
    Unreadable,     // no OSC message (random bytes, a bundle, a cut-off datagram)
    UnknownAddress, // an address the program does not know
    BadArguments,   // too many or too few, or of a type that is no number
    OutOfRange,     // a number outside the address's range
    NoKey,          // from another host without the key as its last argument
    Flood           // more than the stage can take at once
};

struct TOscParsed {
    std::optional<TOscCommand> Command;
    TOscDrop Drop = TOscDrop::None;
};

// Reads one message. A number argument may be an integer (i), a float (f,
// rounded) or a string of decimal digits (s). When `key` is not empty and the
// last argument is a string equal to it, that argument is the key and not
// part of the command; `keyNeeded` (a sender other than 127.0.0.1) drops a
// message without it.
TOscParsed ParseOscMessage(std::string_view path, const std::vector<TOscArgument> &arguments,
                           std::string_view key, bool keyNeeded);

// The operator's words for a reason to drop a message.
QString OscDropText(TOscDrop drop);

} // namespace tarvello
