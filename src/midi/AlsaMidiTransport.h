#pragma once

// The ALSA sequencer through RtMidi. Each open device is a sequencer client
// of its own, named after the program.

#include "midi/MidiTransport.h"

namespace tarvello {

class TAlsaMidiTransport : public TMidiTransport {
public:
    // Whether RtMidi was built with ALSA and the sequencer can be opened.
    static bool Available();

    explicit TAlsaMidiTransport(std::string clientName);

    std::vector<std::string> ListPorts(bool input) override;
    QString DeviceName(const std::string &systemName) const override;
    std::unique_ptr<TMidiTransportInput>
    OpenInput(const TMidiPortName &port, TMidiEventQueue &queue, TMidiResult &result) override;
    std::unique_ptr<TMidiTransportOutput> OpenOutput(const TMidiPortName &port,
                                                     TMidiResult &result) override;

    // ALSA's numeric address (" 20:0") goes, so that a stored name still
    // matches after a reboot.
    static QString WithoutAddress(const std::string &portName);

private:
    std::string ClientName;
};

} // namespace tarvello
