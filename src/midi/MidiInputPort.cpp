#include "midi/MidiInputPort.h"

#include "midi/MidiMessageSplit.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarvello {

TMidiResult PrepareMidiHeader(TMidiHeader *header) noexcept
{
    if (header == nullptr) {
        return MidiResult::InvalidParameter;
    }
    header->Flags |= MidiHeaderFlag::Prepared;
    return MidiResult::NoError;
}

TMidiResult UnprepareMidiHeader(TMidiHeader *header) noexcept
{
    if (header == nullptr) {
        return MidiResult::InvalidParameter;
    }
    if (header->Flags & MidiHeaderFlag::InQueue) {
        return MidiResult::StillPlaying;
    }
    header->Flags &= ~MidiHeaderFlag::Prepared;
    return MidiResult::NoError;
}

TMidiInputPort::TMidiInputPort(TMidiHandle handle, TMidiInProc callback, std::uintptr_t instance)
    : PortHandle(handle), Callback(callback), Instance(instance),
      StartTime(std::chrono::steady_clock::now())
{
}

void TMidiInputPort::NotifyOpen() noexcept
{
    if (Callback != nullptr) {
        Callback(PortHandle, MidiInMessage::Open, Instance, 0, 0);
    }
}

void TMidiInputPort::NotifyClose() noexcept
{
    if (Callback != nullptr) {
        Callback(PortHandle, MidiInMessage::Close, Instance, 0, 0);
    }
}

TMidiResult TMidiInputPort::AddBuffer(TMidiHeader *header) noexcept
{
    if (header == nullptr || header->Data == nullptr || header->BufferLength == 0) {
        return MidiResult::InvalidParameter;
    }
    if (!(header->Flags & MidiHeaderFlag::Prepared)) {
        return MidiResult::Unprepared;
    }
    std::lock_guard lock(Mutex);
    if (header->Flags & MidiHeaderFlag::InQueue) {
        return MidiResult::StillPlaying;
    }
    header->Flags = (header->Flags & ~MidiHeaderFlag::Done) | MidiHeaderFlag::InQueue;
    header->BytesRecorded = 0;
    Buffers.push_back(header);
    return MidiResult::NoError;
}

TMidiResult TMidiInputPort::Start() noexcept
{
    std::lock_guard lock(Mutex);
    if (!Started) {
        Started = true;
        StartTime = std::chrono::steady_clock::now();
    }
    return MidiResult::NoError;
}

TMidiResult TMidiInputPort::Stop() noexcept
{
    std::unique_lock lock(Mutex);
    Started = false;
    // A handler that stops its own device from inside the callback must not wait
    // for itself.
    if (DeliveryThread != std::this_thread::get_id()) {
        Idle.wait(lock, [this] { return InFlight == 0; });
    }
    return MidiResult::NoError;
}

TMidiResult TMidiInputPort::Reset() noexcept
{
    Stop();
    std::deque<TMidiHeader *> returned;
    {
        std::lock_guard lock(Mutex);
        returned.swap(Buffers);
    }
    for (TMidiHeader *header : returned) {
        header->BytesRecorded = 0;
        header->Flags = (header->Flags & ~MidiHeaderFlag::InQueue) | MidiHeaderFlag::Done;
        if (Callback != nullptr) {
            Callback(PortHandle, MidiInMessage::LongData, Instance,
                     reinterpret_cast<std::uintptr_t>(header), Milliseconds());
        }
    }
    return MidiResult::NoError;
}

bool TMidiInputPort::HasBuffers() const noexcept
{
    std::lock_guard lock(Mutex);
    return !Buffers.empty();
}

bool TMidiInputPort::BeginDelivery() noexcept
{
    std::lock_guard lock(Mutex);
    if (!Started || Callback == nullptr) {
        return false;
    }
    ++InFlight;
    DeliveryThread = std::this_thread::get_id();
    return true;
}

void TMidiInputPort::EndDelivery() noexcept
{
    {
        std::lock_guard lock(Mutex);
        if (--InFlight == 0) {
            DeliveryThread = std::thread::id();
        }
    }
    Idle.notify_all();
}

std::uintptr_t TMidiInputPort::Milliseconds() const noexcept
{
    const auto elapsed = std::chrono::steady_clock::now() - StartTime;
    return static_cast<std::uintptr_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void TMidiInputPort::DeliverEvent(const std::uint8_t *data, std::size_t size) noexcept
{
    if (data == nullptr || size == 0 || !BeginDelivery()) {
        return;
    }
    try {
        if (data[0] == 0xF0) {
            DeliverSysEx(data, size);
        } else {
            // Only whole messages go on, each with its own status byte and its
            // data bytes below 0x80. Anything else (a lone 'C0', 'B2 07 93' sent
            // as written by another program) would reach the handlers padded
            // or with a status byte for a value: a program change to 0, a
            // controller value of 147 replacing the real selection.
            SplitMidiMessages(
                data, size,
                [this](const std::uint8_t *message, std::size_t length) {
                    DeliverMessage(message, length);
                },
                TRunningStatus::Refused);
        }
    } catch (...) {
        // Only the splitter's scratch buffer can throw (out of memory): lose the
        // event, keep the device.
    }
    EndDelivery();
}

void TMidiInputPort::DeliverMessage(const std::uint8_t *data, std::size_t size) noexcept
{
    if (data[0] == 0xF0) {
        DeliverSysEx(data, size);
        return;
    }
    std::uint32_t packed = data[0];
    if (size > 1) {
        packed |= std::uint32_t{data[1]} << 8;
    }
    if (size > 2) {
        packed |= std::uint32_t{data[2]} << 16;
    }
    Callback(PortHandle, MidiInMessage::Data, Instance, packed, Milliseconds());
}

void TMidiInputPort::DeliverSysEx(const std::uint8_t *data, std::size_t size) noexcept
{
    std::size_t offset = 0;
    while (offset < size) {
        TMidiHeader *header = nullptr;
        {
            std::lock_guard lock(Mutex);
            if (!Started || Buffers.empty()) {
                return; // no buffer lent: the rest is dropped
            }
            header = Buffers.front();
            Buffers.pop_front();
        }
        const std::size_t chunk = std::min<std::size_t>(size - offset, header->BufferLength);
        std::memcpy(header->Data, data + offset, chunk);
        offset += chunk;
        header->BytesRecorded = static_cast<std::uint32_t>(chunk);
        header->Flags &= ~(MidiHeaderFlag::InQueue | MidiHeaderFlag::Done);
        if (offset == size) {
            header->Flags |= MidiHeaderFlag::Done;
        }
        Callback(PortHandle, MidiInMessage::LongData, Instance,
                 reinterpret_cast<std::uintptr_t>(header), Milliseconds());
    }
}

} // namespace tarvello
