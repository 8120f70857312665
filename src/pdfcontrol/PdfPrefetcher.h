#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>

#include <memory>
#include <set>
#include <tuple>

class QPdfDocument;

namespace tarvello {

// Lives in the prefetcher's thread with a document of its own, opened from the
// same file, so that no document object is shared between threads.
class TPdfRenderWorker : public QObject {
    Q_OBJECT

public:
    TPdfRenderWorker();
    ~TPdfRenderWorker() override;

    void Load(quint64 generation, const QString &path);
    void Render(quint64 generation, int page, QSize size);

signals:
    // A null image when the page could not be rendered.
    void Rendered(quint64 generation, int page, QSize size, QImage image);

private:
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
    bool HasPending() const { return !Pending.empty(); }

signals:
    void Rendered(int page, QSize size, QImage image);

private:
    void Arrived(quint64 generation, int page, QSize size, const QImage &image);
    static std::tuple<int, int, int> Key(int page, QSize size);

    QThread Thread;
    TPdfRenderWorker *Worker;
    QString Source;
    quint64 Generation = 0;
    std::set<std::tuple<int, int, int>> Pending;
};

} // namespace tarvello
