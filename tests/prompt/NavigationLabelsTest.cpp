#include "prompt/NavigationLabels.h"

#include <gtest/gtest.h>

namespace tarvello {
namespace {

TEST(NavigationLabels, PatchModeNamesTheProgramChangesOnTheChannel)
{
    const TNavigationLabels first = NavigationLabelTexts(0xC0, 0, 7, false);
    EXPECT_EQ(first.NextItem, QStringLiteral("Next Prompt - 192, 126   (C0, 7E)"));
    EXPECT_EQ(first.PreviousItem, QStringLiteral("Prev Prompt - 192, 127   (C0, 7F)"));
    EXPECT_EQ(first.NextPage, QStringLiteral("Page Down - 192, 124   (C0, 7C)"));
    EXPECT_EQ(first.PrevPage, QStringLiteral("Page Up      - 192, 125   (C0, 7D)"));

    const TNavigationLabels last = NavigationLabelTexts(0xC0, 15, 7, false);
    EXPECT_EQ(last.NextItem, QStringLiteral("Next Prompt - 207, 126   (CF, 7E)"));
    EXPECT_EQ(last.PrevPage, QStringLiteral("Page Up      - 207, 125   (CF, 7D)"));
}

TEST(NavigationLabels, ControllerModeNamesTheController)
{
    const TNavigationLabels first = NavigationLabelTexts(0xB0, 0, 102, false);
    EXPECT_EQ(first.NextItem, QStringLiteral("Next Prompt - 176, 102, 126   (B0, 66, 7E)"));
    EXPECT_EQ(first.PreviousItem, QStringLiteral("Prev Prompt - 176, 102, 127   (B0, 66, 7F)"));
    EXPECT_EQ(first.NextPage, QStringLiteral("Page Down - 176, 102, 124   (B0, 66, 7C)"));
    EXPECT_EQ(first.PrevPage, QStringLiteral("Page Up      - 176, 102, 125   (B0, 66, 7D)"));

    // A one-digit controller still shows two hex digits.
    EXPECT_EQ(NavigationLabelTexts(0xB0, 9, 7, false).PreviousItem,
              QStringLiteral("Prev Prompt - 185, 7, 127   (B9, 07, 7F)"));
    EXPECT_EQ(NavigationLabelTexts(0xB0, 15, 0, false).NextItem,
              QStringLiteral("Next Prompt - 191, 0, 126   (BF, 00, 7E)"));
}

TEST(NavigationLabels, NoControllerPrintsMinusOneAndItsPattern)
{
    const TNavigationLabels labels = NavigationLabelTexts(0xB0, 0, -1, false);
    EXPECT_EQ(labels.NextItem, QStringLiteral("Next Prompt - 176, -1, 126   (B0, FFFFFFFF, 7E)"));
    EXPECT_EQ(labels.NextPage, QStringLiteral("Page Down - 176, -1, 124   (B0, FFFFFFFF, 7C)"));
}

TEST(NavigationLabels, ATextLineHasNoPaging)
{
    for (const int type : {0xC0, 0xB0}) {
        const TNavigationLabels labels = NavigationLabelTexts(type, 3, 11, true);
        EXPECT_TRUE(labels.NextPage.isEmpty());
        EXPECT_TRUE(labels.PrevPage.isEmpty());
        EXPECT_TRUE(labels.NextItem.startsWith(QStringLiteral("Next Prompt - ")));
        EXPECT_TRUE(labels.PreviousItem.endsWith(QStringLiteral(", 7F)")));
    }
}

} // namespace
} // namespace tarvello
