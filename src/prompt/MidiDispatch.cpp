#include "prompt/MidiDispatch.h"

#include "core/ErrorText.h"

#include <algorithm>
#include <exception>

namespace tarvello {

TMidiDispatch::TMidiDispatch(TDispatchSettings settings) : Settings(settings) {}

void TMidiDispatch::StartLearning()
{
    LearnMode.store(true);
}

void TMidiDispatch::MidiInputEvent(int, std::uint8_t Status, std::uint8_t Data1,
                                   std::uint8_t Data2) noexcept
{
    TLatched taken;
    const auto latch = [this, &taken](TMidiSelectionCode value) {
        // A data byte with its top bit set is a broken message, not a value.
        if ((value & OscCodeBit) == 0) {
            Latch(value, taken);
        }
    };
    try {
        std::lock_guard lock(InputLock);
        if (Status == ActiveSensingStatus) {
            return;
        }
        if (LearnMode.exchange(false)) {
            // Learn mode ends with this message here and now, so the messages
            // behind it are judged normally even before the window has applied it.
            if (PostLearn) {
                PostLearn(Status, Data1, Data2);
            }
            return;
        }
        const int type = Settings.MessageType.load();
        const int channel = Status & 0x0F;
        std::atomic<int> &bank = Banks[size_t(channel)];
        if (Status == SongSelectStatus) {
            if (Settings.SongSelect.load()) {
                latch(MidiSelectionCode(Data1 & 0x7F));
            }
        } else if (Status == ((type + Settings.Channel.load()) & 0xFF)) {
            if (type == ControllerMessageType) {
                // Another controller on the chosen channel (a modulation wheel,
                // a sustain pedal) must never select a slot.
                if (Data1 == Settings.Controller.load()) {
                    latch(MidiSelectionCode(Data2));
                } else if (Data1 == Settings.ShowController.load()) {
                    // The show opens at its first slot.
                    latch(MidiSelectionCode(0, Data2 & 0x7F));
                }
            } else if (type == PatchMessageType) {
                // The bank latched before it goes with this Program Change,
                // and no further.
                const int latched = bank.exchange(0);
                latch(MidiSelectionCode(Data1, (latched & BankLatched) != 0
                                                   ? latched & (BankLatched - 1)
                                                   : -1));
            }
        }
        // A Bank Select is latched on every channel, for the Program Change
        // that follows it there.
        if ((Status & 0xF0) == ControllerMessageType &&
            (Data1 == BankSelectMsb || Data1 == BankSelectLsb)) {
            int old = bank.load();
            int next;
            do {
                const int held = (old & BankLatched) != 0 ? old & (BankLatched - 1) : 0;
                next = BankLatched | (Data1 == BankSelectMsb
                                          ? ((Data2 & 0x7F) << 7) | (held & 0x7F)
                                          : (held & ~0x7F) | (Data2 & 0x7F));
            } while (!bank.compare_exchange_weak(old, next));
        }
        if (Settings.Thru.load() && Echo) {
            Echo(Settings.OutputDevice.load(), Status, Data1, Data2);
        }
        LastError.clear();
    } catch (...) {
        try {
            std::lock_guard lock(InputLock);
            Report(ErrorMessageOf(std::current_exception()));
        } catch (...) {
            // Nothing more can be done on this thread; the next message is
            // handled as usual.
        }
    }
    HandOver(taken);
}

void TMidiDispatch::OscValue(std::uint8_t value) noexcept
{
    if (value > 127) {
        return;
    }
    TLatched latched;
    try {
        std::lock_guard lock(InputLock);
        Latch(MidiSelectionCode(value) | OscCodeBit, latched);
    } catch (...) {
        return;
    }
    HandOver(latched);
}

void TMidiDispatch::Latch(TMidiSelectionCode value, TLatched &latched)
{
    // Only under the input lock is the window opened: a window seen closed
    // here stays closed until the value is handed over.
    if (ReleaseMs.load() == 0 && PostActOnValue && !Release.IsOpen()) {
        Release.Pass(value);
        latched.ActNow = value;
    } else {
        latched.Arm = Release.Latch(value, Now);
    }
}

void TMidiDispatch::HandOver(const TLatched &latched) noexcept
{
    if (latched.ActNow) {
        try {
            PostActOnValue(*latched.ActNow);
        } catch (...) {
            // The window's thread cannot be reached: this value is dropped,
            // the next one is handed over as usual.
        }
    }
    if (latched.Arm) {
        bool posted = false;
        try {
            if (PostArmRelease) {
                PostArmRelease();
                posted = true;
            }
        } catch (...) {
        }
        if (!posted) {
            // No timer will end this window: the next value opens it anew.
            Release.Abandon();
        }
    }
}

int TMidiDispatch::LatchedBank(int channel) const
{
    const int held = Banks.at(size_t(channel & 0x0F)).load();
    return (held & BankLatched) != 0 ? held & (BankLatched - 1) : -1;
}

void TMidiDispatch::ClearBanks()
{
    for (std::atomic<int> &bank : Banks) {
        bank.store(0);
    }
}

std::optional<std::chrono::milliseconds> TMidiDispatch::ReleaseDelay() const
{
    return Release.ArmDelay(Now(), ReleaseWindow());
}

void TMidiDispatch::SetReleaseWindow(std::chrono::milliseconds length)
{
    ReleaseMs.store(
        int(std::clamp(length, std::chrono::milliseconds::zero(), TReleaseWindow::LongestLength)
                .count()));
}

void TMidiDispatch::BetweenMessages(const std::function<void()> &change)
{
    std::lock_guard lock(InputLock);
    change();
}

void TMidiDispatch::SysExInputEvent() noexcept
{
    // System-exclusive input is received and dropped; thru does not pass it on.
    // Taking the lock keeps it in order with the short messages.
    std::lock_guard lock(InputLock);
}

void TMidiDispatch::Report(const QString &text)
{
    if (text == LastError) {
        return;
    }
    LastError = text;
    if (PostError) {
        PostError(text);
    }
}

} // namespace tarvello
