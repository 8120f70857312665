#include "main/MainWindow.h"

#include "prompt/PromptEngine.h"

#include "main/ApplicationEventWatch.h"
#include "main/StageKeys.h"
#include "pages/DisplayPage.h"
#include "pages/ListEditPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "touchpad/PadSelect.h"
#include "touchpad/TouchPad.h"
#include "widgets/ErrorReporter.h"
#include "widgets/KeyValueGrid.h"

#include <QEvent>
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
    TApplicationEventWatch::Install(
        this, Guarded(*ErrorBox, [this](QObject *watched, QEvent *event) {
            if (!watched->isWindowType()) {
                return false;
            }
            if (event->type() == QEvent::PlatformSurface && watched == windowHandle()) {
                NativeWindowReplaced(
                    static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() ==
                    QPlatformSurfaceEvent::SurfaceCreated);
                return false;
            }
            return event->type() == QEvent::KeyPress &&
                   StageKeyPress(static_cast<QWindow *>(watched), *static_cast<QKeyEvent *>(event));
        }));
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
    // Wherever the focus is: learning swallows the next message.
    if (LearnArmed && event.key() == Qt::Key_Escape) {
        CancelLearning();
        return true;
    }
    const TStageKey key = StageKeyOf(event.key(), event.modifiers());
    QWidget *page = pcMain->currentWidget();
    const bool stagePage = page == DisplayPage || page == LyricPage;
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
    case TStageKey::NextShow:
    case TStageKey::PreviousShow:
        // On every page, pedal keys or not; an editor keeps its own keys.
        if (TakesTypedKeys(focus) && !stagePage) {
            return false;
        }
        if (!event.isAutoRepeat()) {
            StepShow(key == TStageKey::NextShow);
        }
        return true;
    default:
        break;
    }

    if (!SettingsPage->PedalKeys() || !stagePage || TakesTypedKeys(focus)) {
        return false;
    }
    // A pedal held down a moment too long makes the desktop repeat its key;
    // one press turns one page.
    if (event.isAutoRepeat()) {
        return true;
    }
    const bool lyric = page == LyricPage;
    if (key == TStageKey::Forward || key == TStageKey::Back) {
        Select(StageStepValue(key, lyric), TSelectOrigin::StageKey);
        return true;
    }
    // On the Lyric page 122 is the line-down command, so its last slot
    // there is 121.
    const TKeyValueGrid &grid = GridOfDisplayType();
    const std::optional<int> slot =
        FilledSlotAtEnd([&grid](int s) { return grid.Value(QString::number(s)); },
                        lyric ? LastSlotKey - 1 : LastSlotKey, key == TStageKey::Last);
    if (slot) {
        Select(*slot, TSelectOrigin::StageKey);
    }
    return true;
}

void TfMain::watchPaintForTouchPad()
{
    // Every paint of this window brings the pad back to the front when its box
    // is checked, so that a pad on a touch screen never stays buried behind it.
    // Where the pages cover all of the window, as in full screen, the window
    // itself gets no paint event: its exposure on the screen counts, and so
    // does a repaint of its pages (the update request of the whole window) for
    // a pad that is not shown as its box says. The pages repaint at every
    // frame of an autoscroll; raising the pad each time would restack the
    // desktop's windows sixty times a second.
    TApplicationEventWatch::Install(
        this, Guarded(*ErrorBox, [this](QObject *watched, QEvent *event) {
            const QEvent::Type type = event->type();
            const bool painted = (watched == this && type == QEvent::Paint) ||
                                 (type == QEvent::Expose && watched == windowHandle());
            const bool padAmiss = watched == this && type == QEvent::UpdateRequest && Pad &&
                                  Pad->isVisible() != SettingsPage->TouchPadShown();
            if (painted || padAmiss) {
                cbTouchPadClick();
            }
            return false;
        }));
}

void TfMain::SetTouchPad(TfTouch *pad)
{
    if (Pad) {
        Pad->disconnect(this);
        disconnect(this, nullptr, Pad, nullptr);
    }
    Pad = pad;
    if (!pad) {
        return;
    }
    connect(pad, &TfTouch::ValueRequested, this,
            Guarded(*ErrorBox, [this](int value) { Select(value, TSelectOrigin::NavPad); }));
    connect(pad, &TfTouch::SelectRequested, this, Guarded(*ErrorBox, [this] { NavPadSelect(); }));
    connect(pad, &TfTouch::CloseBoxed, this,
            Guarded(*ErrorBox, [this] { SettingsPage->SetTouchPadShown(false); }));
    connect(this, &TfMain::LineButtonsEnabledChanged, pad, &TfTouch::SetLineButtonsEnabled);
    connect(pad, &TfTouch::PlaceChanged, this, [this] { ChangeToSave(); });
    pad->SetScrollButtonsEnabled(DisplayType() == 1);
    pad->SetPadSize(PadSize);
    pad->SetKeptOverPrompt(PadOverPrompt);
    KeepPadOffStage();
    KeepPadAbove();
}

void TfMain::KeepPadAbove()
{
    // A full-screen window is stacked above every ordinary window of the
    // desktop; as this window's own tool window the pad stays above it. The
    // desktop learns it when the pad is shown.
    if (!Pad) {
        return;
    }
    winId();
    Pad->winId();
    if (QWindow *padWindow = Pad->windowHandle()) {
        padWindow->setTransientParent(windowHandle());
    }
    if (Pad->isVisible()) {
        Pad->hide();
        Pad->show();
    }
}

void TfMain::NavPadSelect()
{
    QWidget *const pages[] = {DisplayPage, LyricPage, TextPage, FilePage, SettingsPage};
    QWidget *current = pcMain->currentWidget();
    TPadPage active = TPadPage::Settings;
    for (int i = 0; i < 5; ++i) {
        if (pages[i] == current) {
            active = static_cast<TPadPage>(i);
        }
    }
    const TPadPage target = PadSelectTarget(
        DisplayType() == 0 ? TPadDisplayType::TextLine : TPadDisplayType::File, active);
    SetActivePage(pages[static_cast<int>(target)]);
    pcMainChange();
}

} // namespace tarvello
