#include "pdfcontrol/PdfPrefetcher.h"

#include <QMetaObject>
#include <QPdfDocument>

#include <chrono>

namespace tarvello {

TPdfRenderWorker::TPdfRenderWorker(std::shared_ptr<TPdfRenderShare> share)
    : Share(std::move(share))
{
}

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
    const TPdfRenderShare::TKey key{generation, page, size.width(), size.height()};
    {
        std::unique_lock lock(Share->Lock);
        for (;;) {
            Share->Changed.wait(lock, [this] { return Share->WindowRenders == 0; });
            const auto quiet = Share->QuietUntil;
            if (std::chrono::steady_clock::now() >= quiet) {
                break;
            }
            Share->Changed.wait_until(lock, quiet);
        }
        // Withdrawn by the window, which renders it itself.
        if (!Share->Wanted.count(key)) {
            return;
        }
        Share->InProgress = key;
    }
    QImage image;
    // Requests for an earlier file still in the queue are answered empty at once.
    if (generation == Generation && Doc && page >= 0 && page < Doc->pageCount()) {
        image = Doc->render(page, size);
    }
    {
        const std::lock_guard lock(Share->Lock);
        Share->InProgress.reset();
        Share->DoneKey = key;
        Share->Done = image;
    }
    Share->Changed.notify_all();
    emit Rendered(generation, page, size, image);
}

TPdfPrefetcher::TPdfPrefetcher(QObject *parent)
    : QObject(parent), Share(std::make_shared<TPdfRenderShare>()),
      Worker(new TPdfRenderWorker(Share))
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
    {
        const std::lock_guard lock(Share->Lock);
        Share->Wanted.clear();
    }
    Thread.requestInterruption();
    Thread.quit();
    Thread.wait();
}

void TPdfPrefetcher::SetSource(const QString &path)
{
    Source = path;
    ++Generation;
    {
        const std::lock_guard lock(Share->Lock);
        Share->Wanted.clear();
    }
    const quint64 generation = Generation;
    QMetaObject::invokeMethod(
        Worker, [worker = Worker, generation, path] { worker->Load(generation, path); },
        Qt::QueuedConnection);
}

TPdfRenderShare::TKey TPdfPrefetcher::Key(int page, QSize size) const
{
    return {Generation, page, size.width(), size.height()};
}

void TPdfPrefetcher::Request(int page, QSize size)
{
    if (Source.isEmpty()) {
        return;
    }
    {
        const std::lock_guard lock(Share->Lock);
        if (!Share->Wanted.insert(Key(page, size)).second) {
            return;
        }
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
    const std::lock_guard lock(Share->Lock);
    return Share->Wanted.count(Key(page, size)) > 0;
}

bool TPdfPrefetcher::HasPending() const
{
    const std::lock_guard lock(Share->Lock);
    return !Share->Wanted.empty();
}

std::optional<QImage> TPdfPrefetcher::Claim(int page, QSize size)
{
    const TPdfRenderShare::TKey key = Key(page, size);
    std::unique_lock lock(Share->Lock);
    if (!Share->Wanted.count(key)) {
        return std::nullopt;
    }
    if (Share->InProgress != key && Share->DoneKey != key) {
        Share->Wanted.erase(key);
        return std::nullopt;
    }
    // Bounded all the same: a renderer that hangs must not hang the window.
    Share->Changed.wait_for(lock, std::chrono::seconds(10),
                            [this, &key] { return Share->InProgress != key; });
    if (Share->DoneKey != key || Share->Done.isNull()) {
        return std::nullopt;
    }
    Share->Wanted.erase(key);
    QImage image = Share->Done;
    return image;
}

void TPdfPrefetcher::Arrived(quint64 generation, int page, QSize size, const QImage &image)
{
    if (generation != Generation) {
        return;
    }
    {
        const std::lock_guard lock(Share->Lock);
        // Claimed by the window meanwhile: it has the page already.
        if (Share->Wanted.erase(Key(page, size)) == 0) {
            return;
        }
    }
    emit Rendered(page, size, image);
}

TPdfPrefetcher::TWindowRender::TWindowRender(TPdfPrefetcher &prefetcher)
    : Share(*prefetcher.Share)
{
    const std::lock_guard lock(Share.Lock);
    ++Share.WindowRenders;
}

TPdfPrefetcher::TWindowRender::~TWindowRender()
{
    // About the time a turn takes to follow another on a pedal held down.
    constexpr std::chrono::milliseconds quiet(40);
    {
        const std::lock_guard lock(Share.Lock);
        --Share.WindowRenders;
        Share.QuietUntil = std::chrono::steady_clock::now() + quiet;
    }
    Share.Changed.notify_all();
}

} // namespace tarvello
