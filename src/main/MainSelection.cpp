#include "main/MainWindow.h"

#include "core/ErrorText.h"

#include "midi/Midi.h"
#include "pages/DisplayPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/PromptEngine.h"
#include "prompt/PromptReference.h"
#include "prompt/SelectionMidi.h"
#include "prompt/ShowSaver.h"
#include "show/ShowList.h"
#include "widgets/KeyValueGrid.h"

#include <QTabWidget>

#include <algorithm>

namespace tarvello {

void TfMain::ActOnValue(int value)
{
    Select(value, TSelectOrigin::Program);
}

void TfMain::Select(int value, TSelectOrigin origin)
{
    Engine->Select(value, origin);
}

void TfMain::ShowSelection(const TPrompt &prompt)
{
    TKeyValueGrid &list = GridOfDisplayType();
    // Another show's slot is new to the instruments, whatever its number.
    const bool cursorMoves =
        prompt.Selects && (list.Row() != RowOfSlot(prompt.Slot) || prompt.ShowChanged);
    const QString caption = PromptCaption(prompt, PatchMode(), Engine->Midi().Controller);
    SetCaption(caption);
    const bool numbered = Engine->Options().Numbered;
    DisplayPage->ShowShowTitle(
        prompt.ShowCount > 1
            ? ShowTitle(TShowEntry{prompt.ShowNumber, prompt.ShowName, {}}, prompt.FromOne)
            : QString());

    // The band hears of a new prompt before the stage view draws it: what a
    // follower fetches is prepared already, and a large document on the stage
    // screen does not hold the band up.
    const bool stage = prompt.Page != TStagePage::Other;
    if (prompt.Selects && stage) {
        BandShowing = true;
        BandPublisher->Publish(prompt, caption, numbered, BandShowing, nullptr);
    }
    // A prompt that cannot be shown says so where it would have been: no box
    // over the stage, no focus taken from the pedals, and the rest of the
    // selection (the band, the list, the instruments' MIDI) goes on as for
    // any slot. The next selection replaces the message.
    try {
        if (prompt.Page == TStagePage::Display) {
            // 123 to 125 scroll and page: the one line of the Display page
            // has nothing to scroll.
            if (prompt.Shown <= LastSlotKey) {
                DisplayTextLine(prompt.Shown);
            }
        } else if (prompt.Page == TStagePage::Lyric) {
            ShowPrompt(prompt);
        }
    } catch (...) {
        const QString text = StageErrorText(prompt.Slot, prompt.Stored, std::current_exception());
        if (prompt.Page == TStagePage::Lyric) {
            LyricPage->ShowError(text);
        } else {
            DisplayPage->ShowLine(text);
        }
    }
    if (stage) {
        BandShowing = true;
        // Behind the repaint the prompt has just asked for.
        if (Saver) {
            Saver->SelectionShown();
        }
    }
    const TStageReport shown = StageReport();
    BandPublisher->Publish(prompt, caption, numbered, BandShowing, &shown);
    if (stage) {
        PublishOsc(prompt, shown);
    }

    if (prompt.Selects) {
        list.FollowRow(RowOfSlot(prompt.Slot));
    }
    // The instruments follow a new slot, and the operator's click on a row
    // sends its MIDI again.
    if (cursorMoves || prompt.Origin == TSelectOrigin::ListClick) {
        SendSelectionMidi();
    }
}

void TfMain::DisplayTextLine(int value)
{
    const QString key = SlotNumberText(value, NumbersFromOne());
    const QString line = SlotShow->Line(value);
    DisplayPage->ShowLine(Engine->Options().Numbered ? NumberedLine(key, line) : line);
}

void TfMain::ShowPrompt(const TPrompt &prompt)
{
    if (prompt.Command) {
        LyricPage->Command(prompt.Shown);
        return;
    }
    // Asked for after the prompt, so that the work waits behind its paint; a
    // prompt that fails to show still has its neighbours made ready.
    const bool numbered = Engine->Options().Numbered;
    try {
        LyricPage->Show(SlotNumberText(prompt.Slot, prompt.FromOne), prompt.Stored, prompt.File,
                        numbered);
    } catch (...) {
        LyricPage->PrepareNeighbours(prompt.Neighbours, numbered);
        throw;
    }
    LyricPage->PrepareNeighbours(prompt.Neighbours, numbered);
    if (prompt.FromEnd) {
        LyricPage->ShowEnd();
    }
}

void TfMain::pcMainChange()
{
    QWidget *page = pcMain->currentWidget();
    if (page == DisplayPage || page == LyricPage) {
        Select(CurrentSlot(), TSelectOrigin::PageChange);
    }
}

void TfMain::vleLinesClick()
{
    Select(SlotOfRow(Lines().Row()), TSelectOrigin::ListClick);
}

void TfMain::vleFilesClick()
{
    const int slot = SlotOfRow(Files().Row());
    // Showing files, slot 122's key is the line-down command: its row can be
    // filled in, but selecting it would send the MIDI of another slot.
    if (DisplayType() == 1 && slot == LineDownValue) {
        return;
    }
    Select(slot, TSelectOrigin::ListClick);
}

void TfMain::SendSelectionMidi()
{
    if (SelectionMidiSender) {
        SelectionMidiSender();
    }
}

void TfMain::SetSelectionMidiSender(std::function<void()> sender)
{
    SelectionMidiSender = std::move(sender);
}

void TfMain::SendSelectionMidiToOutput()
{
    TSelectionMidiSettings settings;
    settings.SendMessage = Engine->Options().SendMessage;
    settings.SendStrings = Engine->Options().SendStrings;
    const int slot = CurrentSlot();
    const QStringList &strings = SlotShow->MidiStrings(slot);
    // Nothing to send: the device lists are not even made.
    if (!settings.SendMessage && (!settings.SendStrings || strings.isEmpty())) {
        return;
    }
    // The chosen output has gone: the selection is shown all the same, and
    // the instrument hears the next one once it is back.
    if (Engine->Midi().OutputDevice < 0) {
        return;
    }
    settings.MessageType = Engine->Midi().MessageType;
    settings.Channel = Engine->Midi().Channel;
    settings.Controller = Engine->Midi().Controller;
    settings.OutputDevice = Engine->Midi().OutputDevice;
    tarvello::SendSelectionMidi(MidiOutput(), settings, slot, strings);
}

} // namespace tarvello
