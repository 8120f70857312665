// Lists the MIDI input and output devices Tarvello would offer, numbered as the
// settings page numbers them, and which MIDI system they come from.

#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"

#include "core/TarvelloError.h"

#include <QTextStream>

#include <memory>

namespace {

const char *ApiName(tarvello::TRtMidiSystem::TApi api)
{
    switch (api) {
    case tarvello::TRtMidiSystem::TApi::Alsa:
        return "ALSA sequencer";
    case tarvello::TRtMidiSystem::TApi::Jack:
        return "JACK";
    default:
        return "none (no ALSA sequencer, no JACK server)";
    }
}

void PrintList(QTextStream &out, const char *title, const tarvello::TDeviceList &devices)
{
    out << title << ":\n";
    if (devices.IsEmpty()) {
        out << "  (none)\n";
    }
    for (int i = 0; i < devices.Count(); ++i) {
        out << "  " << i << "  " << devices.Name(i) << "\n";
    }
}

} // namespace

int main()
{
    QTextStream out(stdout);
    try {
        auto system = std::make_shared<tarvello::TRtMidiSystem>();
        tarvello::SetMidiSystem(system);
        out << "MIDI system: " << ApiName(system->ActiveApi()) << "\n";
        PrintList(out, "MIDI inputs", tarvello::MidiInput().Devices);
        PrintList(out, "MIDI outputs", tarvello::MidiOutput().Devices);
        out.flush();
        tarvello::ReleaseMidiDevices();
    } catch (const tarvello::TError &error) {
        out << "Error: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
