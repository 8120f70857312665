#pragma once

#include <QImage>
#include <QString>

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace tarvello {

// What tells one version of a file from another: its size and times; empty
// when it is not a file.
QString FileStamp(const QString &path);

// The pages of PDF documents as the stage rendered them, shown or made ready,
// so that others who show the same page (the band's screens) take the picture
// instead of rendering it again. Qt PDF renders one page at a time for the
// whole program: a second render would hold up the stage. A few pictures are
// kept, the latest of each page; any thread may offer and find.
class TPagePictures {
public:
    static constexpr int Capacity = 12;

    static TPagePictures &Instance();

    // `page` counts from 0. The file's stamp is taken now, so that a picture
    // of a file changed since is never given for it.
    void Offer(const QString &path, int page, const QImage &image);
    // Offers the picture unless one of that page is kept already: for a page
    // shown again from a cache, without looking at the file each time.
    void OfferIfMissing(const QString &path, int page, const QImage &image);
    std::optional<QImage> Find(const QString &path, int page);

    // `listener` is called on the offering thread after each picture offered,
    // under the store's lock: it must only hand the news on. Once removed, it
    // is never called again.
    int AddListener(std::function<void()> listener);
    void RemoveListener(int id);

private:
    TPagePictures() = default;

    struct TEntry {
        QString Path;
        QString Stamp;
        int Page;
        QImage Image;
    };

    std::mutex Lock;
    std::deque<TEntry> Entries; // oldest first
    std::vector<std::pair<int, std::function<void()>>> Listeners;
    int LastListener = 0;
};

} // namespace tarvello
