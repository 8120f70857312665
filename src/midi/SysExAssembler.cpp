#include "midi/SysExAssembler.h"

#include <utility>

namespace tarvello {

namespace {

constexpr std::uint8_t SysExStart = 0xF0;
constexpr std::uint8_t SysExEnd = 0xF7;

bool IsRealTime(std::uint8_t status)
{
    return status >= 0xF8;
}

} // namespace

TSysExAssembler::TSysExAssembler(TDeliver deliver) : Deliver(std::move(deliver)) {}

void TSysExAssembler::Feed(const std::uint8_t *data, std::size_t size)
{
    if (data == nullptr || size == 0) {
        return;
    }
    const std::uint8_t first = data[0];
    if (first == SysExStart) {
        // A new message begins: one still open was never ended and is lost.
        Pending.clear();
        Open = false;
        Overflowed = false;
        if (data[size - 1] == SysExEnd) {
            Deliver(data, size);
            return;
        }
        Open = true;
        Append(data, size);
        return;
    }
    if (Open && (first < 0x80 || first == SysExEnd)) {
        Append(data, size);
        if (data[size - 1] == SysExEnd) {
            Finish();
        }
        return;
    }
    if (Open && !IsRealTime(first)) {
        // Any other status byte ends a message that is not complete.
        Pending.clear();
        Open = false;
        Overflowed = false;
    }
    // A clock tick or active sensing may come between the pieces of a message.
    Deliver(data, size);
}

void TSysExAssembler::Append(const std::uint8_t *data, std::size_t size)
{
    if (Overflowed) {
        return;
    }
    if (Pending.size() + size > MaxSize) {
        Overflowed = true;
        Pending.clear();
        Pending.shrink_to_fit();
        return;
    }
    Pending.insert(Pending.end(), data, data + size);
}

void TSysExAssembler::Finish()
{
    if (!Overflowed) {
        Deliver(Pending.data(), Pending.size());
    }
    Pending.clear();
    Open = false;
    Overflowed = false;
}

} // namespace tarvello
