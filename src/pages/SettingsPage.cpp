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

QString SelectedText(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentRow() >= 0 ? list->currentItem() : nullptr;
    return item ? item->text() : QString();
}

void SelectFirst(QListWidget *list)
{
    list->setCurrentRow(list->count() > 0 ? 0 : -1);
}

std::optional<int> SelectNamed(QListWidget *list, const QString &name)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().compare(name, Qt::CaseInsensitive) == 0) {
            list->setCurrentRow(row);
            return row;
        }
    }
    list->setCurrentRow(-1);
    list->clearSelection();
    return std::nullopt;
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
    connect(cbTouchPad, &QCheckBox::toggled, this, &TSettingsPage::TouchPadToggled);
    connect(cbPdfScrollbar, &QCheckBox::toggled, this, &TSettingsPage::PdfScrollbarToggled);
    connect(cbAutoScroll, &QCheckBox::toggled, this, &TSettingsPage::AutoScrollToggled);
    connect(seScrollSeconds, &QSpinBox::valueChanged, this, &TSettingsPage::ScrollSecondsChanged);
    connect(bLearn, &QPushButton::clicked, this, &TSettingsPage::LearnClicked);
    connect(bChooseFont, &QPushButton::clicked, this, &TSettingsPage::FontClicked);
    connect(sbDonate, &QToolButton::clicked, this, &TSettingsPage::DonateClicked);
}

void TSettingsPage::SetInputDevices(const QStringList &names)
{
    lbMidiIn->clear();
    lbMidiIn->addItems(names);
}

void TSettingsPage::SetOutputDevices(const QStringList &names)
{
    lbMidiOut->clear();
    lbMidiOut->addItems(names);
}

void TSettingsPage::SelectFirstDevices()
{
    lbChannel->setCurrentRow(0);
    SelectFirst(lbMidiIn);
    SelectFirst(lbMidiOut);
}

std::optional<int> TSettingsPage::SelectInput(const QString &name)
{
    return SelectNamed(lbMidiIn, name);
}

std::optional<int> TSettingsPage::SelectOutput(const QString &name)
{
    return SelectNamed(lbMidiOut, name);
}

int TSettingsPage::InputRow() const
{
    return lbMidiIn->currentRow();
}

int TSettingsPage::OutputRow() const
{
    return lbMidiOut->currentRow();
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
}

void TSettingsPage::Collect(TStoredSettings &s) const
{
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
    s.PedalKeys = cbPedalKeys->isChecked();
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
    bLearn->setText(learning ? QStringLiteral("Learning") : QStringLiteral("Midi Learn"));
    bLearn->setEnabled(!learning);
}

void TSettingsPage::SetVersionText(const QString &text)
{
    lVersion->setText(text);
    lVersion->adjustSize();
}

} // namespace tarvello
