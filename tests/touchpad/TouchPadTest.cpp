#include "touchpad/TouchPad.h"
#include "core/TarvelloError.h"
#include "touchpad/PadPlacement.h"
#include "touchpad/PadSelect.h"

#include "support/CaptionFit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest/qtestspontaneevent.h>

#include <gtest/gtest.h>

#include <vector>

namespace tarvello {
namespace {

QPushButton *PadButton(TfTouch &pad, const char *name)
{
    auto *button = pad.findChild<QPushButton *>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

// Records every navigation value the pad asks for.
struct TValueLog {
    explicit TValueLog(TfTouch &pad)
    {
        QObject::connect(&pad, &TfTouch::ValueRequested, &pad,
                         [this](int value) { Values.push_back(value); });
    }
    std::vector<int> Values;
};

// Spins the event loop until at least `count` values arrived or the time ran out.
bool WaitForValues(const TValueLog &log, size_t count, int timeoutMs = 5000)
{
    return QTest::qWaitFor([&] { return log.Values.size() >= count; }, timeoutMs);
}

// Presses and releases go in through the window, as the window system's do, so
// that Qt picks the receiver and the mouse grab itself.
void PressOnWindow(TfTouch &pad, QPushButton *button, Qt::MouseButton mouse)
{
    QTest::mousePress(pad.windowHandle(), mouse, {}, button->geometry().center());
}

void ReleaseOnWindow(TfTouch &pad, QPushButton *button, Qt::MouseButton mouse)
{
    QTest::mouseRelease(pad.windowHandle(), mouse, {}, button->geometry().center());
}

// The three rows: "Page Up" and "Line Up" over the gaps of "Previous",
// "Select" and "Next", "Page Dn" and "Line Dn" under them.
void ExpectPadRows(TfTouch &pad)
{
    const auto bounds = [&pad](const char *name) { return PadButton(pad, name)->geometry(); };
    const QRect previous = bounds("bPrevFile");
    const QRect select = bounds("bSelect");
    const QRect next = bounds("bNextFile");
    EXPECT_EQ(previous.left(), 0);
    EXPECT_EQ(next.right(), pad.width() - 1);
    EXPECT_LT(previous.right(), select.left());
    EXPECT_LT(select.right(), next.left());
    const auto overGap = [](const QRect &button, const QRect &before, const QRect &after) {
        const int middle = (before.right() + after.left()) / 2;
        return std::abs(button.center().x() - middle) <= 1;
    };
    for (const char *name : {"bPageUp", "bPageDown"}) {
        EXPECT_TRUE(overGap(bounds(name), previous, select)) << name;
    }
    for (const char *name : {"bLineUp", "bLineDown"}) {
        EXPECT_TRUE(overGap(bounds(name), select, next)) << name;
    }
    EXPECT_EQ(bounds("bPageUp").top(), 0);
    EXPECT_LT(bounds("bPageUp").bottom(), select.top());
    EXPECT_LT(select.bottom(), bounds("bPageDown").top());
    EXPECT_EQ(bounds("bLineDown").bottom(), pad.height() - 1);
    for (QPushButton *button : pad.findChildren<QPushButton *>()) {
        EXPECT_NEAR(button->width(), select.width(), 1) << button->objectName().toStdString();
        EXPECT_NEAR(button->height(), select.height(), 1) << button->objectName().toStdString();
    }
}

TEST(TouchPad, WindowLooksAsDesigned)
{
    TfTouch pad(203, 372);
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(pad.windowTitle(), "Nav Pad");
    EXPECT_EQ(pad.windowType(), Qt::Tool);
    EXPECT_TRUE(pad.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(pad.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(pad.size(), QSize(170, 124));
    EXPECT_EQ(pad.font().family(), "Tahoma");
    EXPECT_EQ(pad.font().pixelSize(), 11);
    EXPECT_TRUE(pad.autoFillBackground());
    EXPECT_EQ(pad.palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_FALSE(pad.testAttribute(Qt::WA_QuitOnClose));

    const char *captions[][2] = {
        {"bPageUp", "Page Up"},   {"bLineUp", "Line Up"}, {"bPrevFile", "Previous"},
        {"bSelect", "Select"},    {"bNextFile", "Next"},  {"bPageDown", "Page Dn"},
        {"bLineDown", "Line Dn"},
    };
    pad.show();
    for (const auto &[name, caption] : captions) {
        QPushButton *button = PadButton(pad, name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), caption) << name;
        EXPECT_TRUE(button->isEnabled()) << name;
        EXPECT_GE(button->height(), 40) << name;
    }
    ExpectPadRows(pad);
    EXPECT_EQ(pad.findChildren<QPushButton *>().size(), 7);
}

TEST(TouchPad, ResizedPadGrowsItsButtonsAndCaptions)
{
    TfTouch pad(100, 100);
    pad.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pad));
    EXPECT_EQ(pad.minimumSize(), QSize(170, 124));
    EXPECT_GT(pad.maximumSize().width(), 1000);
    const QSize before = PadButton(pad, "bSelect")->size();
    EXPECT_EQ(test::ClippedCaptions(&pad), QStringList());

    // The operator makes it twice as large: so are the buttons and captions.
    pad.resize(340, 248);
    QCoreApplication::processEvents();
    const QSize after = PadButton(pad, "bSelect")->size();
    EXPECT_NEAR(after.width(), 2 * before.width(), 4);
    EXPECT_NEAR(after.height(), 2 * before.height(), 4);
    EXPECT_EQ(PadButton(pad, "bNextFile")->font().pixelSize(), 22);
    EXPECT_EQ(test::ClippedCaptions(&pad), QStringList());
    ExpectPadRows(pad);
    // Wider only: the captions stay as wide as the buttons let them be.
    pad.resize(680, 124);
    QCoreApplication::processEvents();
    EXPECT_EQ(pad.font().pixelSize(), 11);
    EXPECT_EQ(pad.SettingsSize(), QSize(680, 124));

    // A stored size below the design's is the design's; one beyond every
    // screen is held to the screen but kept for the settings.
    pad.SetPadSize(QSize(60, 30));
    EXPECT_EQ(pad.size(), QSize(170, 124));
    const QSize screen = pad.screen()->availableGeometry().size();
    pad.SetPadSize(screen * 3);
    EXPECT_EQ(pad.size(), screen);
    EXPECT_EQ(pad.SettingsSize(), screen * 3);
}

TEST(TouchPad, FramePlacedAtStoredPositionAndKeptInViewForSaving)
{
    TfTouch pad(203, 372);
    pad.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pad));
    EXPECT_EQ(pad.frameGeometry().topLeft(), QPoint(372, 203));
    EXPECT_EQ(pad.SettingsPosition(), QPoint(372, 203));

