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
    auto in = std::make_unique<TAlsaInput>();
    try {
        in->Rt = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, ClientName);
        in->Rt->setErrorCallback(&OnRtError, &in->Errors);
        // Clock, active sensing and system exclusive all reach the program.
        in->Rt->ignoreTypes(false, false, false);
        const std::ptrdiff_t index = FindPort(RtPortNames(*in->Rt), port);
        if (index < 0) {
            result = MidiResult::NoDevice;
            return nullptr;
        }
        in->Rt->setCallback(&OnRtInput, &queue);
        in->Errors.Clear();
        in->Rt->openPort(static_cast<unsigned>(index), "in");
        if (in->Errors.Failed.load() || !in->Rt->isPortOpen()) {
            result = MidiResult::Allocated;
            return nullptr;
        }
    } catch (...) {
        result = MidiResult::Error;
        return nullptr;
    }
    result = MidiResult::NoError;
    return in;
}

std::unique_ptr<TMidiTransportOutput> TAlsaMidiTransport::OpenOutput(const TMidiPortName &port,
                                                                     TMidiResult &result)
{
    auto out = std::make_unique<TAlsaOutput>();
    try {
        out->Rt = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, ClientName);
        out->Rt->setErrorCallback(&OnRtError, &out->Errors);
        const std::ptrdiff_t index = FindPort(RtPortNames(*out->Rt), port);
        if (index < 0) {
            result = MidiResult::NoDevice;
            return nullptr;
        }
        out->Errors.Clear();
        out->Rt->openPort(static_cast<unsigned>(index), "out");
        if (out->Errors.Failed.load() || !out->Rt->isPortOpen()) {
            result = MidiResult::Allocated;
            return nullptr;
        }
    } catch (...) {
        result = MidiResult::Error;
        return nullptr;
    }
    result = MidiResult::NoError;
    return out;
}

} // namespace tarvello
