// What the MIDI input thread spends on one short message in the dispatch, and
// how many messages a second pass through the program with thru on.
//   BM_DispatchLatch        a matching Control Change while the release window runs:
//                           compare, latch
//   BM_DispatchLatchOpens   a matching Control Change that opens the window: compare,
//                           latch, clock, hand-over to the window's thread
//   BM_DispatchIgnored      a message on another controller: compare only
//   BM_DispatchThruFake     latch plus the thru echo into the output list (fake system)
//   BM_DispatchThruJack     latch plus the thru echo to a JACK port (the real echo)
//   BM_FloodThroughJack     a peer's burst -> JACK -> dispatch -> echo -> JACK -> peer;
//                           items/s is the rate the whole path carries
// The JACK cases use JACK_DEFAULT_SERVER when it names a running server, and
// otherwise start a private one with the dummy backend for the run.

#include "midi/Midi.h"
#include "prompt/MidiDispatch.h"
#include "support/FakeMidiSystem.h"
#include "support/JackPeer.h"

#include "BenchJackMain.h"
#include "BenchJackPeer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

using namespace tarvello;

namespace {

// The settings a show in controller mode on controller 102 would have.
struct TBenchSettings {
    std::atomic<int> Type{0xB0};
    std::atomic<int> Channel{0};
    std::atomic<int> Controller{102};
    std::atomic<int> Output{0};
    std::atomic<bool> Thru{false};
    std::atomic<int> ShowController{-1};
    std::atomic<bool> SongSelect{false};
};

std::unique_ptr<TMidiDispatch> MakeDispatch(TBenchSettings &settings, std::atomic<int> &arms)
{
    auto dispatch = std::make_unique<TMidiDispatch>(TDispatchSettings{
        settings.Type, settings.Channel, settings.Controller, settings.Output, settings.Thru,
        settings.ShowController, settings.SongSelect});
    dispatch->Echo = [](int device, std::uint8_t s, std::uint8_t d1, std::uint8_t d2) {
        MidiOutput().SendShortMessage(device, s, d1, d2);
    };
    dispatch->PostArmRelease = [&arms] { arms.fetch_add(1); };
    dispatch->PostLearn = [](std::uint8_t, std::uint8_t, std::uint8_t) {};
    dispatch->PostError = [](const QString &) {};
    return dispatch;
}

void BM_DispatchLatch(benchmark::State &state)
{
    TBenchSettings settings;
    std::atomic<int> arms{0};
    auto dispatch = MakeDispatch(settings, arms);
    std::uint8_t value = 0;
    for (auto _ : state) {
        dispatch->MidiInputEvent(0, 0xB0, 102, value);
        value = (value + 1) & 0x7F;
    }
    if (arms.load() != 1) {
        state.SkipWithError("the window was handed over more than once");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchLatch);

void BM_DispatchLatchOpens(benchmark::State &state)
{
    TBenchSettings settings;
    std::atomic<int> arms{0};
    auto dispatch = MakeDispatch(settings, arms);
    for (auto _ : state) {
        dispatch->MidiInputEvent(0, 0xB0, 102, 64);
        // As the timer's handler would, so that the next value opens a window.
        benchmark::DoNotOptimize(dispatch->TakeReleasedValue());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchLatchOpens);

void BM_DispatchIgnored(benchmark::State &state)
{
    TBenchSettings settings;
    std::atomic<int> arms{0};
    auto dispatch = MakeDispatch(settings, arms);
    for (auto _ : state) {
        dispatch->MidiInputEvent(0, 0xB0, 1, 64);
    }
    if (arms.load() != 0) {
        state.SkipWithError("another controller selected a slot");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchIgnored);

void BM_DispatchThruFake(benchmark::State &state)
{
    ReleaseMidiDevices();
    auto fake = std::make_shared<test::TFakeMidiSystem>(QStringList{}, QStringList{"Out"});
    SetMidiSystem(fake);
    MidiOutput().Open(0);
    TBenchSettings settings;
    settings.Thru = true;
    std::atomic<int> arms{0};
    auto dispatch = MakeDispatch(settings, arms);
    for (auto _ : state) {
        dispatch->MidiInputEvent(0, 0xB0, 102, 64);
    }
    state.SetItemsProcessed(state.iterations());
    dispatch.reset();
    ReleaseMidiDevices();
}
// The fake records every message; a bounded run keeps its memory small.
BENCHMARK(BM_DispatchThruFake)->Iterations(200000);

void BM_DispatchThruJack(benchmark::State &state)
{
    auto peer = test::StartJackBenchmark(state);
    if (!peer) {
        return;
    }
    TBenchSettings settings;
    settings.Thru = true;
    settings.Output = MidiOutput().Devices.IndexOf(test::TJackPeer::InputPortName());
    MidiOutput().Open(settings.Output);
    std::atomic<int> arms{0};
    auto dispatch = MakeDispatch(settings, arms);
    for (auto _ : state) {
        dispatch->MidiInputEvent(0, 0xB0, 102, 64);
    }
    state.SetItemsProcessed(state.iterations());
    dispatch.reset();
    ReleaseMidiDevices();
    peer.reset();
}
// JACK's ring buffer holds a few thousand events per period; stay below it.
BENCHMARK(BM_DispatchThruJack)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_FloodThroughJack(benchmark::State &state)
{
    auto peer = test::StartJackBenchmark(state);
    if (!peer) {
        return;
    }
    TBenchSettings settings;
    settings.Thru = true;
    settings.Output = MidiOutput().Devices.IndexOf(test::TJackPeer::InputPortName());
    const int input = MidiInput().Devices.IndexOf(test::TJackPeer::OutputPortName());
    MidiOutput().Open(settings.Output);
    std::atomic<int> arms{0};
    auto dispatch = MakeDispatch(settings, arms);
    MidiInput().OnMidiData = [&dispatch](int device, std::uint8_t s, std::uint8_t d1,
                                         std::uint8_t d2) {
        dispatch->MidiInputEvent(device, s, d1, d2);
    };
    MidiInput().Open(input);
    const int burst = static_cast<int>(state.range(0));
    bool lost = false;
    for (auto _ : state) {
        peer->ClearReceived();
        for (int i = 0; i < burst; ++i) {
            peer->Send(QByteArray::fromHex(i % 2 ? "B06640" : "B00140"));
        }
        if (!peer->WaitForMessages(static_cast<std::size_t>(burst), std::chrono::seconds(5))) {
            lost = true;
            break;
        }
    }
    if (lost) {
        state.SkipWithError("echo lost messages");
    }
    state.SetItemsProcessed(state.iterations() * burst);
    MidiInput().Close(input);
    MidiInput().OnMidiData = nullptr;
    dispatch.reset();
    ReleaseMidiDevices();
    peer.reset();
}
BENCHMARK(BM_FloodThroughJack)->Arg(64)->Arg(512)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return tarvello::test::RunBenchmarksWithJackServer(argc, argv, "tarvello-dispatch-bench");
}
