// How soon an edit is safe on disk, in-process: a main window on a full show
// (all 123 slots with a text line, a file reference and MIDI strings), its
// settings file in a folder of its own and its MIDI strings file in the show
// folder, over a fake MIDI system. The show is seeded through the window and
// written by the program, then the window is made again on those files, as a
// show starts on stage.
//   BM_SaveEditToDisk  a text line committed in the "Text" page's grid (as the
//                      operator's Enter does) until the settings file has been
//                      replaced on disk (its inode changes when the new file is
//                      renamed into place); the file is looked at about every
//                      0.2 ms with the event loop run between looks. Goal: under
//                      1 s; expected about the quiet period (500 ms) plus the write.
//   BM_SaveFullShow    one WriteNow() of the saver: the settings file and the MIDI
//                      strings file of the full show, each with its .bak kept.
//                      Between two writes one slot's line and MIDI strings
//                      change (untimed), so every write replaces both files.
//                      Goal: under 5 ms.
// Counters: median_ms, p99_ms (from 50 samples up, else max_ms) and samples;
// the time per iteration is the measured one (manual time).

#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "prompt/ShowSaver.h"
#include "show/Show.h"
#include "support/FakeDialogs.h"
#include "support/FakeMidiSystem.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/QtTestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

using namespace tarvello;

constexpr size_t SamplesForP99 = 50;
constexpr int EditSamples = 100;
constexpr auto PollPace = std::chrono::microseconds(200);
constexpr qint64 WaitLimitMs = 5000;

test::TFakeDialogs Dialogs;
std::shared_ptr<test::TFakeMidiSystem> Midi;
std::unique_ptr<QTemporaryDir> ProgramDir;
std::unique_ptr<QTemporaryDir> ShowDir;
std::unique_ptr<TfMain> Window;

QString SettingsPath()
{
    return ProgramDir->filePath(QStringLiteral("Tarvello.INI"));
}

TShowSaver &Saver()
{
    return *test::Control<TShowSaver>(Window.get(), "ShowSaver");
}

// Runs the event loop until the condition holds; false when the time is up.
template <typename TCondition> bool PollUntil(TCondition condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > WaitLimitMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(PollPace);
    }
    return true;
}

void StartWindow()
{
    Window = std::make_unique<TfMain>(Dialogs);
    Window->FormCreate(SettingsPath());
    Window->show();
    QApplication::processEvents();
}

void EndWindow()
{
    if (!Window) {
        return;
    }
    Window->FormDestroy();
    Window.reset();
    // The device lists go after the window, as at program end.
    ReleaseMidiDevices();
    SetMidiSystem(Midi);
}

// What a working show holds: a line per song, a file of words or chords for
// it, and the MIDI strings that set the band's sounds for it.
void SeedFullShow(TShow &show)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString number = QStringLiteral("%1").arg(slot + 1, 3, 10, QLatin1Char('0'));
        show.SetLine(slot, QStringLiteral("%1 Midnight Train to the Coast - key of D, capo 2, "
                                          "count in 4")
                               .arg(number));
        show.SetFile(slot,
                     ShowDir->filePath(QStringLiteral("songs/%1 Midnight Train.rtf").arg(number)));
        QStringList strings{
            QStringLiteral("C0 %1").arg(slot % 128, 2, 16, QLatin1Char('0')).toUpper(),
            QStringLiteral("B0 07 64")};
        if (slot % 2 == 0) {
            strings << QStringLiteral("F0 43 10 4C 08 00 0B 28 F7");
        }
        show.SetMidiStrings(slot, strings);
    }
}

// The window on a full show of its own files, once per run.
bool FullShowWindow(benchmark::State &state)
{
    if (Window) {
        return true;
    }
    ProgramDir = std::make_unique<QTemporaryDir>();
    ShowDir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(ShowDir->path());
    Midi = std::make_shared<test::TFakeMidiSystem>(QStringList{"In A", "In B"},
                                                   QStringList{"Out A", "Out B"});
    SetMidiSystem(Midi);
    StartWindow();
    SeedFullShow(Window->Show());
    Saver().WriteNow();
    EndWindow();
    StartWindow();
    if (Window->Show().Line(SlotCount - 1).isEmpty() ||
        Window->Show().MidiStrings(SlotCount - 1).isEmpty()) {
        state.SkipWithError("the full show did not come back from its files");
        return false;
    }
    return true;
}

