#include "main/MainWindow.h"

#include "main/LyricAutoScroll.h"
#include "pdfviewer/PdfViewer.h"
#include "widgets/LayoutHelpers.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>

namespace tarvello {
namespace {

// Anything from a short intro to a long medley; the box takes a whole day so
// that a value typed into the settings file is kept as it stands.
constexpr int ShortestScrollSeconds = 1;
constexpr int LongestScrollSeconds = 24 * 60 * 60;

} // namespace

void TfMain::createAutoScrollControls()
{
    // Below the output device list, under the page-turner keys' line.
    cbAutoScroll = Named(new QCheckBox(QStringLiteral("Autoscroll"), tsMidi), "cbAutoScroll");
    cbAutoScroll->setGeometry(8, 286, 90, 17);
    SetHint(cbAutoScroll,
            QStringLiteral("Files on the Lyric page scroll by themselves; Line Up, Line Dn, "
                           "Page Up or Page Dn pauses and resumes"),
            true);

    seScrollSeconds = Named(new QSpinBox(tsMidi), "seScrollSeconds");
    seScrollSeconds->setGeometry(104, 284, 100, 22);
    seScrollSeconds->setRange(ShortestScrollSeconds, LongestScrollSeconds);
    seScrollSeconds->setValue(DefaultScrollSeconds);
    seScrollSeconds->setSuffix(QStringLiteral(" s"));
    seScrollSeconds->setAccelerated(true);
    SetHint(seScrollSeconds, QStringLiteral("Seconds to scroll through a whole file"), true);

    AutoScroll = new TLyricAutoScroll(this);
}

void TfMain::connectAutoScroll()
{
    connect(cbAutoScroll, &QCheckBox::toggled, this, &TfMain::cbAutoScrollClick);
    connect(seScrollSeconds, &QSpinBox::valueChanged, this, &TfMain::seScrollSecondsChange);
    // Only the Lyric page scrolls; coming back to it shows the prompt anew.
    connect(pcMain, &QTabWidget::currentChanged, this, [this] {
        if (pcMain->currentWidget() != tsLyric) {
            AutoScroll->Stop();
        }
    });
    AutoScroll->SetSecondsForWhole(seScrollSeconds->value());
}

void TfMain::cbAutoScrollClick()
{
    AutoScroll->SetEnabled(cbAutoScroll->isChecked());
    ApplyPdfLayoutForAutoScroll();
    // Switched on during a song: from where the view stands.
    if (pcMain->currentWidget() == tsLyric) {
        FollowLyricViewWithAutoScroll();
    }
}

void TfMain::seScrollSecondsChange()
{
    AutoScroll->SetSecondsForWhole(seScrollSeconds->value());
}

void TfMain::AutoScrollCommand()
{
    AutoScroll->Command();
}

void TfMain::FollowLyricViewWithAutoScroll()
{
    if (!cbAutoScroll->isChecked()) {
        AutoScroll->Stop();
        return;
    }
    switch (LyricView) {
    case lvRichText:
        AutoScroll->FollowScrollBar(reLyric->verticalScrollBar());
        break;
    case lvBrowser:
        AutoScroll->FollowBrowser(webFileBrowser);
        break;
    case lvPdf:
        AutoScroll->FollowScrollBar(PdfScrollBar());
        break;
    }
}

// A page at a time, fitted whole, has nothing to scroll: while autoscroll is
// on, a document shows its pages in one column across the width instead.
void TfMain::ApplyPdfLayoutForAutoScroll()
{
    if (!PdfViewer) {
        return;
    }
    const bool scrolls = cbAutoScroll->isChecked();
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

QScrollBar *TfMain::PdfScrollBar() const
{
    return PdfViewer ? PdfViewer->ScrollBar() : nullptr;
}

} // namespace tarvello
