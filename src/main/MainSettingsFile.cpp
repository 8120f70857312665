#include "main/MainWindow.h"

#include "files/IniFile.h"
#include "files/MidiStringsFile.h"
#include "files/TextFile.h"
#include "prompt/StoredSettings.h"
#include "touchpad/TouchPad.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>

namespace tarvello {
namespace {

// The window system's own limits for a window's place and size; a damaged
// settings file must not ask for more.
constexpr int LargestCoordinate = 32767;

QColor DrawnBackground(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

QString SelectedText(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
    return item ? item->text() : QString();
}

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
    const auto restoreDevice = [this](QListWidget *list, const std::optional<QString> &name,
                                      std::atomic<int> &index, void (TfMain::*click)()) {
        if (!name) {
            return;
        }
        int found = -1;
        for (int row = 0; row < list->count() && found < 0; ++row) {
            if (list->item(row)->text().compare(*name, Qt::CaseInsensitive) == 0) {
                found = row;
            }
        }
        if (found < 0) {
            list->setCurrentRow(-1);
            list->clearSelection();
            index = -1;
            return;
        }
        list->setCurrentRow(found);
        try {
            (this->*click)();
        } catch (...) {
            ReportError(std::current_exception());
        }
    };
    restoreDevice(lbMidiIn, s.Input, InputDeviceIndex, &TfMain::lbMidiInClick);
    restoreDevice(lbMidiOut, s.Output, OutputDeviceIndex, &TfMain::lbMidiOutClick);

    lbChannel->setCurrentRow(ChannelRowOfSetting(s.Channel));
    const int controller = ControllerRowOfSetting(s.Controller);
    lbController->setCurrentRow(controller);
    if (controller < 0) {
        lbController->clearSelection();
    }
    BrowseDir = s.LastDir;

    SetBackground(lPatchName, ColourOfSetting(s.Colour));
    SetBackground(reLyric->viewport(), ColourOfSetting(s.LyricColour));
    SetBackground(reLyric, ColourOfSetting(s.LyricColour));

    // Name, colour, height and size in this order: the size decides.
    const QFont font =
        PromptFontOfSettings(lPatchName->font(), s.FontName, s.FontHeight, s.FontSize);
    lPatchName->setFont(font);
    reLyric->setFont(font);
    SetTextColour(lPatchName, QPalette::WindowText,
                  PromptFontColour(s.FontColor, palette().color(QPalette::WindowText)));

    // Each change runs the group's or box's own handler, as a click would.
    rgMessage->SetItemIndex(RadioItemOfSetting(s.MidiMessage, rgMessage->Count()));
    rgDisplayType->SetItemIndex(RadioItemOfSetting(s.DisplayType, rgDisplayType->Count()));
    cbSuppressNum->setChecked(s.SuppressNumber);
    cbMidiThru->setChecked(s.MidiThru);
    cbMidiOut->setChecked(s.MidiOut);
    cbMidiStrings->setChecked(s.MidiStringOut);
    cbTouchPad->setChecked(s.TouchPad);
    cbPdfScrollbar->setChecked(s.PdfScrollbar);

    move(std::clamp(s.Left, -LargestCoordinate, LargestCoordinate),
         std::clamp(s.Top, -LargestCoordinate, LargestCoordinate));
    resize(std::clamp(s.Width, 1, LargestCoordinate), std::clamp(s.Height, 1, LargestCoordinate));
    PadTop = s.PadTop;
    PadLeft = s.PadLeft;
    // Autoscroll.
    seScrollSeconds->setValue(s.ScrollSeconds);
    cbAutoScroll->setChecked(s.AutoScroll);

    for (int slot = 0; slot < SlotCount; ++slot) {
        vleFiles->SetValue(QString::number(slot), s.Files[size_t(slot)]);
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        vleLines->SetValue(QString::number(slot), s.Lines[size_t(slot)]);
    }

    MidiController = lbController->currentRow();
    MidiChannel = lbChannel->currentRow();
    SetActivePage(DisplayType() == 0 ? tsDisplay : tsLyric);
    rgDisplayTypeClick();
    rgMessageClick();
    RestoreStage(s);

    // On the first run there is no MIDI strings file yet: that is reported,
    // every slot starts without MIDI strings, and the start goes on. A file that
    // is there but cannot be read is reported the same way and then left alone.
    try {
        TLineReader file(ReadTextFile(MidiStringsFile));
        ReadMidiStrings(file);
        MidiStringsWritable = true;
    } catch (...) {
        const QFileInfo entry(MidiStringsFile);
        MidiStringsWritable = !entry.exists() && !entry.isSymLink();
        ReportError(std::current_exception());
    }
    // The Lyric page's three views fill it through its layout already.
}

void TfMain::SaveSettings()
{
    const TStoredSettings loaded = LoadedSettings ? *LoadedSettings : TStoredSettings();
    TStoredSettings s;
    if (lbMidiIn->currentRow() >= 0) {
        s.Input = SelectedText(lbMidiIn);
    }
    if (lbMidiOut->currentRow() >= 0) {
        s.Output = SelectedText(lbMidiOut);
    }
    // No channel chosen (the operator cleared it): the one the dispatch falls
    // back to.
    s.Channel = lbChannel->currentRow() >= 0 ? SelectedText(lbChannel) : QStringLiteral("1");
    s.Controller = QString::number(lbController->currentRow());

    s.Colour = ColourValueToSave(loaded.Colour, ColourOfSetting(loaded.Colour),
                                 DrawnBackground(lPatchName));
    const TFontSettings font = FontSettingsOf(lPatchName->font());
    s.FontName = font.Name;
    s.FontHeight = font.Height;
    s.FontSize = font.Size;
    s.FontColor = ColourValueToSave(
        loaded.FontColor, PromptFontColour(loaded.FontColor, palette().color(QPalette::WindowText)),
        lPatchName->palette().color(QPalette::WindowText));

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
    s.LastDir = BrowseDir;

    s.SuppressNumber = cbSuppressNum->isChecked();
    s.MidiThru = cbMidiThru->isChecked();
    s.MidiOut = cbMidiOut->isChecked();
    s.MidiStringOut = cbMidiStrings->isChecked();
    s.TouchPad = cbTouchPad->isChecked();
    s.PdfScrollbar = cbPdfScrollbar->isChecked();
    s.MidiMessage = rgMessage->ItemIndex();
    s.DisplayType = rgDisplayType->ItemIndex();
    // Autoscroll.
    s.AutoScroll = cbAutoScroll->isChecked();
    s.ScrollSeconds = seScrollSeconds->value();
    s.LyricColour = ColourValueToSave(loaded.LyricColour, ColourOfSetting(loaded.LyricColour),
                                      reLyric->viewport()->palette().color(QPalette::Base));

    for (int slot = 0; slot < SlotCount; ++slot) {
        s.Files[size_t(slot)] = vleFiles->Value(QString::number(slot));
        s.Lines[size_t(slot)] = vleLines->Value(QString::number(slot));
    }
    CollectStage(s);

    WriteStoredSettings(*SettingsFile, s);
    // The user's configuration folder may not be there yet on the first run.
    QDir().mkpath(QFileInfo(SettingsFile->FileName()).absolutePath());
    // Both files are replaced whole or not at all; a settings file that cannot
    // be written stops the save before the MIDI strings file.
    SettingsFile->UpdateFile();
    if (!MidiStringsWritable) {
        return; // reported at start-up
    }
    QStringList midiStrings;
    WriteMidiStrings(midiStrings);
    WriteTextFile(MidiStringsFile, midiStrings);
}

} // namespace tarvello
