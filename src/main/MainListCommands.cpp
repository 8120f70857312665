#include "main/MainWindow.h"

#include "show/ShowBank.h"

#include "files/MidiStringsFile.h"
#include "files/TextFile.h"
#include "midistrings/MidiStringsDialog.h"
#include "pages/DisplayPage.h"
#include "pages/ListEditPage.h"
#include "pages/LyricPage.h"
#include "prompt/ListEditing.h"
#include "show/ShowEdits.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"

namespace tarvello {
namespace {

// Matches "songs.txt" as well as "SONGS.TXT": file names keep their case here.
const QString ListFileFilter = QStringLiteral("Text files only (*.txt *.TXT)");

// The dialogs start in the current directory and propose the name chosen
// last (which also names its folder).
QString DialogStart(const QString &lastName)
{
    return lastName.isEmpty() ? QStringLiteral("./") : lastName;
}

} // namespace

void TfMain::ReadMidiStrings(TLineReader &file)
{
    TMidiStringLists lists = SlotShow->MidiStringLists();
    ReadMidiStringsSection(file, lists);
    SlotShow->SetMidiStringLists(lists);
}

void TfMain::WriteMidiStrings(QStringList &file) const
{
    // The MIDI strings file goes with the settings file's show, whichever
    // show is open.
    file.append(MidiStringsSectionLines(Bank->SettingsFileContents().Strings));
}

void TfMain::SaveListFile(TKeyValueGrid &grid, TSlotField field, const QString &caption)
{
    const std::optional<QString> chosen =
        Dialogs.SaveFileName(this, caption, DialogStart(LastListSaved), ListFileFilter);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const QString path = CompleteListFileName(*chosen);
    LastListSaved = path;
    // The title row's empty line, the slot values, then the MIDI strings of
    // every slot; an existing file is replaced without a question.
    grid.CommitEdit();
    WriteListFile(path, SlotShow->Texts(field), SlotShow->MidiStringLists());
}

std::optional<QString> TfMain::ChooseListFileToOpen(const QString &caption)
{
    std::optional<QString> chosen =
        Dialogs.OpenFileName(this, caption, DialogStart(LastListOpened), ListFileFilter);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    LastListOpened = *chosen;
    return chosen;
}

void TfMain::pmSaveLinetoFileClick()
{
    SaveListFile(Lines(), TSlotField::Line, QStringLiteral("Save Prompt List"));
}

void TfMain::mSaveFileListClick()
{
    SaveListFile(Files(), TSlotField::File, QStringLiteral("Save File List"));
}

void TfMain::pmConvertClick()
{
    const std::optional<QString> path = ChooseListFileToOpen(QStringLiteral("Open Prompt List"));
    if (!path) {
        return;
    }
    // The file is read whole before anything changes; its MIDI strings are
    // not taken: the slots keep theirs.
    Lines().CommitEdit();
    SlotShow->SetTexts(TSlotField::Line, ReadPromptListFile(*path));
    // A list opened is a new show, not an edit to take back: the edits before
    // it are forgotten.
    ShowEdits->Forget();
}

void TfMain::mLoadFileListClick()
{
    const std::optional<QString> path = ChooseListFileToOpen(QStringLiteral("Open File List"));
    if (!path) {
        return;
    }
    // The file's MIDI strings are added to those the slots hold already.
    TMidiStringLists lists = SlotShow->MidiStringLists();
    const TSlotValues files = ReadFileListFile(*path, lists);
    Files().CommitEdit();
    SlotShow->SetTexts(TSlotField::File, files);
    SlotShow->SetMidiStringLists(lists);
    // As with a prompt list, no edit before it can be taken back.
    ShowEdits->Forget();
}

void TfMain::pmFileDeleteClick()
{
    // The entry asked about, whatever MIDI selects while the question is open.
    const int row = Files().Row();
    const TMessageButton answer =
        Dialogs.MessageBox(this, ApplicationTitle(), DeleteEntryQuestion(), TMessageKind::Warning,
                           TMessageButton::Yes | TMessageButton::No);
    if (answer != TMessageButton::Yes) {
        return;
    }
    Files().CommitEdit();
    ShowEdits->Run(QStringLiteral("Delete Entry"),
                   [row](TShow &show) { show.DeleteFileEntry(SlotOfRow(row)); });
}

void TfMain::pmTextDeleteClick()
{
    Lines().CommitEdit();
    const int slot = SlotOfRow(Lines().Row());
    ShowEdits->Run(QStringLiteral("Delete Prompt Text"),
                   [slot](TShow &show) { show.SetLine(slot, QString()); });
}

void TfMain::pmLineFontClick()
{
    const std::optional<TFontChoice> chosen =
        Dialogs.ChooseFont(this, {DisplayPage->PromptFont(), DisplayPage->TextColour()});
    if (!chosen) {
        return;
    }
    DisplayPage->SetPromptFont(chosen->Font);
    LyricPage->SetPromptFont(chosen->Font);
    if (chosen->Colour.isValid()) {
        DisplayPage->SetTextColour(chosen->Colour);
        LyricPage->SetTextColour(chosen->Colour);
    }
}

void TfMain::pmLineColourClick()
{
    const std::optional<QColor> chosen = Dialogs.ChooseColor(this, DisplayPage->Background());
    if (chosen) {
        DisplayPage->SetBackground(*chosen);
    }
}

void TfMain::pmLyricColourClick()
{
    const std::optional<QColor> chosen = Dialogs.ChooseColor(this, LyricPage->Background());
    if (chosen) {
        LyricPage->SetBackground(*chosen);
    }
}

void TfMain::mClearMidiStringsClick()
{
    if (!Dialogs.AskYesNo(this, ClearMidiStringsQuestion())) {
        return;
    }
    ShowEdits->Run(QStringLiteral("Clear Midi Strings"),
                   [](TShow &show) { show.ClearMidiStrings(); });
}

void TfMain::mClearAllPromptsClick()
{
    if (!Dialogs.AskYesNo(this, ClearAllPromptsQuestion())) {
        return;
    }
    Lines().CommitEdit();
    // The lines and, if the second question is answered Yes, the MIDI strings:
    // one step.
    const TShowEdits::TStep step(*ShowEdits, QStringLiteral("Clear All Prompts"));
    SlotShow->ClearTexts(TSlotField::Line);
    mClearMidiStringsClick();
}

void TfMain::mClearFileListClick()
{
    if (!Dialogs.AskYesNo(this, ClearFileListQuestion())) {
        return;
    }
    Files().CommitEdit();
    const TShowEdits::TStep step(*ShowEdits, QStringLiteral("Clear File List"));
    SlotShow->ClearTexts(TSlotField::File);
    mClearMidiStringsClick();
}

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
    const int slot = CurrentSlot();
    std::optional<QStringList> edited =
        MidiStringsDialog->EditStrings(SlotShow->MidiStrings(slot), slot);
    if (!edited) {
        return;
    }
    ShowEdits->Run(QStringLiteral("Midi Strings of Slot %1").arg(slot),
                   [slot, &edited](TShow &show) { show.SetMidiStrings(slot, *edited); });
}

} // namespace tarvello
