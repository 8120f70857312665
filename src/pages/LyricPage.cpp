#include "pages/LyricPage.h"

#include "core/AfterPaint.h"
#include "core/SlotTypes.h"
#include "core/TarvelloError.h"
#include "pages/LyricAutoScroll.h"
#include "pages/PromptPreparer.h"
#include "pages/RichTextFile.h"
#include "pdfviewer/PdfViewer.h"
#include "prompt/PromptReference.h"
#include "widgets/Colours.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/WebBrowserView.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <utility>

namespace tarvello {
namespace {

// What a rich-text prompt is made ready as, and found again by: the file
// and the numbered first line it opens with, if any. The shown prompt and its
// neighbours must name it alike, or nothing made ready is ever taken.
TPreparedFile PreparedFileOf(const QString &path, const QString &key, const QString &stored,
                             bool numbered)
{
    return {path, numbered ? NumberedLine(key, stored) : QString()};
}

} // namespace

TLyricPage::TLyricPage(QWidget *parent)
    : QWidget(parent), reLyric(Named(new QTextEdit(this), "reLyric")),
      webFileBrowser(Named(new TWebBrowserView(this), "webFileBrowser")),
      AutoScroll(new TLyricAutoScroll(this)), Preparer(new TPromptPreparer(this))
{
    setObjectName(QStringLiteral("tsLyric"));
    // The three views share the page; the hidden ones take no room.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    reLyric->setReadOnly(true);
    reLyric->setAcceptRichText(true);
    reLyric->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reLyric->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBackground(ColourOfColourValue(LyricViewColour));
    layout->addWidget(reLyric, 0, 0);
    connect(reLyric->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TLyricPage::TextScrolled);

    webFileBrowser->hide();
    connect(webFileBrowser, &TWebBrowserView::Scrolled, this, &TLyricPage::BrowserScrolled);
    layout->addWidget(webFileBrowser, 0, 0);

    createPdfViewer();
    createPauseMark();
}

void TLyricPage::createPauseMark()
{
    // Small, in a corner, over whichever view is up: the reader sees that
    // the scroll waits for them without losing a line of the prompt.
    lPaused = Named(new QLabel(QStringLiteral("\u275A\u275A Paused"), this), "lAutoScrollPaused");
    lPaused->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(40, 40, 40, 170); color: white; padding: 2px 6px; "
        "border-radius: 4px; font-size: 11pt; margin: 4px 22px 0 0; }"));
    lPaused->setAttribute(Qt::WA_TransparentForMouseEvents);
    lPaused->hide();
    static_cast<QGridLayout *>(layout())->addWidget(lPaused, 0, 0, Qt::AlignTop | Qt::AlignRight);
    connect(AutoScroll, &TLyricAutoScroll::PausedChanged, this, [this](bool paused) {
        lPaused->setVisible(paused);
        if (paused) {
            lPaused->raise();
        }
    });
}

void TLyricPage::SetScrollDelay(int seconds)
{
    AutoScroll->SetStartDelay(seconds);
}

TLyricPage::~TLyricPage()
{
    // The view lets go of a prepared document before that goes.
    if (ShownDocument) {
        reLyric->setDocument(nullptr);
    }
}

void TLyricPage::createPdfViewer()
{
    PdfViewer = Named(new TPdfViewer(this), "PdfViewer");
    PdfViewer->SetAutoOpen(true);
    PdfViewer->SetCopies(1);
    PdfViewer->SetEndPage(0);
    PdfViewer->SetFitMode(vmFit);
    PdfViewer->SetLayoutMode(lmSinglePage);
    PdfViewer->SetPageMode(pmStandard);
    PdfViewer->SetShowPrintDialog(false);
    PdfViewer->SetShowScrollBars(false);
    PdfViewer->SetShowToolBar(false);
    PdfViewer->SetShrinkToMargins(false);
    PdfViewer->SetStartPage(1);
    PdfViewer->hide();
    static_cast<QGridLayout *>(layout())->addWidget(PdfViewer, 0, 0);
}

