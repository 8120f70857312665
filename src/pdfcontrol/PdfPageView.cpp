#include "pdfcontrol/PdfPageView.h"

#include "pdfcontrol/PdfPreparedPages.h"
#include "pdfhost/PagePictures.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPdfDocument>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace tarvello {

namespace {

const QColor Backdrop(48, 48, 48);

} // namespace

TPdfPageView::TPdfPageView(QWidget *parent) : QAbstractScrollArea(parent), PageCache(8)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    PrefetchTimer.setSingleShot(true);
    PrefetchTimer.setInterval(0);
    connect(&PrefetchTimer, &QTimer::timeout, this, &TPdfPageView::PrefetchOne);
    connect(&Prefetcher, &TPdfPrefetcher::Rendered, this, &TPdfPageView::PrefetchArrived);
    Views().push_back(this);
}

TPdfPageView::~TPdfPageView()
{
    std::erase(Views(), this);
}

void TPdfPageView::SetDocument(QPdfDocument *document, const QString &path)
{
    Doc = document;
    PageCache.Clear();
    PrefetchFailed.clear();
    // The sizes are read once: every call into the document waits for the
    // renderer's lock, which a page being rendered ahead holds for a while.
    PageSizes.clear();
    if (Doc && Doc->status() == QPdfDocument::Status::Ready) {
        const int count = Doc->pageCount();
        PageSizes.reserve(count);
        for (int page = 0; page < count; ++page) {
            PageSizes.push_back(Doc->pagePointSize(page));
        }
    }
    Path = document ? path : QString();
    // Taken before the prefetch thread opens the file: should it change
    // meanwhile, the pages that thread renders are never taken for this stamp.
    Stamp = Path.isEmpty() ? QString() : FileStamp(Path);
    OpeningPages.clear();
    Prefetcher.SetSource(Path);
    ShowFromStart();
}

void TPdfPageView::ShowFromStart()
{
    Current = 0;
    Relayout();
    ScrollToCurrentRow();
    emit CurrentPageChanged(Current);
}

int TPdfPageView::PageCount() const
{
    return Doc ? int(PageSizes.size()) : 0;
}

void TPdfPageView::SetArrangement(TPageArrangement arrangement)
{
    if (arrangement == Arrange) {
        return;
    }
    Arrange = arrangement;
    Relayout();
    ScrollToCurrentRow();
}

void TPdfPageView::SetFit(TPageFit fit)
{
    FitMode = fit;
    Relayout();
    ScrollToCurrentRow();
}

void TPdfPageView::SetZoom(double zoom)
{
    CustomZoom = std::clamp(zoom, ZoomMin, ZoomMax);
    FitMode = TPageFit::Custom;
    Relayout();
    ScrollToCurrentRow();
}

void TPdfPageView::ZoomBy(double factor)
{
    SetZoom(EffectiveZoom * factor);
}

void TPdfPageView::SetCurrentPage(int page)
{
    const int count = PageCount();
    page = count == 0 ? 0 : std::clamp(page, 0, count - 1);
    const bool rowChanged = RowOfPage(Arrange, page) != RowOfPage(Arrange, Current);
    Current = page;
    if (rowChanged || !IsContinuous(Arrange)) {
        if (!IsContinuous(Arrange)) {
            Relayout();
        }
        ScrollToCurrentRow();
    }
    viewport()->update();
    SchedulePrefetch();
    emit CurrentPageChanged(Current);
}

void TPdfPageView::NextPage()
{
    const int row = RowOfPage(Arrange, Current);
    if (row + 1 < RowCount(Arrange, PageCount())) {
        SetCurrentPage(RowAt(Arrange, row + 1, PageCount()).First());
    }
}

void TPdfPageView::PreviousPage()
{
    const int row = RowOfPage(Arrange, Current);
    if (row > 0) {
        SetCurrentPage(RowAt(Arrange, row - 1, PageCount()).First());
    } else if (Current > 0) {
        SetCurrentPage(0);
    }
}

void TPdfPageView::SetViewOffset(double points)
{
    ScrollToCurrentRow(points);
}

QSizeF TPdfPageView::PagePoints(int page) const
{
    if (page < 0 || page >= PageCount()) {
        return {};
    }
    return PageSizes[page];
}

QSize TPdfPageView::PageSizeAt(int page, double zoom) const
{
    const QSizeF points = PagePoints(page);
    return QSize(std::max(1, int(std::lround(points.width() * zoom))),
                 std::max(1, int(std::lround(points.height() * zoom))));
}

QSize TPdfPageView::PagePixelSize(int page) const
{
    const double ratio = devicePixelRatioF();
    const QSize logical = PageSizeAt(page, EffectiveZoom);
    return QSize(int(std::lround(logical.width() * ratio)),
                 int(std::lround(logical.height() * ratio)));
}

