#pragma once

#include "main/MainWindow.h"
#include "support/FakeDialogs.h"
#include "support/MainWindowControls.h"
#include "support/Wait.h"

#include <QApplication>
#include <QElapsedTimer>
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

// A main window as a show starts it, with a scripted operator and a counter of
// the list clicks that reached the MIDI output on selection.
class TMainWindowTest : public ::testing::Test, public TMainControls {
protected:
    void SetUp() override
    {
        Window = std::make_unique<TfMain>(Dialogs);
        Window->SetSelectionMidiSender([this] { ++SelectionMidiSent; });
        Window->resize(800, 500);
        Window->StartEmptyShow();
        Window->show();
        QApplication::processEvents();
    }

    void UseDisplayType(int type)
    {
        Window->SetDisplayType(type);
        Window->SetActivePage(Page(type == 0 ? "tsDisplay" : "tsLyric"));
    }

    // Lets the event loop run until the condition holds or the time is up.
    static bool WaitFor(const std::function<bool()> &condition, int milliseconds = 20000)
    {
        return test::WaitFor(condition, milliseconds);
    }

    const QObject *ControlRoot() const override { return Window.get(); }

    TFakeDialogs Dialogs;
    std::unique_ptr<TfMain> Window;
    int SelectionMidiSent = 0;
};

} // namespace tarvello::test