void TLyricPage::Show(const QString &key, const QString &stored, const TPromptFile &file,
                      bool numbered)
{
    // A prompt that fails to show leaves nothing scrolling behind it; one that
    // shows scrolls from its top (a PDF from the page it opened at).
    AutoScroll->Stop();
    // A document made ready replaces the one shown as a whole; anything else
    // goes into the view's document, emptied first.
    std::unique_ptr<QTextDocument> prepared;
    if (file.Kind == TPromptKind::RichText) {
        prepared =
            Preparer->Take(PreparedFileOf(file.Path, key, stored, numbered), Look());
    }
    if (!prepared) {
        reLyric->clear();
    }
    if (file.Kind == TPromptKind::BadPage) {
        throw TError(file.Error);
    }

    // A PDF that follows a PDF keeps its viewer on screen: hiding it for a
    // moment costs the window a relayout before the next page can show.
    if (file.Kind == TPromptKind::Pdf) {
        View = lvRichText;
    } else {
        ShowOnlyView(lvRichText);
    }
    emit LineButtonsEnabledChanged(true);

    switch (file.Kind) {
    case TPromptKind::WebAddress:
        ShowOnlyView(lvBrowser);
        webFileBrowser->Stop();
        webFileBrowser->Navigate(file.Reference);
        break;
    case TPromptKind::None:
    case TPromptKind::BadPage:
        if (numbered) {
            reLyric->setPlainText(NumberedLine(key, file.Reference));
        }
        break;
    // The viewers get the file's absolute path, so that none of them resolves
    // the name elsewhere.
    case TPromptKind::Browser:
        ShowOnlyView(lvBrowser);
        webFileBrowser->Navigate(file.Path);
        break;
    case TPromptKind::Pdf:
        ShowPdf(file.Path, file.Page);
        break;
    case TPromptKind::RichText:
        if (prepared) {
            ShowDocument(std::move(prepared));
        } else {
            LoadIntoRichText(*reLyric, file.Path);
            if (numbered) {
                InsertFirstLine(*reLyric, NumberedLine(key, stored));
            }
        }
        break;
    }
    FollowWithAutoScroll();
}

void TLyricPage::ShowDocument(std::unique_ptr<QTextDocument> document)
{
    // From the top, as after emptying the view, which then lays out no more
    // of the new document than it shows.
    reLyric->verticalScrollBar()->setValue(0);
    reLyric->setDocument(document.get());
    // Laid out before it came, the document announces no change of its own:
    // the view is painted anew whether or not its scroll range moved.
    reLyric->viewport()->update();
    // The one it replaces is not the view's own; it goes after the paint.
    std::unique_ptr<QTextDocument> replaced = std::exchange(ShownDocument, std::move(document));
    if (replaced) {
        replaced->setParent(this);
        replaced.release()->deleteLater();
    }
    reLyric->moveCursor(QTextCursor::Start);
}

TPromptLook TLyricPage::Look() const
{
    TPromptLook look;
    look.Font = reLyric->font();
    look.Wrap = reLyric->wordWrapMode();
    look.Width = reLyric->viewport()->width();
    return look;
}

void TLyricPage::PrepareNeighbours(std::vector<TPromptFile> neighbours, bool numbered)
{
    const bool posted = WaitingNeighbours.has_value();
    WaitingNeighbours = std::move(neighbours);
    WaitingNumbered = numbered;
    // Behind the repaint the prompt just asked for.
    if (!posted) {
        RunAfterPaint(this, [this] { PrepareWaitingNeighbours(); });
    }
}

bool TLyricPage::Preparing() const
{
    return WaitingNeighbours.has_value() || Preparer->Busy();
}

void TLyricPage::PrepareWaitingNeighbours()
{
    if (!WaitingNeighbours) {
        return;
    }
    const std::vector<TPromptFile> neighbours = std::move(*WaitingNeighbours);
    WaitingNeighbours.reset();
    const bool numbered = WaitingNumbered;
    std::vector<TPreparedFile> files;
    QStringList pdfs;
    QList<int> pages;
    for (const TPromptFile &file : neighbours) {
        if (file.Kind == TPromptKind::RichText) {
            files.push_back(
                PreparedFileOf(file.Path, SlotNumberText(file.Slot, NumbersFromOne), file.Stored,
                               numbered));
        } else if (file.Kind == TPromptKind::Pdf) {
            pdfs << file.Path;
            pages << file.Page;
        }
    }
    Preparer->Prepare(files, Look());
    // The viewer fills the page when it is shown.
    PdfViewer->PrepareDocuments(pdfs, pages, size());
}

void TLyricPage::ShowPdf(const QString &path, int page)
{
    reLyric->hide();
    webFileBrowser->hide();
    PdfViewer->show();
    PdfViewer->SetFileName(path);
    PdfViewer->SetCurrentPage(page);
    emit LineButtonsEnabledChanged(false);
    View = lvPdf;
}

void TLyricPage::ShowOnlyView(TLyricViewKind kind)
{
    View = kind;
    reLyric->setVisible(kind == lvRichText);
    webFileBrowser->setVisible(kind == lvBrowser);
    PdfViewer->setVisible(kind == lvPdf);
}

double TLyricPage::TextScrollFraction() const
{
    const QScrollBar *bar = reLyric->verticalScrollBar();
    const int range = bar->maximum() - bar->minimum();
    return range > 0 ? double(bar->value() - bar->minimum()) / range : 0.0;
}

int TLyricPage::PdfPage() const
{
    return PdfViewer && View == lvPdf ? PdfViewer->CurrentPage() : 0;
}

int TLyricPage::PdfPageCount() const
{
    return PdfViewer && View == lvPdf ? PdfViewer->PageCount() : 0;
}

void TLyricPage::ShowText(const QString &text)
{
    reLyric->setPlainText(text);
}

