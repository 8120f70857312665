// The Settings page's controls for a repertoire of shows.
#include "pages/SettingsPage.h"

#include "prompt/ControllerNames.h"
#include "prompt/StoredSettings.h"
#include "widgets/LayoutHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace tarvello {

void TSettingsPage::createShowControls()
{
    // A line of its own below the count-in and the save notice: the
    // controller that opens a show in Controller mode (item 0 "None", item
    // k + 1 controller k), Song Select, numbers from 1, and the shows.
    lShowController =
        PlacedLabel(this, "lShowController", QStringLiteral("Show controller"), 8, 376);
    cbShowController = Named(new QComboBox(this), "cbShowController");
    cbShowController->addItem(QStringLiteral("None"));
    cbShowController->addItems(ControllerItems());
    cbShowController->setGeometry(lShowController->geometry().right() + 8, 372, 170, 22);
    SetHint(cbShowController,
            QStringLiteral("In Controller mode, this controller's value opens the show of that "
                           "number"),
            true);

    cbSongSelect = Named(new QCheckBox(QStringLiteral("Song Select"), this), "cbSongSelect");
    // The line below, left of where the remote's code is shown.
    cbSongSelect->setGeometry(8, 402, 100, 19);
    WidenToFit(cbSongSelect);
    SetHint(cbSongSelect,
            QStringLiteral("A Song Select message selects a slot as a Program Change does"), true);
    cbNumbersFromOne =
        Named(new QCheckBox(QStringLiteral("Numbers from 1"), this), "cbNumbersFromOne");
    cbNumbersFromOne->setGeometry(cbSongSelect->geometry().right() + 16, 402, 120, 19);
    WidenToFit(cbNumbersFromOne);
    SetHint(cbNumbersFromOne,
            QStringLiteral("Show slot and show numbers from 1, as most instruments print them; "
                           "Midi still counts from 0"),
            true);

    bShows = Named(new QPushButton(QStringLiteral("Shows..."), this), "bShows");
    bShows->setGeometry(cbShowController->geometry().right() + 16, 370, 90, 25);
    WidenToFit(bShows);
    SetHint(bShows, QStringLiteral("The shows of the repertoire: open, add, rename, renumber"),
            true);
    connect(bShows, &QPushButton::clicked, this, &TSettingsPage::ShowsClicked);

    connect(cbShowController, &QComboBox::currentIndexChanged, this,
            &TSettingsPage::ShowOptionsChanged);
    for (QCheckBox *box : {cbSongSelect, cbNumbersFromOne}) {
        connect(box, &QCheckBox::toggled, this, &TSettingsPage::ShowOptionsChanged);
    }
}

void TSettingsPage::RestoreShowOptions(const TStoredSettings &s)
{
    cbShowController->setCurrentIndex(std::clamp(s.ShowController, -1, 127) + 1);
    cbSongSelect->setChecked(s.SongSelect);
    cbNumbersFromOne->setChecked(s.NumbersFromOne);
}

int TSettingsPage::ShowController() const
{
    return cbShowController->currentIndex() - 1;
}

bool TSettingsPage::SongSelect() const
{
    return cbSongSelect->isChecked();
}

bool TSettingsPage::NumbersFromOne() const
{
    return cbNumbersFromOne->isChecked();
}

} // namespace tarvello
