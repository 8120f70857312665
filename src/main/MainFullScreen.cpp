#include "main/MainWindow.h"

#include "main/StageScreen.h"
#include "main/StoredSettings.h"

#include <QCheckBox>
#include <QEvent>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

namespace tarvello {

void TfMain::SetFullScreen(bool on)
{
    if (on == StageFullScreen) {
        return;
    }
    // Set first: the state change below is reported to changeEvent at once.
    StageFullScreen = on;
    if (on) {
        NormalBounds = QRect(pos(), size());
        setWindowState(windowState() | Qt::WindowFullScreen);
    } else {
        // A window that was maximized before is maximized again.
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    }
    ShowStageTabs(!on);
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
    if (full == StageFullScreen) {
        return;
    }
    if (full) {
        NormalBounds = normalGeometry();
    }
    StageFullScreen = full;
    ShowStageTabs(!full);
}

QRect TfMain::WindowBoundsToSave() const
{
    if (StageFullScreen && NormalBounds.isValid()) {
        return NormalBounds;
    }
    return QRect(pos(), size());
}

void TfMain::RestoreStage(const TStoredSettings &stored)
{
    cbPedalKeys->setChecked(stored.PedalKeys);
    MissingStageScreen.clear();
    if (!stored.StageScreen.isEmpty() && !ScreenNamed(stored.StageScreen)) {
        MissingStageScreen = stored.StageScreen;
    }
    if (!stored.FullScreen) {
        SetFullScreen(false);
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
    settings.PedalKeys = cbPedalKeys->isChecked();
    settings.FullScreen = StageFullScreen;
    if (!MissingStageScreen.isEmpty()) {
        settings.StageScreen = MissingStageScreen;
    } else if (const QScreen *now = screen()) {
        settings.StageScreen = now->name();
    }
}

} // namespace tarvello
