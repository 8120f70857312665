#include "prompt/MidiDispatch.h"

#include "core/TarvelloError.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <optional>
#include <vector>

namespace tarvello {
namespace {

using namespace std::chrono_literals;
using TBytes = std::array<std::uint8_t, 3>;

// The dispatch with its settings and a record of everything it hands on.
class MidiDispatchTest : public ::testing::Test {
protected:
    MidiDispatchTest()
    {
        Dispatch.Echo = [this](int device, std::uint8_t s, std::uint8_t d1, std::uint8_t d2) {
            if (EchoFails) {
                throw TError(QStringLiteral("List index out of bounds (%1)").arg(device));
            }
            Echoed.push_back({s, d1, d2});
        };
        Dispatch.PostArmRelease = [this] { ++Arms; };
        Dispatch.PostLearn = [this](std::uint8_t s, std::uint8_t d1, std::uint8_t d2) {
            Learned.push_back({s, d1, d2});
        };
        Dispatch.PostError = [this](const QString &text) { Errors << text; };
        Dispatch.Now = [this] { return Clock; };
    }

    void Send(std::uint8_t s, std::uint8_t d1 = 0, std::uint8_t d2 = 0)
    {
        Dispatch.MidiInputEvent(0, s, d1, d2);
    }

    std::atomic<int> Type{0xC0};
    std::atomic<int> Channel{0};
    std::atomic<int> Controller{102};
    std::atomic<int> Output{0};
    std::atomic<bool> Thru{false};
    std::atomic<int> ShowController{-1};
    std::atomic<bool> SongSelect{false};
    TMidiDispatch Dispatch{{Type, Channel, Controller, Output, Thru, ShowController, SongSelect}};

    TReleaseWindow::TTime Clock{1h};
    bool EchoFails = false;
    std::vector<TBytes> Echoed;
    std::vector<TBytes> Learned;
    int Arms = 0;
    QStringList Errors;
};

TEST_F(MidiDispatchTest, PatchModeLatchesTheProgramOnTheChosenChannelOnly)
{
    Send(0xC1, 5); // channel 2
    Send(0xB0, 102, 9);
    EXPECT_EQ(Arms, 0);

    Send(0xC0, 3);
    Send(0xC0, 9);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 9);
    // One hand-over per window.
    EXPECT_EQ(Arms, 1);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), 9);
    Send(0xC0, 126);
    EXPECT_EQ(Arms, 2);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 126);

    Channel = 15;
    Send(0xCF, 7);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 7);
}

TEST_F(MidiDispatchTest, ControllerModeTakesOnlyTheChosenController)
{
    Type = 0xB0;
    Send(0xB0, 1, 64);   // modulation wheel
    Send(0xB0, 64, 127); // sustain pedal
    Send(0xC0, 5);
    Send(0xB1, 102, 5);
    EXPECT_EQ(Arms, 0);

    Send(0xB0, 102, 64);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 64);
    Send(0xB0, 1, 3);
    Send(0xB0, 102, 0x7E);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 0x7E);
    EXPECT_EQ(Arms, 1);

    // No controller chosen: nothing selects.
    Controller = -1;
    Dispatch.TakeReleasedValue();
    Send(0xB0, 0x7F, 1);
    EXPECT_EQ(Arms, 1);
}

TEST_F(MidiDispatchTest, ThruEchoesEverythingButActiveSensingUnchanged)
{
    Thru = true;
    Output = 3;
    Send(0xC0, 5);
    Send(0xC5, 5);
    Send(0x90, 60, 100);
    Send(0xF8);
    Send(0xFE);
    Send(0xE0, 0, 64);
    const std::vector<TBytes> expected{
        {0xC0, 5, 0}, {0xC5, 5, 0}, {0x90, 60, 100}, {0xF8, 0, 0}, {0xE0, 0, 64}};
    EXPECT_EQ(Echoed, expected);

    Thru = false;
    Send(0xC0, 6);
    EXPECT_EQ(Echoed.size(), expected.size());
}

