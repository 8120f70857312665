#pragma once

// A JACK server (PipeWire's JACK too), through libjack directly: the whole
// program is one JACK client whatever it has open (see TJackMidiClient).
// Ports are listed by their full JACK names ("client:port").

#include "midi/MidiTransport.h"

namespace tarvello {

class TJackMidiClient;

class TJackMidiTransport : public TMidiTransport {
public:
    // Opens the client; nullptr when no server runs. Never starts one.
    static std::unique_ptr<TJackMidiTransport> Open(const std::string &clientName);
    ~TJackMidiTransport() override;

    std::vector<std::string> ListPorts(bool input) override;
    QString DeviceName(const std::string &systemName) const override;
    std::unique_ptr<TMidiTransportInput>
    OpenInput(const TMidiPortName &port, TMidiEventQueue &queue, TMidiResult &result) override;
    std::unique_ptr<TMidiTransportOutput> OpenOutput(const TMidiPortName &port,
                                                     TMidiResult &result) override;
    // JACK announces clients, ports and connections that come and go.
    bool WatchPorts(std::function<void()> notify) override;

private:
    TJackMidiTransport(std::shared_ptr<TJackMidiClient> client, std::string clientName);
    // The port's name in the graph now; empty when it is not there.
    std::string CurrentName(bool input, const TMidiPortName &port);

    std::shared_ptr<TJackMidiClient> Client; // shared with the open ports
    std::string ClientName;
};

} // namespace tarvello
