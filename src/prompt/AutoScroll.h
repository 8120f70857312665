#pragma once

namespace tarvello {

// The time a whole document takes when the settings hold no usable value.
inline constexpr int DefaultScrollSeconds = 180;
// The longest count-in before a prompt starts to scroll.
inline constexpr int LongestScrollDelaySeconds = 60;

// Where an autoscrolling view should stand at a given moment. The view scrolls
// from 0 to `Range` (its scroll distance, in the view's own units) at a pace
// of one whole range in `SecondsForWhole`. The position is worked out from
// the time that has passed, never added up frame by frame, so a late frame
// lands where the scroll ought to be instead of falling behind.
//
// Every change (a pause, a new range, a move by hand, a new pace) restarts
// the reckoning from where the scroll stands at that moment: the position
// never jumps, and the time left is always the part of the document still
// to come at the current pace.
//
// Times are in seconds on any clock that does not go backwards; one that
// does is taken as standing still.
class TAutoScroll {
public:
    explicit TAutoScroll(double secondsForWhole = DefaultScrollSeconds);

    // Starts scrolling from `position` (the top for a new prompt), after the
    // start delay.
    void Restart(double now, double position, double range);
    // Seconds a new prompt stands still before it starts to move (a count-in);
    // 0, or anything not above it, starts at once.
    void SetStartDelay(double seconds);
    double StartDelay() const { return Delay; }
    // Ends autoscroll: the position stays, nothing moves any more.
    void Stop();
    // The document grew or shrank (a page still loading, the window resized).
    void SetRange(double now, double range);
    // The operator put the view elsewhere (wheel, scroll bar, a scroll
    // command): the scroll carries on from there at the same pace, or stays
    // there while paused.
    void MovedTo(double now, double position);
    // The pace; a value that is not above zero gives the default.
    void SetSecondsForWhole(double now, double seconds);

    void Pause(double now);
    void Resume(double now);
    void TogglePause(double now);
    // A scroll or page command: pauses a moving scroll, resumes a paused one.
    // Commands closer together than RepeatSeconds are one press held down (a
    // Nav Pad button repeats every 100 ms, a pedal may send a stream), so
    // holding a line button pauses once and scrolls by hand.
    void Command(double now);
    static constexpr double RepeatSeconds = 0.5;

    double Position(double now) const;
    double Range() const { return RangeValue; }
    double SecondsForWhole() const { return Seconds; }
    // Until the remaining part is scrolled; 0 with nothing to scroll.
    double SecondsLeft(double now) const;
    // Started and not stopped; it may be paused.
    bool Active() const { return ActiveValue; }
    bool Paused() const { return PausedValue; }
    // Active, not paused and short of the end: frames still move the view.
    bool Moving(double now) const;

    static double UsableSeconds(double seconds);

private:
    void Anchor(double now);
    double PixelsPerSecond() const;

    double Seconds;
    double RangeValue = 0;
    double AnchorPosition = 0;
    double AnchorTime = 0;
    double Delay = 0;
    // Nothing moves before this time (the end of a count-in).
    double StartsAt = 0;
    bool ActiveValue = false;
    bool PausedValue = false;
    double LastCommand = 0;
    bool Commanded = false;
};

} // namespace tarvello
