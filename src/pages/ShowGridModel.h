#pragma once

#include "show/ShowEdits.h"
#include "widgets/KeyValueGridModel.h"

#include <QPointer>

namespace tarvello {

// One field of the show (the text lines or the file references) as the rows
// of an edit page's grid: the grid shows the show's values, a committed edit
// goes into the show as one step of its edits, and a change the show announces
// is drawn at once.
class TShowGridModel : public TKeyValueGridModel {
    Q_OBJECT

public:
    TShowGridModel(TShowEdits &edits, TSlotField field, QObject *parent = nullptr);

    QString ValueAt(int modelRow) const override;
    void SetValueAt(int modelRow, const QString &value) override;

private:
    // The window may let the show and its edits go before its grids.
    QPointer<TShow> Show;
    QPointer<TShowEdits> Edits;
    TSlotField Field;
};

} // namespace tarvello
