#pragma once

// OSC messages as bytes on the wire, read and written by liblo: the one
// place of the program that calls it.

#include "osc/OscCommand.h"

#include <QByteArray>

#include <optional>
#include <string>
#include <vector>

namespace tarvello {

struct TOscMessage {
    std::string Path;
    std::vector<TOscArgument> Arguments;
};

// One datagram read as a message: nothing when it is none (a bundle, random
// bytes, lengths or tags that do not add up). Arguments of other types than
// i, f and s keep only their tag.
std::optional<TOscMessage> ReadOscMessage(const QByteArray &datagram);
// A message with arguments of types i, f and s.
QByteArray WriteOscMessage(const TOscMessage &message);

} // namespace tarvello
