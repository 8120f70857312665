#include "main/MainWindow.h"

#include "prompt/ListEditing.h"
#include "widgets/Dialogs.h"
#include "widgets/KeyValueGrid.h"

#include <QPushButton>

namespace tarvello {
namespace {

QString SlotCaption(const char *label, int row)
{
    return QLatin1String(label) + QString::number(SlotOfRow(row));
}

} // namespace

// The two marks are shared by both pages; each page's buttons show them and
// are enabled on their own.
void TfMain::MarkCopyStart(TKeyValueGrid *grid, QPushButton *start, QPushButton *end,
                           QPushButton *copyTo)
{
    const bool endEnabled = end->isEnabled();
    MarkBlockStart(CopyMarks, grid->Row(), endEnabled);
    start->setText(SlotCaption("Start = ", CopyMarks.Start));
    if (endEnabled) {
        end->setText(SlotCaption("End = ", CopyMarks.End));
    }
    end->setEnabled(true);
    if (BlockMarksSet(CopyMarks)) {
        copyTo->setEnabled(true);
    }
}

void TfMain::MarkCopyEnd(TKeyValueGrid *grid, QPushButton *start, QPushButton *end,
                         QPushButton *copyTo)
{
    MarkBlockEnd(CopyMarks, grid->Row());
    start->setText(SlotCaption("Start = ", CopyMarks.Start));
    end->setText(SlotCaption("End = ", CopyMarks.End));
    if (BlockMarksSet(CopyMarks)) {
        copyTo->setEnabled(true);
    }
}

void TfMain::bpCopyStartClick()
{
    MarkCopyStart(vleLines, bpCopyStart, bpCopyEnd, bpCopyTo);
}

void TfMain::bpCopyEndClick()
{
    MarkCopyEnd(vleLines, bpCopyStart, bpCopyEnd, bpCopyTo);
}

void TfMain::bpCopyToClick()
{
    CopyBlockTo(vleLines);
}

void TfMain::bCopyStartClick()
{
    MarkCopyStart(vleFiles, bCopyStart, bCopyEnd, bCopyTo);
}

void TfMain::bCopyEndClick()
{
    MarkCopyEnd(vleFiles, bCopyStart, bCopyEnd, bCopyTo);
}

void TfMain::bCopyToClick()
{
    CopyBlockTo(vleFiles);
}

void TfMain::CopyBlockTo(TKeyValueGrid *grid)
{
    const int destination = grid->Row();
    (grid == vleLines ? bpCopyTo : bCopyTo)->setText(SlotCaption("Copy to = ", destination));

    // The snapshot comes first: a destination inside the block copies the block
    // as it stood, whatever the push down moves.
    TSlotRows rows = SlotRowsOf(grid);
    TakeBlockSnapshot(rows, CopyMarks, destination, CopyBuffer);

    const TMessageButton answer = Dialogs.AskYesNoCancel(this, PushDownQuestion());
    if (answer != TMessageButton::Yes && answer != TMessageButton::No) {
        return;
    }
    CopyBlock(rows, CopyBuffer, CopyMarks, destination, answer == TMessageButton::Yes);
    ApplySlotRows(grid, rows);
}

} // namespace tarvello
