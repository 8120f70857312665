#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

class QPushButton;

namespace tarvello {

// The Nav Pad: a small tool window with big buttons for a touch screen on stage.
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

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPushButton *MakeButton(const char *name, const QString &caption, const QRect &bounds);

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

    QTimer PadTimer{this};
    bool RepeatUp = false;
    // True from a press on a line button until its release. A tick may run a
    // nested event loop (an error box), and the release seen there must not be
    // undone when the tick returns and would re-arm the timer.
    bool Repeating = false;
};

} // namespace tarvello
