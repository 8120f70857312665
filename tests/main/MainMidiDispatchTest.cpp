#include "MainMidiFixture.h"

#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <chrono>
#include <thread>

namespace tarvello::test {
namespace {

using namespace std::chrono_literals;

using TDispatchWindowTest = TMainMidiTest;

TEST_F(TDispatchWindowTest, APatchSelectsItsSlotOnceWhenTheWindowEnds)
{
    Find<QCheckBox>("cbMidiOut")->setChecked(true);
    Receive("C105"); // channel 2
    Receive("B00540");
    EXPECT_FALSE(Find<QTimer>("MidiRelease")->isActive());

    // The window's thread is busy from the first message on: the window of
    // 300 ms still ends 300 ms after that message, not after this thread
    // gets round to it.
    QElapsedTimer clock;
    clock.start();
    Receive("C003");
    std::this_thread::sleep_for(100ms);
    Receive("C009");
    std::this_thread::sleep_for(150ms);
    QApplication::processEvents();
    // Nothing is shown while the window runs.
    EXPECT_TRUE(Find<QTimer>("MidiRelease")->isActive());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0"));
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 9; }));
    EXPECT_GE(clock.elapsed(), 300);
    // A timer started when the thread was free again would end at 550 ms.
    EXPECT_LT(clock.elapsed(), 400);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 9"));
    Spin(400);
    // One selection: the message rebuilt for slot 9 only.
    EXPECT_EQ(SentHex(), (QStringList{"c00900"}));
}

TEST_F(TDispatchWindowTest, AReleaseWindowOfZeroSelectsEachPatchOnceWithoutATimer)
{
    Find<QCheckBox>("cbMidiOut")->setChecked(true);
    Find<QSpinBox>("seReleaseWindow")->setValue(0);
    Receive("C005");
    Receive("C009");
    Receive("C07E");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 10; }));
    EXPECT_FALSE(Find<QTimer>("MidiRelease")->isActive());
    Spin(100);
    // Each value once, in order, with its own MIDI.
    EXPECT_EQ(SentHex(), (QStringList{"c00500", "c00900", "c00a00"}));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 10"));

    // Back to a window: a run is one selection again.
    Find<QSpinBox>("seReleaseWindow")->setValue(100);
    Receive("C003");
    Receive("C004");
    EXPECT_TRUE(Find<QTimer>("MidiRelease")->isActive() ||
                WaitFor([&] { return Find<QTimer>("MidiRelease")->isActive(); }, 50));
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 4; }));
    Spin(150);
    EXPECT_EQ(SentHex().mid(3), (QStringList{"c00400"}));
}

TEST_F(TDispatchWindowTest, ControllerModeSelectsAndNavigatesOnItsControllerOnly)
{
    Find<TRadioGroup>("rgMessage")->SetItemIndex(1);
    ClickRow("lbController", 102);

    Receive("B00140"); // modulation wheel
    Receive("B04040"); // sustain pedal
    Receive("C005");
    Spin(400);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0"));

    Receive("B06640");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 64; }));
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Controller 102 Value 64"));
    Receive("B0667E");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 65; }));
}

TEST_F(TDispatchWindowTest, ThruEchoesAtOnceAndTheSelectionSendsAgainLater)
{
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    Find<QCheckBox>("cbMidiOut")->setChecked(true);
    Receive("C005");
    Receive("904564");
    Receive("F8");
    Receive("FE");
    EXPECT_EQ(SentHex(), (QStringList{"c00500", "904564", "f80000"}));
    ASSERT_TRUE(WaitFor([&] { return SentHex().size() == 4; }));
    EXPECT_EQ(SentHex().last(), QStringLiteral("c00500"));

    // The same patch again shows the slot again but sends only the echo.
    Receive("C005");
    Spin(500);
    EXPECT_EQ(SentHex().size(), 5);
    for (const auto &message : Fake->Sent()) {
        EXPECT_EQ(message.DeviceId, 1u);
    }
}

TEST_F(TDispatchWindowTest, AFailingEchoShowsOneBoxForAFlood)
{
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    Fake->FailCall(QStringLiteral("OutShortMsg"), MidiResult::NotReady, -1);
    for (int i = 0; i < 200; ++i) {
        Receive("B00740");
    }
    Spin(200);
    ASSERT_EQ(Dialogs.MessageTexts().size(), 1);
    EXPECT_EQ(Dialogs.Records.front().Kind, TMessageKind::Error);
    EXPECT_EQ(Dialogs.Records.front().Title, QStringLiteral("Tarvello"));
}

