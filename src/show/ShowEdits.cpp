#include "show/ShowEdits.h"

#include <QUndoCommand>

#include <utility>
#include <vector>

namespace tarvello {
namespace {

TSlotState StateOf(const TShow &show, int slot)
{
    return {show.Line(slot), show.File(slot), show.MidiStrings(slot)};
}

void Write(TShow &show, int slot, const TSlotState &state)
{
    show.SetLine(slot, state.Line);
    show.SetFile(slot, state.File);
    show.SetMidiStrings(slot, state.MidiStrings);
}

struct TSlotChange {
    int Slot;
    TSlotState Before;
    TSlotState After;
};

// One step: the slots it changed, each whole as it was and as it became.
class TShowEditCommand : public QUndoCommand {
public:
    TShowEditCommand(TShow &show, const QString &name, std::vector<TSlotChange> changes)
        : QUndoCommand(name), Show(show), Changes(std::move(changes))
    {
    }

    void undo() override
    {
        for (const TSlotChange &change : Changes) {
            Write(Show, change.Slot, change.Before);
        }
    }

    void redo() override
    {
        // The stack makes a step as it takes it; the edit has been made.
        if (std::exchange(Made, false)) {
            return;
        }
        for (const TSlotChange &change : Changes) {
            Write(Show, change.Slot, change.After);
        }
    }

private:
    TShow &Show;
    std::vector<TSlotChange> Changes;
    bool Made = true;
};

} // namespace

TShowEdits::TShowEdits(TShow &show, QObject *parent) : QObject(parent), Target(show)
{
    // An evening of edits, not every keystroke since the program started:
    // a step can hold all 123 slots.
    Steps.setUndoLimit(UndoLimit);
}

TShowEdits::~TShowEdits() = default;

void TShowEdits::Run(const QString &name, const std::function<void(TShow &)> &edit)
{
    const TStep step(*this, name);
    edit(Target);
}

void TShowEdits::Begin(const QString &name)
{
    if (OpenSteps++ > 0) {
        return;
    }
    OpenName = name;
    for (int slot = 0; slot < SlotCount; ++slot) {
        Before[size_t(slot)] = StateOf(Target, slot);
    }
}

void TShowEdits::End()
{
    if (--OpenSteps > 0) {
        return;
    }
    std::vector<TSlotChange> changes;
    for (int slot = 0; slot < SlotCount; ++slot) {
        TSlotState after = StateOf(Target, slot);
        TSlotState &before = Before[size_t(slot)];
        if (after != before) {
            changes.push_back({slot, std::move(before), std::move(after)});
        }
        before = {};
    }
    if (!changes.empty()) {
        Steps.push(new TShowEditCommand(Target, OpenName, std::move(changes)));
    }
}

void TShowEdits::Undo()
{
    if (OpenSteps == 0) {
        Steps.undo();
    }
}

void TShowEdits::Redo()
{
    if (OpenSteps == 0) {
        Steps.redo();
    }
}

void TShowEdits::Forget()
{
    Steps.clear();
}

TShowEdits::TStep::TStep(TShowEdits &edits, const QString &name) : Edits(edits)
{
    Edits.Begin(name);
}

TShowEdits::TStep::~TStep()
{
    Edits.End();
}

} // namespace tarvello
