#include "pages/SidePanel.h"

#include "widgets/Colours.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/UpDown.h"

#include <QGroupBox>
#include <QPushButton>

namespace tarvello {
namespace {

QGroupBox *YellowGroupBox(QWidget *parent, const char *name, const QString &title)
{
    QGroupBox *box = Named(new QGroupBox(title, parent), name);
    box->setStyleSheet(QStringLiteral("QGroupBox { color: yellow; }"));
    box->setFont(PixelFont({QStringLiteral("Tahoma")}, 11));
    return box;
}

} // namespace

TSidePanel::TSidePanel(const TSidePanelNames &names, QWidget *parent) : QFrame(parent)
{
    setObjectName(QLatin1String(names.Panel));
    setFixedWidth(100);
    SetBackground(this, ColourOfColourValue(SidePanelColour));

    MoveBox = YellowGroupBox(this, names.MoveBox, QStringLiteral("Move Selected"));
    MoveBox->setGeometry(1, 1, 98, 72);
    UpDown = Named(new TUpDown(MoveBox), names.UpDown);
    UpDown->setGeometry(24, 16, 57, 49);
    UpDown->SetRange(-123, -1);
    UpDown->SetPosition(-1);

    CopyBox = YellowGroupBox(this, names.CopyBox, QStringLiteral("Copy"));
    CopyBox->setGeometry(1, 73, 98, 128);
    const auto copyButton = [&](const char *name, const char *caption, const char *hint, int top) {
        QPushButton *button = Named(new QPushButton(QLatin1String(caption), CopyBox), name);
        button->setGeometry(names.CopyLeft, top, names.CopyWidth, 25);
        SetHint(button, QLatin1String(hint), false);
        return button;
    };
    CopyStart = copyButton(names.CopyStart, "Start", "Select first line then Click here", 23);
    CopyEnd = copyButton(names.CopyEnd, "End", "Select last line then Click here", 55);
    CopyEnd->setEnabled(false);
    CopyTo = copyButton(names.CopyTo, "Copy to", "Select destination then click here", 87);
    CopyTo->setEnabled(false);

    MidiStrings = Named(new QPushButton(QStringLiteral("Midi Strings"), this), names.MidiStrings);
    MidiStrings->setGeometry(13, 208, 73, 25);
    Delete = Named(new QPushButton(QStringLiteral("Delete"), this), names.Delete);
    Delete->setGeometry(13, 264, 73, 25);
}

} // namespace tarvello