TEST_F(TDispatchWindowTest, LearnTakesAControllerWithoutEchoOrSelection)
{
    QPushButton *learn = Find<QPushButton>("bLearn");
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    learn->click();
    EXPECT_EQ(learn->text(), QStringLiteral("Learning"));
    EXPECT_TRUE(learn->isChecked());

    Receive("FE");
    Receive("B20B7F");
    ASSERT_TRUE(WaitFor([&] { return learn->text() == QStringLiteral("Midi Learn"); }));
    EXPECT_FALSE(learn->isChecked());
    EXPECT_EQ(Find<TRadioGroup>("rgMessage")->ItemIndex(), 1);
    EXPECT_EQ(Engine().Midi().MessageType, 0xB0);
    EXPECT_EQ(Find<QListWidget>("lbChannel")->currentRow(), 2);
    EXPECT_EQ(Engine().Midi().Channel, 2);
    EXPECT_EQ(Engine().Midi().Controller, 11);
    EXPECT_EQ(Find<QListWidget>("lbController")->currentRow(), 11);
    EXPECT_FALSE(Find<QListWidget>("lbController")->isHidden());
    EXPECT_EQ(Find<QLabel>("lNextItem")->text(),
              QStringLiteral("Next Prompt - 178, 11, 126   (B2, 0B, 7E)"));
    Spin(400);
    EXPECT_TRUE(SentHex().isEmpty());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0"));

    // A Program Change learned later keeps the controller.
    Click("bLearn");
    Receive("C400");
    ASSERT_TRUE(WaitFor([&] { return learn->text() == QStringLiteral("Midi Learn"); }));
    EXPECT_EQ(Engine().Midi().MessageType, 0xC0);
    EXPECT_EQ(Engine().Midi().Channel, 4);
    EXPECT_EQ(Engine().Midi().Controller, 11);
    EXPECT_TRUE(Find<QListWidget>("lbController")->isHidden());

    // Cancelled and armed again while a message was on its way: that message
    // ends the new arming, and the next one is the stage's again.
    Click("bLearn");
    Receive("C405");
    learn->click();
    learn->click();
    ASSERT_TRUE(WaitFor([&] { return learn->text() == QStringLiteral("Midi Learn"); }));
    EXPECT_FALSE(Engine().Dispatch().Learning());
    Receive("C407");
    EXPECT_TRUE(WaitFor([&] { return CurrentSlot() == 7; }));
}

TEST_F(TDispatchWindowTest, LearnTurnsDownOtherMessagesAndKeepsTheSettings)
{
    for (const char *message : {"903C40", "F8"}) {
        Dialogs.Records.clear();
        Click("bLearn");
        Receive(message);
        ASSERT_TRUE(WaitFor([&] { return !Dialogs.Records.empty(); })) << message;
        EXPECT_EQ(Dialogs.MessageTexts(),
                  (QStringList{"Sorry, you can only use Patch and Controller messages"}));
        EXPECT_EQ(Dialogs.Records.front().Kind, TMessageKind::Error);
        EXPECT_EQ(Find<QPushButton>("bLearn")->text(), QStringLiteral("Midi Learn"));
        EXPECT_FALSE(Engine().Dispatch().Learning());
        EXPECT_EQ(Engine().Midi().MessageType, 0xC0);
        EXPECT_EQ(Engine().Midi().Channel, 0);
    }
}

TEST_F(TDispatchWindowTest, SystemExclusiveInputIsDroppedEvenWithThru)
{
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    Receive("F07E7F0901F7");
    Receive("C001");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 1; }));
    EXPECT_EQ(SentHex(), (QStringList{"c00100"}));
}

TEST_F(TDispatchWindowTest, ClosingTheWindowStopsInputReachingIt)
{
    Receive("C002");
    Window.reset();
    EXPECT_FALSE(Fake->IsInputOpen(0));
    Receive("C003");
    EXPECT_FALSE(MidiInput().OnMidiData);
}

} // namespace
} // namespace tarvello::test
