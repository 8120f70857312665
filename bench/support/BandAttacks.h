#pragma once

// Every attack on band screens found from outside, run at once for as long
// as the object lives, each on a thread of its own and from its own loopback
// address: handshakes closed at once, pings never read, chunked bodies without
// end, pipelined requests never read, followers that talk, a cycler of picture
// widths, foreign origins and host names, connections that never finish their
// request, one-byte dribblers and malformed framing.

#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

namespace tarvello::test {

class TBandAttacks {
public:
    // `aside`: the attackers take the processor only when this machine has
    // nothing else to do, as they would from devices of their own; otherwise
    // they share it with the program as equals.
    TBandAttacks(quint16 port, bool aside);
    ~TBandAttacks();
    TBandAttacks(const TBandAttacks &) = delete;
    TBandAttacks &operator=(const TBandAttacks &) = delete;

private:
    std::atomic<bool> Stop{false};
    std::vector<std::unique_ptr<QThread>> Threads;
};

} // namespace tarvello::test
