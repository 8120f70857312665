#pragma once

#include "pages/LyricPage.h"
#include "prompt/MidiDispatch.h"
#include "prompt/PromptEngine.h"
#include "support/FindControl.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QObject>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <QTextEdit>

namespace tarvello::test {

// The prompt engine of a main window.
inline TPromptEngine &EngineOf(const QObject *window)
{
    return *Control<TPromptEngine>(window, "PromptEngine");
}

// A value from 0 to 127 as the program's own sources hand it to a main
// window's engine, past any release window.
inline void SelectValue(const QObject *window, int value)
{
    EngineOf(window).Select(value, TSelectOrigin::Program);
}

// The Lyric page of a main window.
inline TLyricPage &LyricPageOf(const QObject *window)
{
    return *Control<TLyricPage>(window, "tsLyric");
}

// The main window's controls as the layout names them (their object names),
// found anew on every call: the tests do not depend on which class of the
// window holds a control. A lookup fails the test unless exactly one control
// of that type and name is there.
class TMainControls {
public:
    template <typename T> T *Find(const char *name) const
    {
        return Control<T>(ControlRoot(), name);
    }

    QTabWidget *Pages() const { return Find<QTabWidget>("pcMain"); }
    // "tsDisplay", "tsLyric", "tsTextEdit", "tsFileList" or "tsMidi".
    QWidget *Page(const char *name) const { return Find<QWidget>(name); }
    QLabel *PatchName() const { return Find<QLabel>("lPatchName"); }
    QTextEdit *LyricText() const { return Find<QTextEdit>("reLyric"); }
    TKeyValueGrid *LineGrid() const { return Find<TKeyValueGrid>("vleLines"); }
    TKeyValueGrid *FileGrid() const { return Find<TKeyValueGrid>("vleFiles"); }
    TLyricPage *LyricPage() const { return &LyricPageOf(ControlRoot()); }
    TPromptEngine &Engine() const { return EngineOf(ControlRoot()); }
    int CurrentSlot() const { return Engine().CurrentSlot(); }

    // A value from 0 to 127 as the program's own sources hand it over, past
    // any release window.
    void SelectValue(int value) const { test::SelectValue(ControlRoot(), value); }

    // The operator's acts on the controls, as a click or a key would make
    // them: each runs the window's handler for that control.
    void OpenPage(const char *name) const { Pages()->setCurrentWidget(Page(name)); }
    // "rgDisplayType": 0 "Text Line", 1 "File (Text or RTF)"; "rgMessage": 0
    // "Patch  (PC)", 1 "Controller (CC)".
    void ChooseItem(const char *radioGroup, int item) const
    {
        Find<TRadioGroup>(radioGroup)->Item(item)->click();
    }
    // A click on a list's row ("lbMidiIn", "lbMidiOut", "lbChannel",
    // "lbController").
    void ClickRow(const char *list, int row) const
    {
        QListWidget *control = Find<QListWidget>(list);
        control->setCurrentRow(row);
        emit control->itemClicked(control->item(row));
    }
    void Click(const char *button) const { Find<QAbstractButton>(button)->click(); }
    // A popup menu's item ("pmConvert", "mLoadFileList", ...).
    void Trigger(const char *action) const { Find<QAction>(action)->trigger(); }

protected:
    TMainControls() = default;
    ~TMainControls() = default;
    // The window whose controls are meant; it may change between calls.
    virtual const QObject *ControlRoot() const = 0;
};

// The texts of a list's items, in order.
inline QStringList ItemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

// The controls of a window that the test makes itself.
class TControlsOf final : public TMainControls {
public:
    explicit TControlsOf(const QObject &window) : Window(&window) {}

private:
    const QObject *ControlRoot() const override { return Window; }
    const QObject *Window;
};

// The display type chosen on "Settings" of a main window, and the show
// started on its display page.
template <typename TWindow> void UseDisplayType(TWindow &window, int type)
{
    TControlsOf(window).ChooseItem("rgDisplayType", type);
    window.StartEmptyShow();
}

} // namespace tarvello::test
