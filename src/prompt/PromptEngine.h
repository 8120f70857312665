#pragma once

#include "prompt/Prompt.h"

#include <QObject>

namespace tarvello {

class TShow;

// The prompt engine: the current slot and the rules that turn a value from
// any source into what the stage shows. A value is resolved once into a
// TPrompt and announced once; the stage pages, the list cursor, the caption,
// band screens and the selection's MIDI all follow that announcement.
class TPromptEngine : public QObject {
    Q_OBJECT

public:
    explicit TPromptEngine(const TShow &show, QObject *parent = nullptr);

    // Acts on a value from 0 to 127: 0..122 select a slot, 126 and 127 the
    // next and previous one (no wrap, empty slots not skipped; in file
    // display "Next" stops at 121, whose successor's key is a command), 123
    // to 125 and in file display 122 scroll and page the prompt shown. A line
    // command off the Lyric page changes nothing and is not announced; a value
    // outside 0..127 neither.
    void Select(int value, TSelectOrigin origin);

    int CurrentSlot() const { return Current; }
    // The slot a show starts from (0); not a selection.
    void SetCurrentSlot(int slot);
    bool FileDisplay() const { return Files; }
    void SetFileDisplay(bool fileDisplay) { Files = fileDisplay; }
    TStagePage StagePage() const { return Page; }
    void SetStagePage(TStagePage page) { Page = page; }

signals:
    void PromptSelected(const tarvello::TPrompt &prompt);

private:
    const TShow &Show;
    int Current = 0;
    bool Files = false;
    TStagePage Page = TStagePage::Other;
    // The file of the slot last selected in file display, and its neighbours.
    int ResolvedSlot = -1;
    TPromptFile Resolved;
    std::vector<TPromptFile> ResolvedNeighbours;
};

} // namespace tarvello
