#include "repertoire/ShowsWindow.h"

#include "show/ShowList.h"
#include "widgets/LayoutHelpers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarvello {
namespace {

enum TColumn { NumberColumn, NameColumn };
// The stored number of a row's show, whatever its cell shows.
constexpr int NumberRole = Qt::UserRole;

} // namespace

TShowsWindow::TShowsWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("fShows"));
    setWindowTitle(QStringLiteral("Tarvello - Shows"));
    resize(420, 360);
    tvShows = Named(new QTableWidget(0, 2, this), "tvShows");
    tvShows->setHorizontalHeaderLabels({QStringLiteral("Number"), QStringLiteral("Name")});
    tvShows->horizontalHeader()->setStretchLastSection(true);
    tvShows->verticalHeader()->hide();
    tvShows->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvShows->setSelectionMode(QAbstractItemView::SingleSelection);
    tvShows->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    SetHint(tvShows,
            QStringLiteral("Double-click a name to rename the show, a number to give it another "
                           "free one"),
            true);

    bOpenShow = Named(new QPushButton(QStringLiteral("Open"), this), "bOpenShow");
    bAddShow = Named(new QPushButton(QStringLiteral("New Show"), this), "bAddShow");
    bCopyShow = Named(new QPushButton(QStringLiteral("Copy Show"), this), "bCopyShow");
    bRemoveShow = Named(new QPushButton(QStringLiteral("Remove"), this), "bRemoveShow");
    lShowsHelp = Named(new QLabel(QStringLiteral("A Bank Select (Controller 0 and 32) before a "
                                                 "Program Change opens the show of that number; "
                                                 "Ctrl+Page Down and Ctrl+Page Up step through "
                                                 "the shows."),
                                  this),
                       "lShowsHelp");
    lShowsHelp->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {bOpenShow, bAddShow, bCopyShow, bRemoveShow}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(tvShows, 1);
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(lShowsHelp);

    connect(bOpenShow, &QPushButton::clicked, this, [this] {
        if (ChosenShow() >= 0) {
            emit OpenClicked(ChosenShow());
        }
    });
    connect(bAddShow, &QPushButton::clicked, this, [this] { emit AddClicked(false); });
    connect(bCopyShow, &QPushButton::clicked, this, [this] { emit AddClicked(true); });
    connect(bRemoveShow, &QPushButton::clicked, this, [this] {
        if (ChosenShow() >= 0) {
            emit RemoveClicked(ChosenShow());
        }
    });
    connect(tvShows, &QTableWidget::itemChanged, this, &TShowsWindow::ItemEdited);
}

void TShowsWindow::SetShows(const TShowList &shows, int open, bool fromOne)
{
    const int chosen = ChosenShow();
    FromOne = fromOne;
    Filling = true;
    tvShows->setRowCount(shows.Count());
    int row = 0;
    for (const TShowEntry &entry : shows.Entries()) {
        auto *number = new QTableWidgetItem(ShowNumberText(entry.Number, fromOne));
        auto *name = new QTableWidgetItem(entry.Name);
        for (QTableWidgetItem *item : {number, name}) {
            item->setData(NumberRole, entry.Number);
            QFont font = item->font();
            font.setBold(entry.Number == open);
            item->setFont(font);
        }
        tvShows->setItem(row, NumberColumn, number);
        tvShows->setItem(row, NameColumn, name);
        ++row;
    }
    Filling = false;
    ChooseShow(chosen >= 0 && shows.Has(chosen) ? chosen : open);
}

int TShowsWindow::ChosenShow() const
{
    const int row = tvShows->currentRow();
    const QTableWidgetItem *item = row >= 0 ? tvShows->item(row, NumberColumn) : nullptr;
    return item ? item->data(NumberRole).toInt() : -1;
}

void TShowsWindow::ChooseShow(int number)
{
    for (int row = 0; row < tvShows->rowCount(); ++row) {
        if (tvShows->item(row, NumberColumn)->data(NumberRole).toInt() == number) {
            tvShows->setCurrentCell(row, tvShows->currentColumn() < 0 ? 0 : tvShows->currentColumn());
            return;
        }
    }
}

void TShowsWindow::ItemEdited(QTableWidgetItem *item)
{
    if (Filling) {
        return;
    }
    const int number = item->data(NumberRole).toInt();
    if (item->column() == NameColumn) {
        emit RenameRequested(number, item->text());
        return;
    }
    bool isNumber = false;
    const int typed = item->text().trimmed().toInt(&isNumber);
    // Whatever is refused, the window lists the shows again as they are.
    emit RenumberRequested(number, isNumber ? typed - (FromOne ? 1 : 0) : -1);
}

} // namespace tarvello
