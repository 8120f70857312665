#include "midi/AlsaMidiTransport.h"

#include "midi/MidiEventQueue.h"

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <sstream>

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

// Set once the port an open device is connected to has gone away.
using TGoneFlag = std::shared_ptr<const std::atomic<bool>>;

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
    bool Connected() const override { return !(Gone && Gone->load()); }
    TRtErrors Errors;
    std::unique_ptr<RtMidiIn> Rt;
    std::string SystemName; // of the port connected to
    TGoneFlag Gone;
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
    bool Connected() const override { return !(Gone && Gone->load()); }
    TRtErrors Errors;
    std::unique_ptr<RtMidiOut> Rt;
    std::string SystemName;
    TGoneFlag Gone;
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
        const std::vector<std::string> names = RtPortNames(*open->Rt);
        const std::ptrdiff_t index = find(names);
        if (index < 0) {
            result = MidiResult::NoDevice;
            return nullptr;
        }
        open->SystemName = names[static_cast<std::size_t>(index)];
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

TAlsaMidiTransport::TAlsaMidiTransport(std::string clientName)
    : ClientName(std::move(clientName)), Sequencer(TAlsaSequencer::Open(ClientName))
{
}

TAlsaMidiTransport::~TAlsaMidiTransport() = default;

bool TAlsaMidiTransport::WatchPorts(std::function<void()> notify)
{
    if (!Sequencer || !Sequencer->Watching()) {
        return false;
    }
    Sequencer->SetNotify(std::move(notify));
    return true;
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
    std::vector<std::string> names;
    TRtErrors errors; // outlives the RtMidi object that reports into it
    try {
        if (Sequencer) {
            // Without a new client per look: each would be announced, and so
            // cause the next look.
            names = Sequencer->ListPorts(input);
        } else if (input) {
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
    auto open = Connect<TAlsaInput, RtMidiIn>(ClientName, "in", prepare, find, result);
    if (open && Sequencer) {
        open->Gone = Sequencer->Track(open->SystemName);
    }
    return open;
}

std::unique_ptr<TMidiTransportOutput> TAlsaMidiTransport::OpenOutput(const TMidiPortName &port,
                                                                     TMidiResult &result)
{
    const auto find = [&](const std::vector<std::string> &names) { return FindPort(names, port); };
    auto open = Connect<TAlsaOutput, RtMidiOut>(
        ClientName, "out", [](RtMidiOut &) {}, find, result);
    if (open && Sequencer) {
        open->Gone = Sequencer->Track(open->SystemName);
    }
    return open;
}

namespace {

// Kinds of port RtMidi lists; others (timers, the system's own) are not MIDI devices.
constexpr unsigned MidiPortTypes =
    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_APPLICATION;

// Events read at most per wake, so that a storm of announcements still lets
// the thread notice that it is asked to end.
constexpr int EventsPerWake = 1024;

} // namespace

std::unique_ptr<TAlsaSequencer> TAlsaSequencer::Open(const std::string &clientName)
{
    snd_seq_t *seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
        return nullptr;
    }
    snd_seq_set_client_name(seq, clientName.c_str());
    int wake[2] = {-1, -1};
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        snd_seq_close(seq);
        return nullptr;
    }
    std::unique_ptr<TAlsaSequencer> self(new TAlsaSequencer(seq, wake[0], wake[1]));
    // A port only the announcements reach: no one else may write to it or
    // subscribe it, so it is listed as no device.
    const int port = snd_seq_create_simple_port(seq, "announce",
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                SND_SEQ_PORT_TYPE_APPLICATION);
    if (port >= 0 &&
        snd_seq_connect_from(seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) >= 0) {
        self->Worker = std::thread([raw = self.get()] { raw->Run(); });
    }
    return self;
}

TAlsaSequencer::TAlsaSequencer(snd_seq_t *seq, int wakeRead, int wakeWrite)
    : Seq(seq), WakeRead(wakeRead), WakeWrite(wakeWrite)
{
}

TAlsaSequencer::~TAlsaSequencer()
{
    if (Worker.joinable()) {
        const char stop = 1;
        while (::write(WakeWrite, &stop, 1) < 0 && errno == EINTR) {
        }
        Worker.join();
    }
    ::close(WakeRead);
    ::close(WakeWrite);
    snd_seq_close(Seq);
}

