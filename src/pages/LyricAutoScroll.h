#pragma once

#include "prompt/AutoScroll.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QAbstractAnimation;
class QScrollBar;

namespace tarvello {

class TWebBrowserView;

// Scrolls the view that shows the current prompt on the Lyric page by
// itself, from where it stands to the bottom, at the pace of TAutoScroll.
// Each step comes from Qt's animation timer, which ticks once per frame of
// the display, and puts the view where the elapsed time says it should be.
// The clock only runs while something moves.
//
// A view with a scroll bar (the rich-text view, the PDF pages) is scrolled
// through the bar; its range and hand moves are followed through the bar's
// signals. The browser is scrolled by a script in the page, which also
// reports the page's height (it grows while pictures load) and whether the
// reader scrolled it; one script is under way at a time.
class TLyricAutoScroll : public QObject {
    Q_OBJECT

public:
    explicit TLyricAutoScroll(QObject *parent = nullptr);
    ~TLyricAutoScroll() override;

    // Off stops any scroll; on does not start one until a view is followed.
    void SetEnabled(bool on);
    bool Enabled() const { return On; }
    void SetSecondsForWhole(int seconds);
    // A new prompt stands still this long before it moves.
    void SetStartDelay(int seconds);

    // Start scrolling this view from where it stands now: the top of a
    // prompt just shown, or the page a PDF opened at.
    void FollowScrollBar(QScrollBar *bar);
    // Start scrolling the browser's page once it has loaded.
    void FollowBrowser(TWebBrowserView *browser);
    // Nothing to scroll any more (another page is shown, the option is off).
    void Stop();
    // A scroll or page command: pause a moving scroll, resume a paused one;
    // a command held down counts once.
    void Command();

    // One step: where the clock puts the view now. Runs on every frame while
    // the clock runs; tests and benchmarks call it with a clock of their own.
    void Frame();
    // The clock in seconds; a monotonic clock of the program's own by default.
    void SetClock(std::function<double()> now);

    const TAutoScroll &State() const { return Scroll; }
    bool ClockRunning() const;
    // A script sent to the browser has not answered yet.
    bool BrowserStepPending() const { return BrowserPending; }

signals:
    // A scroll was paused by a command, or goes on again (or ended).
    void PausedChanged(bool paused);

private:
    double Now() const;
    void Detach();
    void UpdateClock();
    void BarMoved(int value);
    void BarRangeChanged(int maximum);
    void BrowserFrame(double now);
    void BrowserAnswered(double position, double range, bool movedByHand);

    TAutoScroll Scroll;
    bool On = false;
    bool ShownPaused = false;
    std::function<double()> Clock;
    QElapsedTimer Monotonic;
    std::unique_ptr<QAbstractAnimation> FrameClock;

    QPointer<QScrollBar> Bar;
    QMetaObject::Connection BarValueConnection;
    QMetaObject::Connection BarRangeConnection;
    // Set while this object moves the bar, so that only other moves count as
    // the operator's.
    bool MovingBar = false;

    QPointer<TWebBrowserView> Browser;
    bool BrowserPending = false;
    double BrowserSentAt = 0;
    double BrowserPolledAt = -1;
};

} // namespace tarvello
