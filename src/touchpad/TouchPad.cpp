#include "touchpad/TouchPad.h"

#include "core/SlotTypes.h"
#include "touchpad/PadPlacement.h"
#include "touchpad/PadSelect.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tarvello {

namespace {

// Three rows of buttons on a grid of six columns: each button spans two, and
// the top and bottom ones stand over the gaps of the middle row.
constexpr int PadColumns = 6;
constexpr int PadRows = 3;
constexpr int ColumnGap = 4;
constexpr int RowGap = 1;
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
    setMinimumSize(PadDesignSize);
    resize(PadDesignSize);

    QFont padFont(QStringLiteral("Tahoma"));
    padFont.setPixelSize(11);
    setFont(padFont);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, PadBackground);
    setPalette(pal);
    setAutoFillBackground(true);

    bPageUp = MakeButton("bPageUp", QStringLiteral("Page Up"));
    bLineUp = MakeButton("bLineUp", QStringLiteral("Line Up"));
    bPrevFile = MakeButton("bPrevFile", QStringLiteral("Previous"));
    bSelect = MakeButton("bSelect", QStringLiteral("Select"));
    bNextFile = MakeButton("bNextFile", QStringLiteral("Next"));
    bPageDown = MakeButton("bPageDown", QStringLiteral("Page Dn"));
    bLineDown = MakeButton("bLineDown", QStringLiteral("Line Dn"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(ColumnGap);
    grid->setVerticalSpacing(RowGap);
    for (int column = 0; column < PadColumns; ++column) {
        grid->setColumnStretch(column, 1);
    }
    for (int row = 0; row < PadRows; ++row) {
        grid->setRowStretch(row, 1);
    }
    grid->addWidget(bPageUp, 0, 1, 1, 2);
    grid->addWidget(bLineUp, 0, 3, 1, 2);
    grid->addWidget(bPrevFile, 1, 0, 1, 2);
    grid->addWidget(bSelect, 1, 2, 1, 2);
    grid->addWidget(bNextFile, 1, 4, 1, 2);
    grid->addWidget(bPageDown, 2, 1, 1, 2);
    grid->addWidget(bLineDown, 2, 3, 1, 2);

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

QPushButton *TfTouch::MakeButton(const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    // The grid alone decides: a caption never holds the pad apart.
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
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
    // Put aside for full screen, the pad keeps its own place.
    QPoint at = Aside() ? *AsideFrom : pos();
    if (at == PlacedPosition) {
        at = GivenPosition;
    }
    return QPoint(std::max(at.x(), 0), std::max(at.y(), 0));
}

void TfTouch::SetPadSize(const QSize &size)
{
    GivenSize = size.expandedTo(PadDesignSize);
    QSize room;
    for (const QScreen *screen : QGuiApplication::screens()) {
        room = room.expandedTo(screen->availableGeometry().size());
    }
    resize(room.isValid() ? GivenSize.boundedTo(room).expandedTo(PadDesignSize) : GivenSize);
    PlacedSize = this->size();
    // A larger pad may need another place to stay within reach.
    if (pos() == PlacedPosition) {
        SetPadPosition(GivenPosition.y(), GivenPosition.x());
    }
}

QSize TfTouch::SettingsSize() const
{
    return size() == PlacedSize ? GivenSize : size();
}

void TfTouch::SetStageArea(const QRect &area)
{
    if (area == StageArea) {
        return;
    }
    const QRect before = StageArea;
    StageArea = area;
    if (area.isEmpty()) {
        if (Aside()) {
            const QPoint back = *AsideFrom;
            AsideFrom.reset();
            move(back);
            return;
        }
        // Wherever the operator left it in full screen is their place, over
        // the prompt or not.
        AsideFrom.reset();
        OverPrompt = frameGeometry().intersects(before);
        OverPromptPosition = pos();
        return;
    }
    // Full screen begins, or goes on over another area.
    const bool aside = Aside();
    const QPoint home = aside ? *AsideFrom : pos();
    AsideFrom.reset();
    if (!aside && OverPrompt && PadStillWherePut(pos(), OverPromptPosition)) {
        return;
    }
    OverPrompt = false;
    if (!QRect(home, frameGeometry().size()).intersects(area)) {
        if (aside) {
            move(home);
        }
        return;
    }
    AsideFrom = home;
    PutAside();
}

bool TfTouch::KeptOverPrompt() const
{
    if (!StageArea.isEmpty()) {
        return !Aside() && frameGeometry().intersects(StageArea);
    }
    return OverPrompt && PadStillWherePut(pos(), OverPromptPosition);
}

void TfTouch::SetKeptOverPrompt(bool kept)
{
    OverPrompt = kept;
    OverPromptPosition = pos();
}

bool TfTouch::Aside() const
{
    return AsideFrom && PadStillWherePut(pos(), AsidePosition);
}

void TfTouch::PutAside()
{
    AsideMargins = frameGeometry().size() - size();
    AsidePosition = PadAsidePosition(frameGeometry().size(), StageArea);
    move(AsidePosition);
}

void TfTouch::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    KeepAsideInFrame();
    emit PlaceChanged();
}

void TfTouch::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int pixels = PadCaptionPixelSize(size());
    if (font().pixelSize() != pixels) {
        QFont captions = font();
        captions.setPixelSize(pixels);
        setFont(captions);
    }
    KeepAsideInFrame();
    emit PlaceChanged();
}

void TfTouch::KeepAsideInFrame()
{
    // The window manager's frame comes with the first showing: a pad put
    // aside before is put into the corner again, frame and all.
    if (Aside() && frameGeometry().size() - size() != AsideMargins) {
        PutAside();
    }
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