std::vector<std::string> TAlsaSequencer::ListPorts(bool sources) const
{
    const unsigned wanted = sources ? SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ
                                    : SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    std::vector<std::string> names;
    std::lock_guard lock(SeqMutex);
    snd_seq_client_info_t *client = nullptr;
    snd_seq_port_info_t *port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(Seq, client) >= 0) {
        const int number = snd_seq_client_info_get_client(client);
        if (number == SND_SEQ_CLIENT_SYSTEM) {
            continue;
        }
        snd_seq_port_info_set_client(port, number);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(Seq, port) >= 0) {
            if ((snd_seq_port_info_get_type(port) & MidiPortTypes) == 0 ||
                (snd_seq_port_info_get_capability(port) & wanted) != wanted) {
                continue;
            }
            std::ostringstream name;
            name << snd_seq_client_info_get_name(client) << ':' << snd_seq_port_info_get_name(port)
                 << ' ' << number << ':' << snd_seq_port_info_get_port(port);
            names.push_back(name.str());
        }
    }
    return names;
}

void TAlsaSequencer::SetNotify(std::function<void()> notify)
{
    std::lock_guard lock(NotifyMutex);
    Notify = std::move(notify);
}

bool TAlsaSequencer::AddressOf(const std::string &systemName, int &client, int &port)
{
    const std::size_t space = systemName.rfind(' ');
    const std::size_t colon = systemName.rfind(':');
    if (space == std::string::npos || colon == std::string::npos || colon < space + 2 ||
        colon + 1 >= systemName.size()) {
        return false;
    }
    const std::string c = systemName.substr(space + 1, colon - space - 1);
    const std::string p = systemName.substr(colon + 1);
    const auto digits = [](const std::string &text) {
        return !text.empty() && text.size() < 6 &&
               std::all_of(text.begin(), text.end(),
                           [](char ch) { return ch >= '0' && ch <= '9'; });
    };
    if (!digits(c) || !digits(p)) {
        return false;
    }
    client = std::stoi(c);
    port = std::stoi(p);
    return true;
}

std::shared_ptr<const std::atomic<bool>> TAlsaSequencer::Track(const std::string &systemName)
{
    auto flag = std::make_shared<std::atomic<bool>>(false);
    int client = 0;
    int port = 0;
    if (AddressOf(systemName, client, port)) {
        std::lock_guard lock(TrackMutex);
        std::erase_if(Tracked, [](const TTracked &tracked) { return tracked.Flag.expired(); });
        Tracked.push_back(TTracked{client, port, flag});
    }
    return flag;
}

void TAlsaSequencer::Gone(int client, int port)
{
    std::lock_guard lock(TrackMutex);
    for (const TTracked &tracked : Tracked) {
        if (tracked.Client == client && (port < 0 || tracked.Port == port)) {
            if (const auto flag = tracked.Flag.lock()) {
                flag->store(true);
            }
        }
    }
}

void TAlsaSequencer::Run()
{
    std::vector<pollfd> fds;
    {
        std::lock_guard lock(SeqMutex);
        const int count = snd_seq_poll_descriptors_count(Seq, POLLIN);
        fds.resize(static_cast<std::size_t>(std::max(count, 0)));
        snd_seq_poll_descriptors(Seq, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
    }
    fds.push_back(pollfd{WakeRead, POLLIN, 0});
    for (;;) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds.back().revents != 0) {
            return; // asked to end
        }
        bool changed = false;
        {
            std::lock_guard lock(SeqMutex);
            for (int i = 0; i < EventsPerWake; ++i) {
                snd_seq_event_t *event = nullptr;
                const int result = snd_seq_event_input(Seq, &event);
                if (result == -ENOSPC) {
                    changed = true; // announcements were lost: look again anyway
                    continue;
                }
                if (result < 0 || event == nullptr) {
                    break;
                }
                switch (event->type) {
                case SND_SEQ_EVENT_CLIENT_EXIT:
                    Gone(event->data.addr.client, -1);
                    changed = true;
                    break;
                case SND_SEQ_EVENT_PORT_EXIT:
                    Gone(event->data.addr.client, event->data.addr.port);
                    changed = true;
                    break;
                case SND_SEQ_EVENT_CLIENT_START:
                case SND_SEQ_EVENT_CLIENT_CHANGE:
                case SND_SEQ_EVENT_PORT_START:
                case SND_SEQ_EVENT_PORT_CHANGE:
                case SND_SEQ_EVENT_PORT_UNSUBSCRIBED:
                    changed = true;
                    break;
                default:
                    break;
                }
            }
        }
        if (changed) {
            std::lock_guard lock(NotifyMutex);
            if (Notify) {
                try {
                    Notify();
                } catch (...) {
                    // The next announcement tells again.
                }
            }
        }
    }
}

} // namespace tarvello
