// Where the program's windows open, as the X server and its window manager
// place them (with-xvfb --wm runs openbox on a 1280 x 1024 screen).
#include "X11Support.h"

#include <QTest>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

TEST(X11Placement, AWindowSavedOnAMissingScreenOpensOnThisOne)
{
    // Saved on the stage monitor to the right of a 1600 px desktop.
    const QByteArray onStage = "[Screen]\r\nTop=60\r\nHeight=503\r\nLeft=2500\r\nWidth=851\r\n";
    TProgramCopy program(onStage);
    ASSERT_TRUE(program.Valid());
    ASSERT_TRUE(program.Start({QStringLiteral("Tarvello v")}));
    // The caption starts so whatever the version.
    const std::optional<QRect> found = XWindowGeometry(QStringLiteral("Tarvello v"));
    EXPECT_TRUE(program.Stop());
    ASSERT_TRUE(found.has_value()) << "the main window is on the screen";
    const QRect window = *found;
    EXPECT_GT(window.width(), 0);
    EXPECT_GE(window.left(), 0);
    EXPECT_LE(window.right(), 1279) << window.left() << " to " << window.right();
    EXPECT_GE(window.top(), 0);
    EXPECT_TRUE(program.Settings().contains(onStage)) << "kept for the night with the monitor";
}

TEST(X11Placement, AFullScreenStartPutsTheNavPadInTheCornerFrameAndAll)
{
    TProgramCopy program("[TouchPad]\r\nTop=203\r\nLeft=372\r\nWidth=200\r\nHeight=150\r\n"
                         "[Setting]\r\nTouchPad=1\r\n[Stage]\r\nFullScreen=1\r\n");
    ASSERT_TRUE(program.Valid());
    ASSERT_TRUE(program.Start({QStringLiteral("Tarvello v"), QStringLiteral("Nav Pad")}));
    // The window manager's frame is known once the pad is up: the pad moves
    // in by it, so that its buttons are all on the screen.
    std::optional<QRect> pad;
    const bool inCorner = QTest::qWaitFor(
        [&] {
            pad = XWindowGeometry(QStringLiteral("Nav Pad"));
            return pad && pad->right() <= 1279 && pad->bottom() <= 1023;
        },
        5000);
    EXPECT_TRUE(program.Stop());
    ASSERT_TRUE(pad.has_value());
    EXPECT_TRUE(inCorner) << pad->right() << ", " << pad->bottom();
    EXPECT_EQ(pad->size(), QSize(200, 150));
    EXPECT_GE(pad->right(), 1279 - 10) << "at most a frame's border from the edge";
    EXPECT_GE(pad->bottom(), 1023 - 10);
    EXPECT_TRUE(program.Settings().contains("Top=203\r\nLeft=372\r\nWidth=200\r\nHeight=150\r\n"))
        << "the pad's own place is kept";
}

} // namespace
} // namespace tarvello::test
