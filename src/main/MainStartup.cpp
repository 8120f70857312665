#include "main/MainWindow.h"

#include "show/ShowBank.h"

#include "prompt/PromptEngine.h"

#include "band/BandServer.h"
#include "core/Version.h"
#include "files/IniFile.h"
#include "main/HelpKey.h"
#include "main/MidiDeviceWatch.h"
#include "midi/Midi.h"
#include "pages/DisplayPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/PromptReference.h"
#include "prompt/SettingsPath.h"
#include "prompt/ShowSaver.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorReporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tarvello {
namespace {

QString VersionText()
{
    return VersionLine() + QStringLiteral(" - free for every stage, by the Tarvello team");
}

// Closes the device a list has open, if any.
void CloseStoredDevice(TMidiDevices &devices, int index)
{
    if (index >= 0 && index < devices.Devices.Count() && devices.DeviceHandle(index) != 0) {
        devices.Close(index);
    }
}

} // namespace

THelpKey &TfMain::HelpKey()
{
    if (!HelpHook) {
        HelpHook = new THelpKey(this);
        HelpHook->setObjectName(QStringLiteral("HelpKey"));
    }
    return *HelpHook;
}

void TfMain::ReportError(std::exception_ptr error)
{
    ErrorBox->Report(error);
}

void TfMain::FillDeviceLists()
{
    // A MIDI system that cannot list its devices must not cost the show: the
    // error is reported and the settings and slots are loaded all the same,
    // or the next shut-down would store an empty show over the real one.
    SettingsPage->SetInputDevices({});
    try {
        SettingsPage->SetInputDevices(MidiInput().Devices.Names());
        // The device watch looks for one from then on.
        SettingsPage->ShowMidiSystemMissing(!MidiInput().System().SystemPresent());
        RegisterMidiInputEvents();
    } catch (...) {
        SettingsPage->SetInputDevices({});
        ReportError(std::current_exception());
    }
    SettingsPage->SetOutputDevices({});
    try {
        SettingsPage->SetOutputDevices(MidiOutput().Devices.Names());
    } catch (...) {
        SettingsPage->SetOutputDevices({});
        ReportError(std::current_exception());
    }
}

void TfMain::FormCreate(const QString &settingsFile)
{
    try {
        HelpKey().Install();
        // The input lock lives in the dispatch, made with the window before any
        // device can be opened. The lists start empty.
        SlotShow->SetMidiStringLists(TMidiStringLists{});
        // Before anything can move the current directory.
        const QString inStartFolder = MidiStringsFilePath(QDir::currentPath());
        MidiStringsFile = inStartFolder;
        MidiStringsWritable = false;
        if (settingsFile.isEmpty()) {
            const TSettingsLocation location = ProgramSettingsLocation();
            SettingsFile = std::make_shared<TIniFile>(location.File, location.StartingPoint);
            // The starting show's other shows lie beside it.
            if (!location.StartingPoint.isEmpty()) {
                Bank->SetStartingFolder(QFileInfo(location.StartingPoint).absolutePath());
            }
            if (!location.MidiStringsFolder.isEmpty()) {
                MidiStringsFile = MidiStringsFilePath(location.MidiStringsFolder);
            }
            // Settings that moved to the user's folder bring no MIDI strings
            // along the first time: those the program kept in the start
            // folder before, or the starting show's, are read until then.
            QStringList earlier;
            if (!location.StartingPoint.isEmpty()) {
                earlier << inStartFolder
                        << MidiStringsFilePath(QFileInfo(location.StartingPoint).absolutePath());
            }
            MidiStringsSource =
                MidiStringsFileToRead(MidiStringsFile, earlier, [](const QString &name) {
                    const QFileInfo entry(name);
                    return entry.exists() || entry.isSymLink();
                });
        } else {
            SettingsFile = std::make_shared<TIniFile>(settingsFile);
            MidiStringsSource = MidiStringsFile;
        }
        FillDeviceLists();
        SettingsPage->SelectNoDevices();
        // No input device is open yet: no echo reads the output's index.
        Engine->Midi().InputDevice = -1;
        Engine->Midi().OutputDevice = -1;
        SetCaption(ProgramCaption());
        SettingsPage->SetVersionText(VersionText());
        Engine->SetCurrentSlot(0);
        DisplayPage->ShowLine(QStringLiteral("Waiting for Midi"));
        LyricPage->ShowText(QStringLiteral("Waiting for Midi"));
        LoadSettings();
        UpdateNavigationLabels();
        CopyMarks = {};
        // From here on every change is on disk within a second. Not after a
        // start that failed half way: a show loaded in part is not written
        // over the file before the operator has seen what failed (the
        // shut-down still saves it).
        StartSavingChanges();
    } catch (...) {
        ReportError(std::current_exception());
    }
    // Whatever the start went through, the devices are followed from now on.
    try {
        WatchMidiDevices();
    } catch (...) {
        ReportError(std::current_exception());
    }
}

void TfMain::FormDestroy()
{
    if (!SettingsFile) {
        return; // never created, or already shut down
    }
    // The shut-down's own save follows; nothing is written before it.
    StopSavingChanges();
    // Nothing is opened again once the devices close for the end, and no
    // remote acts any more.
    DeviceWatch.reset();
    Band.reset();
    // The devices close first, so that no input callback runs during the save.
    // One that fails to close is reported, and the show is saved all the same:
    // it holds every change of the evening.
    try {
        if (TMidiInput *input = ExistingMidiInput()) {
            CloseStoredDevice(*input, Engine->Midi().InputDevice);
        }
    } catch (...) {
        ReportError(std::current_exception());
    }
    try {
        if (Engine->Midi().OutputDevice >= 0 && SettingsPage->OutputCount() > 0) {
            CloseStoredDevice(MidiOutput(), Engine->Midi().OutputDevice);
        }
    } catch (...) {
        ReportError(std::current_exception());
    }
    try {
        SaveSettings();
    } catch (...) {
        ReportError(std::current_exception());
    }
    SettingsFile.reset();
    LoadedSettings.reset();
}

} // namespace tarvello
