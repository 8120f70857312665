#include "support/JackPeer.h"

#include "midi/JackMidiClient.h"
#include "midi/MidiEventQueue.h"

#include <jack/jack.h>

#include <stdexcept>
#include <thread>

namespace tarvello::test {

TJackPeer::TJackPeer()
{
    Client = TJackMidiClient::Open("TarvelloPeer");
    if (!Client) {
        throw std::runtime_error("no JACK server takes clients");
    }
    Queue = std::make_unique<TMidiEventQueue>(
        [this](const std::uint8_t *data, std::size_t size) { OnMessage(data, size); });
    if (Client->OpenInput({}, Queue.get(), InSlot, "in") != TJackMidiClient::TOpenResult::Opened ||
        Client->OpenOutput({}, OutSlot, "out") != TJackMidiClient::TOpenResult::Opened) {
        throw std::runtime_error("the test peer's JACK ports cannot be made");
    }
}

TJackPeer::~TJackPeer()
{
    Client->CloseInput(InSlot); // the queue is not fed after this
    Client.reset();
    Queue.reset();
}

void TJackPeer::OnMessage(const std::uint8_t *data, std::size_t size)
{
    {
        std::lock_guard lock(Mutex);
        Messages.emplace_back(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    }
    Arrived.notify_all();
}

bool TJackPeer::Send(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.constData());
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!Client->Send(OutSlot, data, static_cast<std::size_t>(bytes.size()))) {
        if (!Client->Alive() || std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool TJackPeer::WaitForMessages(std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(Mutex);
    return Arrived.wait_for(lock, timeout, [&] { return Messages.size() >= count; });
}

std::vector<QByteArray> TJackPeer::Received() const
{
    std::lock_guard lock(Mutex);
    return Messages;
}

void TJackPeer::ClearReceived()
{
    std::lock_guard lock(Mutex);
    Messages.clear();
}

TJackXRunCounter::TJackXRunCounter()
{
    jack_status_t status{};
    Client = jack_client_open("TarvelloXRunCounter", JackNoStartServer, &status);
    if (Client == nullptr) {
        throw std::runtime_error("no JACK server takes clients");
    }
    jack_set_xrun_callback(Client, &TJackXRunCounter::OnXRun, this);
    jack_activate(Client);
}

TJackXRunCounter::~TJackXRunCounter()
{
    jack_deactivate(Client);
    jack_client_close(Client);
}

int TJackXRunCounter::OnXRun(void *self)
{
    static_cast<TJackXRunCounter *>(self)->XRuns.fetch_add(1);
    return 0;
}

bool JackServerReachable()
{
    jack_status_t status{};
    jack_client_t *client = jack_client_open("TarvelloProbe", JackNoStartServer, &status);
    if (client == nullptr) {
        return false;
    }
    jack_client_close(client);
    return true;
}

} // namespace tarvello::test
