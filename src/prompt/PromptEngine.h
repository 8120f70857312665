#pragma once

#include "prompt/MidiSettings.h"
#include "prompt/Prompt.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace tarvello {

class TMidiDispatch;
class TShow;
class TShowBank;

// How a selection is shown and what it sends, as the Settings page sets it:
// copied here when the operator changes it, never read back from the page.
struct TSelectionOptions {
    // The slot's number before its line ("Suppress Number in display" off).
    bool Numbered = true;
    // "Output Midi on list click" and "Output Midi String List".
    bool SendMessage = false;
    bool SendStrings = false;
    // "Page turner continues to the next song": showing files, a page down at
    // the end of a prompt goes on to the next slot, a page up at its top back
    // to the end of the slot before.
    bool PageTurnerContinues = false;
    // Slot and show numbers as the operator reads them: from 1 rather than 0.
    bool NumbersFromOne = false;
};

// The prompt engine: the current slot and the rules that turn a value from
// any source into what the stage shows. A value is resolved once into a
// TPrompt and announced once; the stage pages, the list cursor, the caption,
// band screens and the selection's MIDI all follow that announcement.
class TPromptEngine : public QObject {
    Q_OBJECT

public:
    explicit TPromptEngine(const TShow &show, QObject *parent = nullptr);
    ~TPromptEngine() override;

    // Acts on a value from 0 to 127: 0..122 select a slot, 126 and 127 the
    // next and previous one (no wrap, empty slots not skipped; in file
    // display "Next" stops at 121, whose successor's key is a command), 123
    // to 125 and in file display 122 scroll and page the prompt shown. A line
    // command off the Lyric page changes nothing and is not announced; a value
    // outside 0..127 neither.
    void Select(int value, TSelectOrigin origin);
    // The same value in show `show` of the bank, one selection: the show is
    // opened first (the slots of the show left must be saved by those who
    // follow ShowChanging). No such show, or one that cannot be read, changes
    // nothing: ShowMissing or ShowFailed says so.
    void SelectInShow(int show, int value, TSelectOrigin origin);
    // The shows a bank and program may choose from; none: only the show.
    void SetShows(TShowBank *bank) { Bank = bank; }

    int CurrentSlot() const { return Current; }
    // The slot a show starts from (0); not a selection.
    void SetCurrentSlot(int slot);
    bool FileDisplay() const { return Files; }
    void SetFileDisplay(bool fileDisplay) { Files = fileDisplay; }
    TStagePage StagePage() const { return Page; }
    void SetStagePage(TStagePage page) { Page = page; }
    const TSelectionOptions &Options() const { return SelectionOptions; }
    void SetOptions(const TSelectionOptions &options) { SelectionOptions = options; }
    // Where the prompt on the Lyric page stands, asked when a page command
    // may continue to another slot.
    void SetEdgesOfShown(std::function<TPromptEdges()> edges) { EdgesOfShown = std::move(edges); }

    // MIDI input (PromptEngineMidi.cpp). The settings the input thread reads.
    TMidiSettings &Midi() { return MidiSettings; }
    const TMidiSettings &Midi() const { return MidiSettings; }
    // What happens to each message of the open input device, on the thread
    // the MIDI system delivers it on: learning, the latch of the value that
    // selects, the thru echo. It never waits for this object's thread.
    TMidiDispatch &Dispatch() const { return *MidiDispatch; }
    // The release window's length in milliseconds (0 to 2000). A value
    // latched from MIDI is selected once its window has closed, the last of
    // the window's values; at 0 each value is selected at once.
    void SetReleaseWindow(int milliseconds);
    // The release timer's start, asked for by the input thread, and its end.
    void ArmRelease();
    void ReleaseTimer();

signals:
    // Before a value is resolved: views that hold an edit commit it now.
    void SelectionStarting();
    // Before another show's slots replace the show's: edits are committed
    // and the show's changes written now.
    void ShowChanging();
    void ShowMissing(int show);
    void ShowFailed(const QString &text);
    void PromptSelected(const tarvello::TPrompt &prompt);
    // A message taken in learn mode, and an error raised while a message was
    // handled: both on this object's thread.
    void LearnReceived(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void MidiError(const QString &text);

private:
    void createDispatch();
    // A value latched from MIDI, with the show a bank chose for it.
    void SelectCode(std::uint32_t code);
    // A page command that runs off the prompt shown, as Next or Previous.
    int ContinuedValue(int value, int lastShown, bool &fromEnd) const;

    const TShow &Show;
    TShowBank *Bank = nullptr;
    // The next announcement is the first of another show.
    bool ShowOpened = false;
    TMidiSettings MidiSettings;
    std::unique_ptr<TMidiDispatch> MidiDispatch;
    QTimer *Release = nullptr;
    int Current = 0;
    bool Files = false;
    TStagePage Page = TStagePage::Other;
    TSelectionOptions SelectionOptions;
    std::function<TPromptEdges()> EdgesOfShown;
    // The file of the slot last selected in file display, and its neighbours.
    int ResolvedSlot = -1;
    TPromptFile Resolved;
    std::vector<TPromptFile> ResolvedNeighbours;
};

} // namespace tarvello
