#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvello {

TRadioGroup::TRadioGroup(const QString &title, const QStringList &items, QWidget *parent)
    : QGroupBox(title, parent), Buttons(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    // Narrow margins: the groups are laid out for Windows' smaller indicator,
    // and the captions need the room.
    layout->setContentsMargins(2, 2, 0, 2);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        Buttons->addButton(button, i);
        layout->addWidget(button);
    }
    connect(Buttons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            emit Click();
        }
    });
}

int TRadioGroup::ItemIndex() const
{
    return Buttons->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < 0 || index >= Count()) {
        if (QAbstractButton *checked = Buttons->checkedButton()) {
            Buttons->setExclusive(false);
            checked->setChecked(false);
            Buttons->setExclusive(true);
        }
        return;
    }
    Buttons->button(index)->setChecked(true);
}

QRadioButton *TRadioGroup::Item(int index) const
{
    return qobject_cast<QRadioButton *>(Buttons->button(index));
}

int TRadioGroup::Count() const
{
    return int(Buttons->buttons().size());
}

} // namespace tarvello
