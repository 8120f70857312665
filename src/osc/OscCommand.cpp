#include "osc/OscCommand.h"

#include "core/SlotTypes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvello {
namespace {

// The largest show number a bank can name (two seven-bit halves).
constexpr int LastShowNumber = 16383;

struct TAddress {
    std::string_view Path;
    TOscVerb Verb;
    bool TakesNumber;
    int Last; // the largest number it takes
};

constexpr std::array<TAddress, 12> Addresses{{
    {"/tarvello/slot", TOscVerb::Slot, true, LastSlotKey},
    {"/tarvello/value", TOscVerb::Value, true, PreviousPromptValue},
    {"/tarvello/next", TOscVerb::Next, false, 0},
    {"/tarvello/previous", TOscVerb::Previous, false, 0},
    {"/tarvello/line/up", TOscVerb::LineUp, false, 0},
    {"/tarvello/line/down", TOscVerb::LineDown, false, 0},
    {"/tarvello/page/up", TOscVerb::PageUp, false, 0},
    {"/tarvello/page/down", TOscVerb::PageDown, false, 0},
    {"/tarvello/select", TOscVerb::Select, false, 0},
    {"/tarvello/show", TOscVerb::Show, true, LastShowNumber},
    {"/tarvello/ping", TOscVerb::Ping, false, 0},
    // What cue programs send.
    {"/go", TOscVerb::Next, false, 0},
}};

// Decimal digits only: no sign, no blanks, and few enough that they cannot
// overflow. -1 for anything else.
int DigitsValue(std::string_view text)
{
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// The number an argument stands for, or nothing when it is of no number's
// type; a number too large for the address is returned as it is, so that it
// is told apart as out of range.
std::optional<long> NumberOf(const TOscArgument &argument)
{
    switch (argument.Type) {
    case 'i':
        return argument.Int;
    case 'f':
        if (!std::isfinite(argument.Float) || std::fabs(argument.Float) > 1e6f) {
            return std::nullopt;
        }
        return std::lround(argument.Float);
    case 's': {
        const int value = DigitsValue(argument.Text);
        return value < 0 ? std::nullopt : std::optional<long>(value);
    }
    default:
        return std::nullopt;
    }
}

// The constant-time comparison of a key: how much of it matched is not told
// by how long the answer took.
bool SameKey(std::string_view given, std::string_view key)
{
    if (given.size() != key.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (size_t i = 0; i < key.size(); ++i) {
        difference |= static_cast<unsigned char>(given[i] ^ key[i]);
    }
    return difference == 0;
}

// "/cue/{n}/start": the slot n, or -1 when the path is not of that form.
int CueSlot(std::string_view path)
{
    constexpr std::string_view head = "/cue/";
    constexpr std::string_view tail = "/start";
    if (path.size() <= head.size() + tail.size() || !path.starts_with(head) ||
        !path.ends_with(tail)) {
        return -1;
    }
    return DigitsValue(path.substr(head.size(), path.size() - head.size() - tail.size()));
}

} // namespace

TOscParsed ParseOscMessage(std::string_view path, const std::vector<TOscArgument> &arguments,
                           std::string_view key, bool keyNeeded)
{
    size_t count = arguments.size();
    const bool keyed = !key.empty() && count > 0 && arguments.back().Type == 's' &&
                       SameKey(arguments.back().Text, key);
    if (keyed) {
        --count;
    } else if (keyNeeded) {
        return {std::nullopt, TOscDrop::NoKey};
    }
    if (path.starts_with("/cue/")) {
        const int cue = CueSlot(path);
        if (cue < 0) {
            return {std::nullopt, TOscDrop::UnknownAddress};
        }
        if (count != 0) {
            return {std::nullopt, TOscDrop::BadArguments};
        }
        if (cue > LastSlotKey) {
            return {std::nullopt, TOscDrop::OutOfRange};
        }
        return {TOscCommand{TOscVerb::Slot, cue}, TOscDrop::None};
    }
    const auto address = std::find_if(Addresses.begin(), Addresses.end(),
                                      [path](const TAddress &a) { return a.Path == path; });
    if (address == Addresses.end()) {
        return {std::nullopt, TOscDrop::UnknownAddress};
    }
    if (count != (address->TakesNumber ? 1u : 0u)) {
        return {std::nullopt, TOscDrop::BadArguments};
    }
    TOscCommand command{address->Verb, 0};
    if (address->TakesNumber) {
        const std::optional<long> number = NumberOf(arguments.front());
        if (!number) {
            return {std::nullopt, TOscDrop::BadArguments};
        }
        if (*number < 0 || *number > address->Last) {
            return {std::nullopt, TOscDrop::OutOfRange};
        }
        command.Number = int(*number);
    }
    return {command, TOscDrop::None};
}

QString OscDropText(TOscDrop drop)
{
    switch (drop) {
    case TOscDrop::None:
        return QString();
    case TOscDrop::Unreadable:
        return QStringLiteral("not an OSC message");
    case TOscDrop::UnknownAddress:
        return QStringLiteral("unknown address");
    case TOscDrop::BadArguments:
        return QStringLiteral("wrong arguments");
    case TOscDrop::OutOfRange:
        return QStringLiteral("number out of range");
    case TOscDrop::NoKey:
        return QStringLiteral("from another computer without the key");
    case TOscDrop::Flood:
        return QStringLiteral("too many at once");
    }
    return QString();
}

} // namespace tarvello