    pad.SetPadPosition(40, 500);
    EXPECT_EQ(pad.frameGeometry().topLeft(), QPoint(500, 40));

    // Stored on a screen that is no longer there: pulled back into view.
    const QRect screen = pad.screen()->availableGeometry();
    const QPoint beyond(screen.right() + 3000, screen.bottom() + 400);
    pad.SetPadPosition(beyond.y(), beyond.x());
    EXPECT_TRUE(screen.contains(pad.frameGeometry()));
    // Kept for the day that screen is back, unless the operator moves the pad.
    EXPECT_EQ(pad.SettingsPosition(), beyond);
    pad.move(100, 120);
    EXPECT_EQ(pad.SettingsPosition(), QPoint(100, 120));

    // Partly beyond the top or left edge: that coordinate is kept as 0.
    pad.SetPadPosition(-30, 15);
    EXPECT_EQ(pad.SettingsPosition(), QPoint(15, 0));
    pad.SetPadPosition(12, -80);
    EXPECT_EQ(pad.SettingsPosition(), QPoint(0, 12));

    // A hidden pad still reports where it stands.
    pad.SetPadPosition(300, 500);
    pad.hide();
    EXPECT_EQ(pad.SettingsPosition(), QPoint(500, 300));
}

TEST(TouchPad, PadStaysWithinReachOfAScreen)
{
    const QSize pad(170, 150);
    const QList<QRect> twoScreens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};

