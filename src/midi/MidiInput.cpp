#include "midi/MidiInput.h"

#include "midi/Midi.h"

#include "core/TarvelloError.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <utility>

namespace tarvello {

namespace {

// Never 0 and never the same twice, so that a device opened by another list
// is never taken for one of the program's.
std::uintptr_t NextInstance()
{
    static std::atomic<std::uintptr_t> next{1};
    return next.fetch_add(1);
}

} // namespace

TSysExData::TSysExData() : Instance(NextInstance())
{
    SysExStream.setBuffer(&StreamBytes);
    SysExStream.open(QIODevice::ReadWrite);
    SysExHeader.Data = SysExBuffer.data();
    SysExHeader.BufferLength = BufferSize;
}

TMidiInput::TMidiInput(std::shared_ptr<TMidiSystem> system)
    : TMidiDevices(QStringLiteral("TMidiInput"), std::move(system))
{
    const QStringList names = SystemNames(true);
    Renumber(names, std::vector<int>(static_cast<std::size_t>(names.size()), -1));
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
    for (auto &[handle, data] : Retired) {
        System().InStop(handle);
        System().InReset(handle);
        System().InUnprepareHeader(handle, &data->SysExHeader);
        System().InClose(handle);
    }
}

void TMidiInput::SystemRescan()
{
    System().InRescan();
}

unsigned TMidiInput::SystemCount()
{
    return System().InGetNumDevs();
}

TMidiResult TMidiInput::SystemName(unsigned deviceId, QString &name)
{
    return System().InGetDevName(deviceId, name);
}

bool TMidiInput::SystemConnected(TMidiHandle handle)
{
    return System().InConnected(handle);
}

void TMidiInput::Renumber(const QStringList &names, const std::vector<int> &continued)
{
    // Held from the first buffer taken out of the list: a delivery looks at
    // every buffer of the list, and one moved away would be none.
    std::unique_lock lock(ListLock);
    TDeviceList devices;
    std::vector<std::unique_ptr<TSysExData>> buffers;
    for (qsizetype j = 0; j < names.size(); ++j) {
        const int from = continued[std::size_t(j)];
        if (from >= 0) {
            devices.Append(names[j], Devices.Handle(from));
            buffers.push_back(std::move(ReceiveBuffers[std::size_t(from)]));
        } else {
            devices.Append(names[j]);
            buffers.push_back(std::make_unique<TSysExData>());
        }
    }
    for (int i = 0; i < Devices.Count(); ++i) {
        auto &buffer = ReceiveBuffers[std::size_t(i)];
        if (buffer && Devices.Handle(i) != 0) {
            Retired.emplace_back(Devices.Handle(i), std::move(buffer));
        }
    }
    Devices = std::move(devices);
    ReceiveBuffers = std::move(buffers);
}

void TMidiInput::SetHandle(int DeviceIndex, TMidiHandle handle)
{
    std::unique_lock lock(ListLock);
    Devices.SetHandle(DeviceIndex, handle);
}

void TMidiInput::Open(int DeviceIndex)
{
    if (DeviceHandle(DeviceIndex) != 0) {
        return;
    }
    TSysExData &data = SysExData(DeviceIndex);
    TMidiHandle handle = 0;
    CheckResult(System().InOpen(handle, static_cast<unsigned>(DeviceIndex), &MidiInCallback,
                                data.Instance));
    SetHandle(DeviceIndex, handle);

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
    SetHandle(DeviceIndex, 0);
    // A message cut off by the close must not stick to the front of the next one.
    data.SysExStream.buffer().clear();
    data.SysExStream.seek(0);
}

TSysExData &TMidiInput::SysExData(int DeviceIndex)
{
    DeviceHandle(DeviceIndex); // the bounds check
    return *ReceiveBuffers[static_cast<std::size_t>(DeviceIndex)];
}

std::uintptr_t TMidiInput::CallbackInstance(int DeviceIndex)
{
    return SysExData(DeviceIndex).Instance;
}

void TMidiInput::HandleSysExBuffer(int DeviceIndex)
{
    HandleSysExBuffer(SysExData(DeviceIndex), DeviceIndex, DeviceHandle(DeviceIndex));
}

void TMidiInput::HandleSysExBuffer(TSysExData &data, int DeviceIndex, TMidiHandle handle)
{
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
    CheckResult(System().InPrepareHeader(handle, &header));
    CheckResult(System().InAddBuffer(handle, &header));
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TMidiInput::Receive(TMidiHandle handle, unsigned message, std::uintptr_t instance,
                         std::uintptr_t param1)
{
    if (message != MidiInMessage::Data && message != MidiInMessage::LongData) {
        return;
    }
    // Only for a device this list has open under this handle. The lock is let
    // go before the handlers run: the window's thread may renumber the list
    // meanwhile, but closing the device waits for this delivery to end, so the
    // device's buffer stays in place.
    int deviceIndex = -1;
    TSysExData *data = nullptr;
    {
        std::shared_lock lock(ListLock);
        for (int i = 0; i < Devices.Count(); ++i) {
            if (ReceiveBuffers[std::size_t(i)]->Instance == instance) {
                if (Devices.Handle(i) == handle) {
                    deviceIndex = i;
                    data = ReceiveBuffers[std::size_t(i)].get();
                }
                break;
            }
        }
    }
    if (data == nullptr) {
        return;
    }
    if (message == MidiInMessage::Data) {
        if (OnMidiData) {
            OnMidiData(deviceIndex, static_cast<std::uint8_t>(param1 & 0xFF),
                       static_cast<std::uint8_t>((param1 >> 8) & 0xFF),
                       static_cast<std::uint8_t>((param1 >> 16) & 0xFF));
        }
    } else {
        HandleSysExBuffer(*data, deviceIndex, handle);
    }
}

void MidiInCallback(TMidiHandle handle, unsigned message, std::uintptr_t instance,
                    std::uintptr_t param1, std::uintptr_t) noexcept
{
    TMidiInput *input = ExistingMidiInput();
    if (input == nullptr) {
        return;
    }
    try {
        input->Receive(handle, message, instance, param1);
    } catch (...) {
        // An exception must not unwind into the MIDI system's thread. There is no
        // one to tell on this thread; the next message is handled as usual.
    }
}

} // namespace tarvello
