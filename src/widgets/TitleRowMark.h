#pragma once

#include <QObject>

#include <functional>

class QHeaderView;
class QWidget;

namespace tarvello {

// Frames the key cell of a grid's title row in red, as the key cells of the
// slots with MIDI strings are, while `marked` answers true: the title row
// stands for the list of MIDI strings that belongs to no slot. A repaint of the
// rows (`rows`, the grid's viewport) brings the title row up to date as well.
class TTitleRowMark : public QObject {
public:
    TTitleRowMark(QHeaderView *title, QWidget *rows, std::function<bool()> marked);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHeaderView *Title;
    std::function<bool()> Marked;
    bool Painting = false;
    bool ShownMarked = false;
};

} // namespace tarvello