    // On either screen, or partly beyond an edge with its caption still to be
    // grabbed, it stays where it was put.
    EXPECT_EQ(PadPositionInView({372, 203}, pad, twoScreens), QPoint(372, 203));
    EXPECT_EQ(PadPositionInView({2500, 900}, pad, twoScreens), QPoint(2500, 900));
    EXPECT_EQ(PadPositionInView({-100, -60}, pad, twoScreens), QPoint(-100, -60));
    EXPECT_EQ(PadPositionInView({1850, 500}, pad, twoScreens), QPoint(1850, 500));

    // The second screen was unplugged: back to the edge of the first.
    const QList<QRect> oneScreen = {twoScreens.front()};
    EXPECT_EQ(PadPositionInView({2500, 900}, pad, oneScreen), QPoint(1750, 900));
    // Only a sliver left in view is not enough.
    EXPECT_EQ(PadPositionInView({-160, 300}, pad, oneScreen), QPoint(0, 300));
    EXPECT_EQ(PadPositionInView({600, 1075}, pad, oneScreen), QPoint(600, 930));
    // Far off, it goes to the nearest screen.
    EXPECT_EQ(PadPositionInView({9000, -5000}, pad, twoScreens), QPoint(3030, 0));
    // A screen below the first, offset to the left.
    const QList<QRect> stacked = {QRect(0, 0, 1920, 1080), QRect(-400, 1080, 1024, 768)};
    EXPECT_EQ(PadPositionInView({-1000, 1500}, pad, stacked), QPoint(-400, 1500));

    // With no screen known nothing can be judged.
    EXPECT_EQ(PadPositionInView({5000, 5000}, pad, {}), QPoint(5000, 5000));
}

TEST(TouchPad, ClicksAskForTheirNavigationValues)
{
    TfTouch pad(203, 372);
    pad.show();
    TValueLog log(pad);
    QSignalSpy selects(&pad, &TfTouch::SelectRequested);

    const char *order[] = {"bPageUp",   "bLineUp",   "bPrevFile",
                           "bNextFile", "bPageDown", "bLineDown"};
    for (const char *name : order) {
        QTest::mouseClick(PadButton(pad, name), Qt::LeftButton);
    }
    EXPECT_EQ(log.Values, (std::vector<int>{125, 123, 127, 126, 124, 122}));
    EXPECT_EQ(selects.count(), 0);

    QTest::mouseClick(PadButton(pad, "bSelect"), Qt::LeftButton);
    EXPECT_EQ(selects.count(), 1);
    EXPECT_EQ(log.Values.size(), 6u);

    // The keyboard clicks a focused button too.
    QPushButton *next = PadButton(pad, "bNextFile");
    next->setFocus();
    QTest::keyClick(next, Qt::Key_Space);
    ASSERT_EQ(log.Values.size(), 7u);
    EXPECT_EQ(log.Values.back(), 126);
}

TEST(TouchPad, ScrollAndLineButtonsFollowWhatIsShown)
{
    TfTouch pad(203, 372);
    auto enabled = [&pad](const char *name) { return PadButton(pad, name)->isEnabled(); };

    // A text line: only the prompt steps and "Select" are left.
    pad.SetScrollButtonsEnabled(false);
    for (const char *name : {"bPageUp", "bPageDown", "bLineUp", "bLineDown"}) {
        EXPECT_FALSE(enabled(name)) << name;
    }
    for (const char *name : {"bPrevFile", "bNextFile", "bSelect"}) {
        EXPECT_TRUE(enabled(name)) << name;
    }

    // A file, showing a PDF document: it pages but does not scroll by lines.
    pad.SetScrollButtonsEnabled(true);
    pad.SetLineButtonsEnabled(false);
    EXPECT_TRUE(enabled("bPageUp"));
    EXPECT_TRUE(enabled("bPageDown"));
    EXPECT_FALSE(enabled("bLineUp"));
    EXPECT_FALSE(enabled("bLineDown"));

    pad.SetLineButtonsEnabled(true);
    EXPECT_TRUE(enabled("bLineUp"));
    EXPECT_TRUE(enabled("bLineDown"));
}

