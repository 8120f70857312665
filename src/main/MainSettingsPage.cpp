#include "main/MainWindow.h"

#include "main/DonateAddress.h"
#include "midi/Midi.h"
#include "pdfviewer/PdfViewer.h"
#include "prompt/MidiDispatch.h"
#include "prompt/NavigationLabels.h"
#include "touchpad/TouchPad.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <utility>

namespace tarvello {
namespace {

// Closes the device stored for a list and opens the one clicked. A stored
// index that names no device (-1: the stored device was not found) has
// nothing to close. The new index is stored before the old device closes: a
// thru echo opens the output it names on demand, and one that still named the
// old device would open it again and keep it open until the program ends.
// When the system refuses the device, no device of the list is open any more,
// and the index says so; a device that opened but could not be started is
// closed again, so that the next click opens it afresh.
void SwitchDevice(TMidiDevices &devices, const std::atomic<int> &storedIndex, int clicked,
                  const std::function<void(int)> &store)
{
    const int previous = storedIndex.load();
    store(clicked);
    if (previous >= 0 && previous < devices.Devices.Count()) {
        devices.Close(previous);
    }
    try {
        devices.Open(clicked);
    } catch (...) {
        // -1 first: an echo must not open the device again once it is closed.
        store(-1);
        try {
            devices.Close(clicked);
        } catch (...) {
            // The refusal is what the operator is told about.
        }
        throw;
    }
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
    SwitchDevice(MidiInput(), InputDeviceIndex, lbMidiIn->currentRow(),
                 [this](int index) { InputDeviceIndex = index; });
}

void TfMain::lbMidiOutClick()
{
    // The input thread reads the output index for every echo: the store waits
    // for a message being handled, so no echo that read the old index is still
    // under way when the old device closes.
    SwitchDevice(MidiOutput(), OutputDeviceIndex, lbMidiOut->currentRow(), [this](int index) {
        Dispatch->BetweenMessages([this, index] { OutputDeviceIndex = index; });
    });
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
    // A controller's labels are longer than the panel was laid out for; the
    // labels and their panel grow to the right, where nothing else stands.
    int widest = NavigationLabelWidth;
    for (QLabel *label : {lNextItem, lPreviousItem, lNextPage, lPrevPage}) {
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text()) + 1);
    }
    for (QLabel *label : {lNextItem, lPreviousItem, lNextPage, lPrevPage}) {
        label->resize(widest, label->height());
    }
    Panel1->resize(std::max(NavigationPanelWidth, lNextItem->x() + widest + 2), Panel1->height());
}

} // namespace tarvello
