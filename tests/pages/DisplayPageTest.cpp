#include "pages/DisplayPage.h"

#include "support/FindControl.h"

#include <QApplication>
#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

// Where the page drew something other than its background.
QRect Ink(TDisplayPage &page)
{
    const QImage image = page.grab().toImage();
    const QRgb background = page.Background().rgb();
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

// The page built alone: a line is shown as typed, on the page's background, and
// a long one wraps within the page rather than widening it.
TEST(DisplayPage, ShowsTheLineAsTypedAndWrapsALongOneWithinThePage)
{
    TDisplayPage page;
    page.SetBackground(Qt::white);
    page.SetTextColour(Qt::black);
    page.resize(320, 240);
    page.show();
    QApplication::processEvents();
    const QSize emptyMinimum = page.minimumSizeHint();
    EXPECT_EQ(test::Control<QLabel>(&page, "lPatchName")->geometry(), page.rect());

    // Markup in a line is part of its name, not formatting.
    page.ShowLine(QStringLiteral("Chorus"));
    const QRect plain = Ink(page);
    page.ShowLine(QStringLiteral("<span>Chorus</span>"));
    EXPECT_EQ(page.Line(), QStringLiteral("<span>Chorus</span>"));
    EXPECT_GT(Ink(page).width(), plain.width());

    const QString line =
        QStringLiteral("Twelve bar blues in A, the long version with the drum solo "
                       "and the false ending");
    page.ShowLine(line);
    QApplication::processEvents();
    EXPECT_EQ(page.Line(), line);
    const QRect wrapped = Ink(page);
    EXPECT_GT(wrapped.height(), 3 * plain.height()) << "words wrap onto further lines";
    EXPECT_LT(wrapped.right(), page.width() - 1);
    EXPECT_LT(wrapped.bottom(), page.height() - 1);
    EXPECT_EQ(page.minimumSizeHint(), emptyMinimum) << "a long line does not widen the page";
    EXPECT_EQ(page.grab().toImage().pixel(page.width() - 1, page.height() - 1),
              QColor(Qt::white).rgb());
}

} // namespace
} // namespace tarvello