TEST(TouchPad, ShortTapMovesExactlyOneLine)
{
    TfTouch pad(203, 372);
    pad.show();
    TValueLog log(pad);
    QPushButton *lineDown = PadButton(pad, "bLineDown");

    QTest::mousePress(lineDown, Qt::LeftButton);
    QTest::qWait(300);
    EXPECT_TRUE(log.Values.empty()) << "no repeat before a second has passed";
    QTest::mouseRelease(lineDown, Qt::LeftButton);
    EXPECT_EQ(log.Values, std::vector<int>{122});

    QTest::qWait(1300);
    EXPECT_EQ(log.Values, std::vector<int>{122}) << "the release ended the hold";
}

TEST(TouchPad, LeftHoldRepeatsAfterASecondThenFastAndReleaseAddsTheClick)
{
    TfTouch pad(203, 372);
    pad.show();
    TValueLog log(pad);
    QPushButton *lineUp = PadButton(pad, "bLineUp");

    QTest::mousePress(lineUp, Qt::LeftButton);
    QTest::qWait(500);
    EXPECT_TRUE(log.Values.empty());
    ASSERT_TRUE(WaitForValues(log, 1));
    // Steps now come ten a second; a one-second interval would give at most two.
    QTest::qWait(1000);
    const size_t held = log.Values.size();
    EXPECT_GE(held, 4u);
    EXPECT_LE(held, 13u);

    QTest::mouseRelease(lineUp, Qt::LeftButton);
    ASSERT_EQ(log.Values.size(), held + 1) << "the click adds its one step";
    QTest::qWait(400);
    EXPECT_EQ(log.Values.size(), held + 1);
    for (int value : log.Values) {
        EXPECT_EQ(value, 123);
    }
}

TEST(TouchPad, RightHoldRepeatsButItsReleaseIsNoClick)
{
    TfTouch pad(203, 372);
    pad.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pad));
    TValueLog log(pad);
    QPushButton *lineDown = PadButton(pad, "bLineDown");

    PressOnWindow(pad, lineDown, Qt::RightButton);
    QTest::qWait(500);
    EXPECT_TRUE(log.Values.empty());
    ASSERT_TRUE(WaitForValues(log, 3));
    ReleaseOnWindow(pad, lineDown, Qt::RightButton);
    const size_t held = log.Values.size();
    QTest::qWait(400);
    EXPECT_EQ(log.Values.size(), held);
    for (int value : log.Values) {
        EXPECT_EQ(value, 122);
    }

    // A right tap shorter than a second moves nothing at all.
    log.Values.clear();
    PressOnWindow(pad, lineDown, Qt::RightButton);
    ReleaseOnWindow(pad, lineDown, Qt::RightButton);
    QTest::qWait(1300);
    EXPECT_TRUE(log.Values.empty());

    // A left tap through the window is the one ordinary step.
    PressOnWindow(pad, lineDown, Qt::LeftButton);
    ReleaseOnWindow(pad, lineDown, Qt::LeftButton);
    EXPECT_EQ(log.Values, std::vector<int>{122});
}

TEST(TouchPad, HoldEndsWhenItsButtonIsDisabledOrThePadHidden)
{
    TfTouch pad(203, 372);
    pad.show();
    TValueLog log(pad);
    QPushButton *lineDown = PadButton(pad, "bLineDown");

    // A PDF document comes up during the hold: the disabled button would never
    // see the release.
    QTest::mousePress(lineDown, Qt::LeftButton);
    ASSERT_TRUE(WaitForValues(log, 1));
    pad.SetLineButtonsEnabled(false);
    const size_t atDisable = log.Values.size();
    QTest::qWait(500);
    EXPECT_EQ(log.Values.size(), atDisable);

    // Disabling the other line button leaves a hold alone.
    pad.SetLineButtonsEnabled(true);
    log.Values.clear();
    QTest::mousePress(lineDown, Qt::LeftButton);
    PadButton(pad, "bLineUp")->setEnabled(false);
    ASSERT_TRUE(WaitForValues(log, 2));
    QTest::mouseRelease(lineDown, Qt::LeftButton);
    PadButton(pad, "bLineUp")->setEnabled(true);

    // A press on a disabled button starts nothing.
    log.Values.clear();
    pad.SetLineButtonsEnabled(false);
    QTest::mousePress(lineDown, Qt::LeftButton);
    QTest::qWait(1300);
    EXPECT_TRUE(log.Values.empty());
    QTest::mouseRelease(lineDown, Qt::LeftButton);
    pad.SetLineButtonsEnabled(true);

    log.Values.clear();
    QTest::mousePress(lineDown, Qt::LeftButton);
    pad.hide();
    QTest::qWait(1300);
    EXPECT_TRUE(log.Values.empty());
}

