// Where the program's main window opens, as the X server and its window
// manager place it (with-xvfb --wm runs openbox on a 1280 x 1024 screen).
#include "X11Support.h"

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

} // namespace
} // namespace tarvello::test
