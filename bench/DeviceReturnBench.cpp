// How soon a keyboard that comes back is played again: from the moment its
// port is back to the moment the program latches the first Program Change the
// keyboard sends (it sends one every millisecond from its return). That is the
// figure ("worst_ms" the longest); the selection then follows the 300 ms
// release window, as it does for any message ("shown_ms" counts up to it).
// The keyboard comes back at a random moment of the program's looks.
//   BM_KeyboardReturnsJack    a JACK client leaves and comes back under the same
//                             name; JACK announces it
//   BM_KeyboardReturnsLooked  a device of a system that cannot announce (the
//                             fake), looked at once a second
// The JACK case uses JACK_DEFAULT_SERVER when it names a running server, and
// otherwise starts a private one with the dummy backend for the run.

#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"
#include "support/FakeDialogs.h"
#include "support/FakeMidiSystem.h"
#include "support/FindControl.h"
#include "support/JackPeer.h"
#include "support/MainWindowControls.h"
#include "support/QtTestEnvironment.h"

#include "BenchJackMain.h"

#include <QApplication>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace tarvello;
using TClock = std::chrono::steady_clock;

namespace {

test::TFakeDialogs Dialogs;

// The window with the input named `input` chosen and open, following the devices.
std::unique_ptr<TfMain> MakeWindow(const QString &input)
{
    auto window = std::make_unique<TfMain>(Dialogs);
    window->RegisterMidiInputEvents();
    auto *list = test::Control<QListWidget>(window.get(), QStringLiteral("lbMidiIn"));
    list->addItems(MidiInput().Devices.Names());
    test::TControlsOf(*window).ClickRow("lbMidiIn", MidiInput().Devices.IndexOf(input));
    window->StartEmptyShow();
    window->WatchMidiDevices();
    return window;
}

bool RunEventsUntil(const std::function<bool()> &condition,
                    std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto until = TClock::now() + limit;
    while (!condition()) {
        if (TClock::now() > until) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

double Milliseconds(TClock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// One return: `leave` takes the keyboard away, `comeBack` brings it back,
// `play` sends one Program Change of the value. Returns false when the
// program did not follow.
struct TFigures {
    double Shown = 0;
    double Worst = 0;
};

bool MeasureReturn(benchmark::State &state, TfMain &window, int value,
                   const std::function<void()> &leave, const std::function<void()> &comeBack,
                   const std::function<void(int)> &play, TFigures &figures)
{
    leave();
    if (!RunEventsUntil([&] { return test::EngineOf(&window).Midi().InputDevice == -1; })) {
        return false;
    }
    // Away for a while, as a cable pulled and plugged in again is.
    const auto away = std::chrono::milliseconds(100 + (value * 389) % 1000);
    RunEventsUntil([] { return false; }, away);
    comeBack();
    const TClock::time_point back = TClock::now();
    std::atomic<bool> playing{true};
    std::thread keyboard([&] {
        while (playing) {
            play(value);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const TPromptEngine &engine = test::EngineOf(&window);
    const bool latched =
        RunEventsUntil([&] { return engine.Dispatch().PendingMidiValue() == value; });
    const TClock::time_point first = TClock::now();
    const bool selected = RunEventsUntil([&] { return engine.CurrentSlot() == value; });
    const double shown = Milliseconds(TClock::now() - back);
    playing = false;
    keyboard.join();
    // The last messages close their own release window before the next round.
    RunEventsUntil([] { return false; }, std::chrono::milliseconds(400));
    state.SetIterationTime(std::chrono::duration<double>(first - back).count());
    figures.Shown += shown;
    figures.Worst = std::max(figures.Worst, Milliseconds(first - back));
    return latched && selected;
}

void BM_KeyboardReturnsJack(benchmark::State &state)
{
    if (!test::JackServerReachable()) {
        state.SkipWithError("no JACK server");
        return;
    }
    ReleaseMidiDevices();
    auto peer = std::make_unique<test::TJackPeer>();
    SetMidiSystem(std::make_shared<TRtMidiSystem>(TRtMidiSystem::TApi::Jack));
    auto window = MakeWindow(test::TJackPeer::OutputPortName());
    TFigures figures;
    int value = 1;
    for (auto _ : state) {
        value = value % 100 + 1;
        const bool followed = MeasureReturn(
            state, *window, value, [&] { peer.reset(); },
            [&] { peer = std::make_unique<test::TJackPeer>(); },
            [&](int v) { peer->Send(QByteArray::fromRawData("\xC0", 1) + char(v)); }, figures);
        if (!followed) {
            state.SkipWithError("the keyboard was not followed");
            break;
        }
    }
    state.counters["shown_ms"] = figures.Shown / double(state.iterations());
    state.counters["worst_ms"] = figures.Worst;
    window.reset();
    ReleaseMidiDevices();
}
BENCHMARK(BM_KeyboardReturnsJack)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_KeyboardReturnsLooked(benchmark::State &state)
{
    ReleaseMidiDevices();
    auto fake = std::make_shared<test::TFakeMidiSystem>(QStringList{"Keys"}, QStringList{});
    fake->SetAnnouncing(false);
    SetMidiSystem(fake);
    auto window = MakeWindow(QStringLiteral("Keys"));
    TFigures figures;
    int value = 1;
    for (auto _ : state) {
        value = value % 100 + 1;
        const bool followed = MeasureReturn(
            state, *window, value, [&] { fake->RemoveInput("Keys"); },
            [&] { fake->AddInput("Keys"); },
            [&](int v) { fake->DeliverTo("Keys", QByteArray("\xC0", 1) + char(v)); }, figures);
        if (!followed) {
            state.SkipWithError("the keyboard was not followed");
            break;
        }
    }
    state.counters["shown_ms"] = figures.Shown / double(state.iterations());
    state.counters["worst_ms"] = figures.Worst;
    window.reset();
    ReleaseMidiDevices();
}
BENCHMARK(BM_KeyboardReturnsLooked)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication &app = test::CreateTestApplication(argc, argv);
    Q_UNUSED(app);
    return test::RunBenchmarksWithJackServer(argc, argv, "tarvello-return-bench");
}
