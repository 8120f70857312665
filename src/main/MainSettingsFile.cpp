#include "main/MainWindow.h"

#include "prompt/PromptEngine.h"

#include "files/IniFile.h"
#include "files/KeptVersions.h"
#include "files/MidiStringsFile.h"
#include "files/TextFile.h"
#include "pages/DisplayPage.h"
#include "pages/ListEditPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/StoredSettings.h"
#include "show/ShowBank.h"
#include "touchpad/TouchPad.h"
#include "widgets/ErrorReporter.h"
#include "widgets/KeyValueGrid.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tarvello {
namespace {

// The window system's own limits for a window's place and size; a damaged
// settings file must not ask for more.
constexpr int LargestCoordinate = 32767;

} // namespace

QString TfMain::SettingsFileName() const
{
    return SettingsFile ? SettingsFile->FileName() : QString();
}

void TfMain::LoadSettings()
{
    const TStoredSettings s = ReadStoredSettings(*SettingsFile);
    LoadedSettings = std::make_shared<TStoredSettings>(s);

    // A stored device that is missing leaves its list without a selection and
    // opens nothing; one that cannot be opened is reported and the load goes
    // on, so the slots are never lost for it.
    const auto restoreDevice = [this](std::optional<int> found, std::atomic<int> &index,
                                      void (TfMain::*click)()) {
        if (!found) {
            index = -1;
            return;
        }
        try {
            (this->*click)();
        } catch (...) {
            ReportError(std::current_exception());
        }
    };
    if (s.Input) {
        restoreDevice(SettingsPage->SelectInput(*s.Input), Engine->Midi().InputDevice,
                      &TfMain::lbMidiInClick);
    }
    if (s.Output) {
        restoreDevice(SettingsPage->SelectOutput(*s.Output), Engine->Midi().OutputDevice,
                      &TfMain::lbMidiOutClick);
    }

    SettingsPage->SetChannelRow(ChannelRowOfSetting(s.Channel));
    SettingsPage->SetControllerRow(ControllerRowOfSetting(s.Controller));
    FilePage->SetBrowseFolder(s.LastDir);

    DisplayPage->SetBackground(ColourOfSetting(s.Colour));
    LyricPage->SetBackground(ColourOfSetting(s.LyricColour));

    // Name, colour, height and size in this order: the size decides.
    const QFont font =
        PromptFontOfSettings(DisplayPage->PromptFont(), s.FontName, s.FontHeight, s.FontSize);
    DisplayPage->SetPromptFont(font);
    LyricPage->SetPromptFont(font);
    DisplayPage->SetTextColour(
        PromptFontColour(s.FontColor, palette().color(QPalette::WindowText)));

    // Each change runs the group's or box's own handler, as a click would.
    BandKeyValue = s.BandKey;
    SettingsPage->Restore(s);

    move(std::clamp(s.Left, -LargestCoordinate, LargestCoordinate),
         std::clamp(s.Top, -LargestCoordinate, LargestCoordinate));
    resize(std::clamp(s.Width, 1, LargestCoordinate), std::clamp(s.Height, 1, LargestCoordinate));
    PadTop = s.PadTop;
    PadLeft = s.PadLeft;
    PadSize = QSize(s.PadWidth, s.PadHeight);
    PadOverPrompt = s.PadOverPrompt;

    Files().CommitEdit();
    Lines().CommitEdit();
    SlotShow->SetTexts(TSlotField::File, s.Files);
    SlotShow->SetTexts(TSlotField::Line, s.Lines);

    Engine->Midi().Controller = SettingsPage->ControllerRow();
    Engine->Midi().Channel = SettingsPage->ChannelRow();
    SetActivePage(DisplayType() == 0 ? static_cast<QWidget *>(DisplayPage) : LyricPage);
    rgDisplayTypeClick();
    rgMessageClick();
    RestoreStage(s);

    // On the first run there is no MIDI strings file yet: that is reported,
    // every slot starts without MIDI strings, and the start goes on. A file that
    // is there but cannot be read is reported the same way and then left alone.
    try {
        TLineReader file(ReadTextFile(MidiStringsSource));
        ReadMidiStrings(file);
        MidiStringsWritable = true;
    } catch (...) {
        const QFileInfo entry(MidiStringsSource);
        MidiStringsWritable = !entry.exists() && !entry.isSymLink();
        ReportError(std::current_exception());
    }
    // The show open last time, once the settings file's own is whole.
    LoadShows();
    // The Lyric page's three views fill it through its layout already.
}

