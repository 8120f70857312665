#include "widgets/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvello {

TUpDown::TUpDown(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto makeArrow = [this, layout](Qt::ArrowType arrow, TUpDownButton button,
                                          const char *name) {
        auto *tool = new QToolButton(this);
        tool->setObjectName(QLatin1String(name));
        tool->setArrowType(arrow);
        tool->setAutoRepeat(true);
        tool->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(tool);
        connect(tool, &QToolButton::clicked, this, [this, button] { Step(button); });
    };
    makeArrow(Qt::UpArrow, TUpDownButton::Up, "up");
    makeArrow(Qt::DownArrow, TUpDownButton::Down, "down");
}

void TUpDown::SetRange(int minimum, int maximum)
{
    Minimum = minimum;
    Maximum = std::max(minimum, maximum);
    Current = std::clamp(Current, Minimum, Maximum);
}

void TUpDown::SetPosition(int position)
{
    Current = std::clamp(position, Minimum, Maximum);
}

void TUpDown::Step(TUpDownButton button)
{
    SetPosition(button == TUpDownButton::Up ? Current + 1 : Current - 1);
    emit Click(button);
}

} // namespace tarvello