QSizeF TPdfPageView::RowUnitPoints(int row) const
{
    const TPageRow pages = RowAt(Arrange, row, PageCount());
    const QSizeF left = PagePoints(pages.Left >= 0 ? pages.Left : pages.Right);
    const QSizeF right = PagePoints(pages.Right >= 0 ? pages.Right : pages.Left);
    if (!IsTwoColumn(Arrange)) {
        return left;
    }
    return QSizeF(left.width() + right.width(), std::max(left.height(), right.height()));
}

// An empty place in a two-page row is as wide as the page beside it, so that
// odd and even pages stay in their columns.
int TPdfPageView::SlotWidth(const TPageRow &pages, bool left, double zoom) const
{
    const int page = left ? (pages.Left >= 0 ? pages.Left : pages.Right)
                          : (pages.Right >= 0 ? pages.Right : pages.Left);
    return page >= 0 ? PageSizeAt(page, zoom).width() : 0;
}

void TPdfPageView::Relayout()
{
    // Changing the scroll ranges can show or hide a scroll bar, which resizes the
    // viewport and lands here again. One more pass follows the new size; a page
    // that only fits without the bar would otherwise flip the bar for ever.
    if (InRelayout) {
        RelayoutAgain = true;
        return;
    }
    InRelayout = true;
    for (int pass = 0; pass < 2; ++pass) {
        RelayoutAgain = false;
        LayOutRows();
        if (!RelayoutAgain) {
            break;
        }
    }
    InRelayout = false;
    // The pages around the current one are asked for when it paints: a
    // document just opened is turned to its page before that.
    viewport()->update();
}