TEST_F(MidiDispatchTest, LearnTakesTheNextMessageButActiveSensing)
{
    Thru = true;
    Dispatch.StartLearning();
    Send(0xFE);
    EXPECT_TRUE(Dispatch.Learning());
    Send(0xB2, 0x0B, 0x7F);
    EXPECT_FALSE(Dispatch.Learning());
    EXPECT_EQ(Learned, (std::vector<TBytes>{{0xB2, 0x0B, 0x7F}}));
    // Neither echoed nor latched.
    EXPECT_TRUE(Echoed.empty());
    EXPECT_EQ(Arms, 0);

    // The message behind it is handled as usual, before the window has
    // applied what was learned.
    Send(0xC0, 4);
    EXPECT_EQ(Learned.size(), 1u);
    EXPECT_EQ(Echoed.size(), 1u);
    EXPECT_EQ(Arms, 1);

    // A Note On also ends learn mode; the window turns it down.
    Dispatch.StartLearning();
    Send(0x90, 60, 1);
    EXPECT_FALSE(Dispatch.Learning());
    EXPECT_EQ(Learned.size(), 2u);
}

TEST_F(MidiDispatchTest, LearningDoesNotDropAValueLatchedBefore)
{
    Send(0xC0, 8);
    Dispatch.StartLearning();
    Send(0xB2, 11, 5);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 8);
    EXPECT_EQ(Arms, 1);
}

TEST_F(MidiDispatchTest, AFailingEchoIsReportedOnceWhileItKeepsFailing)
{
    Thru = true;
    EchoFails = true;
    for (int i = 0; i < 1000; ++i) {
        Send(0xC0, 5);
    }
    EXPECT_EQ(Errors, (QStringList{"List index out of bounds (0)"}));
    // The selection still happens.
    EXPECT_EQ(Arms, 1);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 5);

    Output = 7;
    Send(0xC0, 5);
    EXPECT_EQ(Errors.size(), 2);

    // Once a message goes through, the same failure is news again.
    EchoFails = false;
    Send(0xC0, 5);
    EchoFails = true;
    Send(0xC0, 5);
    EXPECT_EQ(Errors.size(), 3);
}

TEST_F(MidiDispatchTest, TheReleaseWindowRunsFromItsFirstValueAndActsOnceOnItsLast)
{
    Send(0xC0, 3);
    // The window's thread takes the request up late: the timer runs for what
    // is left of the 300 ms.
    Clock += 250ms;
    EXPECT_EQ(Dispatch.ReleaseDelay(), 50ms);
    // A value right at the timeout, before the timer's handler has run.
    Clock += 50ms;
    Send(0xC0, 9);
    EXPECT_EQ(Arms, 1);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), 9);
    // Acted on once: no request finds anything left to start a timer for.
    EXPECT_EQ(Dispatch.ReleaseDelay(), std::nullopt);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), std::nullopt);

    // The next value opens the next window; taken up after it has passed,
    // the timer runs out at once.
    Send(0xC0, 9);
    EXPECT_EQ(Arms, 2);
    Clock += 1s;
    EXPECT_EQ(Dispatch.ReleaseDelay(), 0ms);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), 9);
}

