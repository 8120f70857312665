#include "MainLyricFixture.h"
#include "MainPersistenceFixture.h"

#include "main/StageKeys.h"
#include "main/StageScreen.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfviewer/PdfViewer.h"
#include "touchpad/TouchPad.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlatformSurfaceEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

namespace tarvello::test {
namespace {

// Counts the key presses that reach a control.
class TKeyCounter : public QObject {
public:
    explicit TKeyCounter(QWidget *watched) { watched->installEventFilter(this); }
    int Presses = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        Presses += event->type() == QEvent::KeyPress;
        return false;
    }
};

void Press(TfMain &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(window.windowHandle(), key, modifiers);
}

// A pedal held down: the desktop repeats its key.
void Repeat(TfMain &window, Qt::Key key)
{
    QTest::simulateEvent(window.windowHandle(), true, key, Qt::NoModifier, QString(), true);
}

using TStageKeysTest = TLyricTest;

TEST_F(TStageKeysTest, PageTurnerKeysStepThroughTheShowWhereNothingIsTyped)
{
    // The Display page: a step is the next or previous prompt, Home and End
    // the first and last filled slots, all of it as MIDI would choose them.
    UseDisplayType(0);
    LineGrid()->SetValue("3", "Intro");
    LineGrid()->SetValue("4", "Verse");
    LineGrid()->SetValue("40", "Encore");
    LineGrid()->SetValue("41", "   ");
    SelectValue(3);
    const int sentBefore = SelectionMidiSent;
    PatchName()->setFocus();
    {
        TKeyCounter reached(PatchName());
        Press(*Window, Qt::Key_Right);
        EXPECT_EQ(reached.Presses, 1) << "the option is off";
        EXPECT_EQ(CurrentSlot(), 3);
    }
    Find<QCheckBox>("cbPedalKeys")->setChecked(true);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Space, Qt::Key_PageDown, Qt::Key_Down}) {
        Press(*Window, key);
    }
    EXPECT_EQ(CurrentSlot(), 7);
    EXPECT_EQ(PatchName()->text(), "7 - ");
    EXPECT_EQ(SelectionMidiSent, sentBefore + 4) << "each step selects as MIDI does";
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Up}) {
        Press(*Window, key);
    }
    EXPECT_EQ(CurrentSlot(), 4);
    EXPECT_EQ(PatchName()->text(), "4 - Verse");
    Repeat(*Window, Qt::Key_Right);
    Press(*Window, Qt::Key_Right, Qt::ControlModifier);
    Press(*Window, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(CurrentSlot(), 4) << "a held pedal turns one page; other keys pass";
    Press(*Window, Qt::Key_End);
    EXPECT_EQ(PatchName()->text(), "40 - Encore");
    Press(*Window, Qt::Key_Home);
    EXPECT_EQ(PatchName()->text(), "3 - Intro");
    // The Left key on the tab bar does not change the page.
    Pages()->tabBar()->setFocus();
    Press(*Window, Qt::Key_Left);
    EXPECT_EQ(Pages()->currentWidget(), Page("tsDisplay"));
    EXPECT_EQ(CurrentSlot(), 2);

    // Editors, grids and lists keep their keys, on the edit pages above all.
    EXPECT_TRUE(TakesTypedKeys(LineGrid()));
    EXPECT_TRUE(TakesTypedKeys(Find<QListWidget>("lbMidiIn")));
    QLineEdit cellEditor(LineGrid()->viewport());
    EXPECT_TRUE(TakesTypedKeys(&cellEditor));
    EXPECT_FALSE(TakesTypedKeys(LyricText())) << "read-only";
    OpenPage("tsTextEdit");
    LineGrid()->setFocus();
    TKeyCounter grid(Window->focusWidget());
    Press(*Window, Qt::Key_End);
    EXPECT_EQ(grid.Presses, 1);
    EXPECT_NE(CurrentSlot(), 40);

    // The Lyric page: a step is a page of the document, whichever view has
    // the focus; End is the last slot the page can show (122 only scrolls).
    UseDisplayType(1);
    Find<QCheckBox>("cbPedalKeys")->setChecked(true);
    QByteArray text;
    for (int line = 0; line < 400; ++line) {
        text += "line " + QByteArray::number(line) + "\n";
    }
    Write("long.txt", text);
    WritePdf(Folder.filePath("chart.pdf"), 4);
    Slot(2, "long.txt");
    Slot(5, "chart.pdf");
    Slot(122, "long.txt");
    SelectValue(2);
    QApplication::processEvents();
    QScrollBar *bar = LyricText()->verticalScrollBar();
    LyricText()->setFocus();
    Press(*Window, Qt::Key_Space);
    EXPECT_EQ(bar->value(), bar->pageStep());
    EXPECT_EQ(Window->windowTitle(), "Tarvello v1.4.0 - Midi Patch 124 Item:2 long.txt");
    Press(*Window, Qt::Key_Up);
    EXPECT_EQ(bar->value(), 0);
    Press(*Window, Qt::Key_End);
    EXPECT_EQ(CurrentSlot(), 5);
    auto *control =
        qobject_cast<TPdfDocumentControl *>(Find<TPdfViewer>("PdfViewer")->GetDispatch());
    ASSERT_NE(control, nullptr);
    QWidget *pageView = Find<TPdfViewer>("PdfViewer")->findChild<TPdfPageView *>();
    ASSERT_NE(pageView, nullptr);
    pageView->setFocus();
    ASSERT_EQ(Window->focusWidget(), pageView);
    Press(*Window, Qt::Key_Right);
    Press(*Window, Qt::Key_Down);
    EXPECT_EQ(control->CurrentPage(), 3);
    Press(*Window, Qt::Key_Left);
    EXPECT_EQ(control->CurrentPage(), 2);
    Press(*Window, Qt::Key_Home);
    EXPECT_EQ(CurrentSlot(), 2);
    QApplication::processEvents();

    // The Nav Pad, touched last, hands the pedal on too.
    TfTouch pad(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(&pad);
    pad.show();
    pad.findChild<QPushButton *>("bNextFile")->setFocus();
    QTest::keyClick(pad.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(bar->value(), bar->pageStep()) << "a page down, not a click on Next";
    EXPECT_EQ(CurrentSlot(), 2);
    Window->SetTouchPad(nullptr);
}

TEST_F(TMainWindowTest, FullScreenOnTheStagePagesWithoutTabs)
{
    UseDisplayType(0);
    Window->move(30, 40);
    Window->resize(640, 400);
    QApplication::processEvents();
    const QRect normal(Window->pos(), Window->size());

    OpenPage("tsMidi");
    Press(*Window, Qt::Key_F11);
    EXPECT_FALSE(Window->isFullScreen()) << "not from the settings page";

    OpenPage("tsDisplay");
    Press(*Window, Qt::Key_F11);
    QApplication::processEvents();
    EXPECT_TRUE(Window->isFullScreen());
    EXPECT_EQ(Window->geometry(), Window->screen()->geometry());
    EXPECT_FALSE(Pages()->tabBar()->isVisible());
    // The Nav Pad's "Select" to correct a slot and back keeps it.
    TfTouch pad(100, 100);
    Window->SetTouchPad(&pad);
    Control<QPushButton>(&pad, "bSelect")->click();
    EXPECT_EQ(Pages()->currentWidget(), Page("tsTextEdit"));
    EXPECT_TRUE(Window->isFullScreen());
    Control<QPushButton>(&pad, "bSelect")->click();
    Window->SetTouchPad(nullptr);

    Press(*Window, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(Window->isFullScreen());
    EXPECT_TRUE(Pages()->tabBar()->isVisible());
    EXPECT_EQ(QRect(Window->pos(), Window->size()), normal);
    // Escape is nobody's business outside full screen; F11 leaves it too.
    PatchName()->setFocus();
    {
        TKeyCounter reached(PatchName());
        Press(*Window, Qt::Key_Escape);
        EXPECT_EQ(reached.Presses, 1);
    }
    Press(*Window, Qt::Key_F11);
    Press(*Window, Qt::Key_F11);
    QApplication::processEvents();
    EXPECT_FALSE(Window->isFullScreen());
    EXPECT_EQ(QRect(Window->pos(), Window->size()), normal);

    // A window placed off its screen comes back on the screen it was full on.
    EXPECT_EQ(BoundsOnScreen(QRect(10, 20, 300, 200), QRect(0, 0, 800, 600)),
              QRect(10, 20, 300, 200));
    EXPECT_EQ(BoundsOnScreen(QRect(1900, 20, 900, 700), QRect(0, 0, 800, 600)),
              QRect(0, 0, 800, 600));
    EXPECT_EQ(StageScreenOf("no such screen"), QGuiApplication::primaryScreen());
}

using TStageRestartTest = TPersistenceTest;

TEST_F(TStageRestartTest, AWindowStoredOnAMissingScreenOpensOnThePrimaryOne)
{
    // Enough of the caption bar on some screen to grab it, or not.
    const QList<QRect> desk = {QRect(0, 0, 1600, 900)};
    EXPECT_TRUE(WindowReachable(QRect(40, 60, 851, 503), 24, desk));
    EXPECT_TRUE(WindowReachable(QRect(1500, 60, 851, 503), 24, desk));
    EXPECT_FALSE(WindowReachable(QRect(1516, 60, 851, 503), 24, desk)) << "84 px at the edge";
    EXPECT_FALSE(WindowReachable(QRect(2500, 60, 851, 503), 24, desk));
    EXPECT_FALSE(WindowReachable(QRect(100, -200, 851, 503), 24, desk)) << "the caption above";
    EXPECT_TRUE(WindowReachable(QRect(2500, 60, 851, 503), 24,
                                {QRect(0, 0, 1600, 900), QRect(1600, 0, 1920, 1080)}));

    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray stageBounds =
        "[Screen]\r\nTop=60\r\nHeight=503\r\nLeft=" + QByteArray::number(primary.right() + 900) +
        "\r\nWidth=851\r\n";
    WriteBytes(SettingsPath(), stageBounds);
    Start();
    EXPECT_TRUE(primary.contains(Window->frameGeometry().topLeft()));
    EXPECT_TRUE(WindowReachable(QRect(Window->pos(), Window->size()), 24, {primary}));
    End();
    EXPECT_TRUE(SettingsBytes().contains(stageBounds)) << "kept for the night with the monitor";

    // Moved by the operator in this run: where it stands now is kept.
    Start();
    Window->move(Window->pos() + QPoint(150, 100));
    const QPoint moved = Window->pos();
    End();
    EXPECT_TRUE(SettingsBytes().contains("Left=" + QByteArray::number(moved.x()) + "\r\n"));
    Start();
    EXPECT_EQ(Window->pos(), moved);
    End();
}

TEST_F(TStageRestartTest, FullScreenAndTheKeysComeBackOnTheStoredScreen)
{
    WriteBytes(SettingsPath(), "[Screen]\r\nTop=50\r\nHeight=450\r\nLeft=60\r\nWidth=700\r\n"
                               "[Setting]\r\nDisplayType=1\r\nTouchPad=1\r\n"
                               "[Stage]\r\nPedalKeys=1\r\nFullScreen=1\r\nScreen=HDMI-9\r\n");
    Start();
    EXPECT_TRUE(Find<QCheckBox>("cbPedalKeys")->isChecked());
    EXPECT_TRUE(Window->isFullScreen());
    EXPECT_EQ(Window->screen(), QGuiApplication::primaryScreen()) << "the stored one is missing";
    EXPECT_EQ(Window->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_FALSE(Pages()->tabBar()->isVisible());
    EXPECT_EQ(Pages()->currentWidget(), Page("tsLyric"));
    // The pages cover the whole window, yet its repaint brings the Nav Pad,
    // which stays above the full-screen window as its tool window.
    TfTouch pad(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(&pad);
    Window->update();
    QApplication::processEvents();
    EXPECT_TRUE(pad.isVisible());
    EXPECT_EQ(pad.windowHandle()->transientParent(), Window->windowHandle());
    Window->SetTouchPad(nullptr);
    End();
    QByteArray saved = SettingsBytes();
    EXPECT_TRUE(saved.contains("[Screen]\r\nTop=50\r\nHeight=450\r\nLeft=60\r\nWidth=700\r\n"))
        << "the normal bounds, not the full screen's";
    EXPECT_TRUE(saved.contains("[Stage]\r\nPedalKeys=1\r\nFullScreen=1\r\nScreen=HDMI-9\r\n"))
        << "the missing screen is kept for the next run";

    // Left during the run: the next start is an ordinary window where it was.
    Start();
    Press(*Window, Qt::Key_Escape);
    QApplication::processEvents();
    Find<QCheckBox>("cbPedalKeys")->setChecked(false);
    End();
    Start();
    EXPECT_FALSE(Window->isFullScreen());
    EXPECT_TRUE(Pages()->tabBar()->isVisible());
    EXPECT_FALSE(Find<QCheckBox>("cbPedalKeys")->isChecked());
    EXPECT_EQ(QRect(Window->pos(), Window->size()), QRect(60, 50, 700, 450));
    End();
    saved = SettingsBytes();
    EXPECT_TRUE(saved.contains("[Stage]\r\nPedalKeys=0\r\nFullScreen=0\r\nScreen=HDMI-9\r\n"));

    // What an X11 desktop does when the browser's first use makes the window
    // system replace the native window: the new one comes up out of full
    // screen. Full screen and the pad above it are put back, and Escape then
    // finds the bounds (to within a frame here, whose margins this platform
    // hands out late).
    Start();
    Press(*Window, Qt::Key_F11);
    TfTouch replacedPad(Window->PadPlace().y(), Window->PadPlace().x());
    Window->SetTouchPad(&replacedPad);
    replacedPad.show();
    QPlatformSurfaceEvent gone(QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed);
    QCoreApplication::sendEvent(Window->windowHandle(), &gone);
    replacedPad.windowHandle()->setTransientParent(nullptr);
    QPlatformSurfaceEvent made(QPlatformSurfaceEvent::SurfaceCreated);
    QCoreApplication::sendEvent(Window->windowHandle(), &made);
    Window->setWindowState(Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_TRUE(Window->isFullScreen());
    EXPECT_FALSE(Pages()->tabBar()->isVisible());
    EXPECT_EQ(replacedPad.windowHandle()->transientParent(), Window->windowHandle());
    Press(*Window, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(Window->isMaximized());
    EXPECT_EQ(Window->size(), QSize(700, 450));
    EXPECT_LE((Window->pos() - QPoint(60, 50)).manhattanLength(), 4);
    Window->SetTouchPad(nullptr);
}

TEST_F(TStageRestartTest, TheNavPadKeepsOffTheFullScreenPromptUnlessTheOperatorPutItThere)
{
    WriteBytes(SettingsPath(), "[TouchPad]\r\nTop=203\r\nLeft=372\r\n[Setting]\r\nTouchPad=1\r\n");
    const auto startWithPad = [this](std::unique_ptr<TfTouch> &pad) {
        Start();
        pad = std::make_unique<TfTouch>(Window->PadPlace().y(), Window->PadPlace().x());
        Window->SetTouchPad(pad.get());
        pad->show();
    };
    std::unique_ptr<TfTouch> pad;
    startWithPad(pad);
    const QRect screen = Window->screen()->geometry();
    const QRect home = pad->frameGeometry();
    ASSERT_TRUE(home.intersects(screen));

    // Into the prompt's bottom right corner for full screen, and back after.
    Press(*Window, Qt::Key_F11);
    EXPECT_EQ(pad->frameGeometry().bottomRight(), screen.bottomRight());
    Press(*Window, Qt::Key_Escape);
    EXPECT_EQ(pad->frameGeometry(), home);

    // Put over the prompt by the operator in full screen: it stays there,
    // when full screen ends, when it comes again and after a restart.
    Press(*Window, Qt::Key_F11);
    pad->move(100, 150);
    Press(*Window, Qt::Key_Escape);
    Press(*Window, Qt::Key_F11);
    EXPECT_EQ(pad->pos(), QPoint(100, 150));
    End();
    EXPECT_TRUE(SettingsBytes().contains("Top=150\r\nLeft=100\r\nWidth=170\r\nHeight=124\r\n"
                                         "OverPrompt=1\r\n"));
    startWithPad(pad);
    ASSERT_TRUE(Window->isFullScreen());
    EXPECT_EQ(pad->pos(), QPoint(100, 150));

    // Moved on the desktop, the place is no longer the stage's.
    Press(*Window, Qt::Key_Escape);
    pad->move(300, 40);
    Press(*Window, Qt::Key_F11);
    EXPECT_EQ(pad->frameGeometry().bottomRight(), screen.bottomRight());
    End();
    EXPECT_TRUE(SettingsBytes().contains("Top=40\r\nLeft=300\r\nWidth=170\r\nHeight=124\r\n"
                                         "OverPrompt=0\r\n"))
        << "the pad's own place, not the corner";
}

} // namespace
} // namespace tarvello::test
