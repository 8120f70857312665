#pragma once

#include "show/BlockCopy.h"
#include "show/Show.h"
#include "show/ShowEdits.h"
#include "show/SlotMove.h"

#include <QWidget>

#include <vector>

class QMenu;

namespace tarvello {

class TDialogs;
class TErrorReporter;
class TKeyValueGrid;
class TSidePanel;
enum class TUpDownButton;

// What an edit page's popup menu and side buttons ask of the window.
enum class TListCommand {
    Browse,
    MidiStrings,
    ClearMidiStrings,
    Font,
    Colour,
    OpenList,
    SaveList,
    DeleteEntry,
    ClearList
};

// The makings of one edit page: its names, titles and popup menu.
struct TListEditPageDesign {
    const char *Page;
    const char *Grid;
    QString ValueTitle;
    QString GridHint;
    bool GridHintShown;
    quint32 GridColour;
    // The side panel's names: panel, move box, up-down, copy box, copy start,
    // end and to, MIDI strings, delete; the copy buttons' left and width.
    const char *SideNames[9];
    int CopyLeft;
    int CopyWidth;
    const char *Menu;
    // The names of the menu's first items: "Undo", "Redo" and the separator
    // below them.
    const char *HistoryNames[3];
    // The popup menu after them in order; an item without caption is a
    // separator.
    struct TItem {
        const char *Name;
        const char *Caption;
        TListCommand Command;
    };
    std::vector<TItem> MenuItems;
};

// The two edit pages as the window has them: "Text List Edit" over the text
// lines, "File List Edit" over the file references.
TListEditPageDesign TextListDesign();
TListEditPageDesign FileListDesign();

// "Text List Edit" or "File List Edit": a grid over one field of the show, the
// side panel, the popup menu on a right click. The page moves entries with the
// arrows and copies blocks itself, in the show; the marks and the copy buffer
// belong to the window, which lends them to both pages. The key cell of a slot
// with MIDI strings, and the title row while stray lines are kept, are framed.
//
// Every edit of the page is a step of the show's edits, which "Undo" and
// "Redo" of the menu take back and make again, as Ctrl+Z and Ctrl+Shift+Z (or
// Ctrl+Y) do while the focus is on the page. The stage pages never have it, so
// a key from a pedal never takes an edit back during a show.
class TListEditPage : public QWidget {
    Q_OBJECT

public:
    TListEditPage(const TListEditPageDesign &design, TShowEdits &edits, TSlotField field,
                  TBlockMarks &copyMarks, TCopyBuffer &copyBuffer, TDialogs &dialogs,
                  TErrorReporter &errors, QWidget *parent = nullptr);

    TKeyValueGrid &Grid() const { return *SlotGrid; }

    // A mouse press anywhere in the grid, title row included; `at` is in the
    // grid's own coordinates. A right press on a row selects it and opens the
    // menu.
    void MouseDown(Qt::MouseButton button, QPoint at);
    // The arrows: the selected entry changes place with its neighbour.
    void UpDownClick(TUpDownButton button);
    void CopyStartClick();
    void CopyEndClick();
    // Copies the marked block to the current row (asks about pushing down).
    void CopyToClick();
    // Whether the key cell of a row is framed: its slot has MIDI strings.
    bool MarkedRow(int row) const;
    // "Browse" chooses a file for the current row; the chooser starts in this
    // folder ("Last Dir" in the settings). A file in the working folder or
    // below it is stored relative to it, so the show's folder can move.
    void BrowseClick();
    // The last edit of the show taken back, or made again; what is being typed
    // is committed first, as the latest edit.
    void UndoClick();
    void RedoClick();
    QString BrowseFolder() const { return BrowseDir; }
    void SetBrowseFolder(const QString &folder) { BrowseDir = folder; }

signals:
    // The grid's list click: the operator or the program reached another row.
    void Click();
    void Command(tarvello::TListCommand command);

private:
    void createMenu(const TListEditPageDesign &design, TErrorReporter &errors);
    void createHistoryItems(const TListEditPageDesign &design, TErrorReporter &errors);

    TShowEdits &Edits;
    TShow &Show;
    const TSlotField Field;
    TBlockMarks &CopyMarks;
    TCopyBuffer &CopyBuffer;
    TDialogs &Dialogs;
    TKeyValueGrid *SlotGrid;
    TSidePanel *Panel;
    QMenu *Menu = nullptr;
    // The up-down's position as last seen, to tell a step from a press at the
    // end of its range.
    TUpDownTracker Steps{-1};
    QString BrowseDir = QStringLiteral("./");
};

} // namespace tarvello
