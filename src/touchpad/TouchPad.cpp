#include "touchpad/TouchPad.h"

#include "core/SlotTypes.h"
#include "touchpad/PadPlacement.h"
#include "touchpad/PadSelect.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tarvello {

namespace {

constexpr int PadClientWidth = 170;
constexpr int PadClientHeight = 124;
// Grey: red, green and blue 128.
const QColor PadBackground(128, 128, 128);

// A press waits a full second before the first repeat, so that an ordinary tap
// moves exactly one line; a hold then moves ten lines a second.
constexpr int FirstRepeatMs = 1000;
constexpr int NextRepeatMs = 100;

} // namespace

TfTouch::TfTouch(int padTop, int padLeft, QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fTouch"));
    setWindowTitle(QStringLiteral("Nav Pad"));
    // The pad only follows the main window: closing it must never end the
    // program, and it must not keep the program alive once the main window
    // has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(PadClientWidth, PadClientHeight);

    QFont padFont(QStringLiteral("Tahoma"));
    padFont.setPixelSize(11);
    setFont(padFont);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, PadBackground);
    setPalette(pal);
    setAutoFillBackground(true);

    bPageUp = MakeButton("bPageUp", QStringLiteral("Page Up"), QRect(34, 0, 53, 40));
    bLineUp = MakeButton("bLineUp", QStringLiteral("Line Up"), QRect(90, 0, 53, 40));
    bPrevFile = MakeButton("bPrevFile", QStringLiteral("Previous"), QRect(0, 40, 53, 41));
    bSelect = MakeButton("bSelect", QStringLiteral("Select"), QRect(58, 40, 53, 41));
    bNextFile = MakeButton("bNextFile", QStringLiteral("Next"), QRect(116, 40, 53, 41));
    bPageDown = MakeButton("bPageDown", QStringLiteral("Page Dn"), QRect(34, 82, 53, 41));
    bLineDown = MakeButton("bLineDown", QStringLiteral("Line Dn"), QRect(90, 82, 53, 41));

    connect(bPageUp, &QPushButton::clicked, this, &TfTouch::bPageUpClick);
    connect(bLineUp, &QPushButton::clicked, this, &TfTouch::bLineUpClick);
    connect(bPrevFile, &QPushButton::clicked, this, &TfTouch::bPrevFileClick);
    connect(bSelect, &QPushButton::clicked, this, &TfTouch::bSelectClick);
    connect(bNextFile, &QPushButton::clicked, this, &TfTouch::bNextFileClick);
    connect(bPageDown, &QPushButton::clicked, this, &TfTouch::bPageDownClick);
    connect(bLineDown, &QPushButton::clicked, this, &TfTouch::bLineDownClick);

    // The line buttons repeat for any mouse button, which QPushButton itself
    // ignores for all but the left one, so their presses are watched here.
    bLineUp->installEventFilter(this);
    bLineDown->installEventFilter(this);

    PadTimer.setObjectName(QStringLiteral("PadTimer"));
    PadTimer.setSingleShot(true);
    connect(&PadTimer, &QTimer::timeout, this, &TfTouch::PadTimerTimer);

    FormCreate(padTop, padLeft);
}

QPushButton *TfTouch::MakeButton(const char *name, const QString &caption, const QRect &bounds)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(bounds);
    return button;
}

void TfTouch::FormCreate(int padTop, int padLeft)
{
    SetPadPosition(padTop, padLeft);
}

void TfTouch::SetPadPosition(int top, int left)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    GivenPosition = QPoint(left, top);
    // For a window, move() places the frame's top-left corner.
    move(PadPositionInView(GivenPosition, frameGeometry().size(), screens));
    PlacedPosition = pos();
}

QPoint TfTouch::SettingsPosition() const
{
    const QPoint at = pos() == PlacedPosition ? GivenPosition : pos();
    return QPoint(std::max(at.x(), 0), std::max(at.y(), 0));
}

void TfTouch::SetScrollButtonsEnabled(bool enabled)
{
    bPageUp->setEnabled(enabled);
    bPageDown->setEnabled(enabled);
    SetLineButtonsEnabled(enabled);
}

void TfTouch::SetLineButtonsEnabled(bool enabled)
{
    bLineUp->setEnabled(enabled);
    bLineDown->setEnabled(enabled);
}

void TfTouch::bPageUpClick()
{
    emit ValueRequested(PageUpValue);
}

void TfTouch::bLineUpClick()
{
    emit ValueRequested(LineUpValue);
}

void TfTouch::bPrevFileClick()
{
    emit ValueRequested(PreviousPromptValue);
}

void TfTouch::bSelectClick()
{
    emit SelectRequested();
}

void TfTouch::bNextFileClick()
{
    emit ValueRequested(NextPromptValue);
}

void TfTouch::bPageDownClick()
{
    emit ValueRequested(PageDownValue);
}

void TfTouch::bLineDownClick()
{
    emit ValueRequested(LineDownValue);
}

bool TfTouch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != bLineUp && watched != bLineDown) {
        return QWidget::eventFilter(watched, event);
    }
    const bool up = watched == bLineUp;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    // The second tap of a quick double tap arrives as a double click and holds
    // just the same.
    case QEvent::MouseButtonDblClick:
        if (static_cast<QWidget *>(watched)->isEnabled()) {
            StartRepeat(up);
        }
        break;
    case QEvent::MouseButtonRelease:
        StopRepeat();
        break;
    case QEvent::EnabledChange:
        // A disabled button gets no release: a hold on it would run on forever.
        if (Repeating && RepeatUp == up && !static_cast<QWidget *>(watched)->isEnabled()) {
            StopRepeat();
        }
        break;
    default:
        break;
    }
    // The button still handles the event itself: its left-button click adds
    // the one ordinary step.
    return false;
}

void TfTouch::StartRepeat(bool up)
{
    RepeatUp = up;
    Repeating = true;
    PadTimer.start(FirstRepeatMs);
}

void TfTouch::StopRepeat()
{
    Repeating = false;
    PadTimer.stop();
}

void TfTouch::PadTimerTimer()
{
    if (!Repeating) {
        return;
    }
    // The timer is single-shot and re-armed only after the step went through:
    // a step that fails ends the hold instead of raising the same error ten
    // times a second.
    emit ValueRequested(RepeatUp ? LineUpValue : LineDownValue);
    if (Repeating) {
        PadTimer.start(NextRepeatMs);
    }
}

void TfTouch::closeEvent(QCloseEvent *event)
{
    event->accept();
    hide();
    // Only the operator's close box clears "Nav Pad"; the program closing its
    // windows on the way out must not change what the settings will store.
    if (event->spontaneous()) {
        emit CloseBoxed();
    }
}

void TfTouch::hideEvent(QHideEvent *event)
{
    // A hidden pad sees no release any more.
    StopRepeat();
    QWidget::hideEvent(event);
}

} // namespace tarvello
