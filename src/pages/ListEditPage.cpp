#include "pages/ListEditPage.h"

#include "pages/GridMouse.h"
#include "pages/ShowGridModel.h"
#include "pages/SidePanel.h"
#include "prompt/ListEditing.h"
#include "widgets/Colours.h"
#include "widgets/Dialogs.h"
#include "widgets/ErrorReporter.h"
#include "widgets/HistoryKeys.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/TitleRowMark.h"
#include "widgets/UpDown.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>

namespace tarvello {
namespace {

QString SlotCaption(const char *label, int row)
{
    return QLatin1String(label) + QString::number(SlotOfRow(row));
}

} // namespace

TListEditPage::TListEditPage(const TListEditPageDesign &design, TShowEdits &edits, TSlotField field,
                             TBlockMarks &copyMarks, TCopyBuffer &copyBuffer, TDialogs &dialogs,
                             TErrorReporter &errors, QWidget *parent)
    : QWidget(parent), Edits(edits), Show(edits.Show()), Field(field), CopyMarks(copyMarks),
      CopyBuffer(copyBuffer), Dialogs(dialogs)
{
    setObjectName(QLatin1String(design.Page));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    SlotGrid = Named(new TKeyValueGrid(new TShowGridModel(edits, field), this), design.Grid);
    SlotGrid->SetTitles(QStringLiteral("Key"), design.ValueTitle);
    SetBackground(SlotGrid->viewport(), ColourOfColourValue(design.GridColour));
    SetHint(SlotGrid, design.GridHint, design.GridHintShown);
    const char *const *n = design.SideNames;
    Panel = new TSidePanel(
        {n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], design.CopyLeft, design.CopyWidth},
        this);
    layout->addWidget(SlotGrid, 1);
    layout->addWidget(Panel);

    // The title row is framed while the stray lines are kept.
    new TTitleRowMark(SlotGrid->horizontalHeader(), SlotGrid->viewport(),
                      [this] { return !Show.StrayMidiStrings().isEmpty(); });
    SlotGrid->SetMarkedRowPredicate([this](int row) { return MarkedRow(row); });
    connect(&Show, &TShow::SlotChanged, this, [this](int, TSlotField changed) {
        if (changed == TSlotField::MidiStrings) {
            SlotGrid->viewport()->update();
            SlotGrid->horizontalHeader()->viewport()->update();
        }
    });
    // The popup menu opens from the mouse-down handling, at its own place.
    SlotGrid->setContextMenuPolicy(Qt::PreventContextMenu);
    WatchGridMouse(this, SlotGrid, errors);
    createMenu(design, errors);

    // The grid's click is the window's list click.
    connect(SlotGrid, &TKeyValueGrid::Click, this, &TListEditPage::Click);
    connect(Panel->UpDown, &TUpDown::Click, this,
            Guarded(errors, [this](TUpDownButton button) { UpDownClick(button); }));
    connect(Panel->CopyStart, &QPushButton::clicked, this,
            Guarded(errors, [this] { CopyStartClick(); }));
    connect(Panel->CopyEnd, &QPushButton::clicked, this,
            Guarded(errors, [this] { CopyEndClick(); }));
    connect(Panel->CopyTo, &QPushButton::clicked, this, Guarded(errors, [this] { CopyToClick(); }));
    connect(Panel->MidiStrings, &QPushButton::clicked, this,
            [this] { emit Command(TListCommand::MidiStrings); });
    connect(Panel->Delete, &QPushButton::clicked, this,
            [this] { emit Command(TListCommand::DeleteEntry); });
}

void TListEditPage::createMenu(const TListEditPageDesign &design, TErrorReporter &errors)
{
    Menu = Named(new QMenu(this), design.Menu);
    createHistoryItems(design, errors);
    for (const TListEditPageDesign::TItem &item : design.MenuItems) {
        if (!item.Caption) {
            Named(Menu->addSeparator(), item.Name);
            continue;
        }
        QAction *action = Named(Menu->addAction(QLatin1String(item.Caption)), item.Name);
        const TListCommand command = item.Command;
        if (command == TListCommand::Browse) {
            connect(action, &QAction::triggered, this, Guarded(errors, [this] { BrowseClick(); }));
            continue;
        }
        connect(action, &QAction::triggered, this, [this, command] { emit Command(command); });
    }
}

void TListEditPage::createHistoryItems(const TListEditPageDesign &design, TErrorReporter &errors)
{
    QUndoStack &history = Edits.History();
    const auto item = [&](const char *name, const QString &caption, const QList<QKeySequence> &keys,
                          void (TListEditPage::*click)()) {
        QAction *action = Named(Menu->addAction(caption), name);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this,
                Guarded(errors, [this, click] { (this->*click)(); }));
        return action;
    };
    QAction *undo =
        item(design.HistoryNames[0], QStringLiteral("Undo"), UndoKeys(), &TListEditPage::UndoClick);
    QAction *redo =
        item(design.HistoryNames[1], QStringLiteral("Redo"), RedoKeys(), &TListEditPage::RedoClick);
    Named(Menu->addSeparator(), design.HistoryNames[2]);

    // Disabled, their keys do nothing either. The captions name the step.
    const auto caption = [](const char *verb, const QString &step) -> QString {
        const QString action = QLatin1String(verb);
        return step.isEmpty() ? action : action + QLatin1Char(' ') + step;
    };
    undo->setEnabled(history.canUndo());
    redo->setEnabled(history.canRedo());
    connect(&history, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&history, &QUndoStack::undoTextChanged, undo,
            [undo, caption](const QString &step) { undo->setText(caption("Undo", step)); });
    connect(&history, &QUndoStack::redoTextChanged, redo,
            [redo, caption](const QString &step) { redo->setText(caption("Redo", step)); });
}

