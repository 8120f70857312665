#include "midi/MidiInput.h"

#include "midi/Midi.h"

#include "core/TarvelloError.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tarvello {

TSysExData::TSysExData()
{
    SysExStream.setBuffer(&StreamBytes);
    SysExStream.open(QIODevice::ReadWrite);
    SysExHeader.Data = SysExBuffer.data();
    SysExHeader.BufferLength = BufferSize;
}

TMidiInput::TMidiInput(std::shared_ptr<TMidiSystem> system)
    : TMidiDevices(QStringLiteral("TMidiInput"), std::move(system))
{
    const unsigned count = System().InGetNumDevs();
    for (unsigned i = 0; i < count; ++i) {
        QString name;
        CheckResult(System().InGetDevName(i, name));
        Devices.Append(name);
        ReceiveBuffers.push_back(std::make_unique<TSysExData>());
    }
}

TMidiInput::~TMidiInput()
{
    for (int i = 0; i < Devices.Count(); ++i) {
        try {
            Close(i);
        } catch (...) {
            // Nothing can be reported at this point; what matters is that the
            // device stops calling into this list.
        }
    }
}

void TMidiInput::Open(int DeviceIndex)
{
    if (DeviceHandle(DeviceIndex) != 0) {
        return;
    }
    TMidiHandle handle = 0;
    CheckResult(System().InOpen(handle, static_cast<unsigned>(DeviceIndex), &MidiInCallback,
                                static_cast<std::uintptr_t>(DeviceIndex)));
    Devices.SetHandle(DeviceIndex, handle);

    TSysExData &data = SysExData(DeviceIndex);
    data.SysExHeader.Flags = 0;
    CheckResult(System().InPrepareHeader(handle, &data.SysExHeader));
    CheckResult(System().InAddBuffer(handle, &data.SysExHeader));
    CheckResult(System().InStart(handle));
}

void TMidiInput::Close(int DeviceIndex)
{
    const TMidiHandle handle = DeviceHandle(DeviceIndex);
    if (handle == 0) {
        return;
    }
    TSysExData &data = SysExData(DeviceIndex);
    CheckResult(System().InStop(handle));
    CheckResult(System().InReset(handle));
    CheckResult(System().InUnprepareHeader(handle, &data.SysExHeader));
    CheckResult(System().InClose(handle));
    Devices.SetHandle(DeviceIndex, 0);
    // A message cut off by the close must not stick to the front of the next one.
    data.SysExStream.buffer().clear();
    data.SysExStream.seek(0);
}

TSysExData &TMidiInput::SysExData(int DeviceIndex)
{
    DeviceHandle(DeviceIndex); // the bounds check
    return *ReceiveBuffers[static_cast<std::size_t>(DeviceIndex)];
}

void TMidiInput::HandleSysExBuffer(int DeviceIndex)
{
    TSysExData &data = SysExData(DeviceIndex);
    TMidiHeader &header = data.SysExHeader;
    if (header.BytesRecorded == 0) {
        return;
    }
    const auto count = std::min<std::uint32_t>(header.BytesRecorded, header.BufferLength);
    data.SysExStream.seek(data.SysExStream.size());
    data.SysExStream.write(reinterpret_cast<const char *>(data.SysExBuffer.data()), count);
    std::exception_ptr failure;
    if (header.Flags & MidiHeaderFlag::Done) {
        data.SysExStream.seek(0);
        if (OnSysExData) {
            try {
                OnSysExData(DeviceIndex, data.SysExStream);
            } catch (...) {
                // Passed on below, once the buffer is back with the system: a
                // failing handler must not stop all later system-exclusive input.
                failure = std::current_exception();
            }
        }
        data.SysExStream.buffer().clear();
        data.SysExStream.seek(0);
    }
    header.BytesRecorded = 0;
    const TMidiHandle handle = DeviceHandle(DeviceIndex);
    CheckResult(System().InPrepareHeader(handle, &header));
    CheckResult(System().InAddBuffer(handle, &header));
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void MidiInCallback(TMidiHandle handle, unsigned message, std::uintptr_t instance,
                    std::uintptr_t param1, std::uintptr_t) noexcept
{
    TMidiInput *input = ExistingMidiInput();
    if (input == nullptr) {
        return;
    }
    const int deviceIndex = static_cast<int>(instance);
    try {
        // Only for the device this entry opened: a list made outside MidiInput()
        // must not feed the program's handlers.
        if ((message == MidiInMessage::Data || message == MidiInMessage::LongData) &&
            input->DeviceHandle(deviceIndex) != handle) {
            return;
        }
        if (message == MidiInMessage::Data) {
            if (input->OnMidiData) {
                input->OnMidiData(deviceIndex, static_cast<std::uint8_t>(param1 & 0xFF),
                                  static_cast<std::uint8_t>((param1 >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((param1 >> 16) & 0xFF));
            }
        } else if (message == MidiInMessage::LongData) {
            input->HandleSysExBuffer(deviceIndex);
        }
    } catch (...) {
        // An exception must not unwind into the MIDI system's thread. There is no
        // one to tell on this thread; the next message is handled as usual.
    }
}

} // namespace tarvello
