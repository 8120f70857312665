#pragma once

#include "prompt/PromptEngine.h"
#include "support/FindControl.h"
#include "widgets/KeyValueGrid.h"

#include <QLabel>
#include <QListWidget>
#include <QObject>
#include <QStringList>
#include <QTabWidget>
#include <QTextEdit>

namespace tarvello::test {

// The prompt engine of a main window.
inline TPromptEngine &EngineOf(const QObject *window)
{
    return *Control<TPromptEngine>(window, "PromptEngine");
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

} // namespace tarvello::test
