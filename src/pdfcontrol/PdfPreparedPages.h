#pragma once

#include "pdfhost/DocumentPreparation.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tarvello {

// The page a document opens at, rendered ahead in a thread of its own at the
// size its page view will show it, so that opening the document paints at
// once. A few pages are kept; a file changed on disk since its page was
// rendered is rendered again when shown.
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
    // Whether work asked for is still being done.
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

    std::mutex Lock;
    std::condition_variable Wake;
    std::vector<TJob> Jobs;
    std::vector<TEntry> Entries; // oldest first
    bool Working = false;
    bool Stopping = false;
    int RenderCount = 0;
    std::thread Worker;
};

} // namespace tarvello
