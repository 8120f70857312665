#pragma once

#include "touchpad/PadPlacement.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <optional>

class QPushButton;

namespace tarvello {

// The Nav Pad: a tool window with big buttons for a touch screen on stage, which
// the operator may make as large as the fingers need.
// It knows nothing of the main window; it asks for navigation values and for
// "Select" through signals, and the main window enables its buttons to match
// what is on show.
class TfTouch : public QWidget {
    Q_OBJECT

public:
    // The pad is placed with its frame's top-left corner at (padLeft, padTop),
    // the position kept in the settings, unless that would leave it out of
    // reach on every screen; it starts hidden.
    TfTouch(int padTop, int padLeft, QWidget *parent = nullptr);

    // Moves the pad's frame to the given screen position by the same rule (for
    // a creator that learns the position only after making the pad).
    void SetPadPosition(int top, int left);

    // The pad's frame position as the settings keep it: where the operator put
    // it in this run, else the position it was given, also when that had to be
    // pulled onto today's screens (the stage's touch screen is not attached, say)
    // so that one run without that screen does not lose its place. A coordinate
    // beyond the top or left screen edge is kept as 0, so the pad comes back
    // fully in view.
    QPoint SettingsPosition() const;

    // The pad's client area, at least the design's 170 x 124; the operator
    // resizes it and the buttons and captions grow with it. A size larger than
    // every screen is held to the largest, and kept for the settings (as the
    // position is) until the operator resizes the pad.
    void SetPadSize(const QSize &size);
    QSize SettingsSize() const;

    // The area the prompt fills in full screen, or an empty one when the stage
    // is not full screen. A pad that would cover the prompt goes to the area's
    // bottom right corner, and back to its place when full screen ends, unless
    // the operator has moved it meanwhile. A pad the operator put over the
    // full-screen prompt is left there, in this full screen and the next ones.
    void SetStageArea(const QRect &area);
    // Whether the pad stands where the operator put it over the full-screen
    // prompt: kept in the settings, so that it stays there at the next start.
    bool KeptOverPrompt() const;
    void SetKeptOverPrompt(bool kept);

    // "Page Up", "Page Dn", "Line Up" and "Line Dn" together: off while the
    // display type is a text line, on for files.
    void SetScrollButtonsEnabled(bool enabled);
    // "Line Up" and "Line Dn" alone: off while a PDF document is shown.
    void SetLineButtonsEnabled(bool enabled);

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // One navigation value (122 to 127) for the main window to act on.
    void ValueRequested(int value);
    // "Select": the main window switches between its list and display page.
    void SelectRequested();
    // The pad was closed by its close box and is now hidden; the main window
    // clears its "Nav Pad" box.
    void CloseBoxed();
    // The pad was moved or resized: its place is part of the show.
    void PlaceChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPushButton *MakeButton(const char *name, const QString &caption);
    bool Aside() const;
    void PutAside();
    void KeepAsideInFrame();

    void FormCreate(int padTop, int padLeft);
    void bPageUpClick();
    void bLineUpClick();
    void bPrevFileClick();
    void bSelectClick();
    void bNextFileClick();
    void bPageDownClick();
    void bLineDownClick();

    void StartRepeat(bool up);
    void StopRepeat();
    void PadTimerTimer();

    QPushButton *bPageUp = nullptr;
    QPushButton *bLineUp = nullptr;
    QPushButton *bPrevFile = nullptr;
    QPushButton *bSelect = nullptr;
    QPushButton *bNextFile = nullptr;
    QPushButton *bPageDown = nullptr;
    QPushButton *bLineDown = nullptr;

    // The position the pad was given, and where it was placed for it: while it
    // stands there, the operator has not moved it.
    QPoint GivenPosition;
    QPoint PlacedPosition;
    // The same for the size.
    QSize GivenSize = PadDesignSize;
    QSize PlacedSize = PadDesignSize;

    // Full screen: the prompt's area; where the pad stood before it was put
    // aside, where it was put and the frame's margins then (the window
    // manager's frame is known only once the pad is shown).
    QRect StageArea;
    std::optional<QPoint> AsideFrom;
    QPoint AsidePosition;
    QSize AsideMargins;
    // Put over the full-screen prompt by the operator, at this place.
    bool OverPrompt = false;
    QPoint OverPromptPosition;

    QTimer PadTimer{this};
    bool RepeatUp = false;
    // True from a press on a line button until its release. A tick may run a
    // nested event loop (an error box), and the release seen there must not be
    // undone when the tick returns and would re-arm the timer.
    bool Repeating = false;
};

} // namespace tarvello
