#pragma once

// The program-wide list of MIDI input devices. Short messages and finished
// system-exclusive data reach the two handlers on the thread on which the MIDI
// system delivers input, never on the window's thread.

#include "midi/MidiDevices.h"

#include <QBuffer>
#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <vector>

namespace tarvello {

// Receives each short message. Runs on the MIDI input thread: keep it short,
// take your own lock, hand widget work to the window's thread with a queued
// call, and never wait for the window's thread (Close waits for a running
// handler to finish).
using TMidiDataEvent = std::function<void(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                                          std::uint8_t Data2)>;
// Receives each complete system-exclusive message, from F0 to F7, in Stream at
// position 0. The stream is emptied when the handler returns. Same thread rules.
using TSysExDataEvent = std::function<void(int DeviceIndex, QBuffer &Stream)>;

// The receive buffer of one input device, lent to the MIDI system while the
// device is open.
class TSysExData {
public:
    static constexpr std::uint32_t BufferSize = 65536;

    TSysExData();
    TSysExData(const TSysExData &) = delete;
    TSysExData &operator=(const TSysExData &) = delete;

    QBuffer SysExStream; // the bytes of the message being received
    TMidiHeader SysExHeader;
    std::array<std::uint8_t, BufferSize> SysExBuffer{};
    // What the device is opened with as the callback's instance data: unlike
    // the index, it stays the same while the list is renumbered around it.
    const std::uintptr_t Instance;

private:
    QByteArray StreamBytes;
};

class TMidiInput : public TMidiDevices {
public:
    // Enumerates the system's input devices. Throws TError when a name query fails.
    explicit TMidiInput(std::shared_ptr<TMidiSystem> system);
    // Closes what is still open, quietly, so no callback reaches a freed list.
    ~TMidiInput() override;

    // Opens the device, lends its buffer and starts input.
    void Open(int DeviceIndex) override;
    // Stops input, takes the buffer back and closes the device. Waits for a
    // handler that is running on the input thread, so never call it while
    // holding a lock that the handlers take (Refresh closes devices too).
    void Close(int DeviceIndex) override;

    // The buffer of DeviceIndex came back from the MIDI system: collect its bytes,
    // pass a finished message to OnSysExData, lend the buffer again. A buffer
    // handed back empty (by Close) is not lent again.
    void HandleSysExBuffer(int DeviceIndex);

    TSysExData &SysExData(int DeviceIndex);
    // The instance data the device at DeviceIndex is opened with.
    std::uintptr_t CallbackInstance(int DeviceIndex);

    // The input thread's part of MidiInCallback: passes on what the device
    // opened under instance and handle delivers, if it is open in this list.
    void Receive(TMidiHandle handle, unsigned message, std::uintptr_t instance,
                 std::uintptr_t param1);

    // Assign these while no device is open (the main window does so at creation).
    TMidiDataEvent OnMidiData;
    TSysExDataEvent OnSysExData;

protected:
    void SystemRescan() override;
    unsigned SystemCount() override;
    TMidiResult SystemName(unsigned deviceId, QString &name) override;
    bool SystemConnected(TMidiHandle handle) override;
    void Renumber(const QStringList &names, const std::vector<int> &continued) override;

private:
    void HandleSysExBuffer(TSysExData &data, int DeviceIndex, TMidiHandle handle);
    void SetHandle(int DeviceIndex, TMidiHandle handle);

    // One per entry of Devices, in the same order.
    std::vector<std::unique_ptr<TSysExData>> ReceiveBuffers;
    // Buffers of devices that could not be closed when they went away: the
    // system may still hold them.
    std::vector<std::pair<TMidiHandle, std::unique_ptr<TSysExData>>> Retired;
    // Written on the window's thread (opens, closes, renumbering), read on the
    // input thread; the window's thread reads the list without it.
    mutable std::shared_mutex ListLock;
};

// The callback every input device is opened with; instance is the device's
// CallbackInstance in MidiInput(). It never throws: a failure inside a handler
// ends that one delivery only.
void MidiInCallback(TMidiHandle handle, unsigned message, std::uintptr_t instance,
                    std::uintptr_t param1, std::uintptr_t param2) noexcept;

} // namespace tarvello
