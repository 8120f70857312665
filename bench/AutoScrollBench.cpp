// One frame of autoscroll on the Lyric page, for each view: the step itself
// and the painting it causes, with 1/60 s of the clock between frames. The
// budget of a frame at 60 Hz is 16.7 ms; "worst_ms" is the slowest frame.
// The argument is the time for the whole file in seconds. The PDF cases run
// as many frames as the whole file takes, so that they scroll across every
// page of the songbook; "pages_crossed" says how many pages were current.

#include "BenchFiles.h"
#include "main/MainWindow.h"
#include "pages/LyricAutoScroll.h"
#include "pdfcontrol/BuiltInPdfControl.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfviewer/PdfViewer.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/QtTestEnvironment.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/WebBrowserView.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QWebEngineView>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <set>

namespace {

using namespace tarvello;

constexpr double FrameSeconds = 1.0 / 60;
constexpr int SongbookPages = 20;

TStandardDialogs Dialogs;
std::unique_ptr<QTemporaryDir> Folder;
std::unique_ptr<TfMain> Window;
double Now = 0;

TfMain &MainWindow()
{
    if (!Window) {
        Folder = std::make_unique<QTemporaryDir>();
        Window = std::make_unique<TfMain>(Dialogs);
        Window->resize(1000, 640);
        test::UseDisplayType(*Window, 1);
        Window->show();
        while (!(Window->windowHandle() && Window->windowHandle()->isExposed())) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        test::LyricPageOf(Window.get()).AutoScroller().SetClock([] { return Now; });
        test::Control<QCheckBox>(Window.get(), QStringLiteral("cbAutoScroll"))->setChecked(true);
    }
    return *Window;
}

QString WriteFile(const QString &name, const QByteArray &bytes)
{
    MainWindow();
    return WriteBenchFile(*Folder, name, bytes);
}

QString SongbookFile()
{
    MainWindow();
    const QString path = Folder->filePath(QStringLiteral("songbook.pdf"));
    WriteSongbook(path, SongbookPages);
    return path;
}

// A long lyric sheet: about 400 verses of styled RTF, some 150 KB.
QByteArray LongRtf()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                     "{\\f1\\froman Times New Roman;}}{\\colortbl;\\red200\\green0\\blue0;}\n";
    for (int verse = 0; verse < 400; ++verse) {
        rtf += "\\pard\\qc\\f1\\fs36\\b Verse " + QByteArray::number(verse) + "\\b0\\par\n";
        rtf += "\\pard\\li360\\f0\\fs28 When the {\\i lights} go down and the {\\cf1 drums} "
               "begin,\\line we sing it {\\ul loud} and we sing it clear\\par\n";
    }
    return rtf + "}";
}

// Shows a prompt with `show` and times frames, showing it again from the top
// whenever the end is reached. `settle` runs after each step and waits for
// what the step started (the painting, or the page's answer).
void TimeFrames(benchmark::State &state, const std::function<void()> &show,
                const std::function<void()> &settle)
{
    TfMain &window = MainWindow();
    TLyricAutoScroll &scroller = test::LyricPageOf(&window).AutoScroller();
    test::Control<QSpinBox>(&window, QStringLiteral("seScrollSeconds"))
        ->setValue(int(state.range(0)));
    show();
    double worst = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        Now += FrameSeconds;
        clock.start();
        scroller.Frame();
        settle();
        worst = std::max(worst, clock.nsecsElapsed() / 1e6);
        if (!scroller.State().Moving(Now)) {
            state.PauseTiming();
            show();
            state.ResumeTiming();
        }
    }
    state.counters["worst_ms"] = worst;
    state.counters["range_px"] = scroller.State().Range();
}

// The page (from 1) the PDF viewer shows now.
int CurrentPdfPage()
{
    auto *control = qobject_cast<TPdfDocumentControl *>(
        test::Control<TPdfViewer>(Window.get(), QStringLiteral("PdfViewer"))->GetDispatch());
    return control ? control->CurrentPage() : 0;
}

void ShowSlot(int slot)
{
    test::SelectValue(&MainWindow(), slot);
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
}

void PaintPending()
{
    QApplication::processEvents();
}

