#include "midi/JackMidiClient.h"

#include "midi/MidiEventQueue.h"

#include <jack/midiport.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace tarvello {

namespace {

using TLength = std::uint32_t; // precedes every event in an output ring

constexpr auto DrainTimeout = std::chrono::seconds(1);

std::vector<std::string> TakePortList(const char **ports)
{
    std::vector<std::string> names;
    if (ports != nullptr) {
        for (const char **p = ports; *p != nullptr; ++p) {
            names.emplace_back(*p);
        }
        jack_free(static_cast<void *>(ports));
    }
    return names;
}

} // namespace

std::unique_ptr<TJackMidiClient> TJackMidiClient::Open(const std::string &name)
{
    // libjack would otherwise try to start a server of its own.
    setenv("JACK_NO_START_SERVER", "1", 0);
    jack_status_t status{};
    jack_client_t *client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (client == nullptr) {
        return nullptr;
    }
    std::unique_ptr<TJackMidiClient> self(new TJackMidiClient(client));
    if (jack_set_process_callback(client, &TJackMidiClient::OnProcess, self.get()) != 0) {
        return nullptr; // the destructor closes the client
    }
    jack_on_shutdown(client, &TJackMidiClient::OnShutdown, self.get());
    // Set before activation, as JACK asks; nothing is told until someone
    // listens (SetGraphNotify).
    jack_set_port_registration_callback(client, &TJackMidiClient::OnPortRegistration, self.get());
    jack_set_client_registration_callback(client, &TJackMidiClient::OnClientRegistration,
                                          self.get());
    jack_set_port_connect_callback(client, &TJackMidiClient::OnPortConnect, self.get());
    jack_set_graph_order_callback(client, &TJackMidiClient::OnGraphOrder, self.get());
    if (jack_activate(client) != 0) {
        return nullptr;
    }
    return self;
}

TJackMidiClient::TJackMidiClient(jack_client_t *client) : Client(client) {}

TJackMidiClient::~TJackMidiClient()
{
    // Not a port is unregistered (see the header): closing takes them along.
    jack_deactivate(Client);
    jack_client_close(Client);
    for (TOutputSlot &slot : Outputs) {
        if (slot.Ring != nullptr) {
            jack_ringbuffer_free(slot.Ring);
        }
    }
}

std::string TJackMidiClient::Name() const
{
    const char *name = jack_get_client_name(Client);
    return name != nullptr ? std::string(name) : std::string();
}

std::vector<std::string> TJackMidiClient::ListPorts(bool sources) const
{
    std::lock_guard lock(ControlMutex);
    if (!Running.load()) {
        return {};
    }
    const std::string own = Name() + ':';
    std::vector<std::string> names = TakePortList(jack_get_ports(
        Client, nullptr, JACK_DEFAULT_MIDI_TYPE, sources ? JackPortIsOutput : JackPortIsInput));
    std::erase_if(names, [&](const std::string &port) { return port.rfind(own, 0) == 0; });
    return names;
}

std::string TJackMidiClient::PortName(bool input, int slot) const
{
    std::lock_guard lock(ControlMutex);
    if (slot < 0 || slot >= MaxPorts) {
        return {};
    }
    jack_port_t *port = input ? Inputs[slot].Port : Outputs[slot].Port;
    const char *name = port != nullptr ? jack_port_name(port) : nullptr;
    return name != nullptr ? std::string(name) : std::string();
}

bool TJackMidiClient::Connected(bool input, int slot, const std::string &other) const
{
    std::lock_guard lock(ControlMutex);
    const int count = input ? InputCount.load() : OutputCount.load();
    if (!Running.load() || slot < 0 || slot >= count || other.empty()) {
        return false;
    }
    jack_port_t *port = input ? Inputs[slot].Port : Outputs[slot].Port;
    return jack_port_connected_to(port, other.c_str()) != 0;
}

void TJackMidiClient::SetGraphNotify(std::function<void()> notify)
{
    std::lock_guard lock(NotifyMutex);
    GraphNotify = std::move(notify);
}

void TJackMidiClient::NotifyGraph() noexcept
{
    std::lock_guard lock(NotifyMutex);
    if (GraphNotify) {
        try {
            GraphNotify();
        } catch (...) {
            // Nothing may unwind into JACK's thread; the next change tells again.
        }
    }
}

void TJackMidiClient::OnPortRegistration(jack_port_id_t, int, void *self) noexcept
{
    static_cast<TJackMidiClient *>(self)->NotifyGraph();
}

void TJackMidiClient::OnClientRegistration(const char *, int, void *self) noexcept
{
    static_cast<TJackMidiClient *>(self)->NotifyGraph();
}

