#include "midi/RtMidiSystem.h"

#include "midi/MidiEventQueue.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiMessageSplit.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <QRegularExpression>

#include <atomic>
#include <cstdlib>

namespace tarvello {

namespace {

// RtMidi reports through this instead of printing to stderr or throwing out of
// its own threads. An operation checks the flag it cleared before it started.
struct TRtErrors {
    std::atomic<bool> Failed{false};
    void Clear() { Failed.store(false); }
};

void OnRtError(RtMidiError::Type type, const std::string &, void *user)
{
    if (type != RtMidiError::DEBUG_WARNING && user != nullptr) {
        static_cast<TRtErrors *>(user)->Failed.store(true);
    }
}

void SilentAlsaError(const char *, int, const char *, int, const char *, ...) {}
void SilentJackMessage(const char *) {}

// The program has no log, and a stage laptop's terminal is no place for the
// libraries' chatter about a missing sequencer or server.
void SilenceLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        snd_lib_error_set_handler(&SilentAlsaError);
        jack_set_error_function(&SilentJackMessage);
        jack_set_info_function(&SilentJackMessage);
    });
}

bool AlsaSequencerAvailable()
{
    snd_seq_t *seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        return false;
    }
    snd_seq_close(seq);
    return true;
}

bool JackServerAvailable()
{
    jack_status_t status{};
    jack_client_t *client = jack_client_open(TRtMidiSystem::ClientName, JackNoStartServer, &status);
    if (client == nullptr) {
        return false;
    }
    jack_client_close(client);
    return true;
}

