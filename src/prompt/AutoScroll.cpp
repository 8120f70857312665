#include "prompt/AutoScroll.h"

#include <algorithm>
#include <cmath>

namespace tarvello {
namespace {

double UsableLength(double value)
{
    return std::isfinite(value) && value > 0 ? value : 0.0;
}

} // namespace

TAutoScroll::TAutoScroll(double secondsForWhole) : Seconds(UsableSeconds(secondsForWhole)) {}

double TAutoScroll::UsableSeconds(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 ? seconds : double(DefaultScrollSeconds);
}

double TAutoScroll::PixelsPerSecond() const
{
    return RangeValue / Seconds;
}

double TAutoScroll::Position(double now) const
{
    double position = AnchorPosition;
    if (ActiveValue && !PausedValue && std::isfinite(now)) {
        position += PixelsPerSecond() * std::max(0.0, now - std::max(AnchorTime, StartsAt));
    }
    return std::clamp(position, 0.0, RangeValue);
}

void TAutoScroll::Anchor(double now)
{
    AnchorPosition = Position(now);
    // A clock that went backwards must not make the next frames stand still
    // until it has caught up with the old anchor.
    if (std::isfinite(now)) {
        AnchorTime = now;
    }
}

void TAutoScroll::Restart(double now, double position, double range)
{
    RangeValue = UsableLength(range);
    AnchorPosition = std::clamp(UsableLength(position), 0.0, RangeValue);
    AnchorTime = std::isfinite(now) ? now : 0.0;
    StartsAt = AnchorTime + Delay;
    ActiveValue = true;
    PausedValue = false;
}

void TAutoScroll::SetStartDelay(double seconds)
{
    Delay = std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

void TAutoScroll::Stop()
{
    ActiveValue = false;
    PausedValue = false;
}

void TAutoScroll::SetRange(double now, double range)
{
    Anchor(now);
    RangeValue = UsableLength(range);
    AnchorPosition = std::min(AnchorPosition, RangeValue);
}

void TAutoScroll::MovedTo(double now, double position)
{
    Anchor(now);
    AnchorPosition = std::clamp(UsableLength(position), 0.0, RangeValue);
}

void TAutoScroll::SetSecondsForWhole(double now, double seconds)
{
    Anchor(now);
    Seconds = UsableSeconds(seconds);
}

void TAutoScroll::Pause(double now)
{
    if (ActiveValue && !PausedValue) {
        Anchor(now);
        PausedValue = true;
    }
}

void TAutoScroll::Resume(double now)
{
    if (ActiveValue && PausedValue) {
        PausedValue = false;
        if (std::isfinite(now)) {
            AnchorTime = now;
        }
    }
}

void TAutoScroll::TogglePause(double now)
{
    if (PausedValue) {
        Resume(now);
    } else {
        Pause(now);
    }
}

void TAutoScroll::Command(double now)
{
    const bool repeat = Commanded && now >= LastCommand && now - LastCommand < RepeatSeconds;
    Commanded = true;
    LastCommand = now;
    if (!repeat) {
        TogglePause(now);
    }
}

double TAutoScroll::SecondsLeft(double now) const
{
    if (RangeValue <= 0) {
        return 0;
    }
    return (RangeValue - Position(now)) / PixelsPerSecond();
}

bool TAutoScroll::Moving(double now) const
{
    return ActiveValue && !PausedValue && Position(now) < RangeValue;
}

} // namespace tarvello
