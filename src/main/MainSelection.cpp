#include "main/MainWindow.h"

#include "midi/Midi.h"
#include "pages/DisplayPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/PromptReference.h"
#include "prompt/SelectionMidi.h"
#include "widgets/KeyValueGrid.h"

#include <QScopedValueRollback>
#include <QTabWidget>

#include <algorithm>

namespace tarvello {

void TfMain::ActOnValue(int value)
{
    if (value < 0 || value > PreviousPromptValue) {
        return;
    }
    // What the operator is typing in a list is part of the show from here on.
    CommitListEdits();
    QWidget *page = pcMain->currentWidget();
    // Showing files, 122 and 123 are the line commands of the Lyric page
    // wherever they come from: they never select a slot (no jump of the show
    // to slot 122, no MIDI of its own), and off the Lyric page they have
    // nothing to scroll, so they change nothing there, not even the caption.
    const bool fileDisplay = DisplayType() == 1;
    const bool lineCommand = fileDisplay && (value == LineDownValue || value == LineUpValue);
    if (lineCommand && page != LyricPage) {
        return;
    }
    setWindowTitle(SelectionCaption(PatchMode(), MidiController, value));
    const bool selects = !lineCommand;
    // Slot 122 of the file list cannot be shown (its key is the line-down
    // command), so "Next" stops at 121 there.
    const int lastShown = fileDisplay ? LastSlotKey - 1 : LastSlotKey;
    int shown = value;
    if (selects) {
        if (value <= LastSlotKey) {
            CurrentSlotKey = value;
        } else if (value == NextPromptValue) {
            // A slot 122 left current by the text lines also lands on 121.
            CurrentSlotKey = std::min(CurrentSlotKey + 1, lastShown);
            shown = CurrentSlotKey;
        } else if (value == PreviousPromptValue) {
            if (CurrentSlotKey > 0) {
                --CurrentSlotKey;
            }
            shown = CurrentSlotKey;
        }
    }

    // The band hears of a new prompt before the stage view draws it: what a
    // follower fetches is prepared already, and a large document on the stage
    // screen does not hold the band up. Not again for the list click that the
    // cursor move below raises: the prompt is shown already, and the caption
    // set above lacks its item until the page has been asked.
    const bool reentry = value == ReenteringSlot;
    if (selects && !reentry && (page == DisplayPage || page == LyricPage)) {
        BandShowing = true;
        PublishBandState(true);
    }

    if (page == DisplayPage) {
        // 123 to 125 scroll and page: the one line of the Display page has
        // nothing to scroll.
        if (shown <= LastSlotKey) {
            DisplayTextLine(shown);
        }
    } else if (page == LyricPage) {
        ShowPrompt(shown);
    }

    if (page == DisplayPage || page == LyricPage) {
        BandShowing = true;
    }
    PublishBandState();

    if (selects) {
        // A move to another row runs the list click handling at once.
        const QScopedValueRollback reentering(ReenteringSlot, CurrentSlotKey);
        GridOfDisplayType().SetRow(RowOfSlot(CurrentSlotKey));
    }
}

void TfMain::DisplayTextLine(int value)
{
    const QString key = QString::number(value);
    const QString line = SlotShow->Line(value);
    DisplayPage->ShowLine(SettingsPage->SuppressNumber() ? line : NumberedLine(key, line));
}

void TfMain::ShowPrompt(int value)
{
    const int currentRow = RowOfSlot(CurrentSlotKey);
    if (value >= LineDownValue && value <= PageUpValue) {
        LyricPage->Command(value);
        setWindowTitle(windowTitle() + QStringLiteral(" Item:") + QString::number(CurrentSlotKey) +
                       QLatin1Char(' ') + SlotShow->File(CurrentSlotKey));
        return;
    }
    const QString key = QString::number(value);
    const QString stored = SlotShow->File(value);
    setWindowTitle(windowTitle() + QStringLiteral(" Item:") + QString::number(CurrentSlotKey));
    const auto showingFile = [this](const QString &file) {
        setWindowTitle(windowTitle() + QLatin1Char(' ') + file);
    };
    const bool numbered = !SettingsPage->SuppressNumber();
    // The list click that ActOnValue's cursor move raises shows the slot
    // just shown: the page keeps it rather than loading it a second time.
    if (value == ReenteringSlot && LyricPage->ShowAgain(key, stored, numbered, showingFile)) {
        return;
    }
    LyricPage->Show(key, stored, numbered, showingFile);
    // Next, then previous: what a performer goes to from here.
    QStringList neighbours;
    const int last = DisplayType() == 1 ? LastSlotKey - 1 : LastSlotKey;
    if (value < last) {
        neighbours << SlotShow->File(value + 1);
    }
    if (value > 0) {
        neighbours << SlotShow->File(value - 1);
    }
    LyricPage->PrepareNeighbours(neighbours);
}

void TfMain::pcMainChange()
{
    QWidget *page = pcMain->currentWidget();
    if (page == DisplayPage || page == LyricPage) {
        ActOnValue(CurrentSlotKey);
    }
}

void TfMain::vleLinesClick()
{
    ActOnValue(SlotOfRow(Lines().Row()));
    SendSelectionMidi();
}

void TfMain::vleFilesClick()
{
    const int slot = SlotOfRow(Files().Row());
    // Showing files, slot 122's key is the line-down command: its row can be
    // filled in, but selecting it would send the MIDI of another slot.
    if (DisplayType() == 1 && slot == LineDownValue) {
        return;
    }
    ActOnValue(slot);
    SendSelectionMidi();
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
    settings.SendMessage = SettingsPage->SendMessageOnClick();
    settings.SendStrings = SettingsPage->SendMidiStrings();
    const int slot = CurrentSlot();
    const QStringList &strings = SlotShow->MidiStrings(slot);
    // Nothing to send: the device lists are not even made.
    if (!settings.SendMessage && (!settings.SendStrings || strings.isEmpty())) {
        return;
    }
    // The chosen output has gone: the selection is shown all the same, and
    // the instrument hears the next one once it is back.
    if (OutputDeviceIndex < 0) {
        return;
    }
    settings.MessageType = MidiMessageType;
    settings.Channel = MidiChannel;
    settings.Controller = MidiController;
    settings.OutputDevice = OutputDeviceIndex;
    tarvello::SendSelectionMidi(MidiOutput(), settings, slot, strings);
}

} // namespace tarvello
