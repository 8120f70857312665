#pragma once

// What happens to every short message from the open MIDI input device, on the
// thread on which the MIDI system delivers it: Midi Learn, the latch of the
// value that selects a slot, and the thru echo. Anything that touches the
// window (learning, starting the release timer, an error box) is handed to
// the window's thread through the Post... functions, which must return at
// once: this thread never waits for the window.

#include "prompt/MidiSettings.h"
#include "prompt/ReleaseWindow.h"

#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace tarvello {

inline constexpr std::uint8_t ActiveSensingStatus = 0xFE;
inline constexpr std::uint8_t SongSelectStatus = 0xF3;
// Bank Select: the controllers that carry a bank's high and low seven bits.
inline constexpr std::uint8_t BankSelectMsb = 0;
inline constexpr std::uint8_t BankSelectLsb = 32;

// The settings the dispatch reads. They are written on the window's thread
// with single stores; a message that arrives during a change is judged by the
// old or the new value of each field.
struct TDispatchSettings {
    const std::atomic<int> &MessageType; // PatchMessageType or ControllerMessageType
    const std::atomic<int> &Channel;     // 0..15
    const std::atomic<int> &Controller;  // 0..127, -1 for none
    const std::atomic<int> &OutputDevice;
    const std::atomic<bool> &Thru;
    const std::atomic<int> &ShowController; // -1 for none
    const std::atomic<bool> &SongSelect;
};

class TMidiDispatch {
public:
    explicit TMidiDispatch(TDispatchSettings settings);
    TMidiDispatch(const TMidiDispatch &) = delete;
    TMidiDispatch &operator=(const TMidiDispatch &) = delete;

    // Assign these before an input device is opened.
    // Sends one short message to an output device (the thru echo).
    std::function<void(int device, std::uint8_t, std::uint8_t, std::uint8_t)> Echo;
    // Asks the window's thread to start the release timer for ReleaseDelay().
    // Called once per release window, by the value that opens it.
    std::function<void()> PostArmRelease;
    // With a release window of 0 ms: asks the window's thread to act on this
    // value (with the show a bank chose for it) at once. Called once for each
    // value latched; without it every value goes through a release window.
    std::function<void(TMidiSelectionCode)> PostActOnValue;
    // Applies a message received in learn mode.
    std::function<void(std::uint8_t, std::uint8_t, std::uint8_t)> PostLearn;
    // Shows an error raised while a message was handled.
    std::function<void(const QString &)> PostError;
    // The clock the release window is measured by.
    std::function<TReleaseWindow::TTime()> Now = &TReleaseWindow::TClock::now;

    // The input handlers. Neither lets an exception out.
    void MidiInputEvent(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                        std::uint8_t Data2) noexcept;
    void SysExInputEvent() noexcept;
    // A value (0..127) from OSC, on any thread: latched as the same value
    // from the input device would be, release window included, but never
    // learnt and never echoed. Its selection's origin is Osc.
    void OscValue(std::uint8_t value) noexcept;

    // Runs change on the calling thread while no input handler runs, so that
    // a handler that read a setting before the change has finished when this
    // returns. The handlers never wait for the window's thread, so the wait
    // is as short as one message.
    void BetweenMessages(const std::function<void()> &change);

    // From a click on "Midi Learn": the next message other than Active
    // Sensing is taken for the settings instead of being acted on.
    void StartLearning();
    // From a second click or Escape: messages are judged as usual again.
    // False when a message had ended learning already.
    bool StopLearning() { return LearnMode.exchange(false); }
    bool Learning() const { return LearnMode.load(); }

    // The value latched last, and the show a bank chose for it (-1: none).
    std::uint8_t PendingMidiValue() const { return ValueOfCode(Release.Value()); }
    int PendingShow() const { return ShowOfCode(Release.Value()); }

    // The bank a Bank Select latched on a channel (0..15) and no Program
    // Change has taken yet, or -1. A Program Change on that channel takes it
    // along, and a selection from anywhere else forgets every channel's.
    int LatchedBank(int channel) const;
    void ClearBanks();

    // The release window's length, 0 to 2000 ms (held in that range). At 0 a
    // latched value is acted on at once, one action per value; a window that
    // still runs when the length is set to 0 takes the values that reach it
    // and acts on its last one, so nothing is acted on twice or out of order.
    void SetReleaseWindow(std::chrono::milliseconds length);
    std::chrono::milliseconds ReleaseWindow() const
    {
        return std::chrono::milliseconds(ReleaseMs.load());
    }

    // The window's thread, taking up a PostArmRelease: what remains of the
    // release window since the first value of the window, or nothing when that value
    // has been acted on already (then no timer must start).
    std::optional<std::chrono::milliseconds> ReleaseDelay() const;
    // The window's thread, when the release timer ends: the value to act on,
    // once; nothing when no window is open. A value latched from now on opens
    // the next window.
    std::optional<TMidiSelectionCode> TakeReleasedValue() { return Release.Take(); }

private:
    // A value latched under the input lock, and what the window's thread
    // must then be asked for once the lock is released.
    struct TLatched {
        bool Arm = false;
        std::optional<TMidiSelectionCode> ActNow;
    };
    void Latch(TMidiSelectionCode value, TLatched &latched);
    void HandOver(const TLatched &latched) noexcept;
    void Report(const QString &text);

    const TDispatchSettings Settings;
    // Held for the whole run of each input handler, so messages are handled one
    // at a time and in order.
    std::mutex InputLock;
    std::atomic<bool> LearnMode{false};
    TReleaseWindow Release;
    // Per channel: bit 14 set while a bank is latched, bits 0-13 the bank
    // (MSB * 128 + LSB; the half not sent counts as 0).
    static constexpr int BankLatched = 0x4000;
    std::array<std::atomic<int>, 16> Banks{};
    std::atomic<int> ReleaseMs{int(TReleaseWindow::DefaultLength.count())};
    // The error shown last: the same text again is not shown while it keeps
    // coming, so a flood with a failing echo raises one box, not thousands.
    QString LastError;
};

} // namespace tarvello
