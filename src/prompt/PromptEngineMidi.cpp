// The engine's MIDI input: the dispatch on the input thread and the release
// window on the engine's own.
#include "prompt/PromptEngine.h"

#include "midi/Midi.h"
#include "prompt/MidiDispatch.h"

#include <QMetaObject>
#include <QTimer>

namespace tarvello {

void TPromptEngine::createDispatch()
{
    MidiDispatch = std::make_unique<TMidiDispatch>(
        TDispatchSettings{MidiSettings.MessageType, MidiSettings.Channel, MidiSettings.Controller,
                          MidiSettings.OutputDevice, MidiSettings.Thru,
                          MidiSettings.ShowController, MidiSettings.SongSelect});
    Release = new QTimer(this);
    Release->setObjectName(QStringLiteral("MidiRelease"));
    Release->setSingleShot(true);
    Release->setInterval(300);
    // A coarse timer may end the window up to 5 % early: a pedal's run of
    // values then splits into two selections at unpredictable points.
    Release->setTimerType(Qt::PreciseTimer);
    connect(Release, &QTimer::timeout, this, &TPromptEngine::ReleaseTimer);

    // Everything below runs on the MIDI input thread and only posts to this
    // object: that thread never waits for it.
    MidiDispatch->Echo = [](int device, std::uint8_t status, std::uint8_t data1,
                            std::uint8_t data2) {
        // No output open (the chosen one has gone): nothing to echo to, and
        // nothing to open on demand.
        if (device >= 0) {
            MidiOutput().SendShortMessage(device, status, data1, data2);
        }
    };
    MidiDispatch->PostArmRelease = [this] {
        QMetaObject::invokeMethod(this, &TPromptEngine::ArmRelease, Qt::QueuedConnection);
    };
    MidiDispatch->PostActOnValue = [this](TMidiSelectionCode code) {
        QMetaObject::invokeMethod(
            this, [this, code] { SelectCode(code); }, Qt::QueuedConnection);
    };
    MidiDispatch->PostLearn = [this](std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        QMetaObject::invokeMethod(
            this, [this, status, data1, data2] { emit LearnReceived(status, data1, data2); },
            Qt::QueuedConnection);
    };
    MidiDispatch->PostError = [this](const QString &text) {
        QMetaObject::invokeMethod(
            this, [this, text] { emit MidiError(text); }, Qt::QueuedConnection);
    };
}

void TPromptEngine::ArmRelease()
{
    // A window that runs is not restarted by later values. The window opened
    // with the first value on the input thread, so the timer runs for what is
    // left of it: a busy moment of this thread does not delay the selection.
    if (Release->isActive()) {
        return;
    }
    if (const auto delay = MidiDispatch->ReleaseDelay()) {
        Release->start(*delay);
    }
}

void TPromptEngine::ReleaseTimer()
{
    Release->stop();
    // The value is taken as the window closes: a value latched a moment later
    // opens the next window instead of being acted on twice.
    if (const auto code = MidiDispatch->TakeReleasedValue()) {
        SelectCode(*code);
    }
}

void TPromptEngine::SelectCode(TMidiSelectionCode code)
{
    const int show = ShowOfCode(code);
    const TSelectOrigin origin = OscCode(code) ? TSelectOrigin::Osc : TSelectOrigin::Midi;
    if (show < 0) {
        Select(ValueOfCode(code), origin);
    } else {
        SelectInShow(show, ValueOfCode(code), origin);
    }
}

void TPromptEngine::SetReleaseWindow(int milliseconds)
{
    MidiDispatch->SetReleaseWindow(std::chrono::milliseconds(milliseconds));
    Release->setInterval(int(MidiDispatch->ReleaseWindow().count()));
}

} // namespace tarvello
