// Setting up for a show over a real keyboard: a peer client plays over the
// tests' private JACK server into a program that starts for the first time.

#include "../MainWindowFixture.h"
#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "midi/RtMidiSystem.h"
#include "support/FakeDialogs.h"
#include "support/JackPeer.h"
#include "support/MainWindowControls.h"
#include "support/Wait.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tarvello::test {
namespace {

class MainJackSetupTest : public TWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        PreviousDirectory = QDir::currentPath();
        QDir::setCurrent(Folder.path());
        Peer = std::make_unique<TJackPeer>();
        SetMidiSystem(std::make_shared<TRtMidiSystem>(TRtMidiSystem::TApi::Jack));
        // The first start: no settings file, no MIDI strings file yet.
        Window = std::make_unique<TfMain>(Dialogs);
        Window->FormCreate(Folder.filePath(QStringLiteral("Tarvello.INI")));
        Window->show();
        QApplication::processEvents();
        Keyboard =
            int(ItemTexts(Find<QListWidget>("lbMidiIn")).indexOf(TJackPeer::OutputPortName()));
        ASSERT_GE(Keyboard, 0);
    }

    void TearDown() override
    {
        Window.reset();
        ReleaseMidiDevices();
        Peer.reset();
        QDir::setCurrent(PreviousDirectory);
    }

    static bool WaitFor(const std::function<bool()> &condition)
    {
        return test::WaitFor(condition, 5000);
    }

    void Send(const char *hex) { Peer->Send(QByteArray::fromHex(hex)); }

    QTemporaryDir Folder;
    QString PreviousDirectory;
    TFakeDialogs Dialogs;
    std::unique_ptr<TJackPeer> Peer;
    // The keyboard's row in the input list.
    int Keyboard = -1;
};

TEST_F(MainJackSetupTest, NoDeviceLooksChosenUntilOneIsClicked)
{
    Find<QCheckBox>("cbMidiThru")->setChecked(true);
    EXPECT_TRUE(Find<QListWidget>("lbMidiIn")->selectedItems().isEmpty());
    EXPECT_TRUE(Find<QListWidget>("lbMidiOut")->selectedItems().isEmpty());
    EXPECT_EQ(MidiInput().OpenIndex(), -1);

    ClickRow("lbMidiIn", Keyboard);
    Send("C003");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 3; }));
    // No output is chosen: the echo opens none and goes nowhere.
    Spin(100);
    EXPECT_EQ(MidiOutput().OpenIndex(), -1);
    EXPECT_TRUE(Peer->Received().empty());
}

TEST_F(MainJackSetupTest, LearnShowsOnStageAndASecondClickOrEscapeCancelsIt)
{
    ClickRow("lbMidiIn", Keyboard);
    QPushButton *learn = Find<QPushButton>("bLearn");
    const auto armed = [&] {
        const QLabel *notice = Find<QLabel>("lDisplayNotice");
        return learn->text() == "Learning" && notice->isVisible() &&
               notice->text() == QStringLiteral("Learning\u2026");
    };
    const auto cancelled = [&] {
        return learn->text() == "Midi Learn" && Find<QLabel>("lDisplayNotice")->isHidden();
    };
    learn->click();
    EXPECT_TRUE(armed());
    learn->click();
    EXPECT_TRUE(cancelled());
    Send("C003");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 3; })) << "not taken for learning";

    // Escape, with the focus in the grid of another page.
    learn->click();
    ASSERT_TRUE(armed());
    OpenPage("tsTextEdit");
    LineGrid()->setFocus();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(Window->windowHandle(), &escape);
    EXPECT_TRUE(cancelled());
    Send("B20B05");
    Send("C005");
    ASSERT_TRUE(WaitFor([&] { return CurrentSlot() == 5; }));
    EXPECT_EQ(Engine().Midi().MessageType, 0xC0);
    EXPECT_EQ(Engine().Midi().Channel, 0);
}

} // namespace
} // namespace tarvello::test