void TfMain::SaveSettings(bool commitOpenEdits)
{
    const TStoredSettings loaded = LoadedSettings ? *LoadedSettings : TStoredSettings();
    TStoredSettings s;
    SettingsPage->Collect(s);
    s.Colour =
        ColourValueToSave(loaded.Colour, ColourOfSetting(loaded.Colour), DisplayPage->Background());
    const TFontSettings font = FontSettingsOf(DisplayPage->PromptFont());
    s.FontName = font.Name;
    s.FontHeight = font.Height;
    s.FontSize = font.Size;
    s.FontColor = ColourValueToSave(
        loaded.FontColor, PromptFontColour(loaded.FontColor, palette().color(QPalette::WindowText)),
        DisplayPage->TextColour());

    // Full screen or not, the bounds the window has outside it.
    const QRect bounds = WindowBoundsToSave();
    s.Top = bounds.top();
    s.Height = bounds.height();
    s.Left = bounds.left();
    s.Width = bounds.width();
    // The pad's place as it is now, shown or hidden.
    const QPoint pad = Pad ? Pad->SettingsPosition() : QPoint(PadLeft, PadTop);
    s.PadTop = pad.y();
    s.PadLeft = pad.x();
    const QSize padSize = Pad ? Pad->SettingsSize() : PadSize;
    s.PadWidth = padSize.width();
    s.PadHeight = padSize.height();
    s.PadOverPrompt = Pad ? Pad->KeptOverPrompt() : PadOverPrompt;
    s.LastDir = FilePage->BrowseFolder();
    s.LyricColour = ColourValueToSave(loaded.LyricColour, ColourOfSetting(loaded.LyricColour),
                                      LyricPage->Background());

    if (commitOpenEdits) {
        CommitListEdits();
    }
    // The settings file keeps its own show, whichever show is open.
    const TShowContents settingsShow = Bank->SettingsFileContents();
    s.Files = settingsShow.Files;
    s.Lines = settingsShow.Lines;
    CollectStage(s);
    s.BandKey = BandKeyValue;

    WriteStoredSettings(*SettingsFile, s);
    Bank->WriteList(*SettingsFile);
    // The user's configuration folder may not be there yet on the first run.
    const QString settingsFolder = QFileInfo(SettingsFile->FileName()).absolutePath();
    QDir().mkpath(settingsFolder);
    // The version each write replaces is kept beside it, and the day's first
    // in the backups folder, for the operator to go back to by hand.
    const QString backups = QDir(settingsFolder).filePath(QStringLiteral("backups"));
    const QDate today = QDate::currentDate();
    // A file that would stay as it is is not written again (a window moved
    // and put back, full screen on and off).
    // Both files are replaced whole or not at all; a settings file that cannot
    // be written stops the save before the MIDI strings file.
    if (KeepVersionsBefore(SettingsFile->FileName(), SettingsFile->Contents(), backups, today)) {
        SettingsFile->UpdateFile();
    }
    // The open show's own file, when it has one.
    if (const std::optional<QString> showFile = Bank->OpenFilePath()) {
        const QByteArray showBytes = Bank->OpenFileBytes();
        if (KeepVersionsBefore(*showFile, showBytes, backups, today)) {
            SaveFileAtomically(*showFile, showBytes);
        }
    }
    if (!MidiStringsWritable) {
        return; // reported at start-up
    }
    QStringList midiStrings;
    WriteMidiStrings(midiStrings);
    const QByteArray midiStringsBytes = EncodeTextLines(midiStrings);
    if (KeepVersionsBefore(MidiStringsFile, midiStringsBytes, backups, today)) {
        SaveFileAtomically(MidiStringsFile, midiStringsBytes);
    }
}

} // namespace tarvello
