#include "widgets/ErrorReporter.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

TEST(ErrorReporter, OneBoxAtATimeAndTheNewestWaitingAfterIt)
{
    QStringList shown;
    TErrorReporter *queue = nullptr;
    TErrorReporter boxes([&](const QString &text) {
        shown << text;
        if (shown.size() == 1) {
            // Errors arriving while the box is up, as in its event loop.
            queue->Report(QStringLiteral("first"));
            queue->Report(QStringLiteral("second"));
            queue->Report(QStringLiteral("third"));
        }
    });
    queue = &boxes;
    boxes.Report(QStringLiteral("first"));
    EXPECT_EQ(shown, (QStringList{"first", "third"}));
    // A box closed is no reason to hold back the next one.
    boxes.Report(QStringLiteral("first"));
    EXPECT_EQ(shown, (QStringList{"first", "third", "first"}));
}

} // namespace
} // namespace tarvello
