#pragma once

// Joins a system-exclusive message that a transport carries in several events
// (JACK bridges such as a2jmidid cut a long dump into pieces: the first begins
// with F0, the next ones with data bytes, the last ends with F7). Every other
// event passes through unchanged. Runs on one thread; not for real-time use.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarvello {

class TSysExAssembler {
public:
    using TDeliver = std::function<void(const std::uint8_t *data, std::size_t size)>;

    // A message longer than this is dropped whole, so that a sender that never
    // ends its dump cannot take all memory.
    static constexpr std::size_t MaxSize = 1024 * 1024;

    explicit TSysExAssembler(TDeliver deliver);

    // One event of the transport, in order.
    void Feed(const std::uint8_t *data, std::size_t size);

private:
    void Append(const std::uint8_t *data, std::size_t size);
    void Finish();

    TDeliver Deliver;
    std::vector<std::uint8_t> Pending; // the message so far while one is open
    bool Open = false;
    bool Overflowed = false;
};

} // namespace tarvello
