#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <tuple>

class QPdfDocument;

namespace tarvello {

// What the window's thread and the prefetch thread both look at: which pages
// are wanted, which one is being rendered, and the one just finished. Qt PDF
// renders one page at a time for the whole program, so a page the window needs
// at once must neither wait behind pages rendered ahead nor be rendered twice.
struct TPdfRenderShare {
    using TKey = std::tuple<quint64, int, int, int>; // generation, page, width, height

    std::mutex Lock;
    std::condition_variable Changed;
    std::set<TKey> Wanted;
    std::optional<TKey> InProgress;
    std::optional<TKey> DoneKey;
    QImage Done;
    // Renders the window's thread is doing itself: the prefetch thread starts
    // none meanwhile, nor before this moment has passed.
    int WindowRenders = 0;
    std::chrono::steady_clock::time_point QuietUntil;
};

// Lives in the prefetcher's thread with a document of its own, opened from the
// same file, so that no document object is shared between threads.
class TPdfRenderWorker : public QObject {
    Q_OBJECT

public:
    explicit TPdfRenderWorker(std::shared_ptr<TPdfRenderShare> share);
    ~TPdfRenderWorker() override;

    void Load(quint64 generation, const QString &path);
    void Render(quint64 generation, int page, QSize size);

signals:
    // A null image when the page could not be rendered.
    void Rendered(quint64 generation, int page, QSize size, QImage image);

private:
    std::shared_ptr<TPdfRenderShare> Share;
    std::unique_ptr<QPdfDocument> Doc;
    quint64 Generation = 0;
};

// Renders pages ahead of need in a thread of its own, so that getting the next
// pages ready never holds up the window. Results for a file that has been
// replaced meanwhile are dropped.
class TPdfPrefetcher : public QObject {
    Q_OBJECT

public:
    explicit TPdfPrefetcher(QObject *parent = nullptr);
    ~TPdfPrefetcher() override;

    // The file whose pages are asked for next; empty for none.
    void SetSource(const QString &path);
    bool HasSource() const { return !Source.isEmpty(); }
    // Asks for a page at a pixel size unless that is already on its way.
    void Request(int page, QSize size);
    bool IsPending(int page, QSize size) const;
    bool HasPending() const;

    // The window's thread needs the page now. Being rendered: waits for it
    // and gives it (never longer than the render takes). Only asked for: the
    // request is withdrawn, and nothing is given.
    std::optional<QImage> Claim(int page, QSize size);

    // Held while the window's thread renders a page itself: the prefetch
    // thread starts no page meanwhile, so the window waits for at most the
    // page already being rendered. A page the window had to render itself is
    // a jump it could not foresee, and another turn often follows at once:
    // the prefetch thread then stays quiet for a moment longer.
    class TWindowRender {
    public:
        explicit TWindowRender(TPdfPrefetcher &prefetcher);
        ~TWindowRender();
        TWindowRender(const TWindowRender &) = delete;
        TWindowRender &operator=(const TWindowRender &) = delete;

    private:
        TPdfRenderShare &Share;
    };

signals:
    void Rendered(int page, QSize size, QImage image);

private:
    void Arrived(quint64 generation, int page, QSize size, const QImage &image);
    TPdfRenderShare::TKey Key(int page, QSize size) const;

    std::shared_ptr<TPdfRenderShare> Share;
    QThread Thread;
    TPdfRenderWorker *Worker;
    QString Source;
    quint64 Generation = 0;
};

} // namespace tarvello
