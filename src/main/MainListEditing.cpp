#include "main/MainWindow.h"

#include "prompt/ListEditing.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/UpDown.h"

#include <QAction>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>

namespace tarvello {

void TfMain::connectListEditing()
{
    connect(pmBrowse, &QAction::triggered, this, &TfMain::pmBrowseClick);
    connect(pmFileDelete, &QAction::triggered, this, &TfMain::pmFileDeleteClick);
    connect(bDelete, &QPushButton::clicked, this, &TfMain::pmFileDeleteClick);
    connect(pmTextDelete, &QAction::triggered, this, &TfMain::pmTextDeleteClick);
    connect(bpDelete, &QPushButton::clicked, this, &TfMain::pmTextDeleteClick);
    // "Font", "Font (Text File)" and "Set Font" are one command.
    connect(pmLineFont, &QAction::triggered, this, &TfMain::pmLineFontClick);
    connect(mTxtFileFont, &QAction::triggered, this, &TfMain::pmLineFontClick);
    connect(bChooseFont, &QPushButton::clicked, this, &TfMain::pmLineFontClick);
    connect(pmLineColour, &QAction::triggered, this, &TfMain::pmLineColourClick);
    connect(pmLyricColour, &QAction::triggered, this, &TfMain::pmLyricColourClick);
    connect(mClearMidiString, &QAction::triggered, this, &TfMain::mClearMidiStringsClick);
    connect(mClearMidiStrings, &QAction::triggered, this, &TfMain::mClearMidiStringsClick);
    connect(mClearAllPrompts, &QAction::triggered, this, &TfMain::mClearAllPromptsClick);
    connect(mClearFileList, &QAction::triggered, this, &TfMain::mClearFileListClick);

    connect(mMidiString, &QAction::triggered, this, &TfMain::mMidiStringsClick);
    connect(mMidiStrings, &QAction::triggered, this, &TfMain::mMidiStringsClick);
    connect(bpMidiStrings, &QPushButton::clicked, this, &TfMain::mMidiStringsClick);
    connect(bMidiStrings, &QPushButton::clicked, this, &TfMain::mMidiStringsClick);

    connect(UDPrompt, &TUpDown::Click, this, &TfMain::UDPromptClick);
    connect(UDFiles, &TUpDown::Click, this, &TfMain::UDLineClick);
    connect(bpCopyStart, &QPushButton::clicked, this, &TfMain::bpCopyStartClick);
    connect(bpCopyEnd, &QPushButton::clicked, this, &TfMain::bpCopyEndClick);
    connect(bpCopyTo, &QPushButton::clicked, this, &TfMain::bpCopyToClick);
    connect(bCopyStart, &QPushButton::clicked, this, &TfMain::bCopyStartClick);
    connect(bCopyEnd, &QPushButton::clicked, this, &TfMain::bCopyEndClick);
    connect(bCopyTo, &QPushButton::clicked, this, &TfMain::bCopyToClick);

    watchGridMouse();
}

void TfMain::pmBrowseClick()
{
    // The row is taken before the chooser opens: MIDI input goes on while it
    // is open and may move the cursor, but the file belongs to the entry the
    // operator browsed for.
    const int row = vleFiles->Row();
    const QString directory = BrowseStartDirectory(BrowseDir);
    const std::optional<QString> chosen =
        Dialogs.OpenFileName(this, QString(), directory, BrowseFilter());
    if (!chosen) {
        return;
    }
    vleFiles->SetValueOfRow(row, *chosen);
    // The chooser's starting folder is remembered, not the chosen file's.
    BrowseDir = directory;
}

void TfMain::pmFileDeleteClick()
{
    // The entry asked about, whatever MIDI selects while the question is open.
    const int row = vleFiles->Row();
    const TMessageButton answer =
        Dialogs.MessageBox(this, ApplicationTitle(), DeleteEntryQuestion(), TMessageKind::Warning,
                           TMessageButton::Yes | TMessageButton::No);
    if (answer != TMessageButton::Yes) {
        return;
    }
    vleFiles->SetValueOfRow(row, QString());
    MidiStringLists[row].clear();
    MidiStringsChanged();
}

void TfMain::pmTextDeleteClick()
{
    vleLines->SetValueOfRow(vleLines->Row(), QString());
}

void TfMain::pmLineFontClick()
{
    const std::optional<TFontChoice> chosen = Dialogs.ChooseFont(
        this, {lPatchName->font(), lPatchName->palette().color(QPalette::WindowText)});
    if (!chosen) {
        return;
    }
    lPatchName->setFont(chosen->Font);
    reLyric->setFont(chosen->Font);
    if (chosen->Colour.isValid()) {
        SetTextColour(lPatchName, QPalette::WindowText, chosen->Colour);
        SetTextColour(reLyric, QPalette::Text, chosen->Colour);
    }
}

void TfMain::pmLineColourClick()
{
    const std::optional<QColor> chosen =
        Dialogs.ChooseColor(this, lPatchName->palette().color(QPalette::Window));
    if (chosen) {
        SetBackground(lPatchName, *chosen);
    }
}

void TfMain::pmLyricColourClick()
{
    const std::optional<QColor> chosen =
        Dialogs.ChooseColor(this, reLyric->viewport()->palette().color(QPalette::Base));
    if (chosen) {
        SetBackground(reLyric->viewport(), *chosen);
        SetBackground(reLyric, *chosen);
    }
}

void TfMain::mClearMidiStringsClick()
{
    if (!Dialogs.AskYesNo(this, ClearMidiStringsQuestion())) {
        return;
    }
    // List 0 belongs to no slot; it is not the operator's to clear.
    for (int row = 1; row < MidiStringListCount; ++row) {
        MidiStringLists[row].clear();
    }
    MidiStringsChanged();
}

void TfMain::mClearAllPromptsClick()
{
    if (!Dialogs.AskYesNo(this, ClearAllPromptsQuestion())) {
        return;
    }
    for (int row = 1; row <= vleLines->LastRow(); ++row) {
        vleLines->SetValueOfRow(row, QString());
    }
    mClearMidiStringsClick();
}

void TfMain::mClearFileListClick()
{
    if (!Dialogs.AskYesNo(this, ClearFileListQuestion())) {
        return;
    }
    for (int row = 1; row <= vleFiles->LastRow(); ++row) {
        vleFiles->SetValueOfRow(row, QString());
    }
    mClearMidiStringsClick();
}

} // namespace tarvello
