#pragma once

// One MIDI service as the real MIDI system drives it: the ALSA sequencer
// (through RtMidi) or a JACK server (through libjack). The system keeps the
// numbering, the receive buffers and the handles; a transport only lists
// ports, connects to one and carries events.

#include "midi/MidiSystem.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvello {

class TMidiEventQueue;

// A port as the program lists it, and as the service named it at the time.
struct TMidiPortName {
    QString Name;       // shown to the operator and stored in the settings
    std::string System; // the service's own name for it
};

// An open input: the transport pushes every event that arrives into the
// queue given at open, from a single thread. Once destroyed, it pushes no more.
class TMidiTransportInput {
public:
    virtual ~TMidiTransportInput() = default;
    // False once the port it listens to has gone away, for good: a port of
    // that name that comes back is another one.
    virtual bool Connected() const = 0;
};

// An open output. Destroying it lets what is queued go out first.
class TMidiTransportOutput {
public:
    virtual ~TMidiTransportOutput() = default;
    // One event; the bytes are copied before the call returns. Callers do not
    // send on one output from two threads at once.
    virtual TMidiResult Send(const std::uint8_t *data, std::size_t size) = 0;
    // False once the port it sends to has gone away, for good.
    virtual bool Connected() const = 0;
};

// True for the ports of the program's own clients: clientName itself, and the
// "clientName-01" that JACK makes of a second client of that name.
bool IsOwnMidiPort(const std::string &portName, const std::string &clientName);

class TMidiTransport {
public:
    virtual ~TMidiTransport() = default;

    // The service's names of the ports that the program can read from (input)
    // or write to, without the program's own.
    virtual std::vector<std::string> ListPorts(bool input) = 0;
    // The name under which a port is listed to the program.
    virtual QString DeviceName(const std::string &systemName) const = 0;

    // Connect to port; nullptr with the reason in result when that fails.
    virtual std::unique_ptr<TMidiTransportInput>
    OpenInput(const TMidiPortName &port, TMidiEventQueue &queue, TMidiResult &result) = 0;
    virtual std::unique_ptr<TMidiTransportOutput> OpenOutput(const TMidiPortName &port,
                                                             TMidiResult &result) = 0;
    // Calls notify on a thread of the service whenever ports or clients come
    // or go; false when the service cannot tell. An empty function ends the
    // calls: once this returns, none is running or will come.
    virtual bool WatchPorts(std::function<void()> notify) = 0;

protected:
    // Where port is in names: under the name it had when listed, else (the
    // same device under a new ALSA address) under the name it is listed by.
    std::ptrdiff_t FindPort(const std::vector<std::string> &names, const TMidiPortName &port) const;
};

} // namespace tarvello
