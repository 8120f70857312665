#include "prompt/PromptEngine.h"

#include "core/SlotTypes.h"
#include "prompt/MidiDispatch.h"
#include "core/ErrorText.h"
#include "show/Show.h"
#include "show/ShowBank.h"

#include <algorithm>
#include <utility>

namespace tarvello {

TPromptEngine::TPromptEngine(const TShow &show, QObject *parent) : QObject(parent), Show(show)
{
    setObjectName(QStringLiteral("PromptEngine"));
    qRegisterMetaType<TPrompt>();
    createDispatch();
}

TPromptEngine::~TPromptEngine() = default;

void TPromptEngine::SetCurrentSlot(int slot)
{
    Current = std::clamp(slot, 0, LastSlotKey);
}

void TPromptEngine::Select(int value, TSelectOrigin origin)
{
    if (value < 0 || value > PreviousPromptValue) {
        return;
    }
    // Slot 122 of the file list cannot be shown (its key is the line-down
    // command), so "Next" stops at 121 there.
    const int lastShown = Files ? LastSlotKey - 1 : LastSlotKey;
    bool fromEnd = false;
    value = ContinuedValue(value, lastShown, fromEnd);
    // Showing files, 122 and 123 are the line commands of the Lyric page
    // wherever they come from: they never select a slot, and off the Lyric
    // page they have nothing to scroll, so they change nothing there.
    const bool lineCommand = Files && (value == LineDownValue || value == LineUpValue);
    if (lineCommand && Page != TStagePage::Lyric) {
        return;
    }
    // A bank waits for the Program Change that follows it, not for a
    // selection made some other way in between.
    if (origin != TSelectOrigin::Midi) {
        MidiDispatch->ClearBanks();
    }
    emit SelectionStarting();
    TPrompt prompt;
    prompt.Value = value;
    prompt.Origin = origin;
    prompt.Page = Page;
    prompt.FileDisplay = Files;
    prompt.Selects = !lineCommand;
    prompt.FromEnd = fromEnd;
    const int before = Current;
    int shown = value;
    if (prompt.Selects) {
        if (value <= LastSlotKey) {
            Current = value;
        } else if (value == NextPromptValue) {
            // A slot 122 left current by the text lines also lands on 121.
            Current = std::min(Current + 1, lastShown);
            shown = Current;
        } else if (value == PreviousPromptValue) {
            Current = std::max(Current - 1, 0);
            shown = Current;
        }
    }
    prompt.SlotChanged = Current != before;
    prompt.ShowChanged = std::exchange(ShowOpened, false);
    prompt.FromOne = SelectionOptions.NumbersFromOne;
    if (Bank) {
        prompt.ShowNumber = Bank->Current();
        prompt.ShowName = Bank->CurrentEntry().Name;
        prompt.ShowCount = Bank->List().Count();
    }
    prompt.Slot = Current;
    prompt.Command = !prompt.Selects || (value > LastSlotKey && value < NextPromptValue);
    prompt.Shown = shown;
    const TSlotField field = Files ? TSlotField::File : TSlotField::Line;
    prompt.Stored = Show.Text(field, Current);
    if (Files && (!prompt.Command || ResolvedSlot != Current)) {
        // Each selection finds its file once; a command on the prompt shown
        // goes with the file found for it.
        Resolved = ResolvePromptFile(prompt.Stored);
        Resolved.Slot = Current;
        ResolvedNeighbours.clear();
        // Next, then previous: what a performer goes to from here.
        for (const int other : {Current + 1, Current - 1}) {
            if (other >= 0 && other <= lastShown && !Show.File(other).isEmpty()) {
                ResolvedNeighbours.push_back(ResolvePromptFile(Show.File(other)));
                ResolvedNeighbours.back().Slot = other;
            }
        }
        ResolvedSlot = Current;
    }
    if (Files) {
        prompt.File = Resolved;
        prompt.Neighbours = ResolvedNeighbours;
    }
    emit PromptSelected(prompt);
}

void TPromptEngine::SelectInShow(int show, int value, TSelectOrigin origin)
{
    if (!Bank || show == Bank->Current()) {
        Select(value, origin);
        return;
    }
    if (!Bank->List().Has(show)) {
        emit ShowMissing(show);
        return;
    }
    emit ShowChanging();
    try {
        Bank->Open(show);
    } catch (...) {
        emit ShowFailed(ErrorMessageOf(std::current_exception()));
        return;
    }
    // Nothing found for the show left stands for this one.
    ResolvedSlot = -1;
    ShowOpened = true;
    Select(value, origin);
}

int TPromptEngine::ContinuedValue(int value, int lastShown, bool &fromEnd) const
{
    if (!SelectionOptions.PageTurnerContinues || !Files || Page != TStagePage::Lyric ||
        !EdgesOfShown || (value != PageDownValue && value != PageUpValue)) {
        return value;
    }
    const TPromptEdges edges = EdgesOfShown();
    // At the first or the last slot there is nowhere to go: the command
    // stays on the prompt, as without the option.
    if (value == PageDownValue && edges.AtEnd && Current < lastShown) {
        return NextPromptValue;
    }
    if (value == PageUpValue && edges.AtTop && Current > 0) {
        fromEnd = true;
        return PreviousPromptValue;
    }
    return value;
}

} // namespace tarvello
