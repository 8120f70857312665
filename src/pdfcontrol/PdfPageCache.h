#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <vector>

namespace tarvello {

// Rendered pages kept for instant page turns: each entry is one page rendered at
// one pixel size. The cache holds at most `capacity` entries and drops the one
// used longest ago when full, so its size does not grow with the document.
class TPdfPageCache {
public:
    explicit TPdfPageCache(int capacity);

    int Capacity() const { return Limit; }
    // A smaller capacity drops the entries used longest ago at once.
    void SetCapacity(int capacity);
    int Count() const { return static_cast<int>(Entries.size()); }

    bool Contains(int page, QSize size) const;
    // The page at that size, or nullptr; a hit counts as a use.
    const QImage *Find(int page, QSize size);
    void Insert(int page, QSize size, QImage image);
    void Clear();

private:
    struct TEntry {
        int Page;
        QSize Size;
        QImage Image;
        std::uint64_t LastUse;
    };
    void Trim();

    std::vector<TEntry> Entries;
    int Limit;
    std::uint64_t Clock = 0;
};

} // namespace tarvello