// Nothing left for the saver from what came before (the start's own resize).
bool SaverIdle()
{
    return PollUntil([] { return !Saver().WritePending(); });
}

struct TFileStamp {
    ino_t Inode = 0;
    timespec Modified{};
    bool operator==(const TFileStamp &other) const
    {
        return Inode == other.Inode && Modified.tv_sec == other.Modified.tv_sec &&
               Modified.tv_nsec == other.Modified.tv_nsec;
    }
};

std::optional<TFileStamp> StampOf(const QByteArray &path)
{
    struct stat entry {};
    if (::stat(path.constData(), &entry) != 0) {
        return std::nullopt;
    }
    return TFileStamp{entry.st_ino, entry.st_mtim};
}

void ReportSamples(benchmark::State &state, std::vector<double> samples)
{
    if (samples.empty()) {
        return;
    }
    std::sort(samples.begin(), samples.end());
    const auto rank = [&samples](double share) {
        return samples[std::min(samples.size() - 1,
                                size_t(std::ceil(share * double(samples.size())) - 1))];
    };
    state.counters["median_ms"] = rank(0.5);
    if (samples.size() >= SamplesForP99) {
        state.counters["p99_ms"] = rank(0.99);
    } else {
        state.counters["max_ms"] = samples.back();
    }
    state.counters["samples"] = double(samples.size());
}

void BM_SaveEditToDisk(benchmark::State &state)
{
    if (!FullShowWindow(state) || !SaverIdle()) {
        state.SkipWithError("the saver never came to rest");
        return;
    }
    TKeyValueGrid *lines = test::TControlsOf(*Window).LineGrid();
    const QByteArray settings = QFile::encodeName(SettingsPath());
    std::vector<double> samples;
    int edit = 0;
    for (auto _ : state) {
        const int slot = edit % SlotCount;
        const std::optional<TFileStamp> before = StampOf(settings);
        const QString text = QStringLiteral("%1 Encore, take %2 - key of E").arg(slot).arg(edit);
        ++edit;
        const auto start = std::chrono::steady_clock::now();
        lines->SetValue(QString::number(slot), text);
        const bool written = PollUntil([&] {
            const std::optional<TFileStamp> now = StampOf(settings);
            return now && !(before && *now == *before);
        });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!written) {
            state.SkipWithError("the edit never reached the settings file");
            return;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000);
    }
    ReportSamples(state, samples);
}
BENCHMARK(BM_SaveEditToDisk)
    ->Iterations(EditSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SaveFullShow(benchmark::State &state)
{
    if (!FullShowWindow(state) || !SaverIdle()) {
        state.SkipWithError("the saver never came to rest");
        return;
    }
    TShow &show = Window->Show();
    TShowSaver &saver = Saver();
    std::vector<double> samples;
    int edit = 0;
    for (auto _ : state) {
        const int slot = edit % SlotCount;
        show.SetLine(slot, QStringLiteral("%1 Rewritten, take %2").arg(slot).arg(edit));
        show.SetMidiStrings(
            slot, {QStringLiteral("C0 %1").arg(edit % 128, 2, 16, QLatin1Char('0')).toUpper()});
        ++edit;
        const auto start = std::chrono::steady_clock::now();
        saver.WriteNow();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!saver.LastError().isEmpty()) {
            state.SkipWithError(saver.LastError().toStdString().c_str());
            return;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000);
    }
    ReportSamples(state, samples);
}
BENCHMARK(BM_SaveFullShow)->MinTime(2.0)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    tarvello::test::PrepareTestEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    EndWindow();
    ReleaseMidiDevices();
    Midi.reset();
    ProgramDir.reset();
    ShowDir.reset();
    return 0;
}