TEST_F(MidiDispatchTest, AWindowOfZeroActsOnEachValueOnceAndInOrder)
{
    std::vector<int> acted;
    Dispatch.PostActOnValue = [&acted](std::uint8_t value) { acted.push_back(value); };

    // A window still running when the length becomes 0 takes what reaches it.
    Send(0xC0, 3);
    Dispatch.SetReleaseWindow(0ms);
    Send(0xC0, 4);
    EXPECT_TRUE(acted.empty());
    EXPECT_EQ(Dispatch.ReleaseDelay(), 0ms);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), 4);

    Thru = true;
    Send(0xC0, 5);
    Send(0xC0, 126);
    Send(0xC1, 7); // another channel
    Type = 0xB0;
    Send(0xB0, 1, 9); // another controller
    Send(0xB0, 102, 64);
    EXPECT_EQ(acted, (std::vector<int>{5, 126, 64}));
    EXPECT_EQ(Arms, 1);
    EXPECT_EQ(Dispatch.PendingMidiValue(), 64);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), std::nullopt);
    EXPECT_EQ(Echoed.size(), 5u);

    // Learning still takes the message instead of acting on it.
    Dispatch.StartLearning();
    Send(0xB0, 102, 10);
    EXPECT_EQ(acted.size(), 3u);

    // Held to 0..2000 ms; back on a length, values wait for their window again.
    Dispatch.SetReleaseWindow(5000ms);
    EXPECT_EQ(Dispatch.ReleaseWindow(), 2000ms);
    Dispatch.SetReleaseWindow(-1ms);
    EXPECT_EQ(Dispatch.ReleaseWindow(), 0ms);
    Dispatch.SetReleaseWindow(50ms);
    Send(0xB0, 102, 11);
    EXPECT_EQ(acted.size(), 3u);
    EXPECT_EQ(Dispatch.ReleaseDelay(), 50ms);
}

TEST_F(MidiDispatchTest, AThrowingHandOverLosesNeitherTheNextValueNorLearning)
{
    Dispatch.PostArmRelease = [] { throw TError(QStringLiteral("no window")); };
    Send(0xC0, 1);
    // The failed hand-over is tried again with the next value.
    Dispatch.PostArmRelease = [this] { ++Arms; };
    Send(0xC0, 2);
    EXPECT_EQ(Arms, 1);
    EXPECT_EQ(Dispatch.TakeReleasedValue(), 2);

    Dispatch.PostLearn = [](std::uint8_t, std::uint8_t, std::uint8_t) {
        throw TError(QStringLiteral("no window"));
    };
    Dispatch.StartLearning();
    Send(0xB0, 1, 1);
    EXPECT_FALSE(Dispatch.Learning());
    Send(0xC0, 4);
    EXPECT_EQ(Arms, 2);
}

// A bank and its program are one selection: the bank waits for the Program
// Change of its channel, goes with it, and is forgotten after it or when
// something else selects.
TEST_F(MidiDispatchTest, ABankGoesWithTheNextProgramChangeOfItsChannel)
{
    const auto selected = [this] {
        const auto code = Dispatch.TakeReleasedValue();
        return code ? std::pair{ShowOfCode(*code), int(ValueOfCode(*code))} : std::pair{-9, -9};
    };
    Send(0xB0, 0, 0);
    Send(0xB0, 32, 2);
    EXPECT_EQ(Arms, 0) << "a bank alone selects nothing";
    EXPECT_EQ(Dispatch.LatchedBank(0), 2);
    Send(0xC0, 5);
    EXPECT_EQ(selected(), (std::pair{2, 5}));
    Send(0xC0, 6);
    EXPECT_EQ(selected(), (std::pair{-1, 6})) << "the bank was taken by one Program Change";

    // MSB and LSB in either order; the half not sent is 0; a bank on another
    // channel waits for a Program Change there.
    Send(0xB0, 32, 1);
    Send(0xB0, 0, 3);
    Send(0xB1, 0, 9);
    Send(0xC0, 7);
    EXPECT_EQ(selected(), (std::pair{3 * 128 + 1, 7}));
    EXPECT_EQ(Dispatch.LatchedBank(1), 9 * 128);
    Dispatch.ClearBanks();
    EXPECT_EQ(Dispatch.LatchedBank(1), -1);

    // Controller mode: the show controller opens a show at its first slot;
    // Song Select only when asked for.
    Type = 0xB0;
    ShowController = 20;
    Send(0xB0, 20, 4);
    EXPECT_EQ(selected(), (std::pair{4, 0}));
    Send(0xF3, 9);
    EXPECT_EQ(selected(), (std::pair{-9, -9}));
    SongSelect = true;
    Send(0xF3, 9);
    EXPECT_EQ(selected(), (std::pair{-1, 9}));
}

} // namespace
} // namespace tarvello
