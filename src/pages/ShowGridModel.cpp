#include "pages/ShowGridModel.h"

#include "widgets/KeyValueGrid.h"

namespace tarvello {

TShowGridModel::TShowGridModel(TShowEdits &edits, TSlotField field, QObject *parent)
    : TKeyValueGridModel(SlotKeyTexts(), parent), Show(&edits.Show()), Edits(&edits), Field(field)
{
    connect(&edits.Show(), &TShow::SlotChanged, this, [this](int slot, TSlotField changed) {
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
    if (Edits) {
        Edits->Run(QStringLiteral("Typing in Slot %1").arg(modelRow),
                   [this, modelRow, &value](TShow &show) { show.SetText(Field, modelRow, value); });
    }
}

} // namespace tarvello