void TJackMidiClient::OnPortConnect(jack_port_id_t, jack_port_id_t, int, void *self) noexcept
{
    static_cast<TJackMidiClient *>(self)->NotifyGraph();
}

int TJackMidiClient::OnGraphOrder(void *self) noexcept
{
    static_cast<TJackMidiClient *>(self)->NotifyGraph();
    return 0;
}

int TJackMidiClient::TakeSlotLocked(bool input, const std::string &portName)
{
    const int count = input ? InputCount.load() : OutputCount.load();
    for (int i = 0; i < count; ++i) {
        bool &inUse = input ? Inputs[i].InUse : Outputs[i].InUse;
        if (!inUse) {
            inUse = true;
            return i;
        }
    }
    if (count == MaxPorts) {
        return -1;
    }
    // A port name must be unique within the client: the slot number tells
    // later ports apart ("in", "in-2", ...).
    const std::string name = count == 0 ? portName : portName + '-' + std::to_string(count + 1);
    jack_ringbuffer_t *ring = nullptr;
    if (!input && (ring = jack_ringbuffer_create(OutputRingSize)) == nullptr) {
        return -1;
    }
    jack_port_t *port = jack_port_register(Client, name.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                           input ? JackPortIsInput : JackPortIsOutput, 0);
    if (port == nullptr) {
        if (ring != nullptr) {
            jack_ringbuffer_free(ring);
        }
        return -1;
    }
    // Published after the port and its ring: the cycle may use it from now on.
    if (input) {
        Inputs[count].Port = port;
        Inputs[count].InUse = true;
        InputCount.store(count + 1);
    } else {
        Outputs[count].Ring = ring;
        Outputs[count].Port = port;
        Outputs[count].InUse = true;
        OutputCount.store(count + 1);
    }
    return count;
}

bool TJackMidiClient::ConnectLocked(const std::string &from, const std::string &to)
{
    const int result = jack_connect(Client, from.c_str(), to.c_str());
    return result == 0 || result == EEXIST;
}

TJackMidiClient::TOpenResult TJackMidiClient::OpenInput(const std::string &source,
                                                        TMidiEventQueue *queue, int &slot,
                                                        const std::string &portName)
{
    std::lock_guard lock(ControlMutex);
    if (!Running.load()) {
        return TOpenResult::ServerGone;
    }
    if (!source.empty() && jack_port_by_name(Client, source.c_str()) == nullptr) {
        return TOpenResult::NoSuchPort;
    }
    const int taken = TakeSlotLocked(true, portName);
    if (taken < 0) {
        return TOpenResult::NoPort;
    }
    TInputSlot &input = Inputs[taken];
    // Feed the queue before connecting, so that the first event is not lost.
    input.Queue.store(queue);
    if (!source.empty() && !ConnectLocked(source, jack_port_name(input.Port))) {
        input.Queue.store(nullptr);
        WaitForCycle();
        input.InUse = false;
        return TOpenResult::ConnectFailed;
    }
    slot = taken;
    return TOpenResult::Opened;
}

void TJackMidiClient::CloseInput(int slot)
{
    std::lock_guard lock(ControlMutex);
    if (slot < 0 || slot >= InputCount.load() || !Inputs[slot].InUse) {
        return;
    }
    TInputSlot &input = Inputs[slot];
    input.Queue.store(nullptr);
    WaitForCycle(); // the queue may be destroyed once this returns
    if (Running.load()) {
        jack_port_disconnect(Client, input.Port);
    }
    input.InUse = false;
}

TJackMidiClient::TOpenResult TJackMidiClient::OpenOutput(const std::string &destination, int &slot,
                                                         const std::string &portName)
{
    std::lock_guard lock(ControlMutex);
    if (!Running.load()) {
        return TOpenResult::ServerGone;
    }
    if (!destination.empty() && jack_port_by_name(Client, destination.c_str()) == nullptr) {
        return TOpenResult::NoSuchPort;
    }
    const int taken = TakeSlotLocked(false, portName);
    if (taken < 0) {
        return TOpenResult::NoPort;
    }
    TOutputSlot &output = Outputs[taken];
    if (!destination.empty() && !ConnectLocked(jack_port_name(output.Port), destination)) {
        output.InUse = false;
        return TOpenResult::ConnectFailed;
    }
    {
        std::lock_guard send(output.SendMutex);
        jack_ringbuffer_reset(output.Ring); // only ever touched while inactive
        output.Active.store(true);
    }
    slot = taken;
    return TOpenResult::Opened;
}

