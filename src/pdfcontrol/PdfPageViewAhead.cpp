// The page view's work ahead of need: the pages around the current one, and
// the pages others will open its document at, rendered by the prefetch thread.

#include "pdfcontrol/PdfPageView.h"

#include "pdfcontrol/PdfPreparedPages.h"
#include "pdfhost/PagePictures.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPdfDocument>

#include <algorithm>

namespace tarvello {

std::vector<TPdfPageView *> &TPdfPageView::Views()
{
    static std::vector<TPdfPageView *> views;
    return views;
}

TPdfPageView *TPdfPageView::ShowingFile(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString stamp;
    for (TPdfPageView *view : Views()) {
        if (view->Doc && !view->Path.isEmpty() &&
            QFileInfo(view->Path).absoluteFilePath() == absolute) {
            if (stamp.isNull()) {
                stamp = FileStamp(absolute);
            }
            if (!stamp.isEmpty() && view->Stamp == stamp) {
                return view;
            }
        }
    }
    return nullptr;
}

void TPdfPageView::PrepareOpeningPages(const std::vector<TPageAtSize> &pages)
{
    OpeningPages.clear();
    if (Path.isEmpty()) {
        return;
    }
    for (const auto &[page, size] : pages) {
        if (page < 0 || page >= PageCount() || size.isEmpty()) {
            continue;
        }
        if (const QImage *cached = PageCache.Find(page, size)) {
            TPdfPreparedPages::Instance().Keep(Path, Stamp, page, *cached);
        } else {
            OpeningPages.emplace_back(page, size);
            Prefetcher.Request(page, size);
        }
    }
}

void TPdfPageView::HandOverOpeningPage(int page, QSize size, const QImage &image)
{
    const auto asked = std::find(OpeningPages.begin(), OpeningPages.end(), TPageAtSize(page, size));
    if (asked == OpeningPages.end()) {
        return;
    }
    OpeningPages.erase(asked);
    if (!image.isNull()) {
        TPdfPreparedPages::Instance().Keep(Path, Stamp, page, image);
    }
}

std::vector<int> TPdfPageView::WantedPages() const
{
    std::vector<int> wanted;
    const int count = PageCount();
    const int row = RowOfPage(Arrange, Current);
    for (int step : {0, 1, 2, -1}) {
        if (step > RowsAhead || -step > RowsBehind) {
            continue;
        }
        const TPageRow pages = RowAt(Arrange, row + step, count);
        for (int page : {pages.Left, pages.Right}) {
            if (page >= 0) {
                wanted.push_back(page);
            }
        }
    }
    return wanted;
}

bool TPdfPageView::IsPrefetchPending() const
{
    if (PageCount() == 0) {
        return false;
    }
    const std::vector<int> wanted = WantedPages();
    return std::any_of(wanted.begin(), wanted.end(),
                       [this](int page) { return !PageCache.Contains(page, PagePixelSize(page)); });
}

void TPdfPageView::SchedulePrefetch()
{
    if (!IsPrefetchPending()) {
        return;
    }
    if (!Prefetcher.HasSource()) {
        if (!PrefetchTimer.isActive()) {
            PrefetchTimer.start();
        }
        return;
    }
    for (int page : WantedPages()) {
        const QSize size = PagePixelSize(page);
        if (!PageCache.Contains(page, size) &&
            !PrefetchFailed.count({page, size.width(), size.height()})) {
            Prefetcher.Request(page, size);
        }
    }
}

void TPdfPageView::PrefetchArrived(int page, QSize size, const QImage &image)
{
    HandOverOpeningPage(page, size, image);
    if (image.isNull()) {
        PrefetchFailed.insert({page, size.width(), size.height()});
        return;
    }
    // A render for a size the view no longer shows is of no use.
    if (page >= PageCount() || size != PagePixelSize(page)) {
        return;
    }
    QImage kept = image;
    kept.setDevicePixelRatio(devicePixelRatioF());
    TPagePictures::Instance().Offer(Path, page, kept);
    PageCache.Insert(page, size, std::move(kept));
    if (PageRect(page).intersects(viewport()->rect())) {
        viewport()->update();
    }
}

void TPdfPageView::PrefetchOne()
{
    if (PageCount() == 0) {
        return;
    }
    for (int page : WantedPages()) {
        if (!PageCache.Contains(page, PagePixelSize(page))) {
            PageImage(page);
            break;
        }
    }
    if (!Prefetcher.HasSource()) {
        SchedulePrefetch();
    }
}

void TPdfPageView::FinishPrefetch()
{
    SchedulePrefetch();
    WaitForPrefetchIdle();
    PrefetchTimer.stop();
    while (IsPrefetchPending()) {
        PrefetchOne();
        PrefetchTimer.stop();
    }
}

void TPdfPageView::WaitForPrefetchIdle()
{
    QDeadlineTimer deadline(10000);
    while (Prefetcher.HasPending() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
}

} // namespace tarvello
