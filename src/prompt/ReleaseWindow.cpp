#include "prompt/ReleaseWindow.h"

#include <algorithm>

namespace tarvello {

std::uint64_t TReleaseWindow::Micros(TTime time) noexcept
{
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
    return static_cast<std::uint64_t>(micros < 0 ? 0 : micros) & (~std::uint64_t{0} >> TimeShift);
}

std::optional<std::chrono::milliseconds>
TReleaseWindow::ArmDelay(TTime now, std::chrono::milliseconds length) const noexcept
{
    const std::uint64_t state = State.load(std::memory_order_acquire);
    if ((state & OpenBit) == 0) {
        return std::nullopt;
    }
    const auto opened = static_cast<std::int64_t>(state >> TimeShift);
    const auto elapsed = std::chrono::microseconds(static_cast<std::int64_t>(Micros(now)) - opened);
    const auto remaining = std::chrono::microseconds(length) - elapsed;
    if (remaining <= std::chrono::microseconds::zero()) {
        return std::chrono::milliseconds::zero();
    }
    // Rounded up: the window never ends before its length, and never runs
    // longer than that from this moment.
    return std::min(std::chrono::ceil<std::chrono::milliseconds>(remaining), length);
}

std::optional<TMidiSelectionCode> TReleaseWindow::Take() noexcept
{
    const std::uint64_t old = State.fetch_and(~OpenBit, std::memory_order_acq_rel);
    if ((old & OpenBit) == 0) {
        return std::nullopt;
    }
    return static_cast<TMidiSelectionCode>(old & ValueMask);
}

void TReleaseWindow::Pass(TMidiSelectionCode value) noexcept
{
    std::uint64_t old = State.load(std::memory_order_relaxed);
    while (!State.compare_exchange_weak(old, (old & ~ValueMask) | value, std::memory_order_acq_rel,
                                        std::memory_order_relaxed)) {
    }
}

void TReleaseWindow::Abandon() noexcept
{
    State.fetch_and(~OpenBit, std::memory_order_acq_rel);
}

TMidiSelectionCode TReleaseWindow::Value() const noexcept
{
    return static_cast<TMidiSelectionCode>(State.load(std::memory_order_acquire) & ValueMask);
}

bool TReleaseWindow::IsOpen() const noexcept
{
    return (State.load(std::memory_order_acquire) & OpenBit) != 0;
}

} // namespace tarvello
