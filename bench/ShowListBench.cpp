// What a long repertoire costs at start-up, in-process: a main window made
// and started (FormCreate) on a settings file that lists 1 or 1,000 shows,
// over a fake MIDI system. Shows are read when they are opened, so the list
// alone should cost little.
//   BM_StartWithShows/N  the window made, its settings read and first shown.
//                        Goal: under 0.5 s with 1,000 shows.
// Counters: rss_growth_kb, the resident memory the program had grown by after
// the first start of the case (the list of shows and what it draws), for a
// memory goal of at most 10 MB more than one show.

#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "support/FakeDialogs.h"
#include "support/FakeMidiSystem.h"
#include "support/QtTestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

namespace {

using namespace tarvello;

long ResidentKb()
{
    std::ifstream status("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    status >> pages >> resident;
    return resident * 4;
}

void BM_StartWithShows(benchmark::State &state)
{
    test::TFakeDialogs dialogs;
    SetMidiSystem(std::make_shared<test::TFakeMidiSystem>(QStringList{"In"}, QStringList{"Out"}));
    QTemporaryDir folder;
    const int shows = int(state.range(0));
    QByteArray ini = "[Shows]\r\nCount=" + QByteArray::number(shows) + "\r\nShow 1=0;;Home\r\n";
    for (int show = 1; show < shows; ++show) {
        ini += "Show " + QByteArray::number(show + 1) + "=" + QByteArray::number(show) +
               ";shows/show-" + QByteArray::number(show) + ".ini;Set list " +
               QByteArray::number(show) + "\r\n";
    }
    const QString path = folder.filePath(QStringLiteral("Tarvello.INI"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(ini);
    file.close();
    const long before = ResidentKb();
    long growth = -1;
    for (auto _ : state) {
        auto window = std::make_unique<TfMain>(dialogs);
        window->FormCreate(path);
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        if (growth < 0) {
            growth = ResidentKb() - before;
        }
        window->FormDestroy();
        window.reset();
        ReleaseMidiDevices();
        QFile::remove(path + QStringLiteral(".bak"));
        state.ResumeTiming();
    }
    state.counters["rss_growth_kb"] = double(growth);
}
BENCHMARK(BM_StartWithShows)->Arg(1)->Arg(1000)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    tarvello::test::PrepareTestEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
