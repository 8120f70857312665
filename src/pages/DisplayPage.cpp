#include "pages/DisplayPage.h"

#include "widgets/Colours.h"
#include "widgets/LayoutHelpers.h"

#include <QGridLayout>
#include <QLabel>

namespace tarvello {

TDisplayPage::TDisplayPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsDisplay"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lPatchName = Named(new QLabel(this), "lPatchName");
    lPatchName->setWordWrap(true);
    lPatchName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lPatchName->setTextFormat(Qt::PlainText);
    lPatchName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    lPatchName->setFont(PixelFont({QStringLiteral("MS Sans Serif")}, 32));
    tarvello::SetBackground(lPatchName, ColourOfColourValue(DisplayLabelColour));
    layout->addWidget(lPatchName, 0, 0);
    // Over the line's foot, clear of its first words.
    lShowName = Named(new QLabel(this), "lShowName");
    lShowName->setTextFormat(Qt::PlainText);
    lShowName->setFont(PixelFont({QStringLiteral("MS Sans Serif")}, 16));
    lShowName->setContentsMargins(8, 4, 8, 4);
    lShowName->hide();
    layout->addWidget(lShowName, 0, 0, Qt::AlignRight | Qt::AlignBottom);
}

void TDisplayPage::ShowShowTitle(const QString &title)
{
    lShowName->setText(title);
    lShowName->setVisible(!title.isEmpty());
}

QString TDisplayPage::ShowTitleText() const
{
    return lShowName->text();
}

void TDisplayPage::ShowLine(const QString &text)
{
    lPatchName->setText(text);
}

QString TDisplayPage::Line() const
{
    return lPatchName->text();
}

QFont TDisplayPage::PromptFont() const
{
    return lPatchName->font();
}

void TDisplayPage::SetPromptFont(const QFont &font)
{
    lPatchName->setFont(font);
}

QColor TDisplayPage::TextColour() const
{
    return lPatchName->palette().color(QPalette::WindowText);
}

void TDisplayPage::SetTextColour(const QColor &colour)
{
    tarvello::SetTextColour(lPatchName, QPalette::WindowText, colour);
    tarvello::SetTextColour(lShowName, QPalette::WindowText, colour);
}

QColor TDisplayPage::Background() const
{
    return lPatchName->palette().color(QPalette::Window);
}

void TDisplayPage::SetBackground(const QColor &colour)
{
    tarvello::SetBackground(lPatchName, colour);
}

} // namespace tarvello
