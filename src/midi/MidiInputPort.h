#pragma once

// What every back-end does alike for one open input: gate delivery on
// start/stop, keep the receive buffers the program lends, copy system-exclusive
// data into them buffer by buffer, hand them back on reset, and cut transport
// events into single messages. A back-end feeds it the events its transport
// delivers; the program's callback sees the same thing whatever the transport.

#include "midi/MidiSystem.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>

namespace tarvello {

// Header bookkeeping shared by input and output.
TMidiResult PrepareMidiHeader(TMidiHeader *header) noexcept;
TMidiResult UnprepareMidiHeader(TMidiHeader *header) noexcept;

class TMidiInputPort {
public:
    TMidiInputPort(TMidiHandle handle, TMidiInProc callback, std::uintptr_t instance);
    TMidiInputPort(const TMidiInputPort &) = delete;
    TMidiInputPort &operator=(const TMidiInputPort &) = delete;

    TMidiHandle Handle() const noexcept { return PortHandle; }

    // Tell the program the device was opened or closed (Open / Close messages).
    void NotifyOpen() noexcept;
    void NotifyClose() noexcept;

    TMidiResult AddBuffer(TMidiHeader *header) noexcept;
    TMidiResult Start() noexcept;
    // Stops delivery and waits until a delivery running on another thread has
    // finished, so nothing reaches the program after Stop returns.
    TMidiResult Stop() noexcept;
    // Stop, then hand every lent buffer back through the callback, count 0.
    TMidiResult Reset() noexcept;
    bool HasBuffers() const noexcept;

    // Called by the back-end on its delivery thread for each event of the
    // transport. A system-exclusive event stays whole; anything else is cut into
    // single messages, each delivered as one packed short message. Bytes that
    // make no whole message (no status, cut short, a status byte where a data
    // byte belongs, running status) are dropped.
    void DeliverEvent(const std::uint8_t *data, std::size_t size) noexcept;

private:
    bool BeginDelivery() noexcept;
    void EndDelivery() noexcept;
    void DeliverMessage(const std::uint8_t *data, std::size_t size) noexcept;
    void DeliverSysEx(const std::uint8_t *data, std::size_t size) noexcept;
    std::uintptr_t Milliseconds() const noexcept;

    const TMidiHandle PortHandle;
    const TMidiInProc Callback;
    const std::uintptr_t Instance;

    mutable std::mutex Mutex;
    std::condition_variable Idle;
    std::deque<TMidiHeader *> Buffers;
    bool Started = false;
    int InFlight = 0;
    std::thread::id DeliveryThread;
    std::chrono::steady_clock::time_point StartTime;
};

} // namespace tarvello
