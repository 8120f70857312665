#pragma once

#include "main/MainWindow.h"
#include "midi/Midi.h"
#include "support/FakeDialogs.h"
#include "support/MainWindowControls.h"
#include "support/Wait.h"

#include <QApplication>
#include <QListWidget>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable failures for texts and lists of texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tarvello::test {

// One main window under test: the base of every fixture that makes one. The
// test drives it through its controls (TMainControls) and the engine.
class TWindowTest : public ::testing::Test, public TMainControls {
protected:
    void MakeWindow(TDialogs &dialogs)
    {
        Window = std::make_unique<TfMain>(dialogs);
        Window->resize(800, 500);
    }

    // The MIDI devices as at start-up: the input list is made and the window
    // hears it; both lists on "Settings" name the devices present.
    void ListMidiDevices()
    {
        Window->RegisterMidiInputEvents();
        Find<QListWidget>("lbMidiIn")->addItems(MidiInput().Devices.Names());
        Find<QListWidget>("lbMidiOut")->addItems(MidiOutput().Devices.Names());
    }

    // The display type chosen on "Settings", and the show started on its
    // display page.
    void UseDisplayType(int type)
    {
        ChooseItem("rgDisplayType", type);
        Window->StartEmptyShow();
    }

    // Lets the event loop run until the condition holds or the time is up.
    static bool WaitFor(const std::function<bool()> &condition, int milliseconds = 20000)
    {
        return test::WaitFor(condition, milliseconds);
    }

    static void Spin(int milliseconds)
    {
        test::WaitFor([] { return false; }, milliseconds);
    }

    const QObject *ControlRoot() const override { return Window.get(); }

    std::unique_ptr<TfMain> Window;
};

// A main window as a show starts it, with a scripted operator and a counter of
// the selections that reached the MIDI output.
class TMainWindowTest : public TWindowTest {
protected:
    void SetUp() override
    {
        MakeWindow(Dialogs);
        Window->SetSelectionMidiSender([this] { ++SelectionMidiSent; });
        Window->StartEmptyShow();
        Window->show();
        QApplication::processEvents();
    }

    TFakeDialogs Dialogs;
    int SelectionMidiSent = 0;
};

} // namespace tarvello::test
