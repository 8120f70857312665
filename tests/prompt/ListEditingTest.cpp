#include "prompt/ListEditing.h"

#include <gtest/gtest.h>

namespace tarvello {
namespace {

TEST(ListEditing, BrowseStartsInTheRememberedFolderLessOneTrailingSeparator)
{
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("./")), QStringLiteral("."));
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("/home/show/")), QStringLiteral("/home/show"));
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("D:\\songs\\")), QStringLiteral("D:\\songs"));
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("D:\\songs\\\\")), QStringLiteral("D:\\songs\\"));
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("C:\\")), QStringLiteral("C:\\"));
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(BrowseStartDirectory(QString()), QString());
    EXPECT_EQ(BrowseStartDirectory(QStringLiteral("/home/show")), QStringLiteral("/home/show"));

    const QString filter = BrowseFilter();
    EXPECT_TRUE(filter.startsWith(QStringLiteral("Text, Graphic, HTML and PDF files (")));
    for (const char *pattern : {"*.PDF", "*.pdf", "*.HTML", "*.html", "*.jpg", "*.TXT"}) {
        EXPECT_TRUE(filter.contains(QLatin1String(pattern) + QLatin1Char(' ')) ||
                    filter.contains(QLatin1String(pattern) + QLatin1Char(')')))
            << pattern;
    }
}

} // namespace
} // namespace tarvello