TEST(TouchPad, FailingStepEndsTheHold)
{
    TfTouch pad(203, 372);
    pad.show();
    int attempts = 0;
    QObject::connect(&pad, &TfTouch::ValueRequested, &pad, [&attempts](int) {
        ++attempts;
        throw TError(QStringLiteral("Scroll failed"));
    });
    auto *timer = pad.findChild<QTimer *>(QStringLiteral("PadTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());

    QPushButton *lineDown = PadButton(pad, "bLineDown");
    QTest::mousePress(lineDown, Qt::LeftButton);
    ASSERT_TRUE(timer->isActive());
    // The application shows an escaped error in its error box; here the tick
    // is delivered by hand so that the error comes back to the test.
    QTimerEvent tick(timer->timerId());
    EXPECT_THROW(QCoreApplication::sendEvent(timer, &tick), TError);
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(timer->isActive());
    QTest::qWait(400);
    EXPECT_EQ(attempts, 1);
}

TEST(TouchPad, CloseBoxHidesAndTellsOnlyWhenTheOperatorClosedIt)
{
    TfTouch pad(203, 372);
    QSignalSpy closeBoxed(&pad, &TfTouch::CloseBoxed);
    pad.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pad));

    QCloseEvent byOperator;
    // Delivered as the window system delivers the close box: sendEvent() would
    // take the spontaneous mark off again.
    QSpontaneKeyEvent::setSpontaneous(&byOperator);
    QCoreApplication::instance()->notify(&pad, &byOperator);
    EXPECT_TRUE(byOperator.isAccepted());
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(closeBoxed.count(), 1);

    // Shown again, it stands where it was.
    pad.show();
    EXPECT_TRUE(pad.isVisible());
    EXPECT_EQ(pad.frameGeometry().topLeft(), QPoint(372, 203));

    // The program closing its windows (as on the way out) keeps "Nav Pad".
    EXPECT_TRUE(pad.close());
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(closeBoxed.count(), 1);

    // Quitting closes the windows that are still shown, the pad among them.
    pad.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pad));
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(closeBoxed.count(), 1);
}

TEST(TouchPad, SelectSwitchesBetweenListAndDisplayPage)
{
    using P = TPadPage;
    const auto text = TPadDisplayType::TextLine;
    const auto file = TPadDisplayType::File;
    EXPECT_EQ(PadSelectTarget(text, P::Display), P::TextListEdit);
    EXPECT_EQ(PadSelectTarget(text, P::TextListEdit), P::Display);
    EXPECT_EQ(PadSelectTarget(text, P::Settings), P::TextListEdit);
    EXPECT_EQ(PadSelectTarget(file, P::Lyric), P::FileListEdit);
    EXPECT_EQ(PadSelectTarget(file, P::FileListEdit), P::Lyric);
    EXPECT_EQ(PadSelectTarget(file, P::Settings), P::FileListEdit);
    // The other type's pages have their tabs hidden; should one still be active
    // (the type was switched on it), "Select" goes to the list page.
    EXPECT_EQ(PadSelectTarget(text, P::FileListEdit), P::TextListEdit);
    EXPECT_EQ(PadSelectTarget(file, P::TextListEdit), P::FileListEdit);
    // Pressed twice from the settings page it ends on the display page.
    EXPECT_EQ(PadSelectTarget(file, PadSelectTarget(file, P::Settings)), P::Lyric);
    EXPECT_EQ(PadSelectTarget(text, PadSelectTarget(text, P::Settings)), P::Display);
}

} // namespace
} // namespace tarvello
