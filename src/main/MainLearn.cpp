// Midi Learn: the next message sets the message type, channel and controller.
// While it waits, the button reads "Learning" and the stage says so, since the
// message it waits for selects nothing; a second click or Escape ends the wait.
#include "main/MainWindow.h"

#include "prompt/PromptEngine.h"

#include "pages/DisplayPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/MidiDispatch.h"
#include "widgets/Dialogs.h"
#include "widgets/LayoutHelpers.h"
#include "pages/StageNotice.h"

namespace tarvello {

void TfMain::bLearnClick()
{
    if (LearnArmed) {
        CancelLearning();
        return;
    }
    ShowLearning(true);
    Engine->Dispatch().StartLearning();
}

void TfMain::CancelLearning()
{
    Engine->Dispatch().StopLearning();
    ShowLearning(false);
}

void TfMain::ShowLearning(bool learning)
{
    LearnArmed = learning;
    SettingsPage->SetLearning(learning);
    if (!DisplayNotice) {
        DisplayNotice = Named(new TStageNotice(DisplayPage), "lDisplayNotice");
        LyricNotice = Named(new TStageNotice(LyricPage), "lLyricNotice");
    }
    for (TStageNotice *notice : {DisplayNotice, LyricNotice}) {
        if (learning) {
            notice->ShowText(QStringLiteral("Learning\u2026"));
        } else {
            notice->hide();
        }
    }
}

void TfMain::LearnMessage(std::uint8_t Status, std::uint8_t Data1, std::uint8_t)
{
    // Cancelled while the message was on its way: the operator's word counts.
    if (!LearnArmed) {
        return;
    }
    const int type = Status & 0xF0;
    const int channel = Status & 0x0F;
    // The input stops learning too: a message of an earlier arming, still
    // on its way when the operator cancelled and armed again, ends this
    // arming, and the next message is the stage's again.
    const auto endLearning = [this] { CancelLearning(); };
    if (type != ControllerMessageType && type != PatchMessageType) {
        endLearning();
        Dialogs.MessageBox(this, ApplicationTitle(),
                           QStringLiteral("Sorry, you can only use Patch and Controller messages"),
                           TMessageKind::Error, TMessageButton::Ok);
        return;
    }
    // As if the operator had chosen it: rgMessageClick follows a change.
    SettingsPage->SetMessageType(type == ControllerMessageType ? 1 : 0);
    SettingsPage->SetChannelRow(channel);
    Engine->Midi().Channel = SettingsPage->ChannelRow();
    if (type == ControllerMessageType) {
        SettingsPage->SetControllerRow(Data1);
        Engine->Midi().Controller = SettingsPage->ControllerRow();
    }
    endLearning();
    UpdateNavigationLabels();
    ChangeToSave();
}

} // namespace tarvello
