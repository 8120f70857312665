#pragma once

#include <QSize>
#include <QSizeF>

namespace tarvello {

// How the document control arranges its pages.
enum class TPageArrangement {
    SinglePage,     // one page at a time
    OneColumn,      // all pages in one column, scrolled
    TwoColumnLeft,  // two pages side by side, odd pages on the left
    TwoColumnRight, // two pages side by side, odd pages on the right (a cover alone)
};

// How the zoom follows the window.
enum class TPageFit { Page, Width, Height, Custom };

// The pages of one row, by index from 0; -1 is an empty place.
struct TPageRow {
    int Left = -1;
    int Right = -1;
    int First() const { return Left >= 0 ? Left : Right; }
    int Last() const { return Right >= 0 ? Right : Left; }
    bool operator==(const TPageRow &) const = default;
};

bool IsTwoColumn(TPageArrangement arrangement);
// Everything but SinglePage shows all pages one row below the other.
bool IsContinuous(TPageArrangement arrangement);

int RowCount(TPageArrangement arrangement, int pageCount);
TPageRow RowAt(TPageArrangement arrangement, int row, int pageCount);
int RowOfPage(TPageArrangement arrangement, int page);

// Pixels per point that make a unit of `unitPoints` (a page or a row of two)
// fit the viewport as asked; `custom` is used for TPageFit::Custom. Kept within
// ZoomMin and ZoomMax so that a tiny or empty window does not make zero-sized
// renders or huge ones.
inline constexpr double ZoomMin = 0.05;
inline constexpr double ZoomMax = 10.0;
double FitZoom(TPageFit fit, QSizeF unitPoints, QSize viewport, double custom);

} // namespace tarvello
