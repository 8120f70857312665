#pragma once

#include "show/Show.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <functional>

namespace tarvello {

// All three fields of one slot.
struct TSlotState {
    QString Line;
    QString File;
    QStringList MidiStrings;

    friend bool operator==(const TSlotState &, const TSlotState &) = default;
};

// The operator's edits of the show as steps that Undo takes back and Redo
// makes again. A step keeps, for every slot the edit changed, all three fields
// as they were before and after it, whichever of the show's operations made
// the change (a typed value, a block copy with push down, a cleared list), and
// Undo and Redo write them back through the show's own operations: the grids,
// the band screens and all else that follows the show's changes follow them.
//
// Only the operator's edits of slots are steps. What replaces whole lists (a
// list file opened, a show loaded) is not one: it calls Forget(), since the
// steps before it would write old entries into a show they no longer know.
class TShowEdits : public QObject {
    Q_OBJECT

public:
    explicit TShowEdits(TShow &show, QObject *parent = nullptr);
    ~TShowEdits() override;

    TShow &Show() const { return Target; }
    // The steps, for the controls that offer Undo and Redo and show their
    // state.
    QUndoStack &History() { return Steps; }
    // The steps kept for undo; the oldest go first.
    static constexpr int UndoLimit = 500;

    // Runs `edit` on the show as one step called `name`. A step that changes
    // nothing is not kept; a step begun inside another belongs to the outer
    // one.
    void Run(const QString &name, const std::function<void(TShow &)> &edit);

    // Nothing happens while a step is under way or when there is nothing to
    // take back (or make again).
    void Undo();
    void Redo();
    void Forget();

    // A step kept open for as long as it lives, for a command that asks the
    // operator between its changes ("Clear All Prompts" and then "Clear Midi
    // Strings"): whatever changed in the show meanwhile is the one step.
    class TStep {
    public:
        TStep(TShowEdits &edits, const QString &name);
        ~TStep();
        TStep(const TStep &) = delete;
        TStep &operator=(const TStep &) = delete;

    private:
        TShowEdits &Edits;
    };

private:
    void Begin(const QString &name);
    void End();

    TShow &Target;
    QUndoStack Steps;
    int OpenSteps = 0;
    QString OpenName;
    std::array<TSlotState, SlotCount> Before;
};

} // namespace tarvello
