#include "MainLyricFixture.h"

#include "core/TarvelloError.h"
#include "pages/LyricAutoScroll.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfviewer/PdfViewer.h"
#include "widgets/WebBrowserView.h"

#include <QAnimationDriver>
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextEdit>

#include <cmath>

namespace tarvello::test {
namespace {

// Qt's animation timer, ticked by the test instead of the display.
class TTestFrames : public QAnimationDriver {
public:
    void Tick()
    {
        Elapsed += 16;
        advance();
    }
    qint64 elapsed() const override { return Elapsed; }

private:
    qint64 Elapsed = 0;
};

// The Lyric page with autoscroll on, 100 seconds for a whole file, on a
// clock and frames the test moves.
class TAutoScrollTest : public TLyricTest {
protected:
    void SetUp() override
    {
        Frames.install();
        TLyricTest::SetUp();
        Scroller().SetClock([this] { return Now; });
        Find<QSpinBox>("seScrollSeconds")->setValue(100);
        Find<QCheckBox>("cbAutoScroll")->setChecked(true);
    }

    void TearDown() override
    {
        TLyricTest::TearDown();
        Frames.uninstall();
    }

    TLyricAutoScroll &Scroller() { return LyricPage()->AutoScroller(); }

    // Moves the clock on by `seconds` and shows the next frame, which puts
    // the view where it belongs if autoscroll runs.
    void After(double seconds)
    {
        Now += seconds;
        // A clock just started joins the animation timer through two calls
        // queued one after the other.
        QApplication::processEvents();
        QApplication::processEvents();
        Frames.Tick();
    }

    QString LongText(int lines)
    {
        QByteArray text;
        for (int line = 0; line < lines; ++line) {
            text += "line " + QByteArray::number(line) + "\n";
        }
        return Write(QStringLiteral("long%1.txt").arg(lines), text);
    }

    TTestFrames Frames;
    double Now = 1000;
};

TEST_F(TAutoScrollTest, ViewsWithAScrollBarFollowTheClockAndTheCommands)
{
    Slot(8, LongText(300));
    Slot(9, LongText(400));
    SelectValue(9);
    QApplication::processEvents();
    QScrollBar *bar = LyricText()->verticalScrollBar();
    const int range = bar->maximum();
    ASSERT_GT(range, 1000);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(Scroller().ClockRunning());
    const auto near = [](int value, double expected) { return std::abs(value - expected) <= 1; };

    After(25);
    EXPECT_PRED2(near, bar->value(), 0.25 * range);
    // A frame that comes late lands where the time says, not one step on.
    After(25);
    EXPECT_PRED2(near, bar->value(), 0.5 * range);

    // Line up scrolls one line and pauses; line down scrolls back and resumes.
    const int paused = bar->value() - bar->singleStep();
    SelectValue(123);
    EXPECT_EQ(bar->value(), paused);
    EXPECT_FALSE(Scroller().ClockRunning());
    auto *pauseMark = Find<QLabel>("lAutoScrollPaused");
    EXPECT_TRUE(pauseMark->isVisibleTo(Window.get())) << "the stage shows the pause";
    After(30);
    EXPECT_EQ(bar->value(), paused);
    SelectValue(122);
    EXPECT_EQ(CurrentSlot(), 9);
    EXPECT_FALSE(pauseMark->isVisibleTo(Window.get()));
    const int resumed = bar->value();
    After(10);
    EXPECT_PRED2(near, bar->value(), resumed + 0.1 * range);

    // A page command pauses too; the operator moves the view meanwhile, and
    // the next command resumes from there at the same pace.
    SelectValue(124);
    bar->setValue(100);
    After(20);
    EXPECT_EQ(bar->value(), 100);
    SelectValue(124);
    const int fromHere = bar->value();
    EXPECT_EQ(fromHere, 100 + bar->pageStep());
    After(10);
    EXPECT_PRED2(near, bar->value(), fromHere + 0.1 * range);
    // A move by hand while it runs: carried on from there.
    bar->setValue(range / 2);
    After(10);
    EXPECT_PRED2(near, bar->value(), 0.6 * range);
    // The end is the end, and the clock stops there.
    After(1000);
    EXPECT_EQ(bar->value(), range);
    EXPECT_FALSE(Scroller().ClockRunning());

    // A new prompt starts again from its top; so does the same one shown again.
    SelectValue(126);
    EXPECT_EQ(CurrentSlot(), 10);
    SelectValue(127);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(Scroller().ClockRunning());
    After(10);
    EXPECT_PRED2(near, bar->value(), 0.1 * bar->maximum());
    // With a count-in, a new prompt stands still first.
    Find<QSpinBox>("seScrollDelay")->setValue(4);
    SelectValue(8);
    After(3);
    EXPECT_EQ(bar->value(), 0);
    After(3);
    EXPECT_PRED2(near, bar->value(), 0.02 * bar->maximum());
    Find<QSpinBox>("seScrollDelay")->setValue(0);

    // A prompt that cannot be shown leaves nothing scrolling.
    Slot(11, QStringLiteral("long400.txt /PAGE x"));
    SelectValue(11);
    EXPECT_TRUE(LyricText()->toPlainText().startsWith(QStringLiteral("Slot 11 (")));
    EXPECT_FALSE(Scroller().State().Active());
    EXPECT_FALSE(Scroller().ClockRunning());

    // The PDF shows its pages in one column while autoscroll is on and
    // scrolls from the page it opened at.
    WritePdf(Folder.filePath(QStringLiteral("chart.pdf")), 4);
    Slot(5, QStringLiteral("chart.pdf /PAGE 2"));
    SelectValue(5);
    QApplication::processEvents();
    auto *control =
        qobject_cast<TPdfDocumentControl *>(Find<TPdfViewer>("PdfViewer")->GetDispatch());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->LayoutModeName(), QStringLiteral("OneColumn"));
    EXPECT_EQ(control->ViewModeName(), QStringLiteral("FitH"));
    QScrollBar *pages = control->PageView()->verticalScrollBar();
    const int pageTwo = pages->value();
    ASSERT_GT(pageTwo, 0);
    After(10);
    EXPECT_PRED2(near, pages->value(), pageTwo + 0.1 * pages->maximum());
    // Line commands have no lines to scroll in a PDF, but still pause.
    SelectValue(122);
    const int held = pages->value();
    After(10);
    EXPECT_EQ(pages->value(), held);
    EXPECT_EQ(control->CurrentPage(), 2);
    SelectValue(124);
    EXPECT_EQ(control->CurrentPage(), 3);
    const int pageThree = pages->value();
    After(10);
    EXPECT_PRED2(near, pages->value(), pageThree + 0.1 * pages->maximum());

