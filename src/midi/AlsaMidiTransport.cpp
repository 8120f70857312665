#include "midi/AlsaMidiTransport.h"

#include "midi/MidiEventQueue.h"

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>

#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <mutex>

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

void OnRtInput(double, std::vector<unsigned char> *message, void *user)
{
    if (message != nullptr && user != nullptr) {
        static_cast<TMidiEventQueue *>(user)->Push(message->data(), message->size());
    }
}

template <class TRt> std::vector<std::string> RtPortNames(TRt &rt)
{
    std::vector<std::string> names;
    const unsigned count = rt.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        names.push_back(rt.getPortName(i));
    }
    return names;
}

class TAlsaInput : public TMidiTransportInput {
public:
    ~TAlsaInput() override
    {
        try {
            Rt.reset(); // joins RtMidi's thread: nothing is queued after that
        } catch (...) {
            // The port is gone either way.
        }
    }
    TRtErrors Errors;
    std::unique_ptr<RtMidiIn> Rt;
};

class TAlsaOutput : public TMidiTransportOutput {
public:
    ~TAlsaOutput() override
    {
        try {
            Rt.reset();
        } catch (...) {
        }
    }
    TMidiResult Send(const std::uint8_t *data, std::size_t size) override
    {
        try {
            Errors.Clear();
            Rt->sendMessage(data, size);
        } catch (...) {
            return MidiResult::Error;
        }
        return Errors.Failed.load() ? MidiResult::NotReady : MidiResult::NoError;
    }
    TRtErrors Errors;
    std::unique_ptr<RtMidiOut> Rt;
};

// Every open port is an RtMidi object, and so a sequencer client, of its own:
// made, told where to report, prepared, then opened on the port it lists
// under the device's name.
template <class TOpen, class TRt, class TPrepare, class TFind>
std::unique_ptr<TOpen> Connect(const std::string &clientName, const char *ourPort,
                               const TPrepare &prepare, const TFind &find, TMidiResult &result)
{
    auto open = std::make_unique<TOpen>();
    try {
        open->Rt = std::make_unique<TRt>(RtMidi::LINUX_ALSA, clientName);
        open->Rt->setErrorCallback(&OnRtError, &open->Errors);
        prepare(*open->Rt);
        const std::ptrdiff_t index = find(RtPortNames(*open->Rt));
        if (index < 0) {
            result = MidiResult::NoDevice;
            return nullptr;
        }
        open->Errors.Clear();
        open->Rt->openPort(static_cast<unsigned>(index), ourPort);
        if (open->Errors.Failed.load() || !open->Rt->isPortOpen()) {
            result = MidiResult::Allocated;
            return nullptr;
        }
    } catch (...) {
        result = MidiResult::Error;
        return nullptr;
    }
    result = MidiResult::NoError;
    return open;
}

} // namespace

bool TAlsaMidiTransport::Available()
{
    static std::once_flag once;
    // The program has no log, and a stage laptop's terminal is no place for
    // the library's chatter about a missing sequencer.
    std::call_once(once, [] { snd_lib_error_set_handler(&SilentAlsaError); });
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) == apis.end()) {
        return false;
    }
    snd_seq_t *seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        return false;
    }
    snd_seq_close(seq);
    return true;
}

TAlsaMidiTransport::TAlsaMidiTransport(std::string clientName) : ClientName(std::move(clientName))
{
}

QString TAlsaMidiTransport::WithoutAddress(const std::string &portName)
{
    static const QRegularExpression address(QStringLiteral(" \\d+:\\d+$"));
    return QString::fromStdString(portName).remove(address);
}

QString TAlsaMidiTransport::DeviceName(const std::string &systemName) const
{
    return WithoutAddress(systemName);
}

std::vector<std::string> TAlsaMidiTransport::ListPorts(bool input)
{
    TRtErrors errors; // outlives the RtMidi object that reports into it
    std::vector<std::string> names;
    try {
        if (input) {
            RtMidiIn rt(RtMidi::LINUX_ALSA, ClientName);
            rt.setErrorCallback(&OnRtError, &errors);
            names = RtPortNames(rt);
        } else {
            RtMidiOut rt(RtMidi::LINUX_ALSA, ClientName);
            rt.setErrorCallback(&OnRtError, &errors);
            names = RtPortNames(rt);
        }
    } catch (...) {
        return {}; // the sequencer went away after the probe: no devices
    }
    std::erase_if(names, [&](const std::string &name) {
        return name.empty() || IsOwnMidiPort(name, ClientName);
    });
    return names;
}

std::unique_ptr<TMidiTransportInput> TAlsaMidiTransport::OpenInput(const TMidiPortName &port,
                                                                   TMidiEventQueue &queue,
                                                                   TMidiResult &result)
{
    const auto prepare = [&queue](RtMidiIn &rt) {
        // Clock, active sensing and system exclusive all reach the program.
        rt.ignoreTypes(false, false, false);
        rt.setCallback(&OnRtInput, &queue);
    };
    const auto find = [&](const std::vector<std::string> &names) { return FindPort(names, port); };
    return Connect<TAlsaInput, RtMidiIn>(ClientName, "in", prepare, find, result);
}

std::unique_ptr<TMidiTransportOutput> TAlsaMidiTransport::OpenOutput(const TMidiPortName &port,
                                                                     TMidiResult &result)
{
    const auto find = [&](const std::vector<std::string> &names) { return FindPort(names, port); };
    return Connect<TAlsaOutput, RtMidiOut>(
        ClientName, "out", [](RtMidiOut &) {}, find, result);
}

} // namespace tarvello
