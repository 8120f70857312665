#include "BenchJackPeer.h"

#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"

namespace tarvello::test {

std::unique_ptr<TJackPeer> StartJackBenchmark(benchmark::State &state)
{
    if (!JackServerReachable()) {
        state.SkipWithError("no JACK server");
        return nullptr;
    }
    ReleaseMidiDevices();
    auto peer = std::make_unique<TJackPeer>();
    SetMidiSystem(std::make_shared<TRtMidiSystem>(TRtMidiSystem::TApi::Jack));
    if (MidiInput().Devices.IndexOf(TJackPeer::OutputPortName()) < 0 ||
        MidiOutput().Devices.IndexOf(TJackPeer::InputPortName()) < 0) {
        state.SkipWithError("the peer's ports are not listed");
        ReleaseMidiDevices();
        return nullptr;
    }
    return peer;
}

} // namespace tarvello::test
