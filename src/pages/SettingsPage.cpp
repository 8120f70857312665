#include "pages/SettingsPage.h"

#include "prompt/NavigationLabels.h"
#include "prompt/StoredSettings.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <utility>

namespace tarvello {
namespace {

// The row of the selected item, -1 when the cursor's item is not selected.
int SelectedRow(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item != nullptr && item->isSelected() ? list->currentRow() : -1;
}

// A list box's click runs for a click on an item and for a move to another
// item with the keys, but not when the program sets the selection.
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
            const int before = SelectedRow(List);
            // The list moves its cursor after this filter has seen the key. A
            // key that selects the item under the cursor (Space) counts too:
            // a device that looks chosen must be the open one.
            QTimer::singleShot(0, this, [this, before] {
                if (SelectedRow(List) != before) {
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

// Marks the item of a chosen device that is not present.
constexpr int NotConnectedRole = Qt::UserRole + 1;

bool NotConnected(const QListWidgetItem *item)
{
    return item != nullptr && item->data(NotConnectedRole).toBool();
}

QString SelectedText(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
    return item ? item->text() : QString();
}

// The selected device's row, -1 for none or for one that is not connected.
// The cursor alone chooses nothing: a list given the focus puts it on its
// first row without selecting it.
int DeviceRow(const QListWidget *list)
{
    const int row = SelectedRow(list);
    return row >= 0 && !NotConnected(list->item(row)) ? row : -1;
}

void SelectNone(QListWidget *list)
{
    list->setCurrentRow(-1);
    list->clearSelection();
}

QStringList PresentDevices(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        if (!NotConnected(list->item(row))) {
            names.append(list->item(row)->text());
        }
    }
    return names;
}

// Fills a device list (see SetInputDevices) and gives the row of the device
// wanted, -1 when it is not present.
int ShowDevices(QListWidget *list, const QStringList &names, const QString &chosen)
{
    QString wanted = chosen;
    if (wanted.isEmpty() && DeviceRow(list) >= 0) {
        wanted = SelectedText(list);
    }
    int row = -1;
    for (int i = 0; i < names.size() && !wanted.isEmpty(); ++i) {
        if (names[i].compare(wanted, Qt::CaseInsensitive) == 0) {
            row = i;
            break;
        }
    }
    QStringList items = names;
    const bool absent = row < 0 && !chosen.isEmpty();
    if (absent) {
        items.append(chosen + QStringLiteral(" (not connected)"));
    }
    const int selected = absent ? int(items.size()) - 1 : row;
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) {
        shown.append(list->item(i)->text());
    }
    // Rebuilt only when something changed: the operator's place in a long
    // list is kept while the devices stay as they are.
    if (shown != items || NotConnected(list->item(selected)) != absent ||
        SelectedRow(list) != selected) {
        list->clear();
        list->addItems(items);
        if (absent) {
            QListWidgetItem *item = list->item(selected);
            item->setData(NotConnectedRole, true);
            item->setForeground(list->palette().color(QPalette::Disabled, QPalette::Text));
        }
        list->setCurrentRow(selected);
        if (selected < 0) {
            list->clearSelection();
        }
    }
    return row;
}

// What the settings keep of a list: the chosen device by the name it is listed
// under (by its own while it is not connected).
std::optional<QString> DeviceToKeep(const QListWidget *list, const QString &chosen)
{
    const bool selected = DeviceRow(list) >= 0;
    if (selected &&
        (chosen.isEmpty() || SelectedText(list).compare(chosen, Qt::CaseInsensitive) == 0)) {
        return SelectedText(list);
    }
    if (!chosen.isEmpty()) {
        return chosen;
    }
    return std::nullopt;
}

std::optional<int> Found(int row)
{
    return row >= 0 ? std::optional<int>(row) : std::nullopt;
}

} // namespace

void TSettingsPage::connectControls()
{
    new TListClick(lbMidiIn, [this] { emit InputClicked(); });
    new TListClick(lbMidiOut, [this] { emit OutputClicked(); });
    new TListClick(lbChannel, [this] { emit ChannelClicked(); });
    new TListClick(lbController, [this] { emit ControllerClicked(); });
    connect(rgMessage, &TRadioGroup::Click, this, &TSettingsPage::MessageTypeClicked);
    connect(rgDisplayType, &TRadioGroup::Click, this, &TSettingsPage::DisplayTypeClicked);
    connect(cbMidiThru, &QCheckBox::toggled, this, &TSettingsPage::MidiThruToggled);
    for (QCheckBox *box : {cbSuppressNum, cbMidiOut, cbMidiStrings, cbPageTurnerContinues}) {
        connect(box, &QCheckBox::toggled, this, &TSettingsPage::SelectionOptionsToggled);
    }
    connect(cbTouchPad, &QCheckBox::toggled, this, &TSettingsPage::TouchPadToggled);
    connect(cbPdfScrollbar, &QCheckBox::toggled, this, &TSettingsPage::PdfScrollbarToggled);
    connect(cbPedalKeys, &QCheckBox::toggled, this, &TSettingsPage::PedalKeysToggled);
    connect(cbAutoScroll, &QCheckBox::toggled, this, &TSettingsPage::AutoScrollToggled);
    connect(seScrollSeconds, &QSpinBox::valueChanged, this, &TSettingsPage::ScrollSecondsChanged);
    connect(seScrollDelay, &QSpinBox::valueChanged, this, &TSettingsPage::ScrollDelayChanged);
    connect(seReleaseWindow, &QSpinBox::valueChanged, this, &TSettingsPage::ReleaseWindowChanged);
    connect(bLearn, &QPushButton::clicked, this, &TSettingsPage::LearnClicked);
    connect(bChooseFont, &QPushButton::clicked, this, &TSettingsPage::FontClicked);
    connect(sbDonate, &QToolButton::clicked, this, &TSettingsPage::DonateClicked);
}

void TSettingsPage::SetInputDevices(const QStringList &names)
{
    ShowDevices(lbMidiIn, names, InputChosen);
    PlaceMidiSystemNotice();
}

void TSettingsPage::SetOutputDevices(const QStringList &names)
{
    ShowDevices(lbMidiOut, names, OutputChosen);
}

void TSettingsPage::SelectNoDevices()
{
    InputChosen.clear();
    OutputChosen.clear();
    lbChannel->setCurrentRow(0);
    SelectNone(lbMidiIn);
    SelectNone(lbMidiOut);
}

std::optional<int> TSettingsPage::SelectInput(const QString &name)
{
    InputChosen = name;
    const int row = ShowDevices(lbMidiIn, PresentDevices(lbMidiIn), InputChosen);
    PlaceMidiSystemNotice();
    return Found(row);
}

void TSettingsPage::ShowMidiSystemMissing(bool missing)
{
    lNoMidiSystem->setVisible(missing);
    PlaceMidiSystemNotice();
}

void TSettingsPage::PlaceMidiSystemNotice()
{
    // Below the device that is awaited, if one is.
    QWidget *area = lbMidiIn->viewport();
    const int count = lbMidiIn->count();
    const int top =
        count > 0 ? lbMidiIn->visualItemRect(lbMidiIn->item(count - 1)).bottom() + 1 : 0;
    lNoMidiSystem->setGeometry(2, top, area->width() - 4, std::max(0, area->height() - top));
}

std::optional<int> TSettingsPage::SelectOutput(const QString &name)
{
    OutputChosen = name;
    return Found(ShowDevices(lbMidiOut, PresentDevices(lbMidiOut), OutputChosen));
}

void TSettingsPage::ChooseSelectedInput()
{
    if (DeviceRow(lbMidiIn) >= 0) {
        InputChosen = SelectedText(lbMidiIn);
        ShowDevices(lbMidiIn, PresentDevices(lbMidiIn), InputChosen);
    }
}

void TSettingsPage::ChooseSelectedOutput()
{
    if (DeviceRow(lbMidiOut) >= 0) {
        OutputChosen = SelectedText(lbMidiOut);
        ShowDevices(lbMidiOut, PresentDevices(lbMidiOut), OutputChosen);
    }
}

int TSettingsPage::InputRow() const
{
    return DeviceRow(lbMidiIn);
}

int TSettingsPage::OutputRow() const
{
    return DeviceRow(lbMidiOut);
}

int TSettingsPage::OutputCount() const
{
    return lbMidiOut->count();
}

int TSettingsPage::ChannelRow() const
{
    return lbChannel->currentRow();
}

void TSettingsPage::SetChannelRow(int row)
{
    lbChannel->setCurrentRow(row);
}

int TSettingsPage::ControllerRow() const
{
    return lbController->currentRow();
}

void TSettingsPage::SetControllerRow(int row)
{
    lbController->setCurrentRow(row);
    if (row < 0) {
        lbController->clearSelection();
    }
}

int TSettingsPage::MessageType() const
{
    return rgMessage->ItemIndex();
}

void TSettingsPage::SetMessageType(int item)
{
    rgMessage->SetItemIndex(item);
}

int TSettingsPage::DisplayType() const
{
    return rgDisplayType->ItemIndex();
}

void TSettingsPage::SetDisplayType(int item)
{
    rgDisplayType->SetItemIndex(item);
}

void TSettingsPage::ShowController(bool shown)
{
    lController->setVisible(shown);
    lbController->setVisible(shown);
}

bool TSettingsPage::SuppressNumber() const
{
    return cbSuppressNum->isChecked();
}

bool TSettingsPage::SendMessageOnClick() const
{
    return cbMidiOut->isChecked();
}

bool TSettingsPage::SendMidiStrings() const
{
    return cbMidiStrings->isChecked();
}

bool TSettingsPage::TouchPadShown() const
{
    return cbTouchPad->isChecked();
}

bool TSettingsPage::PdfScrollbarShown() const
{
    return cbPdfScrollbar->isChecked();
}

void TSettingsPage::SetTouchPadShown(bool shown)
{
    cbTouchPad->setChecked(shown);
}

bool TSettingsPage::PedalKeys() const
{
    return cbPedalKeys->isChecked();
}

void TSettingsPage::SetPedalKeys(bool on)
{
    cbPedalKeys->setChecked(on);
}

bool TSettingsPage::AutoScroll() const
{
    return cbAutoScroll->isChecked();
}

int TSettingsPage::ScrollSeconds() const
{
    return seScrollSeconds->value();
}

int TSettingsPage::ScrollDelay() const
{
    return seScrollDelay->value();
}

bool TSettingsPage::PageTurnerContinues() const
{
    return cbPageTurnerContinues->isChecked();
}

int TSettingsPage::ReleaseWindow() const
{
    return seReleaseWindow->value();
}

void TSettingsPage::Restore(const TStoredSettings &s)
{
    rgMessage->SetItemIndex(RadioItemOfSetting(s.MidiMessage, rgMessage->Count()));
    rgDisplayType->SetItemIndex(RadioItemOfSetting(s.DisplayType, rgDisplayType->Count()));
    cbSuppressNum->setChecked(s.SuppressNumber);
    cbMidiThru->setChecked(s.MidiThru);
    cbMidiOut->setChecked(s.MidiOut);
    cbMidiStrings->setChecked(s.MidiStringOut);
    cbTouchPad->setChecked(s.TouchPad);
    cbPdfScrollbar->setChecked(s.PdfScrollbar);
    seScrollSeconds->setValue(s.ScrollSeconds);
    cbAutoScroll->setChecked(s.AutoScroll);
    seScrollDelay->setValue(s.ScrollDelay);
    cbPageTurnerContinues->setChecked(s.PageTurnerContinues);
    seReleaseWindow->setValue(s.ReleaseWindow);
    RestoreShowOptions(s);
    SetBandPort(s.BandPort);
    cbBandScreens->setChecked(s.BandEnabled);
    RestoreOsc(s);
}

void TSettingsPage::Collect(TStoredSettings &s) const
{
    if (const auto input = DeviceToKeep(lbMidiIn, InputChosen)) {
        s.Input = *input;
    }
    if (const auto output = DeviceToKeep(lbMidiOut, OutputChosen)) {
        s.Output = *output;
    }
    // No channel chosen (the operator cleared it): the one the dispatch falls
    // back to.
    s.Channel = lbChannel->currentRow() >= 0 ? SelectedText(lbChannel) : QStringLiteral("1");
    s.Controller = QString::number(lbController->currentRow());
    s.SuppressNumber = cbSuppressNum->isChecked();
    s.MidiThru = cbMidiThru->isChecked();
    s.MidiOut = cbMidiOut->isChecked();
    s.MidiStringOut = cbMidiStrings->isChecked();
    s.TouchPad = cbTouchPad->isChecked();
    s.PdfScrollbar = cbPdfScrollbar->isChecked();
    s.MidiMessage = rgMessage->ItemIndex();
    s.DisplayType = rgDisplayType->ItemIndex();
    s.AutoScroll = cbAutoScroll->isChecked();
    s.ScrollSeconds = seScrollSeconds->value();
    s.ScrollDelay = seScrollDelay->value();
    s.PageTurnerContinues = cbPageTurnerContinues->isChecked();
    s.ReleaseWindow = seReleaseWindow->value();
    s.ShowController = ShowController();
    s.SongSelect = SongSelect();
    s.NumbersFromOne = NumbersFromOne();
    s.PedalKeys = cbPedalKeys->isChecked();
    s.BandEnabled = cbBandScreens->isChecked();
    s.BandPort = seBandPort->value();
    CollectOsc(s);
}

void TSettingsPage::SetNavigationLabels(const TNavigationLabels &labels)
{
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

void TSettingsPage::SetLearning(bool learning)
{
    // Pressed while learning: a second click cancels.
    bLearn->setText(learning ? QStringLiteral("Learning") : QStringLiteral("Midi Learn"));
    bLearn->setChecked(learning);
}

void TSettingsPage::ShowSaveProblem(const QString &problem)
{
    lSaveProblem->setText(problem.isEmpty() ? QString()
                                            : QStringLiteral("Not saved: %1").arg(problem));
    lSaveProblem->setVisible(!problem.isEmpty());
}

void TSettingsPage::SetVersionText(const QString &text)
{
    lVersion->setText(text);
    lVersion->adjustSize();
}

} // namespace tarvello
