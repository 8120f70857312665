#include "pdfcontrol/PdfPreparedPages.h"

#include "pdfcontrol/PdfPageLayout.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfhost/PagePictures.h"

#include <QCoreApplication>
#include <QPdfDocument>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace tarvello {

namespace {

// Page views live on the window's thread and are looked at from there only.
bool OnWindowThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

} // namespace

TPdfPreparedPages &TPdfPreparedPages::Instance()
{
    static TPdfPreparedPages pages;
    return pages;
}

TPdfPreparedPages::~TPdfPreparedPages()
{
    Stop();
}

void TPdfPreparedPages::Stop()
{
    {
        const std::lock_guard lock(Lock);
        Stopping = true;
        Jobs.clear();
    }
    Wake.notify_all();
    if (Worker.joinable()) {
        Worker.join();
    }
}

QSize TPdfPreparedPages::ShownPixelSize(QSizeF points, const TDocumentView &view)
{
    // The page view of one page, or of one column of pages across its width:
    // what a stage shows. Other layouts are not foreseen.
    const bool single =
        view.Layout.compare(QLatin1String("SinglePage"), Qt::CaseInsensitive) == 0 ||
        view.Layout.compare(QLatin1String("DontCare"), Qt::CaseInsensitive) == 0;
    const bool column = view.Layout.compare(QLatin1String("OneColumn"), Qt::CaseInsensitive) == 0;
    TPageFit fit;
    if (view.Fit.compare(QLatin1String("Fit"), Qt::CaseInsensitive) == 0) {
        fit = TPageFit::Page;
    } else if (view.Fit.compare(QLatin1String("FitH"), Qt::CaseInsensitive) == 0) {
        fit = TPageFit::Width;
    } else {
        return {};
    }
    if ((!single && !column) || points.isEmpty() || view.Viewport.isEmpty()) {
        return {};
    }
    // As the page view lays a page out: logical pixels first, then device ones.
    const double zoom = FitZoom(fit, points, view.Viewport, 1.0);
    const QSize logical(std::max(1, int(std::lround(points.width() * zoom))),
                        std::max(1, int(std::lround(points.height() * zoom))));
    return QSize(int(std::lround(logical.width() * view.PixelRatio)),
                 int(std::lround(logical.height() * view.PixelRatio)));
}

void TPdfPreparedPages::Prepare(const std::vector<TDocumentToPrepare> &documents,
                                const TDocumentView &view)
{
    const std::vector<TDocumentToPrepare> toOpen = AskViews(documents, view);
    {
        const std::lock_guard lock(Lock);
        Jobs.clear();
        for (const TDocumentToPrepare &document : toOpen) {
            Jobs.push_back({document, view});
        }
        if (Stopping) {
            return;
        }
        if (!Worker.joinable()) {
            Worker = std::thread([this] { Work(); });
            // Qt PDF goes with the application: the page being rendered is
            // finished before that, and nothing is started after.
            qAddPostRoutine([] { Instance().Stop(); });
        }
    }
    Wake.notify_all();
}

std::vector<TDocumentToPrepare>
TPdfPreparedPages::AskViews(const std::vector<TDocumentToPrepare> &documents,
                            const TDocumentView &view)
{
    if (!OnWindowThread()) {
        return documents;
    }
    std::vector<TDocumentToPrepare> toOpen;
    std::vector<std::pair<TPdfPageView *, std::vector<TPdfPageView::TPageAtSize>>> asks;
    for (const TDocumentToPrepare &document : documents) {
        TPdfPageView *shown = TPdfPageView::ShowingFile(document.Path);
        if (shown == nullptr) {
            toOpen.push_back(document);
            continue;
        }
        auto ask = std::find_if(asks.begin(), asks.end(),
                                [shown](const auto &asked) { return asked.first == shown; });
        if (ask == asks.end()) {
            ask = asks.insert(asks.end(), {shown, {}});
        }
        const int page = std::clamp(document.Page - 1, 0, std::max(0, shown->PageCount() - 1));
        const QSize size = ShownPixelSize(shown->PagePoints(page), view);
        if (!size.isEmpty() && !Find(document.Path, page, size)) {
            ask->second.emplace_back(page, size);
        }
    }
    // What the views were asked before is replaced, as the jobs here are.
    for (const QPointer<TPdfPageView> &asked : AskedViews) {
        if (asked && std::none_of(asks.begin(), asks.end(), [&asked](const auto &ask) {
                return ask.first == asked.data();
            })) {
            asked->PrepareOpeningPages({});
        }
    }
    AskedViews.clear();
    for (const auto &[shown, pages] : asks) {
        shown->PrepareOpeningPages(pages);
        AskedViews.emplace_back(shown);
    }
    return toOpen;
}

