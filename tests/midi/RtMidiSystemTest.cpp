#include "midi/RtMidiSystem.h"
#include "midi/AlsaMidiTransport.h"

#include "MidiFakeFixture.h"

#include <QtGlobal>

namespace tarvello::test {
namespace {

using TApi = TRtMidiSystem::TApi;

TEST(RtMidiSystem, DeviceNamesLoseTheAlsaAddressOnly)
{
    EXPECT_EQ(TRtMidiSystem::DeviceNameOf(
                  "USB Uno MIDI Interface:USB Uno MIDI Interface MIDI 1 20:0", TApi::Alsa),
              "USB Uno MIDI Interface:USB Uno MIDI Interface MIDI 1");
    EXPECT_EQ(TRtMidiSystem::DeviceNameOf("Midi Through:Midi Through Port-0 14:0", TApi::Alsa),
              "Midi Through:Midi Through Port-0");
    EXPECT_EQ(TRtMidiSystem::DeviceNameOf("Keys 20:0 extra", TApi::Alsa), "Keys 20:0 extra");
    EXPECT_EQ(TRtMidiSystem::DeviceNameOf("a2j:Keys 20:0", TApi::Jack), "a2j:Keys 20:0");
    EXPECT_EQ(TRtMidiSystem::DeviceNameOf("Pédale:out", TApi::Jack), "Pédale:out");
}

// A network MIDI bridge (qmidinet, aseqnet, rtpmidid) is a sequencer client
// like any other, and gets another client number each time it starts: its
// port is found again by the name without the address. This machine has no
// sequencer: the transport only lists and matches names here.
TEST(RtMidiSystem, AnAlsaPortIsFoundByItsNameWhenItsAddressChanged)
{
    struct TProbe : TAlsaMidiTransport {
        TProbe() : TAlsaMidiTransport("Tarvello-probe") {}
        using TMidiTransport::FindPort;
    } alsa;
    const TMidiPortName stored{QStringLiteral("QmidiNet:QmidiNet 0"), "QmidiNet:QmidiNet 0 128:0"};
    EXPECT_EQ(alsa.FindPort({"Keys:Keys 20:0", "QmidiNet:QmidiNet 0 129:0"}, stored), 1);
    EXPECT_EQ(alsa.FindPort({"QmidiNet:QmidiNet 0 130:0", "QmidiNet:QmidiNet 0 128:0"}, stored), 1)
        << "the very port first";
    EXPECT_EQ(alsa.FindPort({"QmidiNet:QmidiNet 1 129:1", "Keys:Keys 20:0"}, stored), -1);
}

TEST(RtMidiSystem, OwnPortsAreRecognisedByClientName)
{
    EXPECT_TRUE(TRtMidiSystem::IsOwnPort("Tarvello:in"));
    EXPECT_TRUE(TRtMidiSystem::IsOwnPort("Tarvello-01:out"));
    EXPECT_TRUE(TRtMidiSystem::IsOwnPort("Tarvello:Tarvello in 128:0"));
    EXPECT_FALSE(TRtMidiSystem::IsOwnPort("TarvelloPeer:out"));
    EXPECT_FALSE(TRtMidiSystem::IsOwnPort("Tarvello-x:out"));
    EXPECT_FALSE(TRtMidiSystem::IsOwnPort("Tarvello-:out"));
    EXPECT_FALSE(TRtMidiSystem::IsOwnPort("Keys:Tarvello"));
}

TEST(RtMidiSystem, WithoutAServerTheListsAreEmptyAndNothingOpens)
{
    // A server name nobody runs: libjack must neither find nor start one.
    const QByteArray saved = qgetenv("JACK_DEFAULT_SERVER");
    qputenv("JACK_DEFAULT_SERVER", "tarvello-nobody-runs-this");
    auto system = std::make_shared<TRtMidiSystem>(TApi::Jack);
    EXPECT_EQ(system->ActiveApi(), TApi::None);
    EXPECT_EQ(system->InGetNumDevs(), 0u);
    EXPECT_EQ(system->OutGetNumDevs(), 0u);
    TMidiHandle handle = 0;
    EXPECT_EQ(system->OutOpen(handle, 0), MidiResult::NoDriver);
    EXPECT_EQ(system->OutShortMsg(1234, 0x90), MidiResult::InvalidHandle);
    EXPECT_EQ(qgetenv("JACK_NO_START_SERVER"), "1");

    SetMidiSystem(system);
    EXPECT_TRUE(MidiInput().Devices.IsEmpty());
    EXPECT_EQ(ErrorOf([] { MidiOutput().SendShortMessage(0, 0xC0, 1, 0); }),
              "List index out of bounds (0)");
    ReleaseMidiDevices();
    if (saved.isNull()) {
        qunsetenv("JACK_DEFAULT_SERVER");
    } else {
        qputenv("JACK_DEFAULT_SERVER", saved);
    }
}

TEST(RtMidiSystem, EveryResultCodeHasATextAndUnknownCodesHaveNone)
{
    TRtMidiSystem system(TApi::None);
    for (TMidiResult code : {MidiResult::Error, MidiResult::BadDeviceId, MidiResult::Allocated,
                             MidiResult::InvalidHandle, MidiResult::NoDriver,
                             MidiResult::StillPlaying, MidiResult::NoDevice}) {
        QString text;
        EXPECT_EQ(system.InGetErrorText(code, text), MidiResult::NoError);
        EXPECT_FALSE(text.isEmpty());
    }
    QString text;
    EXPECT_EQ(system.InGetErrorText(12345, text), MidiResult::BadErrorNumber);
}

} // namespace
} // namespace tarvello::test
