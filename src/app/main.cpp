#include "Application.h"
#include "CommandLine.h"

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

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

// Prints what the command line asked for instead of a run: the exit status.
int Answer(const tarvello::TCommandLine &line, const QString &programName)
{
    using TAction = tarvello::TCommandLine::TAction;
    if (line.Action == TAction::Error) {
        std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(programName), qPrintable(line.Error),
                     qPrintable(tarvello::CommandLineUsage(programName)));
        return 2;
    }
    const QString text = line.Action == TAction::Help ? tarvello::CommandLineUsage(programName)
                                                      : tarvello::VersionAnswer() + u'\n';
    std::fputs(qPrintable(text), stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const QString programName =
        QFileInfo(arguments.value(0, QStringLiteral("tarvello"))).fileName();
    // Help and version are answered before Qt starts, so that they need no
    // display. Qt's own options (-platform...) are not known yet and fail this
    // first look; the second one, once Qt has taken them out, decides.
    using TAction = tarvello::TCommandLine::TAction;
    const tarvello::TCommandLine early = tarvello::ParseCommandLine(arguments, QDir::currentPath());
    if (early.Action == TAction::Help || early.Action == TAction::Version) {
        return Answer(early, programName);
    }
    tarvello::PrepareProcessEnvironment();
    tarvello::TStandardDialogs dialogs;
    tarvello::TApplication application(argc, argv, dialogs);
    const tarvello::TCommandLine line =
        tarvello::ParseCommandLine(application.arguments(), QDir::currentPath());
    if (line.Action != TAction::Run) {
        return Answer(line, programName);
    }
    if (!line.SettingsFile.isEmpty()) {
        // Another show folder: started there, as from a shortcut into it, so
        // that its relative file names and its MIDI strings file are its own.
        tarvello::ChooseSettingsFile(line.SettingsFile);
        QDir::setCurrent(QFileInfo(line.SettingsFile).absolutePath());
    }
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
