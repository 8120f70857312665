#include "Application.h"

#include "files/ShowLock.h"
#include "main/DesktopEnd.h"
#include "main/MainWindow.h"
#include "main/StartupEnvironment.h"
#include "midi/Midi.h"
#include "midistrings/MidiStringsDialog.h"
#include "prompt/SettingsPath.h"
#include "touchpad/TouchPad.h"
#include "widgets/CompatibleFaces.h"
#include "widgets/Dialogs.h"

#include "pdfcontrol/BuiltInPdfControl.h"

#include <cstdio>
#include <memory>

// The command line is not read: a show is set up in the program itself.
int main(int argc, char **argv)
{
    tarvello::PrepareProcessEnvironment();
    tarvello::TStandardDialogs dialogs;
    tarvello::TApplication application(argc, argv, dialogs);
    tarvello::LoadCompatibleFaces();
    tarvello::RegisterBuiltInPdfControl();
    // Before any window or device: a second program on the same show would
    // overwrite the first one's edits with its older copy.
    tarvello::TShowLock showLock;
    if (!showLock.Take(tarvello::ProgramSettingsLocation().File)) {
        std::fprintf(stderr, "%s\n", qPrintable(showLock.Refusal()));
        dialogs.MessageBox(nullptr, QStringLiteral("Tarvello - already running"),
                           showLock.Refusal(), tarvello::TMessageKind::Error,
                           tarvello::TMessageButton::Ok);
        return 1;
    }
    int result = 0;
    {
        // The three windows in their order: the main window restores the show
        // (reporting what fails) before it is first shown; the Nav Pad takes
        // its place from the settings and shows itself with the main window's
        // first paint when its box is checked; the MIDI strings editor waits
        // hidden.
        auto window = std::make_unique<tarvello::TfMain>(dialogs);
        application.SetErrorReporter(&window->Errors());
        window->FormCreate();
        window->show();
        auto pad =
            std::make_unique<tarvello::TfTouch>(window->PadPlace().y(), window->PadPlace().x());
        window->SetTouchPad(pad.get());
        auto midiStrings = std::make_unique<tarvello::TfMidiStrings>(dialogs);
        window->SetMidiStringsDialog(midiStrings.get());
        // Closing the main window ends the program, as do the desktop's
        // requests to stop: all of them through the same shut-down.
        tarvello::TDesktopEnd desktopEnd(*window);

        result = application.exec();

        // Saved while the Nav Pad still exists: its place is part of the show.
        window->FormDestroy();
        application.SetErrorReporter(nullptr);
        window.reset();
        pad.reset();
        midiStrings.reset();
    }
    tarvello::ReleaseMidiDevices();
    return result;
}
