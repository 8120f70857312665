#include "main/MainWindow.h"

#include "main/DonateAddress.h"
#include "main/NavigationLabels.h"
#include "main/RadioGroup.h"
#include "midi/Midi.h"
#include "pdfviewer/PdfViewer.h"
#include "touchpad/TouchPad.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <functional>
#include <utility>

namespace tarvello {
namespace {

// Closes the device stored for a list and opens the one clicked. A stored
// index that names no device (-1: the stored device was not found) has
// nothing to close. When the system refuses the device, no device of the list
// is open any more, and the index says so.
void SwitchDevice(TMidiDevices &devices, std::atomic<int> &storedIndex, int clicked)
{
    const int previous = storedIndex.load();
    if (previous >= 0 && previous < devices.Devices.Count()) {
        devices.Close(previous);
    }
    try {
        devices.Open(clicked);
    } catch (...) {
        storedIndex = -1;
        throw;
    }
    storedIndex = clicked;
}

// A list box's click handler runs for a click on an item and for a move to
// another item with the keys, but not when the program sets the selection.
class TListClick : public QObject {
public:
    TListClick(QListWidget *list, std::function<void()> handler)
        : QObject(list), List(list), Handler(std::move(handler))
    {
        connect(list, &QListWidget::itemClicked, this, [this] { Handler(); });
        list->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == List && event->type() == QEvent::KeyPress) {
            const int before = List->currentRow();
            // The list moves its cursor after this filter has seen the key.
            QTimer::singleShot(0, this, [this, before] {
                if (List->currentRow() != before) {
                    Handler();
                }
            });
        }
        return false;
    }

private:
    QListWidget *List;
    std::function<void()> Handler;
};

} // namespace

void TfMain::connectSettingsPage()
{
    new TListClick(lbMidiIn, [this] { lbMidiInClick(); });
    new TListClick(lbMidiOut, [this] { lbMidiOutClick(); });
    new TListClick(lbChannel, [this] { lbChannelClick(); });
    new TListClick(lbController, [this] { lbControllerClick(); });
    connect(rgMessage, &TRadioGroup::Click, this, &TfMain::rgMessageClick);
    connect(rgDisplayType, &TRadioGroup::Click, this, &TfMain::rgDisplayTypeClick);
    connect(cbTouchPad, &QCheckBox::toggled, this, &TfMain::cbTouchPadClick);
    connect(cbPdfScrollbar, &QCheckBox::toggled, this, &TfMain::cbPdfScrollbarClick);
    connect(sbDonate, &QToolButton::clicked, this, &TfMain::sbDonateClick);
    // The input thread reads the box through this copy, never the widget.
    connect(cbMidiThru, &QCheckBox::toggled, this, [this](bool checked) { MidiThru = checked; });
    MidiThru = cbMidiThru->isChecked();
    OpenUrl = [](const QUrl &address) { return QDesktopServices::openUrl(address); };
    UpdateNavigationLabels();
}

void TfMain::lbMidiInClick()
{
    SwitchDevice(MidiInput(), InputDeviceIndex, lbMidiIn->currentRow());
}

void TfMain::lbMidiOutClick()
{
    SwitchDevice(MidiOutput(), OutputDeviceIndex, lbMidiOut->currentRow());
}

void TfMain::lbChannelClick()
{
    MidiChannel = lbChannel->currentRow();
    UpdateNavigationLabels();
}

void TfMain::lbControllerClick()
{
    MidiController = lbController->currentRow();
    UpdateNavigationLabels();
}

void TfMain::rgMessageClick()
{
    const bool patch = rgMessage->ItemIndex() == 0;
    MidiMessageType = patch ? 0xC0 : 0xB0;
    lController->setVisible(!patch);
    lbController->setVisible(!patch);
    UpdateNavigationLabels();
}

void TfMain::rgDisplayTypeClick()
{
    ShowTabsForDisplayType();
    if (Pad) {
        Pad->SetScrollButtonsEnabled(DisplayType() == 1);
    }
    UpdateNavigationLabels();
}

void TfMain::cbTouchPadClick()
{
    if (!Pad) {
        return;
    }
    if (cbTouchPad->isChecked()) {
        if (!Pad->isVisible()) {
            Pad->show();
        }
        Pad->raise();
    } else if (Pad->isVisible()) {
        Pad->hide();
    }
}

void TfMain::cbPdfScrollbarClick()
{
    PdfViewer->SetShowScrollBars(cbPdfScrollbar->isChecked());
}

void TfMain::sbDonateClick()
{
    // Nothing is reported when no browser takes the address.
    if (OpenUrl) {
        OpenUrl(QUrl(DonateAddress));
    }
}

void TfMain::UpdateNavigationLabels()
{
    const TNavigationLabels labels =
        NavigationLabelTexts(MidiMessageType, MidiChannel, MidiController, DisplayType() == 0);
    lNextItem->setText(labels.NextItem);
    lPreviousItem->setText(labels.PreviousItem);
    lNextPage->setText(labels.NextPage);
    lPrevPage->setText(labels.PrevPage);
}

} // namespace tarvello
