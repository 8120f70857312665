#pragma once

#include <QWidget>

namespace tarvello {

enum class TUpDownButton { Up, Down };

// A vertical pair of arrow buttons with a position inside a range. A press on
// an arrow steps the position by one, never beyond the range, then raises
// Click with the arrow pressed (also at the end of the range).
class TUpDown : public QWidget {
    Q_OBJECT

public:
    explicit TUpDown(QWidget *parent = nullptr);

    int Min() const { return Minimum; }
    int Max() const { return Maximum; }
    int Position() const { return Current; }
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);

signals:
    void Click(tarvello::TUpDownButton button);

private:
    void Step(TUpDownButton button);

    int Minimum = 0;
    int Maximum = 100;
    int Current = 0;
};

} // namespace tarvello
