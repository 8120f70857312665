#include "pages/ShowGridModel.h"

#include "widgets/KeyValueGrid.h"

namespace tarvello {

TShowGridModel::TShowGridModel(TShow &show, TSlotField field, QObject *parent)
    : TKeyValueGridModel(SlotKeyTexts(), parent), Show(&show), Field(field)
{
    connect(&show, &TShow::SlotChanged, this, [this](int slot, TSlotField changed) {
        if (changed == Field && slot >= 0) {
            ValueChanged(slot);
        }
    });
}

QString TShowGridModel::ValueAt(int modelRow) const
{
    return Show ? Show->Text(Field, modelRow) : QString();
}

void TShowGridModel::SetValueAt(int modelRow, const QString &value)
{
    if (Show) {
        Show->SetText(Field, modelRow, value);
    }
}

} // namespace tarvello