void TPdfPreparedPages::Work()
{
    std::unique_lock lock(Lock);
    for (;;) {
        Wake.wait(lock, [this] { return Stopping || !Jobs.empty(); });
        if (Stopping) {
            return;
        }
        const TJob job = Jobs.front();
        Jobs.erase(Jobs.begin());
        const QString path = job.Document.Path;
        const QString stamp = FileStamp(path);
        const int wanted = job.Document.Page - 1;
        const bool ready = std::any_of(Entries.begin(), Entries.end(), [&](const TEntry &entry) {
            return entry.Path == path && entry.Stamp == stamp && entry.Page == wanted;
        });
        if (ready || stamp.isEmpty()) {
            continue;
        }
        Working = true;
        lock.unlock();
        QImage image;
        int page = 0;
        {
            // Opened for this page only: nothing of Qt PDF outlives the job.
            QPdfDocument document;
            if (document.load(path) == QPdfDocument::Error::None &&
                document.status() == QPdfDocument::Status::Ready && document.pageCount() > 0) {
                page = std::clamp(wanted, 0, document.pageCount() - 1);
                const QSize size = ShownPixelSize(document.pagePointSize(page), job.View);
                if (!size.isEmpty()) {
                    image = document.render(page, size);
                }
            }
        }
        lock.lock();
        Working = false;
        if (image.isNull()) {
            continue;
        }
        ++RenderCount;
        TPagePictures::Instance().Offer(path, page, image);
        Insert({path, stamp, page, std::move(image)});
    }
}

void TPdfPreparedPages::Keep(const QString &path, const QString &stamp, int page,
                             const QImage &image)
{
    // A page of a version of the file that is gone already is of no use.
    if (image.isNull() || stamp.isEmpty() || FileStamp(path) != stamp) {
        return;
    }
    TPagePictures::Instance().Offer(path, page, image);
    const std::lock_guard lock(Lock);
    Insert({path, stamp, page, image});
}

void TPdfPreparedPages::Insert(TEntry entry)
{
    // Several pages of one file may be wanted (songs in one book), but none
    // of a version of it that is gone.
    Entries.erase(std::remove_if(Entries.begin(), Entries.end(),
                                 [&](const TEntry &kept) {
                                     return kept.Path == entry.Path &&
                                            (kept.Page == entry.Page || kept.Stamp != entry.Stamp);
                                 }),
                  Entries.end());
    Entries.push_back(std::move(entry));
    while (int(Entries.size()) > Capacity) {
        Entries.erase(Entries.begin());
    }
}

std::optional<QImage> TPdfPreparedPages::Find(const QString &path, int page, QSize size)
{
    const QString stamp = FileStamp(path);
    const std::lock_guard lock(Lock);
    for (const TEntry &entry : Entries) {
        if (entry.Path == path && entry.Page == page && entry.Image.size() == size &&
            entry.Stamp == stamp) {
            return entry.Image;
        }
    }
    return std::nullopt;
}

bool TPdfPreparedPages::Busy()
{
    {
        const std::lock_guard lock(Lock);
        if (Working || !Jobs.empty()) {
            return true;
        }
    }
    return OnWindowThread() && std::any_of(AskedViews.begin(), AskedViews.end(),
                                           [](const QPointer<TPdfPageView> &view) {
                                               return view && view->IsPreparingOpeningPages();
                                           });
}

int TPdfPreparedPages::Rendered()
{
    const std::lock_guard lock(Lock);
    return RenderCount;
}

} // namespace tarvello
