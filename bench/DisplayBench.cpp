// From a selection to the painted view, and what the browser costs in memory.
#include "BenchFiles.h"
#include "core/SlotTypes.h"
#include "main/MainWindow.h"
#include "pages/PromptPreparer.h"
#include "pdfcontrol/BuiltInPdfControl.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/QtTestEnvironment.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/WebBrowserView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace tarvello;

TStandardDialogs Dialogs;
std::unique_ptr<QTemporaryDir> Folder;
std::unique_ptr<TfMain> Window;

TfMain &MainWindow()
{
    if (!Window) {
        Folder = std::make_unique<QTemporaryDir>();
        Window = std::make_unique<TfMain>(Dialogs);
        Window->resize(1000, 640);
        Window->StartEmptyShow();
        Window->show();
        QApplication::processEvents();
    }
    return *Window;
}

QString WriteFile(const QString &name, const QByteArray &bytes)
{
    MainWindow();
    return WriteBenchFile(*Folder, name, bytes);
}

QByteArray RtfOfSize(qsizetype size)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                     "{\\f1\\froman Times New Roman;}}{\\colortbl;\\red200\\green0\\blue0;"
                     "\\red0\\green0\\blue160;}\n";
    for (int verse = 0; rtf.size() < size; ++verse) {
        rtf += "\\pard\\qc\\f1\\fs36\\b Verse " + QByteArray::number(verse) + "\\b0\\par\n";
        rtf += "\\pard\\li360\\f0\\fs28 When the {\\i lights} go down and the {\\cf1 drums} "
               "begin,\\line we sing it {\\ul loud} and we sing it {\\cf2\\b clear},\\par\n"
               "caf\\'e9 na\\'efve \\u8364?uro {\\strike old} line\\tab end\\par\n";
    }
    return rtf + "}";
}

QByteArray TextOfSize(qsizetype size)
{
    QByteArray text;
    for (int line = 0; text.size() < size; ++line) {
        text += "Line " + QByteArray::number(line) +
                ": and the band plays on, one more time round the chorus\r\n";
    }
    return text;
}

