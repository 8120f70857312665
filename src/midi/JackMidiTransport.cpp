#include "midi/JackMidiTransport.h"

#include "midi/JackMidiClient.h"

#include <jack/jack.h>

#include <mutex>

namespace tarvello {

namespace {

void SilentJackMessage(const char *) {}

TMidiResult ResultOf(TJackMidiClient::TOpenResult result)
{
    switch (result) {
    case TJackMidiClient::TOpenResult::Opened:
        return MidiResult::NoError;
    case TJackMidiClient::TOpenResult::NoSuchPort:
    case TJackMidiClient::TOpenResult::ServerGone:
        return MidiResult::NoDevice;
    case TJackMidiClient::TOpenResult::ConnectFailed:
        return MidiResult::Allocated;
    case TJackMidiClient::TOpenResult::NoPort:
        return MidiResult::NoMemory;
    }
    return MidiResult::Error;
}

class TJackInput : public TMidiTransportInput {
public:
    TJackInput(std::shared_ptr<TJackMidiClient> client, int slot, std::string source)
        : Client(std::move(client)), Slot(slot), Source(std::move(source))
    {
    }
    ~TJackInput() override { Client->CloseInput(Slot); }
    bool Connected() const override { return Client->Connected(true, Slot, Source); }

private:
    std::shared_ptr<TJackMidiClient> Client;
    int Slot;
    std::string Source;
};

class TJackOutput : public TMidiTransportOutput {
public:
    TJackOutput(std::shared_ptr<TJackMidiClient> client, int slot, std::string destination)
        : Client(std::move(client)), Slot(slot), Destination(std::move(destination))
    {
    }
    ~TJackOutput() override { Client->CloseOutput(Slot); }
    bool Connected() const override { return Client->Connected(false, Slot, Destination); }
    TMidiResult Send(const std::uint8_t *data, std::size_t size) override
    {
        if (Client->Send(Slot, data, size)) {
            return MidiResult::NoError;
        }
        // The server has gone, or more is waiting than one port can queue.
        return Client->Alive() ? MidiResult::NotReady : MidiResult::NoDevice;
    }

private:
    std::shared_ptr<TJackMidiClient> Client;
    int Slot;
    std::string Destination;
};

} // namespace

std::unique_ptr<TJackMidiTransport> TJackMidiTransport::Open(const std::string &clientName)
{
    static std::once_flag once;
    // The program has no log, and a stage laptop's terminal is no place for
    // the library's chatter about a missing server.
    std::call_once(once, [] {
        jack_set_error_function(&SilentJackMessage);
        jack_set_info_function(&SilentJackMessage);
    });
    std::shared_ptr<TJackMidiClient> client = TJackMidiClient::Open(clientName);
    if (!client) {
        return nullptr;
    }
    return std::unique_ptr<TJackMidiTransport>(
        new TJackMidiTransport(std::move(client), clientName));
}

TJackMidiTransport::TJackMidiTransport(std::shared_ptr<TJackMidiClient> client,
                                       std::string clientName)
    : Client(std::move(client)), ClientName(std::move(clientName))
{
}

TJackMidiTransport::~TJackMidiTransport() = default;

std::vector<std::string> TJackMidiTransport::ListPorts(bool input)
{
    std::vector<std::string> names = Client->ListPorts(input);
    std::erase_if(names, [&](const std::string &name) { return IsOwnMidiPort(name, ClientName); });
    return names;
}

QString TJackMidiTransport::DeviceName(const std::string &systemName) const
{
    return QString::fromStdString(systemName);
}

std::string TJackMidiTransport::CurrentName(bool input, const TMidiPortName &port)
{
    const std::vector<std::string> names = Client->ListPorts(input);
    const std::ptrdiff_t index = FindPort(names, port);
    return index < 0 ? std::string() : names[static_cast<std::size_t>(index)];
}

std::unique_ptr<TMidiTransportInput> TJackMidiTransport::OpenInput(const TMidiPortName &port,
                                                                   TMidiEventQueue &queue,
                                                                   TMidiResult &result)
{
    const std::string name = CurrentName(true, port);
    int slot = -1;
    result = name.empty() ? MidiResult::NoDevice : ResultOf(Client->OpenInput(name, &queue, slot));
    return result == MidiResult::NoError ? std::make_unique<TJackInput>(Client, slot, name)
                                         : nullptr;
}

std::unique_ptr<TMidiTransportOutput> TJackMidiTransport::OpenOutput(const TMidiPortName &port,
                                                                     TMidiResult &result)
{
    const std::string name = CurrentName(false, port);
    int slot = -1;
    result = name.empty() ? MidiResult::NoDevice : ResultOf(Client->OpenOutput(name, slot));
    return result == MidiResult::NoError ? std::make_unique<TJackOutput>(Client, slot, name)
                                         : nullptr;
}

bool TJackMidiTransport::WatchPorts(std::function<void()> notify)
{
    Client->SetGraphNotify(std::move(notify));
    return true;
}

} // namespace tarvello
