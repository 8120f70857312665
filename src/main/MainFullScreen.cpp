#include "main/MainWindow.h"

#include "main/StageScreen.h"
#include "pages/SettingsPage.h"
#include "prompt/StoredSettings.h"
#include "touchpad/TouchPad.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace tarvello {
namespace {

constexpr int ReplacementSettleMs = 2000;

} // namespace

void TfMain::SetFullScreen(bool on)
{
    if (on == StageFullScreen) {
        return;
    }
    // Set first: the state change below is reported to changeEvent at once.
    StageFullScreen = on;
    if (on) {
        NormalBounds = QRect(pos(), size());
        MaximizedBeforeFullScreen = isMaximized();
        ReplacedWhileFullScreen = false;
        setWindowState(windowState() | Qt::WindowFullScreen);
    } else if (!ReplacedWhileFullScreen || MaximizedBeforeFullScreen) {
        // The desktop gives back the bounds (or the maximized state) it had.
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    } else {
        // A native window made while full screen has no other bounds known to
        // the desktop, which may even have taken it for maximized.
        ReplacedWhileFullScreen = false;
        setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
        // Once the window system has dealt with the change of state.
        QTimer::singleShot(0, this, [this, bounds = NormalBounds] {
            if (!StageFullScreen) {
                move(bounds.topLeft());
                resize(bounds.size());
            }
        });
    }
    ShowStageTabs(!on);
    KeepPadOffStage();
}

void TfMain::KeepPadOffStage()
{
    if (!Pad) {
        return;
    }
    const QScreen *stage = StageFullScreen ? screen() : nullptr;
    Pad->SetStageArea(stage ? stage->geometry() : QRect());
}

void TfMain::ShowStageTabs(bool shown)
{
    pcMain->tabBar()->setVisible(shown);
    // Without the page's frame the prompt reaches the screen's edges.
    pcMain->setDocumentMode(!shown);
}

void TfMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The desktop's own full-screen key, or a window manager that ends full
    // screen. While hidden (at shut-down) the desktop may clear the state of
    // a window it no longer shows; the operator's choice stays.
    if (event->type() != QEvent::WindowStateChange || !isVisible()) {
        return;
    }
    const bool full = windowState().testFlag(Qt::WindowFullScreen);
    if (FullScreenAcrossReplacement) {
        // A new native window comes up out of full screen, and the desktop
        // may take a moment to settle on its state: full screen is put back
        // as often as it is lost meanwhile.
        if (*FullScreenAcrossReplacement && !full) {
            QTimer::singleShot(0, this, [this] {
                if (StageFullScreen && !isFullScreen()) {
                    setWindowState(windowState() | Qt::WindowFullScreen);
                }
            });
        }
        return;
    }
    if (full == StageFullScreen) {
        return;
    }
    if (full) {
        NormalBounds = normalGeometry();
        MaximizedBeforeFullScreen = windowState().testFlag(Qt::WindowMaximized);
    }
    StageFullScreen = full;
    ShowStageTabs(!full);
    KeepPadOffStage();
}

void TfMain::NativeWindowReplaced(bool created)
{
    if (!created) {
        if (isVisible()) {
            FullScreenAcrossReplacement = StageFullScreen;
        }
        return;
    }
    if (!FullScreenAcrossReplacement) {
        return; // the first native window
    }
    ReplacedWhileFullScreen = *FullScreenAcrossReplacement && NormalBounds.isValid();
    // The desktop tells the new window's state when it has mapped it, or
    // not at all when it keeps full screen; after a while a change of state
    // is the desktop's own again.
    QTimer::singleShot(ReplacementSettleMs, this, [this] { FullScreenAcrossReplacement.reset(); });
    QTimer::singleShot(0, this, &TfMain::KeepPadAbove);
}

QRect TfMain::WindowBoundsToSave() const
{
    if (StageFullScreen && NormalBounds.isValid()) {
        return NormalBounds;
    }
    const QRect now(pos(), size());
    if (UnreachableBounds && StillWherePlaced(now, PlacedBounds)) {
        return *UnreachableBounds;
    }
    return now;
}

// A show saved with the window on a screen that is not there tonight (the
// stage monitor) opens on the primary screen instead of off the desktop.
void TfMain::KeepWindowReachable()
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    const QRect stored(pos(), size());
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary || WindowReachable(stored, caption, screens)) {
        return;
    }
    // Into the primary screen's top left corner, no larger than it.
    const QRect available = primary->availableGeometry();
    const QRect placed(available.topLeft(), stored.size().boundedTo(available.size()));
    move(placed.topLeft());
    resize(placed.size());
    UnreachableBounds = stored;
    PlacedBounds = placed;
}

void TfMain::RestoreStage(const TStoredSettings &stored)
{
    SettingsPage->SetPedalKeys(stored.PedalKeys);
    MissingStageScreen.clear();
    if (!stored.StageScreen.isEmpty() && !ScreenNamed(stored.StageScreen)) {
        MissingStageScreen = stored.StageScreen;
    }
    UnreachableBounds.reset();
    if (!stored.FullScreen) {
        SetFullScreen(false);
        KeepWindowReachable();
        return;
    }
    // The window is not shown yet: it opens full screen on its screen, and
    // the bounds it comes back to are on that screen too.
    if (QScreen *screen = StageScreenOf(stored.StageScreen)) {
        const QRect bounds = BoundsOnScreen(QRect(pos(), size()), screen->availableGeometry());
        move(bounds.topLeft());
        resize(bounds.size());
        setScreen(screen);
    }
    SetFullScreen(true);
}

void TfMain::CollectStage(TStoredSettings &settings) const
{
    settings.PedalKeys = SettingsPage->PedalKeys();
    settings.FullScreen = StageFullScreen;
    if (!MissingStageScreen.isEmpty()) {
        settings.StageScreen = MissingStageScreen;
    } else if (const QScreen *now = screen()) {
        settings.StageScreen = now->name();
    }
}

} // namespace tarvello
