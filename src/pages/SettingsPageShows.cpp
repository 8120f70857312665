// The Settings page's controls for a repertoire of shows.
#include "pages/SettingsPage.h"

#include "prompt/ControllerNames.h"
#include "prompt/StoredSettings.h"
#include "widgets/LayoutHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>

namespace tarvello {

void TSettingsPage::createShowControls()
{
    // On the release window's line, right of it: the controller that opens
    // a show in Controller mode. Item 0 is "None", item k + 1 controller k.
    lShowController = PlacedLabel(this, "lShowController", QStringLiteral("Show controller"),
                                  seReleaseWindow->geometry().right() + 16, 288);
    cbShowController = Named(new QComboBox(this), "cbShowController");
    cbShowController->addItem(QStringLiteral("None"));
    cbShowController->addItems(ControllerItems());
    cbShowController->setGeometry(lShowController->geometry().right() + 8, 284, 170, 22);
    SetHint(cbShowController,
            QStringLiteral("In Controller mode, this controller's value opens the show of that "
                           "number"),
            true);

    // On the count-in's line.
    cbSongSelect = Named(new QCheckBox(QStringLiteral("Song Select"), this), "cbSongSelect");
    cbSongSelect->setGeometry(280, 316, 100, 19);
    WidenToFit(cbSongSelect);
    SetHint(cbSongSelect,
            QStringLiteral("A Song Select message selects a slot as a Program Change does"), true);
    cbNumbersFromOne =
        Named(new QCheckBox(QStringLiteral("Numbers from 1"), this), "cbNumbersFromOne");
    cbNumbersFromOne->setGeometry(cbSongSelect->geometry().right() + 12, 316, 120, 19);
    WidenToFit(cbNumbersFromOne);
    SetHint(cbNumbersFromOne,
            QStringLiteral("Show slot and show numbers from 1, as most instruments print them; "
                           "Midi still counts from 0"),
            true);

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
