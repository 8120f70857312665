#include "main/MainWindow.h"

#include "main/ApplicationEventWatch.h"
#include "touchpad/PadSelect.h"
#include "touchpad/TouchPad.h"

#include <QCheckBox>
#include <QEvent>
#include <QTabWidget>
#include <QWindow>

namespace tarvello {

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
    TApplicationEventWatch::Install(this, [this](QObject *watched, QEvent *event) {
        const QEvent::Type type = event->type();
        const bool painted = (watched == this && type == QEvent::Paint) ||
                             (type == QEvent::Expose && watched == windowHandle());
        const bool padAmiss = watched == this && type == QEvent::UpdateRequest && Pad &&
                              Pad->isVisible() != cbTouchPad->isChecked();
        if (painted || padAmiss) {
            cbTouchPadClick();
        }
        return false;
    });
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
    connect(pad, &TfTouch::ValueRequested, this, &TfMain::ActOnValue);
    connect(pad, &TfTouch::SelectRequested, this, &TfMain::NavPadSelect);
    connect(pad, &TfTouch::CloseBoxed, this, [this] { cbTouchPad->setChecked(false); });
    connect(this, &TfMain::LineButtonsEnabledChanged, pad, &TfTouch::SetLineButtonsEnabled);
    pad->SetScrollButtonsEnabled(DisplayType() == 1);
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

TfTouch *TfMain::TouchPad() const
{
    return Pad;
}

void TfMain::NavPadSelect()
{
    QWidget *const pages[] = {tsDisplay, tsLyric, tsTextEdit, tsFileList, tsMidi};
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
