#include "widgets/Dialogs.h"

#include "core/TarvelloError.h"
#include "support/FakeDialogs.h"
#include "widgets/FontColourDialog.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvello {
namespace {

using test::TFakeDialogs;

TEST(Dialogs, ErrorBoxCarriesTheTitleTheErrorIconAndAFullStop)
{
    TFakeDialogs dialogs;
    dialogs.ShowError(nullptr, QStringLiteral("File not found"));
    ASSERT_EQ(dialogs.Records.size(), 1u);
    const TFakeDialogs::TRecord &box = dialogs.Records.front();
    EXPECT_EQ(box.Title, QStringLiteral("Tarvello"));
    EXPECT_EQ(box.Text, QStringLiteral("File not found."));
    EXPECT_EQ(box.Kind, TMessageKind::Error);
    EXPECT_EQ(box.Buttons, TMessageButtons(TMessageButton::Ok));
}

TEST(Dialogs, OnlyYesCountsAsYes)
{
    TFakeDialogs dialogs;
    dialogs.Answers = {TMessageButton::Yes, TMessageButton::No};
    EXPECT_TRUE(dialogs.AskYesNo(nullptr, QStringLiteral("Clear all?")));
    EXPECT_FALSE(dialogs.AskYesNo(nullptr, QStringLiteral("Clear all?")));
    // Closing the box without answering.
    EXPECT_FALSE(dialogs.AskYesNo(nullptr, QStringLiteral("Clear all?")));
    EXPECT_EQ(dialogs.AskYesNoCancel(nullptr, QStringLiteral("Save?")), TMessageButton::Cancel);
    EXPECT_EQ(dialogs.Records.back().Kind, TMessageKind::Confirmation);
    EXPECT_EQ(dialogs.MessageTexts().size(), 4);
}

TEST(Dialogs, EscapedErrorsKeepTheirText)
{
    EXPECT_EQ(ErrorMessageOf(std::make_exception_ptr(TError(QStringLiteral("No device")))),
              QStringLiteral("No device"));
    EXPECT_EQ(ErrorMessageOf(std::make_exception_ptr(std::out_of_range("index 7"))),
              QStringLiteral("index 7"));
    EXPECT_EQ(ErrorMessageOf(std::make_exception_ptr(42)), QStringLiteral("Unknown error"));
}

TEST(Dialogs, TheFontChooserGivesBackTheFontAsItCameAndItsColour)
{
    QFont regular(QStringLiteral("DejaVu Sans"));
    regular.setPixelSize(48);
    TFontColourDialog dialog({regular, QColor(200, 0, 0)});
    // Taken as it came: not the family's first style (an oblique one).
    EXPECT_FALSE(dialog.Choice().Font.italic());
    EXPECT_EQ(dialog.Choice().Font.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(dialog.Choice().Colour, QColor(200, 0, 0));
    dialog.SetColour(QColor(0, 0, 255));
    EXPECT_EQ(dialog.Choice().Colour, QColor(0, 0, 255));
}

} // namespace
} // namespace tarvello
