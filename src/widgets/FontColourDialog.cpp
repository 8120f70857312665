#include "widgets/FontColourDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvello {

namespace {

// The font panel finds the face by its style name; without one it takes the
// family's first style, which may be an oblique one (DejaVu Sans), and OK
// would slant the prompt.
QFont WithStyleName(QFont font)
{
    if (font.styleName().isEmpty()) {
        font.setStyleName(QFontInfo(font).styleName());
    }
    return font;
}

} // namespace

TFontColourDialog::TFontColourDialog(const TFontChoice &initial, QWidget *parent)
    : QDialog(parent), FontPanel(new QFontDialog(WithStyleName(initial.Font), this)),
      ColourButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("Font"));
    // The font panel lives inside this dialog: its own buttons would close
    // only the panel.
    FontPanel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    FontPanel->setWindowFlags(Qt::Widget);
    FontPanel->setObjectName(QStringLiteral("FontPanel"));

    auto *colourLabel = new QLabel(QStringLiteral("&Colour:"), this);
    colourLabel->setBuddy(ColourButton);
    ColourButton->setObjectName(QStringLiteral("bFontColour"));
    connect(ColourButton, &QPushButton::clicked, this, &TFontColourDialog::ChooseColour);
    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(ColourButton);
    colourRow->addStretch();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FontPanel);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
    SetColour(initial.Colour.isValid() ? initial.Colour : palette().color(QPalette::WindowText));
}

TFontChoice TFontColourDialog::Choice() const
{
    return TFontChoice{FontPanel->currentFont(), Colour};
}

void TFontColourDialog::SetColour(const QColor &colour)
{
    Colour = colour;
    QPixmap swatch(40, 14);
    swatch.fill(colour);
    ColourButton->setIcon(QIcon(swatch));
    ColourButton->setIconSize(swatch.size());
    ColourButton->setText(colour.name());
}

void TFontColourDialog::ChooseColour()
{
    const QColor chosen = QColorDialog::getColor(Colour, this);
    if (chosen.isValid()) {
        SetColour(chosen);
    }
}

} // namespace tarvello
