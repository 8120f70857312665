#include "midi/RtMidiSystem.h"

#include "midi/AlsaMidiTransport.h"
#include "midi/JackMidiTransport.h"
#include "midi/MidiEventQueue.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiMessageSplit.h"
#include "midi/SysExAssembler.h"

namespace tarvello {

struct TRtMidiSystem::TInPort {
    TInPort(TMidiHandle handle, TMidiInProc callback, std::uintptr_t instance)
        : Core(handle, callback, instance),
          Assembler([this](const std::uint8_t *data, std::size_t size) {
              Core.DeliverEvent(data, size);
          }),
          Queue([this](const std::uint8_t *data, std::size_t size) { Assembler.Feed(data, size); })
    {
    }
    // Stop delivery, then leave the transport; what is still queued is dropped.
    void Shut()
    {
        Core.Stop();
        Transport.reset();
    }
    TMidiInputPort Core;
    TSysExAssembler Assembler; // on the queue's thread only
    TMidiEventQueue Queue;
    std::unique_ptr<TMidiTransportInput> Transport; // goes first: nothing is queued after that
};

struct TRtMidiSystem::TOutPort {
    std::mutex SendMutex; // thru on the input thread and the window's thread share a port
    std::unique_ptr<TMidiTransportOutput> Transport;
};

TRtMidiSystem::TRtMidiSystem(TApi api) : Requested(api) {}

TRtMidiSystem::~TRtMidiSystem()
{
    if (Transport) {
        Transport->WatchPorts({});
    }
    for (auto &[handle, port] : OpenInputs) {
        port->Shut();
    }
    for (auto &[handle, port] : OpenOutputs) {
        std::lock_guard lock(port->SendMutex);
        port->Transport.reset();
    }
    OpenInputs.clear();
    OpenOutputs.clear();
}

QString TRtMidiSystem::DeviceNameOf(const std::string &portName, TApi api)
{
    return api == TApi::Alsa ? TAlsaMidiTransport::WithoutAddress(portName)
                             : QString::fromStdString(portName);
}

bool TRtMidiSystem::IsOwnPort(const std::string &portName)
{
    return IsOwnMidiPort(portName, ClientName);
}

TRtMidiSystem::TApi TRtMidiSystem::ProbeLocked()
{
    if (Active) {
        return *Active;
    }
    TApi found = TApi::None;
    const bool automatic = Requested == TApi::Automatic;
    if ((automatic || Requested == TApi::Alsa) && TAlsaMidiTransport::Available()) {
        Transport = std::make_unique<TAlsaMidiTransport>(ClientName);
        found = TApi::Alsa;
    } else if (automatic || Requested == TApi::Jack) {
        Transport = TJackMidiTransport::Open(ClientName);
        if (Transport) {
            found = TApi::Jack;
        }
    }
    Active = found;
    return found;
}

TRtMidiSystem::TApi TRtMidiSystem::ActiveApi()
{
    std::lock_guard lock(Mutex);
    return ProbeLocked();
}

const std::vector<TMidiPortName> &TRtMidiSystem::PortsLocked(bool input)
{
    std::optional<std::vector<TMidiPortName>> &list = input ? Inputs : Outputs;
    if (list) {
        return *list;
    }
    list.emplace();
    if (ProbeLocked() == TApi::None) {
        return *list;
    }
    for (const std::string &name : Transport->ListPorts(input)) {
        list->push_back(TMidiPortName{Transport->DeviceName(name), name});
    }
    return *list;
}

void TRtMidiSystem::RescanLocked(bool input)
{
    if (Active == TApi::None) {
        Active.reset();
    }
    (input ? Inputs : Outputs).reset();
    PortsLocked(input);
}

void TRtMidiSystem::InRescan()
{
    std::lock_guard lock(Mutex);
    RescanLocked(true);
}

void TRtMidiSystem::OutRescan()
{
    std::lock_guard lock(Mutex);
    RescanLocked(false);
}

bool TRtMidiSystem::InConnected(TMidiHandle handle)
{
    const auto in = FindIn(handle);
    return in && in->Transport && in->Transport->Connected();
}

bool TRtMidiSystem::OutConnected(TMidiHandle handle)
{
    const auto out = FindOut(handle);
    if (!out) {
        return false;
    }
    std::lock_guard lock(out->SendMutex);
    return out->Transport && out->Transport->Connected();
}

bool TRtMidiSystem::SystemPresent()
{
    std::lock_guard lock(Mutex);
    return ProbeLocked() != TApi::None;
}

bool TRtMidiSystem::WatchDevices(std::function<void()> notify)
{
    std::lock_guard lock(Mutex);
    if (!notify) {
        // Ending the calls must not look for a system.
        return Transport && Transport->WatchPorts({});
    }
    if (ProbeLocked() == TApi::None) {
        return false;
    }
    return Transport->WatchPorts(std::move(notify));
}

unsigned TRtMidiSystem::PortCount(bool input)
{
    std::lock_guard lock(Mutex);
    return static_cast<unsigned>(PortsLocked(input).size());
}

TMidiResult TRtMidiSystem::PortName(bool input, unsigned deviceId, QString &name)
{
    std::lock_guard lock(Mutex);
    const auto &ports = PortsLocked(input);
    if (deviceId >= ports.size()) {
        return MidiResult::BadDeviceId;
    }
    name = ports[deviceId].Name;
    return MidiResult::NoError;
}

unsigned TRtMidiSystem::InGetNumDevs()
{
    return PortCount(true);
}

TMidiResult TRtMidiSystem::InGetDevName(unsigned deviceId, QString &name)
{
    return PortName(true, deviceId, name);
}

std::shared_ptr<TRtMidiSystem::TInPort> TRtMidiSystem::FindIn(TMidiHandle handle)
{
    std::lock_guard lock(Mutex);
    const auto it = OpenInputs.find(handle);
    return it == OpenInputs.end() ? nullptr : it->second;
}

std::shared_ptr<TRtMidiSystem::TOutPort> TRtMidiSystem::FindOut(TMidiHandle handle)
{
    std::lock_guard lock(Mutex);
    const auto it = OpenOutputs.find(handle);
    return it == OpenOutputs.end() ? nullptr : it->second;
}

TMidiResult TRtMidiSystem::InOpen(TMidiHandle &handle, unsigned deviceId, TMidiInProc callback,
                                  std::uintptr_t instance)
{
    TMidiPortName port;
    TMidiHandle newHandle;
    {
        std::lock_guard lock(Mutex);
        if (ProbeLocked() == TApi::None) {
            return MidiResult::NoDriver;
        }
        const auto &ports = PortsLocked(true);
        if (deviceId >= ports.size()) {
            return MidiResult::BadDeviceId;
        }
        port = ports[deviceId];
        newHandle = NextHandle++;
    }
    // The transport is made once and kept; connecting may take a while and
    // runs without the lock.
    auto in = std::make_shared<TInPort>(newHandle, callback, instance);
    TMidiResult result = MidiResult::Error;
    in->Transport = Transport->OpenInput(port, in->Queue, result);
    if (!in->Transport) {
        return result == MidiResult::NoError ? MidiResult::Error : result;
    }
    {
        std::lock_guard lock(Mutex);
        OpenInputs.emplace(newHandle, in);
    }
    handle = newHandle;
    in->Core.NotifyOpen();
    return MidiResult::NoError;
}

TMidiResult TRtMidiSystem::InPrepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    return FindIn(handle) ? PrepareMidiHeader(header) : MidiResult::InvalidHandle;
}