// Resident memory of a process in kB, 0 when it is gone.
long ResidentKb(const std::string &pid)
{
    std::ifstream status("/proc/" + pid + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// This process and every process it started (the browser's helpers).
long TreeResidentKb()
{
    std::multimap<std::string, std::string> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        entry.toInt(&number);
        if (!number) {
            continue;
        }
        std::ifstream stat("/proc/" + entry.toStdString() + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(close + 2));
        std::string state, parent;
        rest >> state >> parent;
        children.emplace(parent, entry.toStdString());
    }
    long total = 0;
    std::vector<std::string> pending{std::to_string(QCoreApplication::applicationPid())};
    while (!pending.empty()) {
        const std::string pid = pending.back();
        pending.pop_back();
        total += ResidentKb(pid);
        const auto range = children.equal_range(pid);
        for (auto it = range.first; it != range.second; ++it) {
            pending.push_back(it->second);
        }
    }
    return total;
}

// Must run first: what the program holds before and after the browser exists.
void BM_StartupMemory(benchmark::State &state)
{
    for (auto _ : state) {
        TfMain &window = MainWindow();
        QApplication::processEvents();
        const long before = TreeResidentKb();
        test::UseDisplayType(window, 1);
        const QString page =
            WriteFile(QStringLiteral("page.html"),
                      "<html><head><title>web</title></head><body>Hi</body></html>");
        test::Control<TKeyValueGrid>(&window, QStringLiteral("vleFiles"))
            ->SetValue(QStringLiteral("1"), page);
        test::SelectValue(&window, 1);
        QWebEngineView *view =
            test::Control<TWebBrowserView>(&window, QStringLiteral("webFileBrowser"))
                ->EnsureBrowser();
        QElapsedTimer clock;
        clock.start();
        while (view->title() != QStringLiteral("web") && clock.elapsed() < 30000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        const long after = TreeResidentKb();
        state.counters["rss_start_kB"] = double(before);
        state.counters["rss_with_web_kB"] = double(after);
        state.counters["self_rss_with_web_kB"] =
            double(ResidentKb(std::to_string(QCoreApplication::applicationPid())));
    }
}
BENCHMARK(BM_StartupMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TextLineToPainted(benchmark::State &state)
{
    TfMain &window = MainWindow();
    test::UseDisplayType(window, 0);
    test::Control<TKeyValueGrid>(&window, QStringLiteral("vleLines"))
        ->SetValue(QStringLiteral("5"), QStringLiteral("Chorus, all together now"));
    test::Control<TKeyValueGrid>(&window, QStringLiteral("vleLines"))
        ->SetValue(QStringLiteral("6"), QStringLiteral("Bridge, quietly"));
    int value = 5;
    for (auto _ : state) {
        test::SelectValue(&window, value);
        test::Control<QLabel>(&window, QStringLiteral("lPatchName"))->repaint();
        value = value == 5 ? 6 : 5;
    }
}
BENCHMARK(BM_TextLineToPainted)->Unit(benchmark::kMicrosecond);

void LyricFileToPainted(benchmark::State &state, const QString &name, const QByteArray &bytes)
{
    TfMain &window = MainWindow();
    test::UseDisplayType(window, 1);
    test::Control<TKeyValueGrid>(&window, QStringLiteral("vleFiles"))
        ->SetValue(QStringLiteral("7"), WriteFile(name, bytes));
    test::SelectValue(&window, 7);
    for (auto _ : state) {
        // The same slot again: shown anew, with no list click on top.
        test::SelectValue(&window, 7);
        test::Control<QTextEdit>(&window, QStringLiteral("reLyric"))->viewport()->repaint();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_Rtf100KBToPainted(benchmark::State &state)
{
    LyricFileToPainted(state, QStringLiteral("song.rtf"), RtfOfSize(100 * 1024));
}
BENCHMARK(BM_Rtf100KBToPainted)->Unit(benchmark::kMillisecond);

void BM_PlainText200KBToPainted(benchmark::State &state)
{
    LyricFileToPainted(state, QStringLiteral("song.txt"), TextOfSize(200 * 1024));
}
BENCHMARK(BM_PlainText200KBToPainted)->Unit(benchmark::kMillisecond);

// Next (126) to an RTF song made ready while the slot before it was shown, in
// the stage font; between two songs the window is left still, as on stage.
void BM_NextToPreparedRtfToPainted(benchmark::State &state)
{
    TfMain &window = MainWindow();
    test::UseDisplayType(window, 1);
    TLyricPage &page = test::LyricPageOf(&window);
    const QFont font = page.PromptFont();
    page.SetPromptFont(QFont(QStringLiteral("DejaVu Sans"), 40));
    constexpr int first = 30;
    constexpr int last = 40;
    for (int slot = first; slot <= last; ++slot) {
        test::Control<TKeyValueGrid>(&window, QStringLiteral("vleFiles"))
            ->SetValue(QString::number(slot),
                       WriteFile(QStringLiteral("next%1.rtf").arg(slot), RtfOfSize(6 * 1024)));
    }
    auto *view = test::Control<QTextEdit>(&window, QStringLiteral("reLyric"));
    int slot = last;
    for (auto _ : state) {
        state.PauseTiming();
        if (slot == last) {
            slot = first;
            test::SelectValue(&window, slot);
        }
        QElapsedTimer still;
        still.start();
        while (page.Preparing() || still.elapsed() < 40) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.ResumeTiming();
        QElapsedTimer t; t.start();
        test::SelectValue(&window, NextPromptValue);
        static qint64 sel=0, rep=0, n=0;
        sel += t.nsecsElapsed(); t.restart();
        view->viewport()->repaint();
        rep += t.nsecsElapsed(); ++n;
        if (n % 100 == 0) fprintf(stderr, "select %.3f ms repaint %.3f ms\n", sel/1e6/n, rep/1e6/n);
        ++slot;
    }
    page.SetPromptFont(font);
}
BENCHMARK(BM_NextToPreparedRtfToPainted)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    tarvello::test::PrepareTestEnvironment();
    QApplication app(argc, argv);
    tarvello::RegisterBuiltInPdfControl();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Window.reset();
    Folder.reset();
    return 0;
}