bool Compiled(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

RtMidi::Api RtApiOf(TRtMidiSystem::TApi api)
{
    return api == TRtMidiSystem::TApi::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

void OnRtInput(double, std::vector<unsigned char> *message, void *user)
{
    if (message != nullptr && user != nullptr) {
        static_cast<TMidiEventQueue *>(user)->Push(message->data(), message->size());
    }
}

template <class TRt>
std::optional<unsigned> FindPort(TRt &rt, const TRtMidiSystem::TPort &port, TRtMidiSystem::TApi api)
{
    const unsigned count = rt.getPortCount();
    std::optional<unsigned> byName;
    for (unsigned i = 0; i < count; ++i) {
        const std::string name = rt.getPortName(i);
        if (name == port.RtName) {
            return i;
        }
        if (!byName && !TRtMidiSystem::IsOwnPort(name) &&
            TRtMidiSystem::DeviceNameOf(name, api) == port.Name) {
            byName = i; // the same port under a new ALSA address
        }
    }
    return byName;
}

} // namespace

struct TRtMidiSystem::TInPort {
    TInPort(TMidiHandle handle, TMidiInProc callback, std::uintptr_t instance)
        : Core(handle, callback, instance),
          Queue(
              [this](const std::uint8_t *data, std::size_t size) { Core.DeliverEvent(data, size); })
    {
    }
    // Stop delivery, then leave the transport; what is still queued is dropped.
    void Shut()
    {
        Core.Stop();
        try {
            Rt.reset(); // joins RtMidi's thread or leaves the JACK graph
        } catch (...) {
            // The port is gone either way.
        }
    }
    TMidiInputPort Core;
    TMidiEventQueue Queue;
    TRtErrors Errors;
    std::unique_ptr<RtMidiIn> Rt; // destroyed first: nothing is queued after that
};

struct TRtMidiSystem::TOutPort {
    std::mutex SendMutex; // thru on the input thread and the window's thread share a port
    TRtErrors Errors;
    std::unique_ptr<RtMidiOut> Rt;
};

TRtMidiSystem::TRtMidiSystem(TApi api) : Requested(api) {}

TRtMidiSystem::~TRtMidiSystem()
{
    for (auto &[handle, port] : OpenInputs) {
        port->Shut();
    }
    for (auto &[handle, port] : OpenOutputs) {
        std::lock_guard lock(port->SendMutex);
        port->Rt.reset();
    }
}

QString TRtMidiSystem::DeviceNameOf(const std::string &portName, TApi api)
{
    QString name = QString::fromStdString(portName);
    if (api == TApi::Alsa) {
        static const QRegularExpression address(QStringLiteral(" \\d+:\\d+$"));
        name.remove(address);
    }
    return name;
}

bool TRtMidiSystem::IsOwnPort(const std::string &portName)
{
    const std::string client = portName.substr(0, portName.find(':'));
    const std::string own = ClientName;
    if (client == own) {
        return true;
    }
    // JACK names a second client of the same name "Tarvello-01".
    if (client.size() > own.size() + 1 && client.compare(0, own.size(), own) == 0 &&
        client[own.size()] == '-') {
        return client.find_first_not_of("0123456789", own.size() + 1) == std::string::npos;
    }
    return false;
}

TRtMidiSystem::TApi TRtMidiSystem::ProbeLocked()
{
    if (Active) {
        return *Active;
    }
    // libjack would otherwise try to start a server of its own.
    setenv("JACK_NO_START_SERVER", "1", 0);
    SilenceLibraries();
    TApi found = TApi::None;
    const bool automatic = Requested == TApi::Automatic;
    if ((automatic || Requested == TApi::Alsa) && Compiled(RtMidi::LINUX_ALSA) &&
        AlsaSequencerAvailable()) {
        found = TApi::Alsa;
    } else if ((automatic || Requested == TApi::Jack) && Compiled(RtMidi::UNIX_JACK) &&
               JackServerAvailable()) {
        found = TApi::Jack;
    }
    Active = found;
    return found;
}

TRtMidiSystem::TApi TRtMidiSystem::ActiveApi()
{
    std::lock_guard lock(Mutex);
    return ProbeLocked();
}

const std::vector<TRtMidiSystem::TPort> &TRtMidiSystem::PortsLocked(bool input)
{
    std::optional<std::vector<TPort>> &list = input ? Inputs : Outputs;
    if (list) {
        return *list;
    }
    list.emplace();
    const TApi api = ProbeLocked();
    if (api == TApi::None) {
        return *list;
    }
    try {
        TRtErrors errors; // outlives the RtMidi object that reports into it
        const auto listPorts = [&](auto &rt) {
            rt.setErrorCallback(&OnRtError, &errors);
            const unsigned count = rt.getPortCount();
            for (unsigned i = 0; i < count; ++i) {
                const std::string name = rt.getPortName(i);
                if (!name.empty() && !IsOwnPort(name)) {
                    list->push_back(TPort{DeviceNameOf(name, api), name});
                }
            }
        };
        if (input) {
            RtMidiIn rt(RtApiOf(api), ClientName);
            listPorts(rt);
        } else {
            RtMidiOut rt(RtApiOf(api), ClientName);
            listPorts(rt);
        }
    } catch (...) {
        // The system went away between the probe and the listing: no devices.
        list->clear();
    }
    return *list;
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
    TPort port;
    TApi api;
    TMidiHandle newHandle;
    {
        std::lock_guard lock(Mutex);
        api = ProbeLocked();
        if (api == TApi::None) {
            return MidiResult::NoDriver;
        }
        const auto &ports = PortsLocked(true);
        if (deviceId >= ports.size()) {
            return MidiResult::BadDeviceId;
        }
        port = ports[deviceId];
        newHandle = NextHandle++;
    }
    auto in = std::make_shared<TInPort>(newHandle, callback, instance);
    try {
        in->Rt = std::make_unique<RtMidiIn>(RtApiOf(api), ClientName);
        in->Rt->setErrorCallback(&OnRtError, &in->Errors);
        // Clock, active sensing and system exclusive all reach the program.
        in->Rt->ignoreTypes(false, false, false);
        const auto index = FindPort(*in->Rt, port, api);
        if (!index) {
            return MidiResult::NoDevice;
        }
        in->Rt->setCallback(&OnRtInput, &in->Queue);
        in->Errors.Clear();
        in->Rt->openPort(*index, "in");
        if (in->Errors.Failed.load() || !in->Rt->isPortOpen()) {
            in->Rt.reset();
            return MidiResult::Allocated;
        }
    } catch (...) {
        in->Rt.reset();
        return MidiResult::Error;
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
    TPort port;
    TApi api;
    TMidiHandle newHandle;
    {
        std::lock_guard lock(Mutex);
        api = ProbeLocked();
        if (api == TApi::None) {
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
    try {
        out->Rt = std::make_unique<RtMidiOut>(RtApiOf(api), ClientName);
        out->Rt->setErrorCallback(&OnRtError, &out->Errors);
        const auto index = FindPort(*out->Rt, port, api);
        if (!index) {
            return MidiResult::NoDevice;
        }
        out->Errors.Clear();
        out->Rt->openPort(*index, "out");
        if (out->Errors.Failed.load() || !out->Rt->isPortOpen()) {
            out->Rt.reset();
            return MidiResult::Allocated;
        }
    } catch (...) {
        out->Rt.reset();
        return MidiResult::Error;
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
    try {
        out->Rt.reset(); // RtMidi lets JACK drain what is queued first
    } catch (...) {
    }
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
    if (!out->Rt) {
        return MidiResult::InvalidHandle;
    }
    try {
        out->Errors.Clear();
        out->Rt->sendMessage(bytes, static_cast<std::size_t>(length));
    } catch (...) {
        return MidiResult::Error;
    }
    return out->Errors.Failed.load() ? MidiResult::NotReady : MidiResult::NoError;
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
    if (!out->Rt) {
        return MidiResult::InvalidHandle;
    }
    bool thrown = false;
    out->Errors.Clear();
    const auto send = [&](const std::uint8_t *message, std::size_t length) {
        try {
            out->Rt->sendMessage(message, length);
        } catch (...) {
            thrown = true;
        }
    };
    // One event per message: the sequencer and JACK expect nothing else. Bytes
    // that are not well-formed MIDI go out as one event exactly as written, as
    // they would on a MIDI cable. RtMidi copies each event before it returns.
    if (IsWholeMidi(header->Data, header->BufferLength)) {
        SplitMidiMessages(header->Data, header->BufferLength, send);
    } else {
        send(header->Data, header->BufferLength);
    }
    header->Flags |= MidiHeaderFlag::Done;
    if (thrown) {
        return MidiResult::Error;
    }
    return out->Errors.Failed.load() ? MidiResult::NotReady : MidiResult::NoError;
}

TMidiResult TRtMidiSystem::OutUnprepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    return FindOut(handle) ? UnprepareMidiHeader(header) : MidiResult::InvalidHandle;
}

} // namespace tarvello
