#include "pdfhost/PagePictures.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

namespace tarvello {

QString FileStamp(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        return QString();
    }
    return QStringLiteral("%1 %2 %3")
        .arg(file.size())
        .arg(file.lastModified().toMSecsSinceEpoch())
        .arg(file.metadataChangeTime().toMSecsSinceEpoch());
}

TPagePictures &TPagePictures::Instance()
{
    static TPagePictures pictures;
    return pictures;
}

void TPagePictures::Offer(const QString &path, int page, const QImage &image)
{
    if (image.isNull() || path.isEmpty()) {
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString stamp = FileStamp(absolute);
    if (stamp.isEmpty()) {
        return;
    }
    // Listeners are called under the lock, so that once one is removed it is
    // never called again.
    {
        const std::lock_guard lock(Lock);
        Entries.erase(std::remove_if(Entries.begin(), Entries.end(),
                                     [&](const TEntry &entry) {
                                         return entry.Path == absolute && entry.Page == page;
                                     }),
                      Entries.end());
        Entries.push_back({absolute, stamp, page, image});
        while (int(Entries.size()) > Capacity) {
            Entries.pop_front();
        }
        for (const auto &listener : Listeners) {
            listener.second();
        }
    }
}

void TPagePictures::OfferIfMissing(const QString &path, int page, const QImage &image)
{
    if (path.isEmpty()) {
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    {
        const std::lock_guard lock(Lock);
        for (const TEntry &entry : Entries) {
            if (entry.Page == page && entry.Path == absolute) {
                return;
            }
        }
    }
    Offer(path, page, image);
}

std::optional<QImage> TPagePictures::Find(const QString &path, int page)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString stamp = FileStamp(absolute);
    const std::lock_guard lock(Lock);
    for (const TEntry &entry : Entries) {
        if (entry.Path == absolute && entry.Page == page && entry.Stamp == stamp) {
            return entry.Image;
        }
    }
    return std::nullopt;
}

int TPagePictures::AddListener(std::function<void()> listener)
{
    const std::lock_guard lock(Lock);
    Listeners.emplace_back(++LastListener, std::move(listener));
    return LastListener;
}

void TPagePictures::RemoveListener(int id)
{
    const std::lock_guard lock(Lock);
    std::erase_if(Listeners, [id](const auto &listener) { return listener.first == id; });
}

} // namespace tarvello
