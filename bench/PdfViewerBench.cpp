// Page turns in the PDF viewer against a bare render of the same page: opening a
// 20-page document at page 1, turning to a page the view has ready, turning
// again at once to the page the last turn asked for, jumping to a far page
// nothing has asked for, and QPdfDocument::render of one page at the same size.

#include "BenchFiles.h"
#include "support/QtTestEnvironment.h"

#include "pdfcontrol/BuiltInPdfControl.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfviewer/PdfViewer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace tarvello;

constexpr int PageCount = 20;

struct TBench {
    QTemporaryDir Dir;
    QString Path;
    // A copy under another name: opening it is a new document, where opening
    // the file already shown keeps the open one.
    QString OtherPath;
    QWidget Parent;
    TPdfViewer *Viewer = nullptr;

    TBench()
    {
        RegisterBuiltInPdfControl();
        Path = Dir.filePath(QStringLiteral("songbook.pdf"));
        WriteSongbook(Path, PageCount);
        OtherPath = Dir.filePath(QStringLiteral("songbook-copy.pdf"));
        QFile::copy(Path, OtherPath);
        Parent.resize(1280, 800);
        Viewer = new TPdfViewer(&Parent);
        Viewer->SetAlign(alClient);
        Viewer->SetShowToolBar(false);
        Viewer->SetShowScrollBars(false);
        Viewer->SetLayoutMode(lmSinglePage);
        Parent.show();
        // Nothing is painted before the window system exposes the window.
        QDeadlineTimer deadline(5000);
        while (!(Parent.windowHandle() && Parent.windowHandle()->isExposed()) &&
               !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    TPdfDocumentControl *Control() const
    {
        return qobject_cast<TPdfDocumentControl *>(Viewer->GetDispatch());
    }
    TPdfPageView *View() const { return Control()->PageView(); }
    void Paint() const { View()->viewport()->repaint(); }
    void Open()
    {
        if (!Viewer->IsOpen()) {
            Viewer->SetFileName(Path);
            Viewer->SetCurrentPage(1);
        }
    }
};

// Made on first use and freed before main returns, while Qt PDF is still whole.
std::unique_ptr<TBench> TheBench;

TBench &Bench()
{
    if (!TheBench) {
        TheBench = std::make_unique<TBench>();
    }
    return *TheBench;
}

void OpenAndShowFirstPage(benchmark::State &state)
{
    TBench &bench = Bench();
    bool other = false;
    for (auto _ : state) {
        other = !other;
        bench.Viewer->SetFileName(other ? bench.OtherPath : bench.Path);
        bench.Viewer->SetCurrentPage(1);
        bench.Paint();
    }
}
BENCHMARK(OpenAndShowFirstPage)->Unit(benchmark::kMillisecond);

// The next page was rendered in idle time, as it is on stage between turns.
void TurnToCachedPage(benchmark::State &state)
{
    TBench &bench = Bench();
    bench.Open();
    for (auto _ : state) {
        state.PauseTiming();
        if (bench.Control()->CurrentPage() == PageCount) {
            bench.Viewer->SetCurrentPage(1);
            bench.Paint();
        }
        bench.View()->FinishPrefetch();
        state.ResumeTiming();
        bench.Viewer->GoToNextPage();
        bench.Paint();
    }
}
BENCHMARK(TurnToCachedPage)->Unit(benchmark::kMillisecond);

// Turns as fast as the benchmark can press: each turn finds the page the turn
// before asked the background thread for, done or still being rendered.
void TurnToForeseenPage(benchmark::State &state)
{
    TBench &bench = Bench();
    bench.Open();
    for (auto _ : state) {
        if (bench.Control()->CurrentPage() == PageCount) {
            state.PauseTiming();
            bench.Viewer->SetCurrentPage(1);
            bench.Paint();
            bench.View()->FinishPrefetch();
            state.ResumeTiming();
        }
        bench.Viewer->GoToNextPage();
        bench.Paint();
    }
}
BENCHMARK(TurnToForeseenPage)->Unit(benchmark::kMillisecond);

// A jump the view could not foresee: a far page nobody has asked for, with the
// background thread idle and nothing of that page kept anywhere.
void TurnToUnforeseenPage(benchmark::State &state)
{
    TBench &bench = Bench();
    bench.Open();
    std::mt19937 random(20);
    std::uniform_int_distribution<int> pages(1, PageCount);
    for (auto _ : state) {
        state.PauseTiming();
        const int from = bench.Control()->CurrentPage();
        int to = pages(random);
        while (std::abs(to - from) < 3) {
            to = pages(random);
        }
        bench.View()->FinishPrefetch();
        bench.View()->WaitForPrefetchIdle();
        bench.View()->Cache().Clear();
        state.ResumeTiming();
        bench.Viewer->SetCurrentPage(to);
        bench.Paint();
    }
}
BENCHMARK(TurnToUnforeseenPage)->Unit(benchmark::kMillisecond);

void BareRender(benchmark::State &state)
{
    TBench &bench = Bench();
    bench.Open();
    const QSize size = bench.View()->PagePixelSize(0);
    // Bare: the view's own thread has nothing left to render meanwhile.
    bench.View()->FinishPrefetch();
    QPdfDocument document;
    document.load(bench.Path);
    int page = 0;
    for (auto _ : state) {
        QImage image = document.render(page, size);
        benchmark::DoNotOptimize(image.constBits());
        page = (page + 1) % PageCount;
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
}
BENCHMARK(BareRender)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios printed at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                Times[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char **argv)
{
    tarvello::test::CreateTestApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    TheBench.reset();
    const auto &t = reporter.Times;
    auto ratio = [&](const char *a, const char *b) {
        if (t.count(a) && t.count(b) && t.at(b) > 0) {
            std::printf("%-34s %8.3f\n", (std::string(a) + " / " + b).c_str(), t.at(a) / t.at(b));
        }
    };
    std::printf("\nRatios of time per call:\n");
    ratio("TurnToCachedPage", "BareRender");
    ratio("TurnToForeseenPage", "BareRender");
    ratio("TurnToUnforeseenPage", "BareRender");
    ratio("OpenAndShowFirstPage", "BareRender");
    benchmark::Shutdown();
    return 0;
}