void TListEditPage::UndoClick()
{
    SlotGrid->CommitEdit();
    Edits.Undo();
}

void TListEditPage::RedoClick()
{
    SlotGrid->CommitEdit();
    Edits.Redo();
}

void TListEditPage::BrowseClick()
{
    // The row is taken before the chooser opens: MIDI input goes on while it
    // is open and may move the cursor, but the file belongs to the entry the
    // operator browsed for.
    const int row = SlotGrid->Row();
    const QString directory = BrowseStartDirectory(BrowseDir);
    const QString workingFolder = QDir::currentPath();
    const std::optional<QString> chosen =
        Dialogs.OpenFileName(this, QString(), directory, BrowseFilter());
    if (!chosen) {
        return;
    }
    // The chooser makes the chosen file's folder the current directory, but
    // the show's relative names, the one stored here among them, are meant
    // from the working folder: Browse keeps it.
    QDir::setCurrent(workingFolder);
    const QString reference = BrowsedFileReference(*chosen, workingFolder);
    SlotGrid->CommitEdit();
    Edits.Run(QStringLiteral("Browse for Slot %1").arg(SlotOfRow(row)),
              [&](TShow &show) { show.SetFile(SlotOfRow(row), reference); });
    // The chooser's starting folder is remembered, not the chosen file's.
    BrowseDir = directory;
}

void TListEditPage::MouseDown(Qt::MouseButton button, QPoint at)
{
    Panel->UpDown->SetPosition(-SlotGrid->Row());
    Steps.Follow(Panel->UpDown->Position());
    if (button != Qt::RightButton) {
        return;
    }
    const QPoint inRows = SlotGrid->viewport()->mapFrom(SlotGrid, at);
    if (!SlotGrid->viewport()->rect().contains(inRows)) {
        return;
    }
    const QModelIndex cell = SlotGrid->indexAt(inRows);
    if (!cell.isValid()) {
        return;
    }
    SlotGrid->SetRow(cell.row() + 1);
    Menu->popup(GridMenuPoint(window()->frameGeometry().topLeft(), at));
}

void TListEditPage::UpDownClick(TUpDownButton button)
{
    if (!Steps.Stepped(Panel->UpDown->Position())) {
        return;
    }
    SlotGrid->CommitEdit();
    int neighbour = -1;
    Edits.Run(QStringLiteral("Move Selected"), [&](TShow &show) {
        neighbour =
            show.MoveEntry(Field, SlotOfRow(SlotGrid->Row()),
                           button == TUpDownButton::Up ? TMoveDirection::Up : TMoveDirection::Down);
    });
    if (neighbour < 0) {
        return;
    }
    SlotGrid->SetRow(RowOfSlot(neighbour));
}

// The two marks are shared by both pages; each page's buttons show them and
// are enabled on their own.
void TListEditPage::CopyStartClick()
{
    const bool endEnabled = Panel->CopyEnd->isEnabled();
    MarkBlockStart(CopyMarks, SlotGrid->Row(), endEnabled);
    Panel->CopyStart->setText(SlotCaption("Start = ", CopyMarks.Start));
    if (endEnabled) {
        Panel->CopyEnd->setText(SlotCaption("End = ", CopyMarks.End));
    }
    Panel->CopyEnd->setEnabled(true);
    if (BlockMarksSet(CopyMarks)) {
        Panel->CopyTo->setEnabled(true);
    }
}

void TListEditPage::CopyEndClick()
{
    MarkBlockEnd(CopyMarks, SlotGrid->Row());
    Panel->CopyStart->setText(SlotCaption("Start = ", CopyMarks.Start));
    Panel->CopyEnd->setText(SlotCaption("End = ", CopyMarks.End));
    if (BlockMarksSet(CopyMarks)) {
        Panel->CopyTo->setEnabled(true);
    }
}

void TListEditPage::CopyToClick()
{
    const int destination = SlotGrid->Row();
    Panel->CopyTo->setText(SlotCaption("Copy to = ", destination));

    // The snapshot comes first: a destination inside the block copies the block
    // as it stood, whatever the push down moves.
    SlotGrid->CommitEdit();
    TSlotRows rows = Show.Rows(Field);
    TakeBlockSnapshot(rows, CopyMarks, destination, CopyBuffer);

    const TMessageButton answer = Dialogs.AskYesNoCancel(this, PushDownQuestion());
    if (answer != TMessageButton::Yes && answer != TMessageButton::No) {
        return;
    }
    CopyBlock(rows, CopyBuffer, CopyMarks, destination, answer == TMessageButton::Yes);
    Edits.Run(QStringLiteral("Copy to Slot %1").arg(SlotOfRow(destination)),
              [&](TShow &show) { show.ApplyRows(Field, rows); });
}

bool TListEditPage::MarkedRow(int row) const
{
    return row >= SlotGrid->FirstRow && row <= SlotGrid->LastRow() &&
           !Show.MidiStrings(SlotOfRow(row)).isEmpty();
}

} // namespace tarvello