bool TJackMidiClient::Send(int slot, const std::uint8_t *data, std::size_t size)
{
    if (slot < 0 || slot >= OutputCount.load() || data == nullptr || size == 0 ||
        size > OutputRingSize / 2) {
        return false;
    }
    TOutputSlot &output = Outputs[slot];
    std::lock_guard lock(output.SendMutex);
    if (!output.Active.load() || !Running.load()) {
        return false;
    }
    if (jack_ringbuffer_write_space(output.Ring) < sizeof(TLength) + size) {
        return false;
    }
    const auto length = static_cast<TLength>(size);
    jack_ringbuffer_write(output.Ring, reinterpret_cast<const char *>(&length), sizeof length);
    jack_ringbuffer_write(output.Ring, reinterpret_cast<const char *>(data), size);
    return true;
}

void TJackMidiClient::CloseOutput(int slot)
{
    std::lock_guard lock(ControlMutex);
    if (slot < 0 || slot >= OutputCount.load() || !Outputs[slot].InUse) {
        return;
    }
    TOutputSlot &output = Outputs[slot];
    {
        std::lock_guard send(output.SendMutex);
        const auto until = std::chrono::steady_clock::now() + DrainTimeout;
        while (Running.load() && jack_ringbuffer_read_space(output.Ring) > 0 &&
               std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        output.Active.store(false);
    }
    WaitForCycle(); // the event of the last cycle has left the port
    if (Running.load()) {
        jack_port_disconnect(Client, output.Port);
    }
    output.InUse = false;
}

void TJackMidiClient::WaitForCycle() const
{
    // The cycle marks itself busy before it looks at a slot. A cycle that is
    // not busy now, or that has ended since, cannot see what was changed
    // before this call.
    if (!InCycle.load()) {
        return;
    }
    const std::uint64_t cycle = Cycles.load();
    const auto until = std::chrono::steady_clock::now() + DrainTimeout;
    while (Running.load() && InCycle.load() && Cycles.load() == cycle &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

int TJackMidiClient::OnProcess(jack_nframes_t frames, void *self) noexcept
{
    static_cast<TJackMidiClient *>(self)->Process(frames);
    return 0;
}

void TJackMidiClient::OnShutdown(void *self) noexcept
{
    auto *client = static_cast<TJackMidiClient *>(self);
    client->Running.store(false);
    client->NotifyGraph(); // every port has gone with the server
}

void TJackMidiClient::Process(jack_nframes_t frames) noexcept
{
    InCycle.store(true);
    const int inputs = InputCount.load();
    for (int i = 0; i < inputs; ++i) {
        TMidiEventQueue *queue = Inputs[i].Queue.load();
        if (queue == nullptr) {
            continue;
        }
        void *buffer = jack_port_get_buffer(Inputs[i].Port, frames);
        const jack_nframes_t count = jack_midi_get_event_count(buffer);
        for (jack_nframes_t e = 0; e < count; ++e) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, e) == 0 && event.size > 0) {
                queue->Push(event.buffer, event.size);
            }
        }
    }
    const int outputs = OutputCount.load();
    for (int i = 0; i < outputs; ++i) {
        TOutputSlot &slot = Outputs[i];
        void *buffer = jack_port_get_buffer(slot.Port, frames);
        // An output buffer keeps last cycle's events unless cleared.
        jack_midi_clear_buffer(buffer);
        if (slot.Active.load()) {
            DrainOutput(slot, buffer);
        }
    }
    Cycles.fetch_add(1);
    InCycle.store(false);
}

void TJackMidiClient::DrainOutput(TOutputSlot &slot, void *buffer) noexcept
{
    for (;;) {
        TLength length = 0;
        if (jack_ringbuffer_peek(slot.Ring, reinterpret_cast<char *>(&length), sizeof length) !=
                sizeof length ||
            jack_ringbuffer_read_space(slot.Ring) < sizeof length + length) {
            return;
        }
        // What is left of this cycle's buffer; asked first, since libjack
        // reports a reserve that does not fit on stderr, from this thread.
        if (length > jack_midi_max_event_size(buffer)) {
            if (jack_midi_get_event_count(buffer) > 0) {
                return; // perhaps it fits into the next, empty cycle
            }
            // Larger than any cycle can carry: it would block the port for good.
            jack_ringbuffer_read_advance(slot.Ring, sizeof length + length);
            continue;
        }
        jack_midi_data_t *target = jack_midi_event_reserve(buffer, 0, length);
        if (target == nullptr) {
            return; // the rest goes in the next cycle
        }
        jack_ringbuffer_read_advance(slot.Ring, sizeof length);
        jack_ringbuffer_read(slot.Ring, reinterpret_cast<char *>(target), length);
    }
}

} // namespace tarvello
