#include "support/JackPeer.h"

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

namespace tarvello::test {

TJackPeer::TJackPeer()
{
    In = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "TarvelloPeerIn");
    In->ignoreTypes(false, false, false);
    In->setCallback(&TJackPeer::OnMessage, this);
    In->openVirtualPort("in");
    Out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "TarvelloPeerOut");
    Out->openVirtualPort("out");
}

TJackPeer::~TJackPeer()
{
    Out.reset();
    In.reset();
}

void TJackPeer::OnMessage(double, std::vector<unsigned char> *message, void *user)
{
    auto *peer = static_cast<TJackPeer *>(user);
    {
        std::lock_guard lock(peer->Mutex);
        peer->Messages.emplace_back(reinterpret_cast<const char *>(message->data()),
                                    static_cast<qsizetype>(message->size()));
    }
    peer->Arrived.notify_all();
}

void TJackPeer::Send(const QByteArray &bytes)
{
    Out->sendMessage(reinterpret_cast<const unsigned char *>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size()));
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