TMidiResult TRtMidiSystem::InUnprepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    return FindIn(handle) ? UnprepareMidiHeader(header) : MidiResult::InvalidHandle;
}

TMidiResult TRtMidiSystem::InAddBuffer(TMidiHandle handle, TMidiHeader *header)
{
    const auto in = FindIn(handle);
    return in ? in->Core.AddBuffer(header) : MidiResult::InvalidHandle;
}

TMidiResult TRtMidiSystem::InStart(TMidiHandle handle)
{
    const auto in = FindIn(handle);
    return in ? in->Core.Start() : MidiResult::InvalidHandle;
}

TMidiResult TRtMidiSystem::InStop(TMidiHandle handle)
{
    const auto in = FindIn(handle);
    return in ? in->Core.Stop() : MidiResult::InvalidHandle;
}

TMidiResult TRtMidiSystem::InReset(TMidiHandle handle)
{
    const auto in = FindIn(handle);
    return in ? in->Core.Reset() : MidiResult::InvalidHandle;
}

TMidiResult TRtMidiSystem::InClose(TMidiHandle handle)
{
    std::shared_ptr<TInPort> in;
    {
        std::lock_guard lock(Mutex);
        const auto it = OpenInputs.find(handle);
        if (it == OpenInputs.end()) {
            return MidiResult::InvalidHandle;
        }
        if (it->second->Core.HasBuffers()) {
            return MidiResult::StillPlaying;
        }
        in = it->second;
        OpenInputs.erase(it);
    }
    in->Shut();
    in->Core.NotifyClose();
    return MidiResult::NoError;
}

