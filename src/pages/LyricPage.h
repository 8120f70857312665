#pragma once

#include "prompt/Prompt.h"

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QScrollBar;
class QTextDocument;
class QTextEdit;

namespace tarvello {

class TLyricAutoScroll;
class TPromptPreparer;
struct TPromptLook;
class TPdfViewer;
class TWebBrowserView;

// Which view of the Lyric page shows the current slot; the scroll and page
// commands act on it.
enum TLyricViewKind : int { lvRichText = 0, lvBrowser = 1, lvPdf = 2 };

// The page "Lyric": a slot's file in the view that suits it (the rich-text
// view for text and RTF, the browser for pictures, HTML and web addresses, the
// PDF viewer), the scroll and page commands on that view, and autoscroll.
class TLyricPage : public QWidget {
    Q_OBJECT

public:
    explicit TLyricPage(QWidget *parent = nullptr);
    ~TLyricPage() override;

    // Shows the file that slot `key` stores (`stored`, a page suffix
    // included), resolved as `file`. `numbered`: the slot's number and
    // reference go above a text and stand in for a missing file. Throws TError
    // for a page suffix that is no number (the rich-text view is then empty,
    // the other views as they were) and for a file that cannot be read.
    void Show(const QString &key, const QString &stored, const TPromptFile &file, bool numbered);
    // The files a performer goes to next, the most likely first: they are
    // made ready in the background as they would be shown (`numbered` as for
    // Show, with their slots and stored references), so that showing one of
    // them later reads nothing. Web addresses and pictures are left alone.
    // The work starts once the prompt just shown is painted; of several calls
    // before then, the last one counts.
    void PrepareNeighbours(std::vector<TPromptFile> neighbours, bool numbered);
    // Neighbours are numbered from 1 where the operator reads slots so.
    void SetNumbersFromOne(bool fromOne) { NumbersFromOne = fromOne; }
    // Neighbours are waiting for the paint or being made ready.
    bool Preparing() const;
    // Line down, line up, page down or page up (122 to 125) on the view that
    // shows the slot; it also pauses or resumes autoscroll.
    void Command(int value);
    TLyricViewKind ViewKind() const { return View; }
    // How far the rich-text view is scrolled, 0 at the top to 1 at the end.
    double TextScrollFraction() const;
    // The PDF document's page shown and its pages; 0 without a document.
    int PdfPage() const;
    int PdfPageCount() const;
    // Text in the rich-text view, as at the start of a show.
    void ShowText(const QString &text);
    // Why a prompt cannot be shown, in the rich-text view in place of it.
    void ShowError(const QString &text);
    // Whether the view shown stands at the prompt's top or end (a PDF at its
    // first or last page), and the prompt just shown put at its end.
    TPromptEdges Edges() const;
    void ShowEnd();

    // Autoscroll: a view scrolls by itself from top to bottom in the chosen
    // time; a new prompt starts it again.
    void SetAutoScroll(bool on);
    void SetScrollSeconds(int seconds);
    // Seconds a new prompt waits before it starts to scroll (0: at once).
    void SetScrollDelay(int seconds);
    // Scroll the view shown from where it stands (when autoscroll is on).
    void FollowWithAutoScroll();
    void StopAutoScroll();
    TLyricAutoScroll &AutoScroller() const { return *AutoScroll; }

    QFont PromptFont() const;
    void SetPromptFont(const QFont &font);
    void SetTextColour(const QColor &colour);
    QColor Background() const;
    void SetBackground(const QColor &colour);
    void SetPdfScrollBars(bool shown);

signals:
    // "Line Up" and "Line Dn" have nothing to do on a PDF document.
    void LineButtonsEnabledChanged(bool enabled);
    // The rich-text view was scrolled, by a command, autoscroll or the hand.
    void TextScrolled();
    // The browser's page was scrolled: 0 at the top to 1 at the end.
    void BrowserScrolled(double fraction);

private:
    void createPdfViewer();
    void createPauseMark();
    void ShowOnlyView(TLyricViewKind kind);
    void RunViewCommand(int value);
    void ShowPdf(const QString &path, int page);
    void ShowDocument(std::unique_ptr<QTextDocument> document);
    void PrepareWaitingNeighbours();
    // How the rich-text view shows a document now.
    TPromptLook Look() const;
    void ApplyPdfLayoutForAutoScroll();

    QTextEdit *reLyric;
    TWebBrowserView *webFileBrowser;
    TPdfViewer *PdfViewer = nullptr;
    TLyricAutoScroll *AutoScroll;
    QLabel *lPaused = nullptr;
    TPromptPreparer *Preparer;
    // A prepared document the rich-text view shows (the view keeps its own
    // otherwise).
    std::unique_ptr<QTextDocument> ShownDocument;
    // The neighbours of the prompt just shown, until the page is painted.
    std::optional<std::vector<TPromptFile>> WaitingNeighbours;
    bool WaitingNumbered = false;
    TLyricViewKind View = lvRichText;
    bool NumbersFromOne = false;
};

} // namespace tarvello
