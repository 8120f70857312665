#include "support/TestPdfFiles.h"

#include "pdfcontrol/PdfPageCache.h"
#include "pdfcontrol/PdfPageLayout.h"
#include "pdfcontrol/PdfPageView.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPdfDocument>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace tarvello::test {
namespace {

TEST(PageLayout, EveryPageIsInExactlyTheRowItsNumberNames)
{
    for (TPageArrangement arrangement :
         {TPageArrangement::SinglePage, TPageArrangement::OneColumn,
          TPageArrangement::TwoColumnLeft, TPageArrangement::TwoColumnRight}) {
        for (int count : {1, 2, 3, 4, 7}) {
            std::multiset<int> seen;
            for (int row = 0; row < RowCount(arrangement, count); ++row) {
                const TPageRow pages = RowAt(arrangement, row, count);
                EXPECT_GE(pages.First(), 0);
                for (int page : {pages.Left, pages.Right}) {
                    if (page >= 0) {
                        seen.insert(page);
                        EXPECT_EQ(RowOfPage(arrangement, page), row);
                    }
                }
            }
            EXPECT_EQ(int(seen.size()), count);
            EXPECT_EQ(int(std::set<int>(seen.begin(), seen.end()).size()), count);
        }
    }
    // Odd pages (1, 3, ... counted from 1) on the left, or on the right after a
    // cover page standing alone.
    EXPECT_EQ(RowAt(TPageArrangement::TwoColumnLeft, 1, 5), (TPageRow{2, 3}));
    EXPECT_EQ(RowAt(TPageArrangement::TwoColumnLeft, 2, 5), (TPageRow{4, -1}));
    EXPECT_EQ(RowAt(TPageArrangement::TwoColumnRight, 0, 5), (TPageRow{-1, 0}));
    EXPECT_EQ(RowAt(TPageArrangement::TwoColumnRight, 1, 5), (TPageRow{1, 2}));
    EXPECT_EQ(RowCount(TPageArrangement::TwoColumnRight, 0), 0);
}

TEST(PageLayout, ZoomFitsAsAskedAndStaysInBounds)
{
    const QSizeF a4(595, 842);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Width, a4, QSize(1190, 500), 1), 2.0);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Height, a4, QSize(100, 421), 1), 0.5);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Page, a4, QSize(1190, 421), 1), 0.5);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Custom, a4, QSize(1, 1), 1.5), 1.5);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Page, a4, QSize(0, 0), 1), 1.0);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Width, QSizeF(1, 1), QSize(100000, 10), 1), ZoomMax);
    EXPECT_DOUBLE_EQ(FitZoom(TPageFit::Custom, a4, QSize(10, 10), 0), ZoomMin);
}

TEST(PageCache, KeepsTheRecentlyUsedPagesAtTheirSize)
{
    TPdfPageCache cache(3);
    const QSize small(10, 10), large(20, 20);
    for (int page = 0; page < 3; ++page) {
        cache.Insert(page, small, QImage(small, QImage::Format_RGB32));
    }
    EXPECT_NE(cache.Find(0, small), nullptr); // page 0 is now the most recent
    EXPECT_EQ(cache.Find(0, large), nullptr);
    cache.Insert(3, small, QImage(small, QImage::Format_RGB32));
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_FALSE(cache.Contains(1, small));
    EXPECT_TRUE(cache.Contains(0, small));
    cache.SetCapacity(1);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_TRUE(cache.Contains(3, small));
}

TEST(PageView, NeighboursAreReadyAndTheCacheStaysSmallOnLongDocuments)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.pdf");
    WriteColouredPdf(path, 40);
    QPdfDocument document;
    ASSERT_EQ(document.load(path), QPdfDocument::Error::None);
    // Rendered ahead in a thread of its own (with the path), or in idle time.
    for (const QString &source : {path, QString()}) {
        TPdfPageView view;
        view.resize(400, 500);
        view.show();
        view.SetDocument(&document, source);
        const bool ahead = !source.isEmpty();
        for (int turn = 0; turn < 39; ++turn) {
            view.repaint();
            view.FinishPrefetch();
            // FinishPrefetch renders here whatever the thread did not deliver:
            // with the thread, at most the first page, painted before the
            // thread had started on it (once started, the paint waits for it).
            if (ahead) {
                ASSERT_LE(view.PagesRenderedHere(), 1) << "turn " << turn;
            }
            const int next = view.CurrentPage() + 1;
            EXPECT_TRUE(view.Cache().Contains(next, view.PagePixelSize(next))) << next;
            if (next + 1 < 40) {
                EXPECT_TRUE(view.Cache().Contains(next + 1, view.PagePixelSize(next + 1)));
            }
            view.NextPage();
        }
        EXPECT_EQ(view.CurrentPage(), 39);
        EXPECT_LE(view.Cache().Count(), view.Cache().Capacity());
        EXPECT_LE(view.Cache().Capacity(), 16);

        // A new size makes the old renders useless: the neighbours follow the size.
        view.resize(300, 300);
        view.SetCurrentPage(10);
        const int before = view.PagesRenderedHere();
        view.FinishPrefetch();
        EXPECT_TRUE(view.Cache().Contains(11, view.PagePixelSize(11)));
        EXPECT_TRUE(view.Cache().Contains(9, view.PagePixelSize(9)));
        if (ahead) {
            // At most the page on screen, should a paint come before the thread.
            EXPECT_LE(view.PagesRenderedHere() - before, 1);
        }
    }
}

TEST(PageView, PagesRenderedAheadForAReplacedFileAreDropped)
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.pdf");
    const QString second = dir.filePath("second.pdf");
    // Pages of the same size, so that a render of the first file would fit
    // the second; only the colours tell them apart.
    WriteColouredPdf(first, 4);
    WriteColouredPdf(second, 4, QPageSize(QPageSize::A5), 3);
    QPdfDocument a, b;
    ASSERT_EQ(a.load(first), QPdfDocument::Error::None);
    ASSERT_EQ(b.load(second), QPdfDocument::Error::None);
    TPdfPageView view;
    view.resize(300, 400);
    view.show();
    view.SetDocument(&a, first);
    view.SetDocument(&b, second);
    view.FinishPrefetch();
    const QImage *next = view.Cache().Find(1, view.PagePixelSize(1));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->pixelColor(5, 5).rgb(), PageColour(2 + 3).rgb());
    EXPECT_LE(view.PagesRenderedHere(), 1) << "page 2 came from the thread, not from here";
}

TEST(PageView, ScrollingAColumnMovesTheCurrentPageAndKeysTurnPages)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("column.pdf");
    WriteColouredPdf(path, 6);
    QPdfDocument document;
    ASSERT_EQ(document.load(path), QPdfDocument::Error::None);
    TPdfPageView view;
    view.resize(300, 300);
    view.show();
    view.SetDocument(&document, path);
    view.SetArrangement(TPageArrangement::OneColumn);
    int reported = -1;
    QObject::connect(&view, &TPdfPageView::CurrentPageChanged, [&](int page) { reported = page; });
    const QRect third = view.PageRect(2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + third.top());
    EXPECT_EQ(view.CurrentPage(), 2);
    EXPECT_EQ(reported, 2);

    QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &pageDown);
    EXPECT_EQ(view.CurrentPage(), 3);
    EXPECT_EQ(view.PageRect(3).top(), 0);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &end);
    EXPECT_EQ(view.CurrentPage(), 5);
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &home);
    EXPECT_EQ(view.CurrentPage(), 0);
}

} // namespace
} // namespace tarvello::test
