#pragma once

// The release window (300 ms unless the operator chose another length)
// between the MIDI input thread, which latches values, and the window's
// thread, which runs the timer and acts on the value. A pedal or slider sends
// a run of values; the run is acted on once, a window's length after its first
// message, with the value it had reached by then.
//
// The latched value, the "window open" bit and the time the window opened live
// in one atomic word, so that the two threads never disagree about which window
// a value belongs to: the timer closes the window in the same step in which it
// takes the value, and a value latched after that step opens a new window.
// Times come in as arguments, so the rules can be driven by any clock.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

namespace tarvello {

// What a MIDI message asks to select, as one word: the value (0..127) and,
// when a Bank Select or the show controller came before it, the show. An OSC
// value goes through the same window, marked as such in the value's eighth bit,
// which no MIDI data byte has.
using TMidiSelectionCode = std::uint32_t;
inline constexpr TMidiSelectionCode ShowCodeBit = 0x400000;
inline constexpr TMidiSelectionCode OscCodeBit = 0x80;

constexpr TMidiSelectionCode MidiSelectionCode(std::uint8_t value, int show = -1)
{
    return show < 0 ? TMidiSelectionCode(value)
                    : TMidiSelectionCode(value) | (TMidiSelectionCode(show & 0x3FFF) << 8) |
                          ShowCodeBit;
}
constexpr std::uint8_t ValueOfCode(TMidiSelectionCode code)
{
    return std::uint8_t(code & 0x7F);
}
constexpr bool OscCode(TMidiSelectionCode code)
{
    return (code & OscCodeBit) != 0;
}
// The show a code names, or -1 for the current one.
constexpr int ShowOfCode(TMidiSelectionCode code)
{
    return (code & ShowCodeBit) != 0 ? int((code >> 8) & 0x3FFF) : -1;
}

class TReleaseWindow {
public:
    using TClock = std::chrono::steady_clock;
    using TTime = TClock::time_point;
    static constexpr std::chrono::milliseconds DefaultLength{300};
    static constexpr std::chrono::milliseconds LongestLength{2000};

    // Input thread. Latches value; `now()` is asked only when this value opens
    // the window. True when it did: the window's thread must then be asked to
    // run the timer (ArmDelay). Values latched while the window is open only
    // replace the value. Lock-free; never waits for the window's thread. A
    // throwing clock leaves the window as it was.
    template <class Now> bool Latch(TMidiSelectionCode value, Now &&now) noexcept(noexcept(now()));

    // Window's thread, taking up the request that Latch asked for: how long the
    // timer must still run so that the window ends `length` after its first
    // value (zero when that is past already). Nothing when the window has been
    // closed meanwhile: the value has been acted on, no timer is due.
    std::optional<std::chrono::milliseconds>
    ArmDelay(TTime now, std::chrono::milliseconds length) const noexcept;

    // Window's thread, when the timer ends: closes the window and gives the
    // value latched last, or nothing when no window was open.
    std::optional<TMidiSelectionCode> Take() noexcept;

    // Input thread, a value acted on at once without a window (a length of
    // 0): it becomes the value latched last, and an open window keeps running.
    void Pass(TMidiSelectionCode value) noexcept;

    // Input thread, when the request that Latch asked for could not be made:
    // the window closes unserved, so the next value opens it again.
    void Abandon() noexcept;

    // The value latched last, whether or not it has been acted on.
    TMidiSelectionCode Value() const noexcept;
    bool IsOpen() const noexcept;

private:
    // Bits 0-22 the selection code, bit 23 "open", bits 24-63 the opening
    // time in microseconds of the clock. Those 40 bits turn over every 12.7
    // days of the clock; a window that opens just before that runs its whole
    // length, never less.
    static constexpr std::uint64_t ValueMask = 0x7FFFFF;
    static constexpr std::uint64_t OpenBit = 0x800000;
    static constexpr int TimeShift = 24;

    static std::uint64_t Micros(TTime time) noexcept;

    std::atomic<std::uint64_t> State{0};
};

template <class Now>
bool TReleaseWindow::Latch(TMidiSelectionCode value, Now &&now) noexcept(noexcept(now()))
{
    std::uint64_t old = State.load(std::memory_order_relaxed);
    std::uint64_t opened = 0;
    bool haveTime = false;
    for (;;) {
        const bool opens = (old & OpenBit) == 0;
        std::uint64_t next;
        if (opens) {
            if (!haveTime) {
                opened = Micros(now());
                haveTime = true;
            }
            next = opened << TimeShift | OpenBit | value;
        } else {
            next = (old & ~ValueMask) | value;
        }
        // Only the timer's Take can come between, once per window: a retry or two at most.
        if (State.compare_exchange_weak(old, next, std::memory_order_acq_rel,
                                        std::memory_order_relaxed)) {
            return opens;
        }
    }
}

} // namespace tarvello
