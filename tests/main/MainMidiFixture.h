#pragma once

#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "support/FakeDialogs.h"
#include "support/FakeMidiSystem.h"
#include "support/MainWindowControls.h"
#include "support/Wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tarvello::test {

// The main window with its MIDI wired as at start-up, over a fake MIDI system
// that delivers input from a thread of its own: input device 0 and output
// device 1 are open.
class TMainMidiTest : public ::testing::Test, public TMainControls {
protected:
    void SetUp() override
    {
        Fake = std::make_shared<TFakeMidiSystem>(QStringList{"In A", "In B"},
                                                 QStringList{"Out A", "Out B"});
        SetMidiSystem(Fake);
        Window = std::make_unique<TfMain>(Dialogs);
        Window->resize(800, 500);
        Find<QListWidget>("lbMidiIn")->addItems(MidiInput().Devices.Names());
        Find<QListWidget>("lbMidiOut")->addItems(MidiOutput().Devices.Names());
        Window->RegisterMidiInputEvents();
        Window->StartEmptyShow();
        Window->show();
        Find<QListWidget>("lbMidiIn")->setCurrentRow(0);
        Window->lbMidiInClick();
        Find<QListWidget>("lbMidiOut")->setCurrentRow(1);
        Window->lbMidiOutClick();
        QApplication::processEvents();
        Fake->ClearCalls();
    }

    void TearDown() override
    {
        Window.reset();
        ReleaseMidiDevices();
    }

    // Delivers the bytes to input device 0 and waits until the input thread
    // has handled them.
    void Receive(const char *hex)
    {
        Fake->Deliver(0, QByteArray::fromHex(hex));
        Fake->WaitForDelivery();
    }

    static bool WaitFor(const std::function<bool()> &condition, int milliseconds = 5000)
    {
        return test::WaitFor(condition, milliseconds);
    }

    static void Spin(int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }

    // What went out to the output devices, one hex text per message.
    QStringList SentHex() const
    {
        QStringList sent;
        for (const auto &message : Fake->Sent()) {
            if (message.Long) {
                sent << QString::fromLatin1(message.Bytes.toHex());
                continue;
            }
            QByteArray bytes;
            for (int shift = 0; shift < 24; shift += 8) {
                bytes.append(char((message.Packed >> shift) & 0xFF));
            }
            sent << QString::fromLatin1(bytes.toHex());
        }
        return sent;
    }

    const QObject *ControlRoot() const override { return Window.get(); }

    TFakeDialogs Dialogs;
    std::shared_ptr<TFakeMidiSystem> Fake;
    std::unique_ptr<TfMain> Window;
};

} // namespace tarvello::test
