#include "main/MainWindow.h"

#include "main/ApplicationEventWatch.h"
#include "main/StageKeys.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPlatformSurfaceEvent>
#include <QTabWidget>
#include <QWindow>

namespace tarvello {

void TfMain::connectStageKeys()
{
    // The key presses the desktop delivers to the program's windows, before
    // the window hands them to its focus control: a browser or a PDF view with
    // the focus would otherwise scroll on its own, and the tab bar would change
    // page on Left and Right. And the coming and going of this window's native
    // window.
    TApplicationEventWatch::Install(this, [this](QObject *watched, QEvent *event) {
        if (!watched->isWindowType()) {
            return false;
        }
        if (event->type() == QEvent::PlatformSurface && watched == windowHandle()) {
            NativeWindowReplaced(static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() ==
                                 QPlatformSurfaceEvent::SurfaceCreated);
            return false;
        }
        return event->type() == QEvent::KeyPress &&
               StageKeyPress(static_cast<QWindow *>(watched), *static_cast<QKeyEvent *>(event));
    });
}

bool TfMain::StageKeyPress(const QWindow *window, const QKeyEvent &event)
{
    QWidget *focus = nullptr;
    if (window && window == windowHandle()) {
        focus = focusWidget();
    } else if (window && Pad && window == Pad->windowHandle()) {
        focus = Pad->focusWidget();
    } else {
        return false; // another program window: the MIDI strings editor, a dialog
    }
    const TStageKey key = StageKeyOf(event.key(), event.modifiers());
    QWidget *page = pcMain->currentWidget();
    const bool stagePage = page == tsDisplay || page == tsLyric;
    switch (key) {
    case TStageKey::None:
        return false;
    case TStageKey::LeaveFullScreen:
        if (!StageFullScreen) {
            return false;
        }
        SetFullScreen(false);
        return true;
    case TStageKey::ToggleFullScreen:
        if (!StageFullScreen && !stagePage) {
            return false;
        }
        // A held key would make the screen flicker.
        if (!event.isAutoRepeat()) {
            SetFullScreen(!StageFullScreen);
        }
        return true;
    default:
        break;
    }

    if (!cbPedalKeys->isChecked() || !stagePage || TakesTypedKeys(focus)) {
        return false;
    }
    // A pedal held down a moment too long makes the desktop repeat its key;
    // one press turns one page.
    if (event.isAutoRepeat()) {
        return true;
    }
    const bool lyric = page == tsLyric;
    if (key == TStageKey::Forward || key == TStageKey::Back) {
        ActOnValue(StageStepValue(key, lyric));
        return true;
    }
    // On the Lyric page 122 is the line-down command, so its last slot
    // there is 121.
    const TKeyValueGrid *grid = GridOfDisplayType();
    const std::optional<int> slot =
        FilledSlotAtEnd([grid](int s) { return grid->Value(QString::number(s)); },
                        lyric ? LastSlotKey - 1 : LastSlotKey, key == TStageKey::Last);
    if (slot) {
        ActOnValue(*slot);
    }
    return true;
}

} // namespace tarvello