void BM_RichTextFrame(benchmark::State &state)
{
    test::Control<TKeyValueGrid>(&MainWindow(), QStringLiteral("vleFiles"))
        ->SetValue(QStringLiteral("3"), WriteFile(QStringLiteral("long.rtf"), LongRtf()));
    TimeFrames(
        state, [] { ShowSlot(3); }, PaintPending);
}
BENCHMARK(BM_RichTextFrame)->Arg(180)->Arg(30)->Unit(benchmark::kMicrosecond);

void BM_PdfFrame(benchmark::State &state)
{
    test::Control<TKeyValueGrid>(&MainWindow(), QStringLiteral("vleFiles"))
        ->SetValue(QStringLiteral("4"), SongbookFile());
    std::set<int> pages;
    TimeFrames(
        state, [] { ShowSlot(4); },
        [&pages] {
            PaintPending();
            pages.insert(CurrentPdfPage());
        });
    state.counters["pages_crossed"] = double(pages.size());
}
BENCHMARK(BM_PdfFrame)->Arg(180)->Iterations(180 * 60)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PdfFrame)->Arg(30)->Iterations(30 * 60)->Unit(benchmark::kMicrosecond);

// The same at the pace of a 60 Hz display: between two frames this thread is
// idle until the next tick, as it is on stage, and what was started in the
// background (pages rendered ahead) comes in then. Only the frames are timed.
void BM_PdfFrameAt60Hz(benchmark::State &state)
{
    test::Control<TKeyValueGrid>(&MainWindow(), QStringLiteral("vleFiles"))
        ->SetValue(QStringLiteral("4"), SongbookFile());
    TfMain &window = MainWindow();
    TLyricAutoScroll &scroller = test::LyricPageOf(&window).AutoScroller();
    test::Control<QSpinBox>(&window, QStringLiteral("seScrollSeconds"))
        ->setValue(int(state.range(0)));
    ShowSlot(4);
    constexpr qint64 tick = 1'000'000'000 / 60;
    QElapsedTimer pace;
    pace.start();
    qint64 next = pace.nsecsElapsed();
    double worst = 0;
    std::set<int> pages;
    QElapsedTimer clock;
    for (auto _ : state) {
        next += tick;
        while (pace.nsecsElapsed() < next) {
            QApplication::processEvents();
            QThread::usleep(200);
        }
        Now += FrameSeconds;
        clock.start();
        scroller.Frame();
        PaintPending();
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        worst = std::max(worst, ms);
        pages.insert(CurrentPdfPage());
        if (!scroller.State().Moving(Now)) {
            ShowSlot(4);
            next = pace.nsecsElapsed();
        }
    }
    state.counters["worst_ms"] = worst;
    state.counters["pages_crossed"] = double(pages.size());
}
BENCHMARK(BM_PdfFrameAt60Hz)
    ->Arg(180)
    ->Iterations(180 * 60)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PdfFrameAt60Hz)
    ->Arg(30)
    ->Iterations(30 * 60)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Only the round trip to the page's script is on this thread; the page paints
// in the browser's own processes.
void BM_BrowserFrame(benchmark::State &state)
{
    QByteArray html = "<html><head><title>long</title></head><body>";
    for (int i = 0; i < 1000; ++i) {
        html += "<p>line " + QByteArray::number(i) + " of a long song sheet</p>";
    }
    test::Control<TKeyValueGrid>(&MainWindow(), QStringLiteral("vleFiles"))
        ->SetValue(QStringLiteral("5"), WriteFile(QStringLiteral("long.html"), html + "</body>"));
    TfMain &window = MainWindow();
    TLyricAutoScroll &scroller = test::LyricPageOf(&window).AutoScroller();
    // Loaded, and its height known.
    const auto show = [&window, &scroller] {
        test::SelectValue(&window, 5);
        QWebEngineView *view =
            test::Control<TWebBrowserView>(&window, QStringLiteral("webFileBrowser"))
                ->EnsureBrowser();
        QElapsedTimer wait;
        wait.start();
        while ((view->title() != QStringLiteral("long") || scroller.State().Range() <= 0) &&
               wait.elapsed() < 30000) {
            Now += 0.3;
            scroller.Frame();
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    };
    TimeFrames(state, show, [&scroller] {
        while (scroller.BrowserStepPending()) {
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        }
    });
}
BENCHMARK(BM_BrowserFrame)->Arg(180)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication &app = tarvello::test::CreateTestApplication(argc, argv);
    Q_UNUSED(app);
    tarvello::RegisterBuiltInPdfControl();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Window.reset();
    Folder.reset();
    return 0;
}
