#include "main/MainWindow.h"
#include "osc/OscServer.h"

#include "band/BandServer.h"
#include "core/Version.h"
#include "main/MidiDeviceWatch.h"
#include "pages/DisplayPage.h"
#include "pages/ListEditPage.h"
#include "pages/LyricPage.h"
#include "pages/SettingsPage.h"
#include "prompt/MidiDispatch.h"
#include "prompt/PromptEngine.h"
#include "prompt/PromptReference.h"
#include "prompt/ShowSaver.h"
#include "prompt/StoredSettings.h"
#include "show/ShowEdits.h"
#include "widgets/Colours.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorReporter.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/UpDown.h"

#include "repertoire/ShowsWindow.h"

#include <QTabWidget>
#include <QTimer>

namespace tarvello {

TfMain::TfMain(TDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), Dialogs(dialogs),
      ErrorBox(std::make_unique<TErrorReporter>(
          [this](const QString &text) { Dialogs.ShowError(this, text); })),
      SlotShow(std::make_unique<TShow>()), ShowEdits(std::make_unique<TShowEdits>(*SlotShow))
{
    setObjectName(QStringLiteral("fMain"));
    BandKeyValue = NewBandKey();
    setWindowTitle(QStringLiteral("Tarvello"));
    setGeometry(331, 115, 1028, 648);
    setFont(PixelFont({QStringLiteral("Tahoma")}, 11));

    Engine = new TPromptEngine(*SlotShow, this);
    BandPublisher = new TBandPublisher(*SlotShow, this);
    connectEngine();
    createPages();
    connectPages();
    connectShows();
    connectSettingsPage();
    connectBand();
    connectOsc();
    watchPaintForTouchPad();
    connectStageKeys();
    SetSelectionMidiSender([this] { SendSelectionMidiToOutput(); });

    // The state a show starts from before anything is loaded.
    SetCaption(ProgramCaption());
    DisplayPage->ShowLine(QStringLiteral("Waiting for Midi"));
    LyricPage->ShowText(QStringLiteral("Waiting for Midi"));
}

TfMain::~TfMain()
{
    StopSavingChanges();
    DeviceWatch.reset();
    // No command from the network reaches the window from here on.
    Osc->Stop();
    // The device lists outlive the window: no input may reach it from here on.
    ReleaseMidiInputEvents();
    // The pages and grids go one by one now; none of that is a change of page
    // or a selection to act on.
    ChangingPageQuietly = true;
    pcMain->disconnect(this);
    TextPage->disconnect(this);
    FilePage->disconnect(this);
}

void TfMain::createPages()
{
    pcMain = Named(new QTabWidget(this), "pcMain");
    SetHint(pcMain,
            QStringLiteral("Enter the text to be displayed when the Midi messages is recieved"),
            false);
    setCentralWidget(pcMain);
    DisplayPage = new TDisplayPage(pcMain);
    LyricPage = new TLyricPage(pcMain);
    TextPage = new TListEditPage(TextListDesign(), *ShowEdits, TSlotField::Line, CopyMarks,
                                 CopyBuffer, Dialogs, *ErrorBox, pcMain);
    FilePage = new TListEditPage(FileListDesign(), *ShowEdits, TSlotField::File, CopyMarks,
                                 CopyBuffer, Dialogs, *ErrorBox, pcMain);
    SettingsPage = new TSettingsPage(pcMain);
    pcMain->addTab(DisplayPage, QStringLiteral("Display"));
    pcMain->addTab(LyricPage, QStringLiteral("Lyric"));
    pcMain->addTab(TextPage, QStringLiteral("Text List Edit"));
    pcMain->addTab(FilePage, QStringLiteral("File List Edit"));
    pcMain->addTab(SettingsPage, QStringLiteral("Settings"));
    ShowsWindow = new TShowsWindow(this);
    pcMain->setCurrentWidget(SettingsPage);
}

void TfMain::connectPages()
{
    connect(pcMain, &QTabWidget::currentChanged, this, Guarded(*ErrorBox, [this] {
                QWidget *page = pcMain->currentWidget();
                Engine->SetStagePage(page == DisplayPage ? TStagePage::Display
                                     : page == LyricPage ? TStagePage::Lyric
                                                         : TStagePage::Other);
                // Only the Lyric page scrolls; coming back to it shows the
                // prompt anew.
                if (pcMain->currentWidget() != LyricPage) {
                    LyricPage->StopAutoScroll();
                }
                if (!ChangingPageQuietly) {
                    pcMainChange();
                }
            }));
    connect(TextPage, &TListEditPage::Click, this, Guarded(*ErrorBox, [this] { vleLinesClick(); }));
    connect(FilePage, &TListEditPage::Click, this, Guarded(*ErrorBox, [this] { vleFilesClick(); }));
    connectListPage(TextPage, &TfMain::TextListCommand);
    connectListPage(FilePage, &TfMain::FileListCommand);
    connect(LyricPage, &TLyricPage::LineButtonsEnabledChanged, this,
            &TfMain::LineButtonsEnabledChanged);
}

void TfMain::connectListPage(TListEditPage *page, void (TfMain::*command)(TListCommand))
{
    connect(page, &TListEditPage::Command, this,
            Guarded(*ErrorBox, [this, command](TListCommand c) { (this->*command)(c); }));
}

void TfMain::TextListCommand(TListCommand command)
{
    switch (command) {
    case TListCommand::Font:
        pmLineFontClick();
        break;
    case TListCommand::Colour:
        pmLineColourClick();
        break;
    case TListCommand::MidiStrings:
        mMidiStringsClick();
        break;
    case TListCommand::ClearMidiStrings:
        mClearMidiStringsClick();
        break;
    case TListCommand::OpenList:
        pmConvertClick();
        break;
    case TListCommand::SaveList:
        pmSaveLinetoFileClick();
        break;
    case TListCommand::DeleteEntry:
        pmTextDeleteClick();
        break;
    case TListCommand::ClearList:
        mClearAllPromptsClick();
        break;
    case TListCommand::Browse:
        break;
    }
}

void TfMain::FileListCommand(TListCommand command)
{
    switch (command) {
    case TListCommand::Browse:
        // The page chooses the file itself.
        break;
    case TListCommand::MidiStrings:
        mMidiStringsClick();
        break;
    case TListCommand::ClearMidiStrings:
        mClearMidiStringsClick();
        break;
    case TListCommand::Font:
        pmLineFontClick();
        break;
    case TListCommand::Colour:
        pmLyricColourClick();
        break;
    case TListCommand::OpenList:
        mLoadFileListClick();
        break;
    case TListCommand::SaveList:
        mSaveFileListClick();
        break;
    case TListCommand::DeleteEntry:
        pmFileDeleteClick();
        break;
    case TListCommand::ClearList:
        mClearFileListClick();
        break;
    }
}

bool TfMain::PatchMode() const
{
    return Engine->Midi().MessageType == PatchMessageType;
}

int TfMain::DisplayType() const
{
    return Engine->FileDisplay() ? 1 : 0;
}

void TfMain::ShowTabsForDisplayType()
{
    const bool textLine = SettingsPage->DisplayType() != 1;
    Engine->SetFileDisplay(!textLine);
    // Hiding the active tab moves to another page; that is no change of page
    // by the operator, so nothing is shown for it.
    ChangingPageQuietly = true;
    // The tab bar's arrow keys and mouse wheel step onto hidden tabs, but
    // not onto disabled ones.
    const auto showTab = [this](QWidget *page, bool shown) {
        pcMain->setTabEnabled(pcMain->indexOf(page), shown);
        pcMain->setTabVisible(pcMain->indexOf(page), shown);
    };
    showTab(DisplayPage, textLine);
    showTab(TextPage, textLine);
    showTab(LyricPage, !textLine);
    showTab(FilePage, !textLine);
    showTab(SettingsPage, true);
    ChangingPageQuietly = false;
}

void TfMain::SetActivePage(QWidget *page)
{
    ChangingPageQuietly = true;
    pcMain->setCurrentWidget(page);
    ChangingPageQuietly = false;
}

void TfMain::StartEmptyShow()
{
    ShowTabsForDisplayType();
    SetActivePage(DisplayType() == 0 ? static_cast<QWidget *>(DisplayPage) : LyricPage);
}

TKeyValueGrid &TfMain::Lines() const
{
    return TextPage->Grid();
}

TKeyValueGrid &TfMain::Files() const
{
    return FilePage->Grid();
}

void TfMain::CommitListEdits() const
{
    Lines().CommitEdit();
    Files().CommitEdit();
}

int TfMain::CurrentSlot() const
{
    return Engine->CurrentSlot();
}

TKeyValueGrid &TfMain::GridOfDisplayType() const
{
    return DisplayType() == 0 ? Lines() : Files();
}

void TfMain::cbAutoScrollClick()
{
    LyricPage->SetAutoScroll(SettingsPage->AutoScroll());
    // Switched on during a song: from where the view stands.
    if (pcMain->currentWidget() == LyricPage) {
        LyricPage->FollowWithAutoScroll();
    }
}

void TfMain::seScrollSecondsChange()
{
    LyricPage->SetScrollSeconds(SettingsPage->ScrollSeconds());
}

} // namespace tarvello