    // Off: nothing moves, and documents are shown a page at a time again.
    Find<QCheckBox>("cbAutoScroll")->setChecked(false);
    EXPECT_FALSE(Scroller().ClockRunning());
    EXPECT_EQ(control->LayoutModeName(), QStringLiteral("SinglePage"));
    EXPECT_EQ(control->ViewModeName(), QStringLiteral("Fit"));
    SelectValue(9);
    After(10);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(Scroller().State().Active());
}

TEST_F(TAutoScrollTest, TheBrowserPageScrollsWhenItHasLoaded)
{
    QByteArray tall = "<html><head><title>tall</title></head><body>";
    for (int i = 0; i < 300; ++i) {
        tall += "<p>line " + QByteArray::number(i) + "</p>";
    }
    Write(QStringLiteral("tall.html"), tall + "</body></html>");
    Write(QStringLiteral("short.htm"), "<html><head><title>short</title></head><body></body>");
    Slot(12, QStringLiteral("tall.html"));
    Slot(13, QStringLiteral("short.htm"));

    SelectValue(12);
    QWebEngineView *view = Find<TWebBrowserView>("webFileBrowser")->EnsureBrowser();
    ASSERT_TRUE(Loaded(view, QUrl::fromLocalFile(Folder.filePath(QStringLiteral("tall.html"))),
                       QStringLiteral("tall")));
    // The page tells its height with its first answers; while it has none to
    // tell, it is asked a few times a second.
    const auto measured = [&] {
        if (Scroller().State().Range() > 1000) {
            return true;
        }
        After(0.3);
        return false;
    };
    ASSERT_TRUE(WaitFor(measured));
    const double range = Scroller().State().Range();
    // Where the page stands once the step sent now has answered.
    const auto step = [&](double seconds) {
        After(seconds);
        EXPECT_TRUE(WaitFor([&] { return !Scroller().BrowserStepPending(); }, 5000));
        return ScrollY(view);
    };
    const auto near = [](double value, double expected) { return std::abs(value - expected) <= 2; };
    EXPECT_PRED2(near, step(10), 0.1 * range);
    EXPECT_PRED2(near, step(10), 0.2 * range);

    // Line up pauses (after its own line), line down resumes from where that
    // left the page.
    SelectValue(123);
    EXPECT_TRUE(WaitFor([&] { return near(ScrollY(view), 0.2 * range - 40); }, 5000));
    EXPECT_PRED2(near, step(30), 0.2 * range - 40);
    SelectValue(122);
    EXPECT_TRUE(WaitFor([&] { return near(ScrollY(view), 0.2 * range); }, 5000));
    step(0); // the page reports the line steps as a move of its own
    EXPECT_PRED2(near, step(10), 0.3 * range);

    // Another page and back: from the top again.
    SelectValue(13);
    ASSERT_TRUE(Loaded(view, QUrl::fromLocalFile(Folder.filePath(QStringLiteral("short.htm"))),
                       QStringLiteral("short")));
    SelectValue(12);
    ASSERT_TRUE(Loaded(view, QUrl::fromLocalFile(Folder.filePath(QStringLiteral("tall.html"))),
                       QStringLiteral("tall")));
    EXPECT_TRUE(WaitFor(measured));
    EXPECT_PRED2(near, step(0), 0);
    EXPECT_PRED2(near, step(5), 0.05 * range);
}

} // namespace
} // namespace tarvello::test
