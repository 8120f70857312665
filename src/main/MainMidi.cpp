#include "main/MainWindow.h"

#include "prompt/PromptEngine.h"

#include "main/DonateAddress.h"
#include "midi/Midi.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/MidiDispatch.h"
#include "prompt/NavigationLabels.h"
#include "touchpad/TouchPad.h"
#include "widgets/ErrorReporter.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QTimer>
#include <QUrl>

namespace tarvello {

void TfMain::connectSettingsPage()
{
    TSettingsPage *page = SettingsPage;
    const auto guard = [this](auto handler) { return Guarded(*ErrorBox, handler); };
    connect(page, &TSettingsPage::InputClicked, this, guard([this] { lbMidiInClick(); }));
    connect(page, &TSettingsPage::OutputClicked, this, guard([this] { lbMidiOutClick(); }));
    connect(page, &TSettingsPage::ChannelClicked, this, guard([this] { lbChannelClick(); }));
    connect(page, &TSettingsPage::ControllerClicked, this, guard([this] { lbControllerClick(); }));
    connect(page, &TSettingsPage::MessageTypeClicked, this, guard([this] { rgMessageClick(); }));
    connect(page, &TSettingsPage::DisplayTypeClicked, this,
            guard([this] { rgDisplayTypeClick(); }));
    connect(page, &TSettingsPage::TouchPadToggled, this, guard([this] { cbTouchPadClick(); }));
    connect(page, &TSettingsPage::PdfScrollbarToggled, this,
            guard([this] { cbPdfScrollbarClick(); }));
    connect(page, &TSettingsPage::AutoScrollToggled, this, guard([this] { cbAutoScrollClick(); }));
    connect(page, &TSettingsPage::ScrollSecondsChanged, this,
            guard([this] { seScrollSecondsChange(); }));
    connect(page, &TSettingsPage::ScrollDelayChanged, LyricPage, &TLyricPage::SetScrollDelay);
    connect(page, &TSettingsPage::LearnClicked, this, guard([this] { bLearnClick(); }));
    connect(page, &TSettingsPage::FontClicked, this, guard([this] { pmLineFontClick(); }));
    connect(page, &TSettingsPage::DonateClicked, this, guard([this] { sbDonateClick(); }));
    connect(page, &TSettingsPage::ReleaseWindowChanged, this,
            [this](int milliseconds) { Engine->SetReleaseWindow(milliseconds); });
    Engine->SetReleaseWindow(page->ReleaseWindow());
    // The input thread reads the box through this copy, never the widget.
    connect(page, &TSettingsPage::MidiThruToggled, this,
            [this](bool checked) { Engine->Midi().Thru = checked; });
    Engine->Midi().Thru = false;
    const auto copyOptions = [this, page] {
        Engine->SetOptions({!page->SuppressNumber(), page->SendMessageOnClick(),
                            page->SendMidiStrings(), page->PageTurnerContinues(),
                            page->NumbersFromOne()});
        LyricPage->SetNumbersFromOne(page->NumbersFromOne());
    };
    connect(page, &TSettingsPage::SelectionOptionsToggled, this, copyOptions);
    // The input thread reads the show controller and Song Select through
    // copies; the shows are listed again in the operator's numbers.
    connect(page, &TSettingsPage::ShowOptionsChanged, this, [this, page, copyOptions] {
        Engine->Midi().ShowController = page->ShowController();
        Engine->Midi().SongSelect = page->SongSelect();
        copyOptions();
        if (Bank) {
            ListShows();
        }
    });
    copyOptions();
    OpenUrl = [](const QUrl &address) { return QDesktopServices::openUrl(address); };
    LyricPage->SetScrollSeconds(page->ScrollSeconds());
    LyricPage->SetScrollDelay(page->ScrollDelay());
    Engine->SetEdgesOfShown([this] { return LyricPage->Edges(); });
    UpdateNavigationLabels();
}

void TfMain::lbChannelClick()
{
    Engine->Midi().Channel = SettingsPage->ChannelRow();
    UpdateNavigationLabels();
}

void TfMain::lbControllerClick()
{
    Engine->Midi().Controller = SettingsPage->ControllerRow();
    UpdateNavigationLabels();
}

void TfMain::rgMessageClick()
{
    const bool patch = SettingsPage->MessageType() == 0;
    Engine->Midi().MessageType = patch ? PatchMessageType : ControllerMessageType;
    SettingsPage->ShowController(!patch);
    UpdateNavigationLabels();
}

void TfMain::rgDisplayTypeClick()
{
    ShowTabsForDisplayType();
    if (Pad) {
        Pad->SetScrollButtonsEnabled(DisplayType() == 1);
    }
    UpdateNavigationLabels();
}

void TfMain::cbTouchPadClick()
{
    if (!Pad) {
        return;
    }
    if (SettingsPage->TouchPadShown()) {
        if (!Pad->isVisible()) {
            Pad->show();
        }
        Pad->raise();
    } else if (Pad->isVisible()) {
        Pad->hide();
    }
}

void TfMain::cbPdfScrollbarClick()
{
    LyricPage->SetPdfScrollBars(SettingsPage->PdfScrollbarShown());
}

void TfMain::SetUrlOpener(std::function<bool(const QUrl &)> opener)
{
    OpenUrl = std::move(opener);
}

void TfMain::sbDonateClick()
{
    // Nothing is reported when no browser takes the address.
    if (OpenUrl) {
        OpenUrl(QUrl(DonateAddress));
    }
}

void TfMain::UpdateNavigationLabels()
{
    SettingsPage->SetNavigationLabels(
        NavigationLabelTexts(Engine->Midi().MessageType, Engine->Midi().Channel,
                             Engine->Midi().Controller, DisplayType() == 0));
}

void TfMain::connectEngine()
{
    connect(Engine, &TPromptEngine::PromptSelected, this,
            Guarded(*ErrorBox, [this](const TPrompt &prompt) { ShowSelection(prompt); }));
    // What the operator is typing in a list is part of the show from here on.
    connect(Engine, &TPromptEngine::SelectionStarting, this, [this] { CommitListEdits(); });
    connect(Engine, &TPromptEngine::LearnReceived, this,
            Guarded(*ErrorBox, [this](std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
                LearnMessage(status, data1, data2);
            }));
    connect(Engine, &TPromptEngine::MidiError, this,
            [this](const QString &text) { ErrorBox->Report(text); });
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
    Engine->Dispatch().MidiInputEvent(DeviceIndex, Status, Data1, Data2);
}

void TfMain::SysExInputEvent(int, QBuffer &)
{
    Engine->Dispatch().SysExInputEvent();
}

} // namespace tarvello
