#include "main/MainWindow.h"

#include "main/LyricAutoScroll.h"
#include "prompt/PromptReference.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/RadioGroup.h"
#include "widgets/WebBrowserView.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>

namespace tarvello {
bool TfMain::PatchMode() const
{
    return rgMessage->ItemIndex() == 0;
}

int TfMain::DisplayType() const
{
    return rgDisplayType->ItemIndex() == 1 ? 1 : 0;
}

void TfMain::SetDisplayType(int type)
{
    rgDisplayType->SetItemIndex(type == 1 ? 1 : 0);
    ShowTabsForDisplayType();
}

void TfMain::ShowTabsForDisplayType()
{
    const bool textLine = DisplayType() == 0;
    // Hiding the active tab moves to another page; that is no change of page
    // by the operator, so nothing is shown for it.
    SettingPage = true;
    // The tab bar's arrow keys and mouse wheel step onto hidden tabs, but
    // not onto disabled ones.
    const auto showTab = [this](QWidget *page, bool shown) {
        pcMain->setTabEnabled(pcMain->indexOf(page), shown);
        pcMain->setTabVisible(pcMain->indexOf(page), shown);
    };
    showTab(tsDisplay, textLine);
    showTab(tsTextEdit, textLine);
    showTab(tsLyric, !textLine);
    showTab(tsFileList, !textLine);
    showTab(tsMidi, true);
    SettingPage = false;
}

void TfMain::SetActivePage(QWidget *page)
{
    SettingPage = true;
    pcMain->setCurrentWidget(page);
    SettingPage = false;
}

void TfMain::StartEmptyShow()
{
    ShowTabsForDisplayType();
    SetActivePage(DisplayType() == 0 ? tsDisplay : tsLyric);
}

TKeyValueGrid *TfMain::GridOfDisplayType() const
{
    return DisplayType() == 0 ? vleLines : vleFiles;
}

void TfMain::ActOnValue(int value)
{
    if (value < 0 || value > PreviousPromptValue) {
        return;
    }
    QWidget *page = pcMain->currentWidget();
    // Showing files, 122 and 123 are the line commands of the Lyric page
    // wherever they come from: they never select a slot (no jump of the show
    // to slot 122, no MIDI of its own), and off the Lyric page they have
    // nothing to scroll, so they change nothing there, not even the caption.
    const bool fileDisplay = DisplayType() == 1;
    const bool lineCommand = fileDisplay && (value == LineDownValue || value == LineUpValue);
    if (lineCommand && page != tsLyric) {
        return;
    }
    setWindowTitle(SelectionCaption(PatchMode(), MidiController, value));
    const bool selects = !lineCommand;
    // Slot 122 of the file list cannot be shown (its key is the line-down
    // command), so "Next" stops at 121 there.
    const int lastShown = fileDisplay ? LastSlotKey - 1 : LastSlotKey;
    int shown = value;
    if (selects) {
        if (value <= LastSlotKey) {
            CurrentSlotKey = value;
        } else if (value == NextPromptValue) {
            // A slot 122 left current by the text lines also lands on 121.
            CurrentSlotKey = std::min(CurrentSlotKey + 1, lastShown);
            shown = CurrentSlotKey;
        } else if (value == PreviousPromptValue) {
            if (CurrentSlotKey > 0) {
                --CurrentSlotKey;
            }
            shown = CurrentSlotKey;
        }
    }

    if (page == tsDisplay) {
        // 123 to 125 scroll and page: the one line of the Display page has
        // nothing to scroll.
        if (shown <= LastSlotKey) {
            DisplayTextLine(shown);
        }
    } else if (page == tsLyric) {
        ShowPrompt(shown);
    }

    if (selects) {
        // A move to another row runs the list click handling at once.
        GridOfDisplayType()->SetRow(RowOfSlot(CurrentSlotKey));
    }
}

void TfMain::DisplayTextLine(int value)
{
    const QString key = QString::number(value);
    const QString line = vleLines->Value(key);
    lPatchName->setText(cbSuppressNum->isChecked() ? line : NumberedLine(key, line));
}

void TfMain::ShowPrompt(int value)
{
    const int currentRow = RowOfSlot(CurrentSlotKey);
    if (value >= LineDownValue && value <= PageUpValue) {
        RunViewCommand(value);
        AutoScrollCommand();
        setWindowTitle(windowTitle() + QStringLiteral(" Item:") + vleFiles->Key(currentRow) +
                       QLatin1Char(' ') + vleFiles->ValueOfRow(currentRow));
        return;
    }
    // A prompt that fails to show leaves nothing scrolling behind it; one that
    // shows scrolls from its top (a PDF from the page it opened at).
    AutoScroller().Stop();
    ShowSlot(value);
    FollowLyricViewWithAutoScroll();
}

void TfMain::ShowSlot(int value)
{
    const int currentRow = RowOfSlot(CurrentSlotKey);
    reLyric->clear();
    setWindowTitle(windowTitle() + QStringLiteral(" Item:") + vleFiles->Key(currentRow));
    const int row = RowOfSlot(value);
    const QString key = vleFiles->Key(row);
    const QString stored = vleFiles->ValueOfRow(row);
    const TPromptReference reference =
        ParsePromptReference(stored, [](const QString &name) { return QFileInfo(name).isFile(); });

    ShowOnlyView(lvRichText);
    emit LineButtonsEnabledChanged(true);

    if (IsWebAddress(reference.Reference)) {
        ShowOnlyView(lvBrowser);
        webFileBrowser->Stop();
        webFileBrowser->Navigate(reference.Reference);
        return;
    }

    const QFileInfo file(reference.Reference);
    if (reference.Reference.isEmpty() || !file.isFile()) {
        if (!cbSuppressNum->isChecked()) {
            reLyric->setPlainText(NumberedLine(key, reference.Reference));
        }
        return;
    }

    setWindowTitle(windowTitle() + QLatin1Char(' ') + reference.Reference);
    // The file was found relative to the current directory; the viewers get
    // its absolute path so that none of them resolves the name elsewhere.
    const QString path = file.absoluteFilePath();
    switch (FileViewForName(reference.Reference)) {
    case TFileView::Browser:
        ShowInBrowser(path);
        break;
    case TFileView::Pdf:
        ShowPdf(path, reference.Page);
        break;
    case TFileView::RichText:
        LoadIntoRichText(path);
        if (!cbSuppressNum->isChecked()) {
            InsertFirstLine(NumberedLine(key, stored));
        }
        break;
    }
}

void TfMain::pcMainChange()
{
    QWidget *page = pcMain->currentWidget();
    if (page == tsDisplay || page == tsLyric) {
        ActOnValue(CurrentSlotKey);
    }
}

void TfMain::vleLinesClick()
{
    ActOnValue(SlotOfRow(vleLines->Row()));
    SendSelectionMidi();
}

void TfMain::vleFilesClick()
{
    const int slot = SlotOfRow(vleFiles->Row());
    // Showing files, slot 122's key is the line-down command: its row can be
    // filled in, but selecting it would send the MIDI of another slot.
    if (DisplayType() == 1 && slot == LineDownValue) {
        return;
    }
    ActOnValue(slot);
    SendSelectionMidi();
}

void TfMain::SendSelectionMidi()
{
    if (SelectionMidiSender) {
        SelectionMidiSender();
    }
}

void TfMain::SetSelectionMidiSender(std::function<void()> sender)
{
    SelectionMidiSender = std::move(sender);
}

} // namespace tarvello
