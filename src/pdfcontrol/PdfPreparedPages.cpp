#include "pdfcontrol/PdfPreparedPages.h"

#include "pdfcontrol/PdfPageLayout.h"
#include "pdfhost/PagePictures.h"

#include <QCoreApplication>
#include <QPdfDocument>

#include <algorithm>
#include <cmath>

namespace tarvello {

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
    {
        const std::lock_guard lock(Lock);
        Jobs.clear();
        for (const TDocumentToPrepare &document : documents) {
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
        Entries.erase(std::remove_if(Entries.begin(), Entries.end(),
                                     [&](const TEntry &entry) { return entry.Path == path; }),
                      Entries.end());
        Entries.push_back({path, stamp, page, std::move(image)});
        while (int(Entries.size()) > Capacity) {
            Entries.erase(Entries.begin());
        }
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
    const std::lock_guard lock(Lock);
    return Working || !Jobs.empty();
}

int TPdfPreparedPages::Rendered()
{
    const std::lock_guard lock(Lock);
    return RenderCount;
}

} // namespace tarvello
