#include "core/ErrorText.h"

#include <gtest/gtest.h>

namespace tarvello {
namespace {

TEST(ErrorBoxText, AddsFullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(ErrorBoxText(QStringLiteral("File not found")), QStringLiteral("File not found."));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("I/O error 5")), QStringLiteral("I/O error 5."));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("Stop.")), QStringLiteral("Stop."));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("Done!")), QStringLiteral("Done!"));
    EXPECT_EQ(ErrorBoxText(QStringLiteral("bounds! (-1)")), QStringLiteral("bounds! (-1)"));
    EXPECT_EQ(ErrorBoxText(QString()), QString());
}

} // namespace
} // namespace tarvello
