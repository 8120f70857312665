#include "prompt/AutoScroll.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvello {
namespace {

TEST(AutoScroll, ThePositionFollowsTheTimeThroughPausesMovesAndGrowth)
{
    // 1000 pixels in 100 seconds: 10 pixels a second, from t = 50.
    TAutoScroll scroll(100);
    EXPECT_FALSE(scroll.Active());
    scroll.Restart(50, 0, 1000);
    EXPECT_TRUE(scroll.Moving(50));
    EXPECT_DOUBLE_EQ(scroll.Position(60), 100);
    // Asked late, or twice for one moment: where the time says.
    EXPECT_DOUBLE_EQ(scroll.Position(75), 250);
    EXPECT_DOUBLE_EQ(scroll.Position(75), 250);
    EXPECT_DOUBLE_EQ(scroll.SecondsLeft(75), 75);

    // Paused, the position and the time left stand still; resumed, both go on.
    scroll.Pause(75);
    scroll.Pause(80);
    EXPECT_DOUBLE_EQ(scroll.Position(200), 250);
    EXPECT_DOUBLE_EQ(scroll.SecondsLeft(200), 75);
    EXPECT_FALSE(scroll.Moving(200));
    scroll.TogglePause(300);
    EXPECT_DOUBLE_EQ(scroll.Position(310), 350);

    // A command pauses and the next resumes; one held down is one press.
    scroll.Command(310);
    scroll.Command(310.1);
    scroll.Command(310.5);
    EXPECT_TRUE(scroll.Paused());
    scroll.Command(311);
    EXPECT_FALSE(scroll.Paused());
    EXPECT_DOUBLE_EQ(scroll.Position(311), 350);

    // Moved by hand: on from there at the same pace, paused or not.
    scroll.MovedTo(311, 100);
    EXPECT_DOUBLE_EQ(scroll.Position(321), 200);
    scroll.TogglePause(321);
    scroll.MovedTo(330, 5000);
    EXPECT_DOUBLE_EQ(scroll.Position(340), 1000);
    scroll.MovedTo(340, -20);
    EXPECT_DOUBLE_EQ(scroll.Position(340), 0);
    scroll.Resume(400);

    // The document grows while it loads: no jump, and the pace is the new
    // whole in the same time.
    scroll.SetRange(410, 4000);
    EXPECT_DOUBLE_EQ(scroll.Position(410), 100);
    EXPECT_DOUBLE_EQ(scroll.Position(420), 500);
    // It shrinks below the position: the end.
    scroll.SetRange(420, 300);
    EXPECT_DOUBLE_EQ(scroll.Position(420), 300);
    EXPECT_FALSE(scroll.Moving(420));
    EXPECT_DOUBLE_EQ(scroll.SecondsLeft(420), 0);

    // A new pace from where it stands.
    scroll.Restart(500, 0, 1000);
    scroll.SetSecondsForWhole(510, 10);
    EXPECT_DOUBLE_EQ(scroll.Position(511), 200);

    // A new prompt starts again, unpaused; nothing to scroll is no error.
    scroll.Pause(511);
    scroll.Restart(600, 0, 0);
    EXPECT_FALSE(scroll.Paused());
    EXPECT_DOUBLE_EQ(scroll.Position(700), 0);
    EXPECT_DOUBLE_EQ(scroll.SecondsLeft(700), 0);
    scroll.Stop();
    EXPECT_FALSE(scroll.Active());
    scroll.TogglePause(700);
    EXPECT_FALSE(scroll.Paused());
}

TEST(AutoScroll, ANewPromptWaitsOutItsCountInWhateverHappensMeanwhile)
{
    TAutoScroll scroll(100);
    scroll.SetStartDelay(4);
    scroll.Restart(10, 0, 1000);
    EXPECT_DOUBLE_EQ(scroll.Position(13.9), 0);
    EXPECT_TRUE(scroll.Moving(12)) << "the clock keeps running to start on time";
    // The document grows as it loads: the count-in is not cut short.
    scroll.SetRange(12, 2000);
    EXPECT_DOUBLE_EQ(scroll.Position(14), 0);
    EXPECT_DOUBLE_EQ(scroll.Position(15), 20);
    // Paused in the count-in, it waits for the resume.
    scroll.Restart(100, 0, 1000);
    scroll.Command(101);
    EXPECT_DOUBLE_EQ(scroll.Position(200), 0);
    scroll.Command(200);
    EXPECT_DOUBLE_EQ(scroll.Position(210), 100);
    scroll.SetStartDelay(-3);
    scroll.Restart(300, 0, 1000);
    EXPECT_DOUBLE_EQ(scroll.Position(301), 10);
}

TEST(AutoScroll, BadTimesAndLengthsGiveTheDefaultOrStandStill)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double seconds : {0.0, -5.0, nan, inf}) {
        EXPECT_DOUBLE_EQ(TAutoScroll(seconds).SecondsForWhole(), DefaultScrollSeconds);
    }
    TAutoScroll scroll(100);
    scroll.SetSecondsForWhole(0, -1);
    EXPECT_DOUBLE_EQ(scroll.SecondsForWhole(), DefaultScrollSeconds);

    scroll.SetSecondsForWhole(0, 100);
    scroll.Restart(10, nan, 1000);
    EXPECT_DOUBLE_EQ(scroll.Position(20), 100);
    // A clock that goes back stands still instead of scrolling backwards.
    EXPECT_DOUBLE_EQ(scroll.Position(5), 0);
    EXPECT_DOUBLE_EQ(scroll.Position(nan), 0);
    scroll.SetRange(20, nan);
    EXPECT_DOUBLE_EQ(scroll.Range(), 0);
    scroll.SetRange(20, inf);
    EXPECT_DOUBLE_EQ(scroll.Range(), 0);
}

} // namespace
} // namespace tarvello
