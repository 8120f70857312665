#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <vector>

namespace tarvello {

// Where a selection came from. Every source selects the same way; the list
// click is the one whose selection MIDI goes out again for the row already
// current.
enum class TSelectOrigin { Program, Midi, NavPad, ListClick, StageKey, Remote, PageChange, Osc };

// The page of the main window a selection is shown on: the two stage pages,
// or one of the others (the edit pages and "Settings"), which show nothing.
enum class TStagePage { Display, Lyric, Other };

// What a slot's file reference comes to, found once per selection.
enum class TPromptKind {
    None,       // an empty reference or no such file: the slot's number and text
    WebAddress, // anything with "//": the browser, never looked for on disk
    Browser,    // a picture or HTML file
    Pdf,
    RichText, // text and RTF
    BadPage   // a page suffix that is no number: Error says why
};

struct TPromptFile {
    TPromptKind Kind = TPromptKind::None;
    // The reference without its page suffix, and for an existing file its
    // absolute path.
    QString Reference;
    QString Path;
    int Page = 1;
    QString Error;
    // The reference as the slot stores it (page suffix included), and the
    // slot: a neighbour is made ready with the numbered line it is shown with.
    QString Stored;
    int Slot = -1;
};

// Resolves a stored file reference: its page suffix, whether the file is
// there, and which view takes it. Never throws: a bad page number is a kind.
TPromptFile ResolvePromptFile(const QString &stored);

// One value acted on, resolved once.
struct TPrompt {
    int Value = 0; // as it came, 0..127
    TSelectOrigin Origin = TSelectOrigin::Program;
    TStagePage Page = TStagePage::Other;
    bool FileDisplay = false;
    // The current slot after the value, and whether the value moved it.
    int Slot = 0;
    bool SlotChanged = false;
    // Another show was opened for this value: whatever the slot, all is new.
    bool ShowChanged = false;
    // The show open, and how many there are (a caption names the show only
    // where there is more than one).
    int ShowNumber = 0;
    QString ShowName;
    int ShowCount = 1;
    // Numbers as the operator reads them, from 1.
    bool FromOne = false;
    // False for the line commands of file display (122, 123), which move no
    // slot and only scroll the prompt shown.
    bool Selects = true;
    // A scroll or page command (122..125, Shown) on the prompt already
    // shown, rather than a slot to show.
    bool Command = false;
    // What the stage shows: the slot, or the command's value.
    int Shown = 0;
    // The slot's text in the display type's field (the line, or the stored
    // file reference with its page suffix).
    QString Stored;
    // File display, a slot shown: its file.
    TPromptFile File;
    // Shown from its end (its last page): a page up that went back from the
    // top of the slot after it.
    bool FromEnd = false;
    // File display, a slot shown: the files a performer goes to from here,
    // the next slot's first, resolved as the prompt's own.
    std::vector<TPromptFile> Neighbours;
};

// Whether the prompt on stage is scrolled to its top, or to its end (its
// last page); a prompt that fits its view is at both.
struct TPromptEdges {
    bool AtTop = true;
    bool AtEnd = true;
};

// The window caption for a prompt, as the operator knows it: "Tarvello
// v1.4.0 - Midi Patch 5" (or "... Midi Controller 102 Value 5"), and on the
// Lyric page " Item:" with the slot, then an existing file's reference (a
// command adds the slot's stored reference, page suffix included). A value
// that moved the slot is named by the slot, as a click on its row would be.
QString PromptCaption(const TPrompt &prompt, bool patchMode, int controller);

} // namespace tarvello

Q_DECLARE_METATYPE(tarvello::TPrompt)