TMidiResult TRtMidiSystem::InGetErrorText(TMidiResult code, QString &text)
{
    const QString known = MidiResultText(code);
    if (known.isEmpty()) {
        return MidiResult::BadErrorNumber;
    }
    text = known;
    return MidiResult::NoError;
}

unsigned TRtMidiSystem::OutGetNumDevs()
{
    return PortCount(false);
}

TMidiResult TRtMidiSystem::OutGetDevName(unsigned deviceId, QString &name)
{
    return PortName(false, deviceId, name);
}

TMidiResult TRtMidiSystem::OutOpen(TMidiHandle &handle, unsigned deviceId)
{
    TMidiPortName port;
    TMidiHandle newHandle;
    {
        std::lock_guard lock(Mutex);
        if (ProbeLocked() == TApi::None) {
            return MidiResult::NoDriver;
        }
        const auto &ports = PortsLocked(false);
        if (deviceId >= ports.size()) {
            return MidiResult::BadDeviceId;
        }
        port = ports[deviceId];
        newHandle = NextHandle++;
    }
    auto out = std::make_shared<TOutPort>();
    TMidiResult result = MidiResult::Error;
    out->Transport = Transport->OpenOutput(port, result);
    if (!out->Transport) {
        return result == MidiResult::NoError ? MidiResult::Error : result;
    }
    {
        std::lock_guard lock(Mutex);
        OpenOutputs.emplace(newHandle, out);
    }
    handle = newHandle;
    return MidiResult::NoError;
}

TMidiResult TRtMidiSystem::OutClose(TMidiHandle handle)
{
    std::shared_ptr<TOutPort> out;
    {
        std::lock_guard lock(Mutex);
        const auto it = OpenOutputs.find(handle);
        if (it == OpenOutputs.end()) {
            return MidiResult::InvalidHandle;
        }
        out = it->second;
        OpenOutputs.erase(it);
    }
    std::lock_guard lock(out->SendMutex);
    out->Transport.reset(); // what is queued goes out first
    return MidiResult::NoError;
}

TMidiResult TRtMidiSystem::OutShortMsg(TMidiHandle handle, std::uint32_t packed)
{
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(packed & 0xFF),
                                   static_cast<std::uint8_t>((packed >> 8) & 0xFF),
                                   static_cast<std::uint8_t>((packed >> 16) & 0xFF)};
    const auto out = FindOut(handle);
    if (!out) {
        return MidiResult::InvalidHandle;
    }
    const int length = MidiMessageLength(bytes[0]);
    if (length == 0) {
        return MidiResult::InvalidParameter; // a data byte or F0 cannot start a short message
    }
    std::lock_guard lock(out->SendMutex);
    if (!out->Transport) {
        return MidiResult::InvalidHandle;
    }
    return out->Transport->Send(bytes, static_cast<std::size_t>(length));
}

TMidiResult TRtMidiSystem::OutPrepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    if (!FindOut(handle)) {
        return MidiResult::InvalidHandle;
    }
    if (header == nullptr || header->Data == nullptr || header->BufferLength == 0) {
        return MidiResult::InvalidParameter;
    }
    return PrepareMidiHeader(header);
}

TMidiResult TRtMidiSystem::OutLongMsg(TMidiHandle handle, TMidiHeader *header)
{
    const auto out = FindOut(handle);
    if (!out) {
        return MidiResult::InvalidHandle;
    }
    if (header == nullptr || header->Data == nullptr || header->BufferLength == 0) {
        return MidiResult::InvalidParameter;
    }
    if (!(header->Flags & MidiHeaderFlag::Prepared)) {
        return MidiResult::Unprepared;
    }
    std::lock_guard lock(out->SendMutex);
    if (!out->Transport) {
        return MidiResult::InvalidHandle;
    }
    TMidiResult result = MidiResult::NoError;
    const auto send = [&](const std::uint8_t *message, std::size_t length) {
        const TMidiResult sent = out->Transport->Send(message, length);
        if (result == MidiResult::NoError) {
            result = sent; // the first failure is the one reported
        }
    };
    // One event per message: the sequencer and JACK expect nothing else. Bytes
    // that are not well-formed MIDI go out as one event exactly as written, as
    // they would on a MIDI cable. The transport copies each event.
    if (IsWholeMidi(header->Data, header->BufferLength)) {
        SplitMidiMessages(header->Data, header->BufferLength, send);
    } else {
        send(header->Data, header->BufferLength);
    }
    header->Flags |= MidiHeaderFlag::Done;
    return result;
}

TMidiResult TRtMidiSystem::OutUnprepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    return FindOut(handle) ? UnprepareMidiHeader(header) : MidiResult::InvalidHandle;
}

} // namespace tarvello