void TLyricPage::ShowError(const QString &text)
{
    AutoScroll->Stop();
    ShowOnlyView(lvRichText);
    emit LineButtonsEnabledChanged(true);
    reLyric->setPlainText(text);
}

TPromptEdges TLyricPage::Edges() const
{
    switch (View) {
    case lvBrowser:
        return {webFileBrowser->AtTop(), webFileBrowser->AtEnd()};
    case lvPdf:
        return {PdfPage() <= 1, PdfPage() >= PdfPageCount()};
    case lvRichText:
        break;
    }
    // A document is laid out bit by bit as it is read: its end is known once
    // all of it is.
    reLyric->document()->documentLayout()->documentSize();
    const QScrollBar *bar = reLyric->verticalScrollBar();
    return {bar->value() <= bar->minimum(), bar->value() >= bar->maximum()};
}

void TLyricPage::ShowEnd()
{
    switch (View) {
    case lvBrowser:
        webFileBrowser->ShowEnd();
        break;
    case lvPdf:
        if (PdfPageCount() > 0) {
            PdfViewer->SetCurrentPage(PdfPageCount());
        }
        break;
    case lvRichText:
        reLyric->document()->documentLayout()->documentSize();
        reLyric->verticalScrollBar()->setValue(reLyric->verticalScrollBar()->maximum());
        break;
    }
    // Autoscroll starts from where the prompt now stands: nothing is left.
    FollowWithAutoScroll();
}

void TLyricPage::Command(int value)
{
    RunViewCommand(value);
    AutoScroll->Command();
}

void TLyricPage::RunViewCommand(int value)
{
    const bool down = value == LineDownValue || value == PageDownValue;
    const bool line = value == LineDownValue || value == LineUpValue;
    switch (View) {
    case lvRichText: {
        using A = QAbstractSlider::SliderAction;
        const A action = line ? (down ? A::SliderSingleStepAdd : A::SliderSingleStepSub)
                              : (down ? A::SliderPageStepAdd : A::SliderPageStepSub);
        reLyric->verticalScrollBar()->triggerAction(action);
        break;
    }
    case lvBrowser:
        if (line) {
            webFileBrowser->ScrollLine(down ? 1 : -1);
        } else {
            webFileBrowser->ScrollPage(down ? 1 : -1);
        }
        break;
    case lvPdf:
        // A document has pages, not lines.
        if (!line) {
            if (down) {
                PdfViewer->GoToNextPage();
            } else {
                PdfViewer->GoToPreviousPage();
            }
        }
        break;
    }
}

void TLyricPage::SetAutoScroll(bool on)
{
    AutoScroll->SetEnabled(on);
    ApplyPdfLayoutForAutoScroll();
}

void TLyricPage::SetScrollSeconds(int seconds)
{
    AutoScroll->SetSecondsForWhole(seconds);
}

void TLyricPage::StopAutoScroll()
{
    AutoScroll->Stop();
}

void TLyricPage::FollowWithAutoScroll()
{
    if (!AutoScroll->Enabled()) {
        AutoScroll->Stop();
        return;
    }
    switch (View) {
    case lvRichText:
        AutoScroll->FollowScrollBar(reLyric->verticalScrollBar());
        break;
    case lvBrowser:
        AutoScroll->FollowBrowser(webFileBrowser);
        break;
    case lvPdf:
        AutoScroll->FollowScrollBar(PdfViewer->ScrollBar());
        break;
    }
}

// A page at a time, fitted whole, has nothing to scroll: while autoscroll is
// on, a document shows its pages in one column across the width instead.
void TLyricPage::ApplyPdfLayoutForAutoScroll()
{
    const bool scrolls = AutoScroll->Enabled();
    const TPdfLayoutMode layout = scrolls ? lmOneColumn : lmSinglePage;
    const TPdfFitMode fit = scrolls ? vmFitHorz : vmFit;
    // Each one sent to an open document lays it out again.
    if (PdfViewer->LayoutMode() != layout) {
        PdfViewer->SetLayoutMode(layout);
    }
    if (PdfViewer->FitMode() != fit) {
        PdfViewer->SetFitMode(fit);
    }
}

QFont TLyricPage::PromptFont() const
{
    return reLyric->font();
}

void TLyricPage::SetPromptFont(const QFont &font)
{
    reLyric->setFont(font);
}

void TLyricPage::SetTextColour(const QColor &colour)
{
    tarvello::SetTextColour(reLyric, QPalette::Text, colour);
}

QColor TLyricPage::Background() const
{
    return reLyric->viewport()->palette().color(QPalette::Base);
}

void TLyricPage::SetBackground(const QColor &colour)
{
    tarvello::SetBackground(reLyric->viewport(), colour);
    tarvello::SetBackground(reLyric, colour);
}

void TLyricPage::SetPdfScrollBars(bool shown)
{
    PdfViewer->SetShowScrollBars(shown);
}

} // namespace tarvello
