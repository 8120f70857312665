#pragma once

#include "pdfcontrol/PdfPageCache.h"
#include "pdfcontrol/PdfPageLayout.h"
#include "pdfcontrol/PdfPrefetcher.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

class QPdfDocument;

namespace tarvello {

// Paints the pages of a document in one of the arrangements, zoomed to fit as
// asked. Pages are rendered at the size they are shown and kept in a small
// cache; in idle time the view renders the rows next to the current one, so
// that a page turn finds its pages ready and paints at once.
class TPdfPageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Pixels between pages side by side and between rows.
    static constexpr int Gap = 6;

    explicit TPdfPageView(QWidget *parent = nullptr);
    ~TPdfPageView() override;

    // The document is not owned; call again after it loaded another file. With
    // the file's path the neighbouring pages are rendered in a thread of their
    // own; without it, in idle time on this thread.
    void SetDocument(QPdfDocument *document, const QString &path = QString());
    QPdfDocument *Document() const { return Doc.data(); }
    int PageCount() const;
    // Back to the first page and the top of it, as a document just given:
    // for the same document shown anew. The pages rendered stay.
    void ShowFromStart();
    // The view that shows `path` as the file is on disk now and renders its
    // pages in a thread of its own; nullptr when none does. On the window's
    // thread only, where every view lives.
    static TPdfPageView *ShowingFile(const QString &path);

    void SetArrangement(TPageArrangement arrangement);
    TPageArrangement Arrangement() const { return Arrange; }
    void SetFit(TPageFit fit);
    TPageFit Fit() const { return FitMode; }
    // Switches to a zoom of its own, in pixels per point.
    void SetZoom(double zoom);
    void ZoomBy(double factor);
    double Zoom() const { return EffectiveZoom; }

    // Pages count from 0 here; numbers out of range are brought into it.
    int CurrentPage() const { return Current; }
    void SetCurrentPage(int page);
    void NextPage();
    void PreviousPage();
    // Scrolls to `points` below the top of the current row (across it when the
    // height is fitted).
    void SetViewOffset(double points);

    // A page's size in points; empty out of range.
    QSizeF PagePoints(int page) const;
    // The size a page is shown at, in device pixels.
    QSize PagePixelSize(int page) const;
    // Where a page is painted in the viewport; empty when it is not laid out.
    QRect PageRect(int page) const;

    bool IsPrefetchPending() const;
    // Renders now what idle time would render next; for a caller that wants the
    // neighbours ready before going on.
    void FinishPrefetch();
    // Waits until the prefetch thread has rendered and handed over every page
    // asked of it, so that it renders nothing while the caller goes on.
    void WaitForPrefetchIdle();
    TPdfPageCache &Cache() { return PageCache; }
    // Pages this view rendered on its own thread since it was made: a page
    // needed before it was rendered ahead, or every page when there is no
    // prefetch thread. Each such render holds up the window.
    int PagesRenderedHere() const { return RenderedHere; }
    // Pages this view took ready-made from the pages rendered before their
    // document was opened.
    int PagesTakenPrepared() const { return TakenPrepared; }

    // Pages (from 0, at a pixel size each) of this document that others will
    // open it at: the prefetch thread renders them with the document it has
    // open, and each is handed to TPdfPreparedPages when done, so that nobody
    // opens the file again for them. Replaces what was asked before.
    using TPageAtSize = std::pair<int, QSize>;
    void PrepareOpeningPages(const std::vector<TPageAtSize> &pages);
    bool IsPreparingOpeningPages() const { return !OpeningPages.empty(); }

signals:
    void CurrentPageChanged(int page);
    void ZoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Neighbouring rows kept rendered on each side of the current one,
    // besides what is on screen: the previous row and the two after it.
    static constexpr int RowsBehind = 1;
    static constexpr int RowsAhead = 2;

    struct TShownRow {
        int Row;
        int Top;
        int Width;
        int Height;
    };

    void Relayout();
    void LayOutRows();
    void ScrollToCurrentRow(double offsetPoints = 0);
    QSize PageSizeAt(int page, double zoom) const;
    QSizeF RowUnitPoints(int row) const;
    int SlotWidth(const TPageRow &pages, bool left, double zoom) const;
    QPoint ContentOrigin() const;
    const QImage &PageImage(int page);
    std::vector<int> WantedPages() const;
    void SchedulePrefetch();
    void PrefetchOne();
    void FollowScroll();
    void PrefetchArrived(int page, QSize size, const QImage &image);
    // Gives the page to TPdfPreparedPages when it was asked for as an
    // opening page; a null image only ends the wait for it.
    void HandOverOpeningPage(int page, QSize size, const QImage &image);
    static std::vector<TPdfPageView *> &Views();

    QPointer<QPdfDocument> Doc;
    QString Path;
    QString Stamp;
    std::vector<QSizeF> PageSizes;
    TPageArrangement Arrange = TPageArrangement::SinglePage;
    TPageFit FitMode = TPageFit::Page;
    double CustomZoom = 1.0;
    double EffectiveZoom = 1.0;
    int Current = 0;
    std::vector<TShownRow> Rows;
    int ContentWidth = 0;
    int ContentHeight = 0;
    int VisiblePages = 1;
    TPdfPageCache PageCache;
    QTimer PrefetchTimer;
    TPdfPrefetcher Prefetcher;
    // Pages the prefetcher could not render; the view renders them itself.
    std::set<std::tuple<int, int, int>> PrefetchFailed;
    std::vector<TPageAtSize> OpeningPages;
    int RenderedHere = 0;
    int TakenPrepared = 0;
    bool MovingBars = false;
    bool InRelayout = false;
    bool RelayoutAgain = false;
};

} // namespace tarvello
