#include "pages/LyricAutoScroll.h"

#include "widgets/WebBrowserView.h"

#include <QAbstractAnimation>
#include <QScrollBar>

#include <cmath>

namespace tarvello {
namespace {

// A page that does not scroll (yet) is asked again now and then rather than
// on every frame: it may still be loading its pictures.
constexpr double IdlePollSeconds = 0.25;
// An answer from the page that takes longer than this is given up on, so a
// page that dropped one does not stop the scroll for good.
constexpr double AnswerTimeoutSeconds = 0.5;

// Runs for as long as it is not stopped and calls its tick once for every
// frame of Qt's animation timer.
class TFrameClock : public QAbstractAnimation {
public:
    explicit TFrameClock(std::function<void()> tick) : Tick(std::move(tick)) {}
    int duration() const override { return -1; }

protected:
    void updateCurrentTime(int) override { Tick(); }

private:
    std::function<void()> Tick;
};

} // namespace

TLyricAutoScroll::TLyricAutoScroll(QObject *parent) : QObject(parent)
{
    Monotonic.start();
    FrameClock = std::make_unique<TFrameClock>([this] { Frame(); });
}

TLyricAutoScroll::~TLyricAutoScroll()
{
    Detach();
    FrameClock->stop();
}

double TLyricAutoScroll::Now() const
{
    return Clock ? Clock() : double(Monotonic.nsecsElapsed()) / 1e9;
}

void TLyricAutoScroll::SetClock(std::function<double()> now)
{
    Clock = std::move(now);
}

void TLyricAutoScroll::SetEnabled(bool on)
{
    On = on;
    if (!on) {
        Stop();
    }
}

void TLyricAutoScroll::SetSecondsForWhole(int seconds)
{
    Scroll.SetSecondsForWhole(Now(), seconds);
}

void TLyricAutoScroll::SetStartDelay(int seconds)
{
    Scroll.SetStartDelay(seconds);
}

bool TLyricAutoScroll::ClockRunning() const
{
    return FrameClock->state() == QAbstractAnimation::Running;
}

void TLyricAutoScroll::Detach()
{
    QObject::disconnect(BarValueConnection);
    QObject::disconnect(BarRangeConnection);
    Bar = nullptr;
    Browser = nullptr;
    BrowserPending = false;
    BrowserPolledAt = -1;
}

void TLyricAutoScroll::FollowScrollBar(QScrollBar *bar)
{
    Detach();
    if (!On || !bar) {
        Stop();
        return;
    }
    Bar = bar;
    BarValueConnection = connect(bar, &QScrollBar::valueChanged, this, &TLyricAutoScroll::BarMoved);
    BarRangeConnection = connect(bar, &QScrollBar::rangeChanged, this,
                                 [this](int, int maximum) { BarRangeChanged(maximum); });
    Scroll.Restart(Now(), bar->value(), bar->maximum());
    UpdateClock();
}

void TLyricAutoScroll::FollowBrowser(TWebBrowserView *browser)
{
    Detach();
    if (!On || !browser) {
        Stop();
        return;
    }
    Browser = browser;
    // The page's height and position come with its first answer; a pause
    // pressed before that is kept.
    Scroll.Restart(Now(), 0, 0);
    UpdateClock();
}

void TLyricAutoScroll::Stop()
{
    Detach();
    Scroll.Stop();
    UpdateClock();
}

void TLyricAutoScroll::Command()
{
    if (!On) {
        return;
    }
    Scroll.Command(Now());
    UpdateClock();
}

void TLyricAutoScroll::UpdateClock()
{
    const double now = Now();
    const bool paused = On && Scroll.Active() && Scroll.Paused();
    if (paused != ShownPaused) {
        ShownPaused = paused;
        emit PausedChanged(paused);
    }
    bool wanted = On && Scroll.Active() && !Scroll.Paused();
    if (Bar) {
        // The bar's signals start the clock again when the range grows.
        wanted = wanted && Scroll.Moving(now);
    } else {
        wanted = wanted && Browser;
    }
    if (wanted && FrameClock->state() != QAbstractAnimation::Running) {
        FrameClock->start();
    } else if (!wanted && FrameClock->state() != QAbstractAnimation::Stopped) {
        FrameClock->stop();
    }
}

void TLyricAutoScroll::Frame()
{
    const double now = Now();
    if (On && Scroll.Active()) {
        if (Bar) {
            const int value = int(std::lround(Scroll.Position(now)));
            if (value != Bar->value()) {
                MovingBar = true;
                Bar->setValue(value);
                MovingBar = false;
            }
        } else if (Browser) {
            BrowserFrame(now);
        }
    }
    UpdateClock();
}

void TLyricAutoScroll::BarMoved(int value)
{
    if (MovingBar) {
        return;
    }
    Scroll.MovedTo(Now(), value);
    UpdateClock();
}

void TLyricAutoScroll::BarRangeChanged(int maximum)
{
    Scroll.SetRange(Now(), maximum);
    UpdateClock();
}

void TLyricAutoScroll::BrowserFrame(double now)
{
    if (!Browser->PageReady()) {
        return;
    }
    if (BrowserPending && now - BrowserSentAt < AnswerTimeoutSeconds) {
        return;
    }
    const bool moving = Scroll.Moving(now);
    if (!moving && BrowserPolledAt >= 0 && now - BrowserPolledAt < IdlePollSeconds) {
        return;
    }
    BrowserPending = true;
    BrowserSentAt = BrowserPolledAt = now;
    const QPointer<TLyricAutoScroll> self(this);
    const QPointer<TWebBrowserView> asked(Browser);
    Browser->AutoScrollStep(
        Scroll.Position(now), moving, [self, asked](TWebBrowserView::TPageScroll scroll) {
            if (!self) {
                return;
            }
            self->BrowserPending = false;
            if (scroll.Valid && asked && self->Browser == asked) {
                self->BrowserAnswered(scroll.Position, scroll.Range, scroll.MovedByHand);
            }
        });
}

void TLyricAutoScroll::BrowserAnswered(double position, double range, bool movedByHand)
{
    const double now = Now();
    if (range != Scroll.Range()) {
        Scroll.SetRange(now, range);
    }
    if (movedByHand) {
        Scroll.MovedTo(now, position);
    }
    UpdateClock();
}

} // namespace tarvello
