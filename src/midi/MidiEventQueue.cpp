#include "midi/MidiEventQueue.h"

#include <jack/ringbuffer.h>

#include <new>
#include <utility>

namespace tarvello {

TMidiEventQueue::TMidiEventQueue(TSink sink) : Sink(std::move(sink))
{
    Ring = jack_ringbuffer_create(Capacity);
    if (Ring == nullptr) {
        throw std::bad_alloc();
    }
    Worker = std::thread([this] { Run(); });
}

TMidiEventQueue::~TMidiEventQueue()
{
    Quit = true;
    Pending.release();
    Worker.join();
    jack_ringbuffer_free(Ring);
}

void TMidiEventQueue::Push(const std::uint8_t *data, std::size_t size) noexcept
{
    const std::uint32_t length = static_cast<std::uint32_t>(size);
    if (size == 0 || size > Capacity || jack_ringbuffer_write_space(Ring) < sizeof(length) + size) {
        return;
    }
    jack_ringbuffer_write(Ring, reinterpret_cast<const char *>(&length), sizeof(length));
    jack_ringbuffer_write(Ring, reinterpret_cast<const char *>(data), size);
    Pending.release();
}

void TMidiEventQueue::Run()
{
    std::vector<std::uint8_t> event;
    for (;;) {
        Pending.acquire();
        if (Quit) {
            return;
        }
        std::uint32_t length = 0;
        if (jack_ringbuffer_read(Ring, reinterpret_cast<char *>(&length), sizeof(length)) !=
            sizeof(length)) {
            continue;
        }
        event.resize(length);
        jack_ringbuffer_read(Ring, reinterpret_cast<char *>(event.data()), length);
        Sink(event.data(), event.size());
    }
}

} // namespace tarvello
