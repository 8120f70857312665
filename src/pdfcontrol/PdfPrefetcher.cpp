#include "pdfcontrol/PdfPrefetcher.h"

#include <QMetaObject>
#include <QPdfDocument>

namespace tarvello {

TPdfRenderWorker::TPdfRenderWorker() = default;

TPdfRenderWorker::~TPdfRenderWorker() = default;

void TPdfRenderWorker::Load(quint64 generation, const QString &path)
{
    Generation = generation;
    Doc.reset();
    if (path.isEmpty()) {
        return;
    }
    auto document = std::make_unique<QPdfDocument>();
    if (document->load(path) == QPdfDocument::Error::None &&
        document->status() == QPdfDocument::Status::Ready) {
        Doc = std::move(document);
    }
}

void TPdfRenderWorker::Render(quint64 generation, int page, QSize size)
{
    QImage image;
    // Requests for an earlier file still in the queue are answered empty at once.
    if (generation == Generation && Doc && page >= 0 && page < Doc->pageCount()) {
        image = Doc->render(page, size);
    }
    emit Rendered(generation, page, size, image);
}

TPdfPrefetcher::TPdfPrefetcher(QObject *parent) : QObject(parent), Worker(new TPdfRenderWorker)
{
    Worker->moveToThread(&Thread);
    connect(&Thread, &QThread::finished, Worker, &QObject::deleteLater);
    connect(Worker, &TPdfRenderWorker::Rendered, this, &TPdfPrefetcher::Arrived,
            Qt::QueuedConnection);
    Thread.setObjectName(QStringLiteral("PDF prefetch"));
    Thread.start(QThread::LowPriority);
}

TPdfPrefetcher::~TPdfPrefetcher()
{
    // Waits for at most the page being rendered; queued requests are dropped.
    Thread.requestInterruption();
    Thread.quit();
    Thread.wait();
}

void TPdfPrefetcher::SetSource(const QString &path)
{
    Source = path;
    ++Generation;
    Pending.clear();
    const quint64 generation = Generation;
    QMetaObject::invokeMethod(
        Worker, [worker = Worker, generation, path] { worker->Load(generation, path); },
        Qt::QueuedConnection);
}

std::tuple<int, int, int> TPdfPrefetcher::Key(int page, QSize size)
{
    return {page, size.width(), size.height()};
}

void TPdfPrefetcher::Request(int page, QSize size)
{
    if (Source.isEmpty() || !Pending.insert(Key(page, size)).second) {
        return;
    }
    const quint64 generation = Generation;
    QMetaObject::invokeMethod(
        Worker,
        [worker = Worker, generation, page, size] {
            if (!QThread::currentThread()->isInterruptionRequested()) {
                worker->Render(generation, page, size);
            }
        },
        Qt::QueuedConnection);
}

bool TPdfPrefetcher::IsPending(int page, QSize size) const
{
    return Pending.count(Key(page, size)) > 0;
}

void TPdfPrefetcher::Arrived(quint64 generation, int page, QSize size, const QImage &image)
{
    if (generation != Generation || Pending.erase(Key(page, size)) == 0) {
        return;
    }
    emit Rendered(page, size, image);
}

} // namespace tarvello
