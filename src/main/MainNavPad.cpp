#include "main/MainWindow.h"

#include "touchpad/PadSelect.h"
#include "touchpad/TouchPad.h"

#include <QCheckBox>
#include <QEvent>
#include <QTabWidget>

namespace tarvello {
namespace {

// Every paint of the main window brings the pad back to the front when its box
// is checked, so that a pad on a touch screen never stays buried behind it.
class TPaintWatcher : public QObject {
public:
    explicit TPaintWatcher(TfMain *window) : QObject(window), Window(window) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == Window && event->type() == QEvent::Paint) {
            Window->cbTouchPadClick();
        }
        return false;
    }

private:
    TfMain *Window;
};

} // namespace

void TfMain::watchPaintForTouchPad()
{
    installEventFilter(new TPaintWatcher(this));
}

void TfMain::SetTouchPad(TfTouch *pad)
{
    if (Pad) {
        Pad->disconnect(this);
        disconnect(this, nullptr, Pad, nullptr);
    }
    Pad = pad;
    if (!pad) {
        return;
    }
    connect(pad, &TfTouch::ValueRequested, this, &TfMain::ActOnValue);
    connect(pad, &TfTouch::SelectRequested, this, &TfMain::NavPadSelect);
    connect(pad, &TfTouch::CloseBoxed, this, [this] { cbTouchPad->setChecked(false); });
    connect(this, &TfMain::LineButtonsEnabledChanged, pad, &TfTouch::SetLineButtonsEnabled);
    pad->SetScrollButtonsEnabled(DisplayType() == 1);
}

TfTouch *TfMain::TouchPad() const
{
    return Pad;
}

void TfMain::NavPadSelect()
{
    QWidget *const pages[] = {tsDisplay, tsLyric, tsTextEdit, tsFileList, tsMidi};
    QWidget *current = pcMain->currentWidget();
    TPadPage active = TPadPage::Settings;
    for (int i = 0; i < 5; ++i) {
        if (pages[i] == current) {
            active = static_cast<TPadPage>(i);
        }
    }
    const TPadPage target = PadSelectTarget(
        DisplayType() == 0 ? TPadDisplayType::TextLine : TPadDisplayType::File, active);
    SetActivePage(pages[static_cast<int>(target)]);
    pcMainChange();
}

} // namespace tarvello
