#include "pdfcontrol/PdfPageLayout.h"

#include <algorithm>

namespace tarvello {

bool IsTwoColumn(TPageArrangement arrangement)
{
    return arrangement == TPageArrangement::TwoColumnLeft ||
           arrangement == TPageArrangement::TwoColumnRight;
}

bool IsContinuous(TPageArrangement arrangement)
{
    return arrangement != TPageArrangement::SinglePage;
}

int RowCount(TPageArrangement arrangement, int pageCount)
{
    if (pageCount <= 0) {
        return 0;
    }
    switch (arrangement) {
    case TPageArrangement::TwoColumnLeft:
        return (pageCount + 1) / 2;
    case TPageArrangement::TwoColumnRight:
        return pageCount / 2 + 1;
    default:
        return pageCount;
    }
}

TPageRow RowAt(TPageArrangement arrangement, int row, int pageCount)
{
    TPageRow result;
    if (row < 0 || row >= RowCount(arrangement, pageCount)) {
        return result;
    }
    auto page = [pageCount](int index) { return index >= 0 && index < pageCount ? index : -1; };
    switch (arrangement) {
    case TPageArrangement::TwoColumnLeft:
        result.Left = page(2 * row);
        result.Right = page(2 * row + 1);
        break;
    case TPageArrangement::TwoColumnRight:
        result.Left = page(2 * row - 1);
        result.Right = page(2 * row);
        break;
    default:
        result.Left = row;
        break;
    }
    return result;
}

int RowOfPage(TPageArrangement arrangement, int page)
{
    switch (arrangement) {
    case TPageArrangement::TwoColumnLeft:
        return page / 2;
    case TPageArrangement::TwoColumnRight:
        return (page + 1) / 2;
    default:
        return page;
    }
}

double FitZoom(TPageFit fit, QSizeF unitPoints, QSize viewport, double custom)
{
    double zoom = custom;
    const bool usable = unitPoints.width() > 0 && unitPoints.height() > 0 && viewport.width() > 0 &&
                        viewport.height() > 0;
    if (fit != TPageFit::Custom && usable) {
        const double byWidth = viewport.width() / unitPoints.width();
        const double byHeight = viewport.height() / unitPoints.height();
        switch (fit) {
        case TPageFit::Width:
            zoom = byWidth;
            break;
        case TPageFit::Height:
            zoom = byHeight;
            break;
        default:
            zoom = std::min(byWidth, byHeight);
            break;
        }
    } else if (fit != TPageFit::Custom) {
        zoom = 1.0;
    }
    return std::clamp(zoom, ZoomMin, ZoomMax);
}

} // namespace tarvello
