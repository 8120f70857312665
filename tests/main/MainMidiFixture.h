#pragma once

#include "MainWindowFixture.h"

#include "support/FakeMidiSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tarvello::test {

// The main window with its MIDI wired as at start-up, over a fake MIDI system
// that delivers input from a thread of its own: input device 0 and output
// device 1 are open.
class TMainMidiTest : public TWindowTest {
protected:
    void SetUp() override
    {
        Fake = std::make_shared<TFakeMidiSystem>(QStringList{"In A", "In B"},
                                                 QStringList{"Out A", "Out B"});
        SetMidiSystem(Fake);
        MakeWindow(Dialogs);
        ListMidiDevices();
        Window->StartEmptyShow();
        Window->show();
        ClickRow("lbMidiIn", 0);
        ClickRow("lbMidiOut", 1);
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

    TFakeDialogs Dialogs;
    std::shared_ptr<TFakeMidiSystem> Fake;
};

} // namespace tarvello::test
