#pragma once

// Carries input events from the transport's thread to a thread of our own.
// JACK calls its clients from its real-time process thread, which must never
// wait: the program's handlers take locks, post to the window and may even open
// an output device (thru). So the transport's callback only copies the event
// into a lock-free ring, and the program is called from the queue's thread.

#include <jack/ringbuffer.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <semaphore>
#include <thread>
#include <vector>

namespace tarvello {

class TMidiEventQueue {
public:
    using TSink = std::function<void(const std::uint8_t *data, std::size_t size)>;

    // Events that do not fit in the free part of the ring are dropped, so the
    // transport's thread never waits.
    static constexpr std::size_t Capacity = 256 * 1024;

    explicit TMidiEventQueue(TSink sink);
    // Stops the thread; events still queued are dropped.
    ~TMidiEventQueue();
    TMidiEventQueue(const TMidiEventQueue &) = delete;
    TMidiEventQueue &operator=(const TMidiEventQueue &) = delete;

    // From the one producing thread only. Never blocks, never allocates.
    void Push(const std::uint8_t *data, std::size_t size) noexcept;

private:
    void Run();

    TSink Sink;
    jack_ringbuffer_t *Ring = nullptr;
    std::counting_semaphore<> Pending{0};
    std::atomic<bool> Quit{false};
    std::thread Worker;
};

} // namespace tarvello
