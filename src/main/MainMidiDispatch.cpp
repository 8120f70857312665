#include "main/MainWindow.h"

#include "midi/Midi.h"
#include "prompt/MidiDispatch.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorBoxQueue.h"
#include "widgets/RadioGroup.h"

#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>

namespace tarvello {

void TfMain::connectMidiControls()
{
    createMidiDispatch();
    connectSettingsPage();
    watchPaintForTouchPad();
    SetSelectionMidiSender([this] { SendSelectionMidiToOutput(); });
}

void TfMain::createMidiDispatch()
{
    Dispatch = std::make_unique<TMidiDispatch>(TDispatchSettings{
        MidiMessageType, MidiChannel, MidiController, OutputDeviceIndex, MidiThru});
    InputErrors = std::make_unique<TErrorBoxQueue>(
        [this](const QString &text) { Dialogs.ShowError(this, text); });

    // Everything below runs on the MIDI input thread and only posts to this
    // window: that thread never waits for the window.
    Dispatch->Echo = [](int device, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        MidiOutput().SendShortMessage(device, status, data1, data2);
    };
    Dispatch->PostArmRelease = [this] {
        QMetaObject::invokeMethod(this, &TfMain::ArmMidiRelease, Qt::QueuedConnection);
    };
    Dispatch->PostLearn = [this](std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        QMetaObject::invokeMethod(
            this, [this, status, data1, data2] { LearnMessage(status, data1, data2); },
            Qt::QueuedConnection);
    };
    Dispatch->PostError = [this](const QString &text) {
        QMetaObject::invokeMethod(
            this, [this, text] { InputErrors->Report(text); }, Qt::QueuedConnection);
    };

    // A coarse timer may end the window up to 5 % early: a pedal's run of
    // values then splits into two selections at unpredictable points.
    MidiRelease->setTimerType(Qt::PreciseTimer);
    connect(MidiRelease, &QTimer::timeout, this, &TfMain::MidiReleaseTimer);
    connect(bLearn, &QPushButton::clicked, this, &TfMain::bLearnClick);
}

void TfMain::RegisterMidiInputEvents()
{
    TMidiInput &input = MidiInput();
    input.OnMidiData = [this](int device, std::uint8_t status, std::uint8_t data1,
                              std::uint8_t data2) { MidiInputEvent(device, status, data1, data2); };
    input.OnSysExData = [this](int device, QBuffer &stream) { SysExInputEvent(device, stream); };
}

void TfMain::ReleaseMidiInputEvents() noexcept
{
    TMidiInput *input = ExistingMidiInput();
    if (input == nullptr) {
        return;
    }
    // The device lists outlive this window: no input may reach it once it has
    // gone. Close waits for a handler that is running.
    for (int i = 0; i < input->Devices.Count(); ++i) {
        try {
            input->Close(i);
        } catch (...) {
            // Going away regardless; a device that fails to close is left to the list.
        }
    }
    input->OnMidiData = nullptr;
    input->OnSysExData = nullptr;
}

void TfMain::MidiInputEvent(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                            std::uint8_t Data2)
{
    Dispatch->MidiInputEvent(DeviceIndex, Status, Data1, Data2);
}

void TfMain::SysExInputEvent(int, QBuffer &)
{
    Dispatch->SysExInputEvent();
}

std::uint8_t TfMain::PendingMidiValue() const
{
    return Dispatch->PendingMidiValue();
}

bool TfMain::LearnMode() const
{
    return Dispatch->Learning();
}

void TfMain::ArmMidiRelease()
{
    // A window that runs is not restarted by later values. The window opened
    // with the first value on the input thread, so the timer runs for what is
    // left of it: a busy moment of this thread does not delay the selection.
    if (MidiRelease->isActive()) {
        return;
    }
    if (const auto delay = Dispatch->ReleaseDelay()) {
        MidiRelease->start(*delay);
    }
}

void TfMain::MidiReleaseTimer()
{
    MidiRelease->stop();
    // The value is taken as the window closes: a value latched a moment later
    // opens the next window instead of being acted on twice.
    if (const auto value = Dispatch->TakeReleasedValue()) {
        ActOnValue(*value);
    }
}

void TfMain::bLearnClick()
{
    bLearn->setText(QStringLiteral("Learning"));
    bLearn->setEnabled(false);
    Dispatch->StartLearning();
}

void TfMain::LearnMessage(std::uint8_t Status, std::uint8_t Data1, std::uint8_t)
{
    const int type = Status & 0xF0;
    const int channel = Status & 0x0F;
    const auto endLearning = [this] {
        bLearn->setText(QStringLiteral("Midi Learn"));
        bLearn->setEnabled(true);
    };
    if (type != ControllerMessageType && type != PatchMessageType) {
        endLearning();
        Dialogs.MessageBox(this, ApplicationTitle(),
                           QStringLiteral("Sorry, you can only use Patch and Controller messages"),
                           TMessageKind::Error, TMessageButton::Ok);
        return;
    }
    // As if the operator had chosen it: rgMessageClick follows a change.
    rgMessage->SetItemIndex(type == ControllerMessageType ? 1 : 0);
    lbChannel->setCurrentRow(channel);
    MidiChannel = lbChannel->currentRow();
    if (type == ControllerMessageType) {
        lbController->setCurrentRow(Data1);
        MidiController = lbController->currentRow();
    }
    endLearning();
    UpdateNavigationLabels();
}

} // namespace tarvello
