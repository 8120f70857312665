#include "pdfcontrol/PdfPageCache.h"

#include <algorithm>

namespace tarvello {

TPdfPageCache::TPdfPageCache(int capacity) : Limit(std::max(1, capacity)) {}

void TPdfPageCache::SetCapacity(int capacity)
{
    Limit = std::max(1, capacity);
    Trim();
}

bool TPdfPageCache::Contains(int page, QSize size) const
{
    return std::any_of(Entries.begin(), Entries.end(), [&](const TEntry &entry) {
        return entry.Page == page && entry.Size == size;
    });
}

const QImage *TPdfPageCache::Find(int page, QSize size)
{
    for (TEntry &entry : Entries) {
        if (entry.Page == page && entry.Size == size) {
            entry.LastUse = ++Clock;
            return &entry.Image;
        }
    }
    return nullptr;
}

void TPdfPageCache::Insert(int page, QSize size, QImage image)
{
    for (TEntry &entry : Entries) {
        if (entry.Page == page && entry.Size == size) {
            entry.Image = std::move(image);
            entry.LastUse = ++Clock;
            return;
        }
    }
    Entries.push_back(TEntry{page, size, std::move(image), ++Clock});
    Trim();
}

void TPdfPageCache::Clear()
{
    Entries.clear();
}

void TPdfPageCache::Trim()
{
    while (static_cast<int>(Entries.size()) > Limit) {
        const auto oldest =
            std::min_element(Entries.begin(), Entries.end(), [](const TEntry &a, const TEntry &b) {
                return a.LastUse < b.LastUse;
            });
        Entries.erase(oldest);
    }
}

} // namespace tarvello
