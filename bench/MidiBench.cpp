// What one short message costs on its way from the MIDI back-end to the
// handler the main window registers, and how fast MIDI strings convert.
//   BM_ShortMessageDirect  the back-end's delivery call -> MidiInCallback -> OnMidiData
//   BM_ShortMessageQueued  the same behind the hand-off from the transport's thread
//   BM_ShortMessageJack    a peer client's send -> JACK -> the program's client -> OnMidiData
//   (round
//                          trip dominated by JACK's period: 256 frames at 48 kHz = 5.3 ms)
//   BM_HexToBytes          MIDI string text -> bytes
// The JACK case uses JACK_DEFAULT_SERVER when it names a running server, and
// otherwise starts a private one with the dummy backend for the run.

#include "midi/Midi.h"
#include "midi/MidiEventQueue.h"
#include "midi/MidiInputPort.h"
#include "support/FakeMidiSystem.h"
#include "support/JackPeer.h"

#include "BenchJackMain.h"
#include "BenchJackPeer.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

using namespace tarvello;

namespace {

std::atomic<std::uint64_t> Received{0};

void CountingHandler(int, std::uint8_t, std::uint8_t, std::uint8_t)
{
    Received.fetch_add(1, std::memory_order_release);
}

void WaitForReceived(std::uint64_t target)
{
    while (Received.load(std::memory_order_acquire) < target) {
        std::this_thread::yield();
    }
}

// The program-wide input list over a fake with one open device.
void UseFakeInput()
{
    ReleaseMidiDevices();
    SetMidiSystem(std::make_shared<test::TFakeMidiSystem>(QStringList{"In"}, QStringList{}));
    MidiInput().OnMidiData = &CountingHandler;
    MidiInput().Open(0);
}

void BM_ShortMessageDirect(benchmark::State &state)
{
    UseFakeInput();
    TMidiInputPort port(MidiInput().DeviceHandle(0), &MidiInCallback,
                        MidiInput().CallbackInstance(0));
    port.Start();
    const std::uint8_t message[] = {0xC3, 0x15};
    const std::uint64_t before = Received.load();
    for (auto _ : state) {
        port.DeliverEvent(message, sizeof message);
    }
    if (Received.load() - before != static_cast<std::uint64_t>(state.iterations())) {
        state.SkipWithError("messages did not reach the handler");
    }
    state.SetItemsProcessed(state.iterations());
    ReleaseMidiDevices();
}
BENCHMARK(BM_ShortMessageDirect);

void BM_ShortMessageQueued(benchmark::State &state)
{
    UseFakeInput();
    TMidiInputPort port(MidiInput().DeviceHandle(0), &MidiInCallback,
                        MidiInput().CallbackInstance(0));
    port.Start();
    TMidiEventQueue queue(
        [&port](const std::uint8_t *data, std::size_t size) { port.DeliverEvent(data, size); });
    const std::uint8_t message[] = {0xC3, 0x15};
    for (auto _ : state) {
        const std::uint64_t target = Received.load() + 1;
        queue.Push(message, sizeof message);
        WaitForReceived(target);
    }
    state.SetItemsProcessed(state.iterations());
    port.Stop();
    ReleaseMidiDevices();
}
BENCHMARK(BM_ShortMessageQueued)->UseRealTime();

void BM_ShortMessageJack(benchmark::State &state)
{
    auto peer = test::StartJackBenchmark(state);
    if (!peer) {
        return;
    }
    const int index = MidiInput().Devices.IndexOf(test::TJackPeer::OutputPortName());
    MidiInput().OnMidiData = &CountingHandler;
    MidiInput().Open(index);
    const int burst = static_cast<int>(state.range(0));
    QByteArray message = QByteArray::fromHex("C315");
    for (auto _ : state) {
        const std::uint64_t target = Received.load() + static_cast<std::uint64_t>(burst);
        for (int i = 0; i < burst; ++i) {
            peer->Send(message);
        }
        WaitForReceived(target);
    }
    state.SetItemsProcessed(state.iterations() * burst);
    ReleaseMidiDevices();
    peer.reset();
}
BENCHMARK(BM_ShortMessageJack)->Arg(1)->Arg(64)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_HexToBytes(benchmark::State &state)
{
    QString line = QStringLiteral("F0");
    while (line.size() < state.range(0)) {
        line += QStringLiteral(" 7E");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(HexToBytes(line));
    }
    state.SetBytesProcessed(state.iterations() * line.size());
}
BENCHMARK(BM_HexToBytes)->Arg(8)->Arg(64)->Arg(1024);

void BM_MidiStringCheckAndConvert(benchmark::State &state)
{
    const QString line = QStringLiteral("C0 05 B0 07 64");
    for (auto _ : state) {
        if (IsSendableMidiString(line)) {
            benchmark::DoNotOptimize(HexToBytes(line));
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MidiStringCheckAndConvert);

} // namespace

int main(int argc, char **argv)
{
    return tarvello::test::RunBenchmarksWithJackServer(argc, argv, "tarvello-bench");
}
