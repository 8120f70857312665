#pragma once

// The real MIDI system: the ALSA sequencer (through RtMidi) when it can be
// opened, otherwise a running JACK server, PipeWire's JACK included (through
// libjack, the whole program being one JACK client). Without either, the
// device lists are empty and opening fails with NoDriver.

#include "midi/MidiSystem.h"
#include "midi/MidiTransport.h"

#include <QString>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarvello {

class TRtMidiSystem : public TMidiSystem {
public:
    enum class TApi { Automatic, Alsa, Jack, None };

    // The program's client name in the ALSA and JACK graphs.
    static constexpr const char *ClientName = "Tarvello";

    // Automatic probes the ALSA sequencer, then JACK, on first use. Alsa or Jack
    // binds to that one system (tests use Jack with a private server).
    explicit TRtMidiSystem(TApi api = TApi::Automatic);
    // Closes whatever is still open.
    ~TRtMidiSystem() override;

    // The system in use once it has been probed: Alsa, Jack or None.
    TApi ActiveApi();

    // The name under which a port of the system is listed: ALSA's numeric
    // address (" 20:0") goes, so that a stored name still matches after a reboot.
    static QString DeviceNameOf(const std::string &portName, TApi api);
    // True for the ports of this program's own clients ("Tarvello", "Tarvello-01").
    static bool IsOwnPort(const std::string &portName);

    // When no system was found, a rescan looks for one again: a JACK server
    // started after the program is taken then.
    void InRescan() override;
    void OutRescan() override;
    bool InConnected(TMidiHandle handle) override;
    bool OutConnected(TMidiHandle handle) override;
    bool SystemPresent() override;
    bool WatchDevices(std::function<void()> notify) override;

    unsigned InGetNumDevs() override;
    TMidiResult InGetDevName(unsigned deviceId, QString &name) override;
    TMidiResult InOpen(TMidiHandle &handle, unsigned deviceId, TMidiInProc callback,
                       std::uintptr_t instance) override;
    TMidiResult InPrepareHeader(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult InUnprepareHeader(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult InAddBuffer(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult InStart(TMidiHandle handle) override;
    TMidiResult InStop(TMidiHandle handle) override;
    TMidiResult InReset(TMidiHandle handle) override;
    TMidiResult InClose(TMidiHandle handle) override;
    TMidiResult InGetErrorText(TMidiResult code, QString &text) override;

    unsigned OutGetNumDevs() override;
    TMidiResult OutGetDevName(unsigned deviceId, QString &name) override;
    TMidiResult OutOpen(TMidiHandle &handle, unsigned deviceId) override;
    TMidiResult OutClose(TMidiHandle handle) override;
    TMidiResult OutShortMsg(TMidiHandle handle, std::uint32_t packed) override;
    TMidiResult OutPrepareHeader(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult OutLongMsg(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader *header) override;

    struct TInPort;
    struct TOutPort;

private:
    TApi ProbeLocked();
    void RescanLocked(bool input);
    const std::vector<TMidiPortName> &PortsLocked(bool input);
    // The device count and names of one direction, shared by the In and Out calls.
    unsigned PortCount(bool input);
    TMidiResult PortName(bool input, unsigned deviceId, QString &name);
    std::shared_ptr<TInPort> FindIn(TMidiHandle handle);
    std::shared_ptr<TOutPort> FindOut(TMidiHandle handle);

    std::mutex Mutex; // guards everything below; never held while RtMidi waits for its threads
    TApi Requested;
    std::optional<TApi> Active;
    std::unique_ptr<TMidiTransport> Transport; // made by the probe, kept for good
    std::optional<std::vector<TMidiPortName>> Inputs;
    std::optional<std::vector<TMidiPortName>> Outputs;
    std::map<TMidiHandle, std::shared_ptr<TInPort>> OpenInputs;
    std::map<TMidiHandle, std::shared_ptr<TOutPort>> OpenOutputs;
    TMidiHandle NextHandle = 1;
};

} // namespace tarvello
