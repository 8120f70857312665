#pragma once

#include "pdfhost/DocumentPreparation.h"

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tarvello {

class TPdfPageView;

// The page a document opens at, rendered ahead in a thread of its own at the
// size its page view will show it, so that opening the document paints at
// once. A file a page view shows already is not opened again for it: that
// view's prefetch thread renders the page with the document it has open. A
// few pages are kept; a file changed on disk since its page was rendered is
// rendered again when shown.
class TPdfPreparedPages : public TDocumentPreparation {
public:
    static constexpr int Capacity = 4;

    // The program's one; its thread starts on the first request.
    static TPdfPreparedPages &Instance();
    ~TPdfPreparedPages() override;

    void Prepare(const std::vector<TDocumentToPrepare> &documents,
                 const TDocumentView &view) override;

    // The page (from 0) of the file at that pixel size, when it is ready and
    // the file unchanged.
    std::optional<QImage> Find(const QString &path, int page, QSize size);
    // Keeps a page rendered elsewhere from the file as it was at `stamp`.
    void Keep(const QString &path, const QString &stamp, int page, const QImage &image);
    // Whether work asked for is still being done, here or, seen from the
    // window's thread, by the page views asked for pages.
    bool Busy();
    // Pages rendered here since the program started, for the tests.
    int Rendered();

    // The pixel size a page view with these settings shows a page of
    // `points` at; empty when the settings are not ones it can foresee.
    static QSize ShownPixelSize(QSizeF points, const TDocumentView &view);

private:
    TPdfPreparedPages() = default;
    void Work();
    void Stop();
    // Asks the page views that show these files for their pages; returns the
    // documents left to open here.
    std::vector<TDocumentToPrepare> AskViews(const std::vector<TDocumentToPrepare> &documents,
                                             const TDocumentView &view);

    struct TJob {
        TDocumentToPrepare Document;
        TDocumentView View;
    };
    struct TEntry {
        QString Path;
        QString Stamp;
        int Page;
        QImage Image;
    };
    // Under the lock.
    void Insert(TEntry entry);

    std::mutex Lock;
    std::condition_variable Wake;
    std::vector<TJob> Jobs;
    std::vector<TEntry> Entries; // oldest first
    bool Working = false;
    bool Stopping = false;
    int RenderCount = 0;
    std::thread Worker;
    // The page views asked for pages last; on the window's thread only.
    std::vector<QPointer<TPdfPageView>> AskedViews;
};

} // namespace tarvello