void TPdfPageView::LayOutRows()
{
    const int count = PageCount();
    Rows.clear();
    ContentWidth = ContentHeight = 0;
    const double oldZoom = EffectiveZoom;
    if (count > 0) {
        Current = std::clamp(Current, 0, count - 1);
        const int currentRow = RowOfPage(Arrange, Current);
        QSize room = viewport()->size();
        if (IsTwoColumn(Arrange)) {
            room.rwidth() -= Gap;
        }
        EffectiveZoom = FitZoom(FitMode, RowUnitPoints(currentRow), room, CustomZoom);
        const int first = IsContinuous(Arrange) ? 0 : currentRow;
        const int last = IsContinuous(Arrange) ? RowCount(Arrange, count) - 1 : currentRow;
        int top = 0;
        for (int row = first; row <= last; ++row) {
            const TPageRow pages = RowAt(Arrange, row, count);
            int width = SlotWidth(pages, true, EffectiveZoom);
            int height = PageSizeAt(pages.First(), EffectiveZoom).height();
            if (IsTwoColumn(Arrange)) {
                width += Gap + SlotWidth(pages, false, EffectiveZoom);
                height = std::max(height, PageSizeAt(pages.Last(), EffectiveZoom).height());
            }
            Rows.push_back(TShownRow{row, top, width, height});
            ContentWidth = std::max(ContentWidth, width);
            top += height + Gap;
        }
        ContentHeight = top - Gap;
    }
    MovingBars = true;
    horizontalScrollBar()->setRange(0, std::max(0, ContentWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, ContentHeight - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(std::max(1, viewport()->height() / 20));
    MovingBars = false;
    if (EffectiveZoom != oldZoom) {
        emit ZoomChanged(EffectiveZoom);
    }
}

void TPdfPageView::ScrollToCurrentRow(double offsetPoints)
{
    const int row = RowOfPage(Arrange, Current);
    int top = 0;
    for (const TShownRow &shown : Rows) {
        if (shown.Row == row) {
            top = shown.Top;
            break;
        }
    }
    const int offset = int(std::lround(offsetPoints * EffectiveZoom));
    MovingBars = true;
    if (FitMode == TPageFit::Height && !IsContinuous(Arrange)) {
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(offset);
    } else {
        verticalScrollBar()->setValue(top + offset);
        horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    }
    MovingBars = false;
    viewport()->update();
}

QPoint TPdfPageView::ContentOrigin() const
{
    const QSize room = viewport()->size();
    const int x = ContentWidth < room.width() ? (room.width() - ContentWidth) / 2
                                              : -horizontalScrollBar()->value();
    const int y = ContentHeight < room.height() ? (room.height() - ContentHeight) / 2
                                                : -verticalScrollBar()->value();
    return QPoint(x, y);
}

QRect TPdfPageView::PageRect(int page) const
{
    if (page < 0 || page >= PageCount()) {
        return {};
    }
    const int row = RowOfPage(Arrange, page);
    const QPoint origin = ContentOrigin();
    for (const TShownRow &shown : Rows) {
        if (shown.Row != row) {
            continue;
        }
        const TPageRow pages = RowAt(Arrange, row, PageCount());
        int left = origin.x() + (ContentWidth - shown.Width) / 2;
        if (page == pages.Right && IsTwoColumn(Arrange)) {
            left += SlotWidth(pages, true, EffectiveZoom) + Gap;
        }
        return QRect(QPoint(left, origin.y() + shown.Top), PageSizeAt(page, EffectiveZoom));
    }
    return {};
}

const QImage &TPdfPageView::PageImage(int page)
{
    const QSize size = PagePixelSize(page);
    if (const QImage *cached = PageCache.Find(page, size)) {
        // Others who show this page take it from the stage; it may have left
        // their store since it was drawn.
        TPagePictures::Instance().OfferIfMissing(Path, page, *cached);
        return *cached;
    }
    // Rendered before the document was opened, while the show stood still.
    if (!Path.isEmpty()) {
        if (std::optional<QImage> prepared = TPdfPreparedPages::Instance().Find(Path, page, size)) {
            prepared->setDevicePixelRatio(devicePixelRatioF());
            ++TakenPrepared;
            PageCache.Insert(page, size, std::move(*prepared));
            return *PageCache.Find(page, size);
        }
    }
    // Being rendered ahead right now: waiting for it is quicker than
    // rendering it again behind it.
    if (std::optional<QImage> claimed = Prefetcher.Claim(page, size)) {
        HandOverOpeningPage(page, size, *claimed);
        claimed->setDevicePixelRatio(devicePixelRatioF());
        TPagePictures::Instance().Offer(Path, page, *claimed);
        PageCache.Insert(page, size, std::move(*claimed));
        return *PageCache.Find(page, size);
    }
    ++RenderedHere;
    QImage image;
    {
        const TPdfPrefetcher::TWindowRender first(Prefetcher);
        image = Doc->render(page, size);
    }
    HandOverOpeningPage(page, size, image);
    if (image.isNull()) {
        // A page the renderer cannot draw shows as a blank sheet instead of
        // taking the view down.
        image = QImage(size, QImage::Format_RGB32);
        image.fill(Qt::white);
    }
    image.setDevicePixelRatio(devicePixelRatioF());
    TPagePictures::Instance().Offer(Path, page, image);
    PageCache.Insert(page, size, std::move(image));
    return *PageCache.Find(page, size);
}

void TPdfPageView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Backdrop);
    if (PageCount() == 0) {
        return;
    }
    const QRect room = viewport()->rect();
    const QPoint origin = ContentOrigin();
    int visible = 0;
    for (const TShownRow &shown : Rows) {
        const int top = origin.y() + shown.Top;
        if (top >= room.bottom() + 1 || top + shown.Height <= 0) {
            continue;
        }
        const TPageRow pages = RowAt(Arrange, shown.Row, PageCount());
        for (int page : {pages.Left, pages.Right}) {
            if (page < 0) {
                continue;
            }
            const QRect target = PageRect(page);
            if (!target.intersects(room)) {
                continue;
            }
            ++visible;
            painter.fillRect(target, Qt::white);
            painter.drawImage(target.topLeft(), PageImage(page));
        }
    }
    VisiblePages = std::max(1, visible);
    PageCache.SetCapacity(VisiblePages + 2 * (RowsBehind + RowsAhead + 1));
    SchedulePrefetch();
}

void TPdfPageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
    if (FitMode != TPageFit::Custom) {
        ScrollToCurrentRow();
    }
}

void TPdfPageView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (!MovingBars) {
        FollowScroll();
    }
}

// After the reader scrolled a continuous view, the current page is the first of
// the row that fills the upper part of the window.
void TPdfPageView::FollowScroll()
{
    if (!IsContinuous(Arrange) || Rows.empty()) {
        return;
    }
    const int probe = verticalScrollBar()->value() + viewport()->height() / 4;
    int row = Rows.front().Row;
    for (const TShownRow &shown : Rows) {
        if (shown.Top <= probe) {
            row = shown.Row;
        }
    }
    if (row != RowOfPage(Arrange, Current)) {
        Current = RowAt(Arrange, row, PageCount()).First();
        SchedulePrefetch();
        emit CurrentPageChanged(Current);
    }
}

void TPdfPageView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageDown:
        NextPage();
        break;
    case Qt::Key_PageUp:
        PreviousPage();
        break;
    case Qt::Key_Home:
        SetCurrentPage(0);
        break;
    case Qt::Key_End:
        SetCurrentPage(PageCount() - 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace tarvello
