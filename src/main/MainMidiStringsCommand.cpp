#include "main/MainWindow.h"

#include "midistrings/MidiStringsDialog.h"

namespace tarvello {

void TfMain::SetMidiStringsDialog(TfMidiStrings *dialog)
{
    MidiStringsDialog = dialog;
}

void TfMain::mMidiStringsClick()
{
    if (!MidiStringsDialog) {
        return;
    }
    // The slot is taken before the dialog opens: MIDI input goes on while it is
    // open and may select another slot, but the lines belong to the slot the
    // operator opened them for.
    const int row = RowOfSlot(CurrentSlot());
    std::optional<QStringList> edited = MidiStringsDialog->EditStrings(MidiStringLists[row]);
    if (!edited) {
        return;
    }
    MidiStringLists[row] = std::move(*edited);
    MidiStringsChanged();
}

} // namespace tarvello
