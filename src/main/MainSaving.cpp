#include "main/MainWindow.h"

#include "pages/ListEditPage.h"
#include "pages/SettingsPage.h"
#include "prompt/ShowSaver.h"

namespace tarvello {

void TfMain::StartSavingChanges()
{
    if (!SettingsFile || Saver) {
        return;
    }
    // What the operator is typing stays in the editor: only what reached the
    // show is written.
    Saver = new TShowSaver([this] { SaveSettings(false); }, this);
    Saver->setObjectName(QStringLiteral("ShowSaver"));
    const auto changed = [this] { ChangeToSave(); };
    // Every edit of a slot: typing, list files, block copies, moves, clears,
    // the MIDI strings editor, undo and redo.
    connect(SlotShow.get(), &TShow::SlotChanged, this, changed);
    // The list pages' menu commands: fonts, colours, the Browse folder.
    connect(TextPage, &TListEditPage::Command, this, changed);
    connect(FilePage, &TListEditPage::Command, this, changed);
    // Everything the Settings page stores.
    TSettingsPage *page = SettingsPage;
    connect(page, &TSettingsPage::InputClicked, this, changed);
    connect(page, &TSettingsPage::OutputClicked, this, changed);
    connect(page, &TSettingsPage::ChannelClicked, this, changed);
    connect(page, &TSettingsPage::ControllerClicked, this, changed);
    connect(page, &TSettingsPage::MessageTypeClicked, this, changed);
    connect(page, &TSettingsPage::DisplayTypeClicked, this, changed);
    connect(page, &TSettingsPage::MidiThruToggled, this, changed);
    connect(page, &TSettingsPage::SelectionOptionsToggled, this, changed);
    connect(page, &TSettingsPage::TouchPadToggled, this, changed);
    connect(page, &TSettingsPage::PdfScrollbarToggled, this, changed);
    connect(page, &TSettingsPage::PedalKeysToggled, this, changed);
    connect(page, &TSettingsPage::AutoScrollToggled, this, changed);
    connect(page, &TSettingsPage::ScrollSecondsChanged, this, changed);
    connect(page, &TSettingsPage::ScrollDelayChanged, this, changed);
    connect(page, &TSettingsPage::ReleaseWindowChanged, this, changed);
    connect(page, &TSettingsPage::ShowOptionsChanged, this, changed);
    connect(page, &TSettingsPage::BandScreensToggled, this, changed);
    connect(page, &TSettingsPage::BandPortChanged, this, changed);
    connect(page, &TSettingsPage::FontClicked, this, changed);
    // No box over the stage for a failed write: a line on the Settings page
    // and a mark in the caption, until a write succeeds; the saver tries
    // again, and the shut-down reports what it cannot write.
    connect(Saver, &TShowSaver::WriteFailed, this, &TfMain::ShowSaveProblem);
    connect(Saver, &TShowSaver::Written, this, [this] { ShowSaveProblem(QString()); });
}

void TfMain::StopSavingChanges()
{
    delete Saver;
    Saver = nullptr;
}

void TfMain::ShowSaveProblem(const QString &error)
{
    SettingsPage->ShowSaveProblem(error);
    SetCaption(Caption);
}

void TfMain::SetCaption(const QString &caption)
{
    Caption = caption;
    const bool unsaved = Saver && !Saver->LastError().isEmpty();
    setWindowTitle(unsaved ? caption + QStringLiteral(" - Not saved") : caption);
}

void TfMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    ChangeToSave();
}

void TfMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    ChangeToSave();
}

void TfMain::ChangeToSave()
{
    if (Saver) {
        Saver->Changed();
    }
}

} // namespace tarvello
