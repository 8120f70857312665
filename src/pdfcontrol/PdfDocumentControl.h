#pragma once

#include "pdfcontrol/PdfPageLayout.h"
#include "pdfhost/ScrollingDocument.h"

#include <QPdfDocument>
#include <QPrinter>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPdfBookmarkModel;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QTreeView;

namespace tarvello {

class TPdfPageView;
class TPdfThumbnailModel;

// The program's own PDF document control. It answers the viewer's automation
// calls by name (its Q_INVOKABLE members and the property Src) and shows the
// document with a tool bar, an optional side pane of bookmarks or page pictures,
// and the pages themselves. Page numbers in calls count from 1.
class TPdfDocumentControl : public QWidget, public TScrollingDocument {
    Q_OBJECT
    Q_PROPERTY(QString Src READ Src WRITE SetSrc)

public:
    static constexpr const char *ControlName = "TarvelloPdfControl";
    static constexpr const char *ControlVersion = "1.1";

    explicit TPdfDocumentControl(QWidget *parent = nullptr);
    ~TPdfDocumentControl() override;

    QString Src() const { return Source; }
    // Loads a local file (a path or a file: URL). Other URLs, missing files and
    // anything that is not a readable PDF with at least one page are refused
    // with an error, and the control is left empty. The file shown already,
    // unchanged on disk, is not read again: it goes back to its first page.
    void SetSrc(const QString &source);
    // Loads another document into the control as it stands, keeping its
    // widgets, view settings and render thread: what a viewer going from one
    // song to the next asks for. Fails as SetSrc does; true when loaded.
    Q_INVOKABLE bool LoadFile(const QString &source);

    Q_INVOKABLE QString GetVersions() const;
    Q_INVOKABLE void SetLayoutMode(const QString &layout);
    Q_INVOKABLE void SetPageMode(const QString &mode);
    Q_INVOKABLE void SetShowScrollBars(bool show);
    Q_INVOKABLE void SetShowToolbar(bool show);
    Q_INVOKABLE void SetViewScroll(const QString &mode, int offset);
    Q_INVOKABLE void GoToNextPage();
    Q_INVOKABLE void GoToPreviousPage();
    Q_INVOKABLE void GoToFirstPage();
    Q_INVOKABLE void GoToLastPage();
    Q_INVOKABLE void SetCurrentPage(int page);
    Q_INVOKABLE void PrintWithDialog();
    Q_INVOKABLE void PrintAllFit(bool shrinkToFit);
    Q_INVOKABLE void PrintPagesFit(int firstPage, int lastPage, bool shrinkToFit);

    // For the program and its tests: what the control shows now.
    Q_INVOKABLE int CurrentPage() const;
    Q_INVOKABLE int PageCount() const;
    QString LayoutModeName() const { return Layout; }
    QString PageModeName() const { return PaneMode; }
    QString ViewModeName() const { return ViewMode; }
    bool ScrollBarsShown() const { return ScrollBars; }
    QPdfDocument &Document() { return Doc; }
    TPdfPageView *PageView() const { return View; }
    QScrollBar *PageScrollBar() const override;
    QToolBar *ToolBar() const { return Tools; }
    QWidget *SidePane() const;
    QTreeView *BookmarksView() const { return Bookmarks; }
    QListView *ThumbnailsView() const { return Thumbnails; }
    QLineEdit *PageNumberEdit() const { return PageEdit; }
    // The printer every print call uses; its settings stay between calls. Made
    // on first use: asking the system for its printers takes a while, and most
    // documents on stage are never printed.
    QPrinter &Printer();

signals:
    // One print job went to the printer, with this many sheets.
    void PrintJobFinished(int sheets);
    // A document was read from its file and is shown.
    void DocumentOpened(const QString &path);

private:
    void BuildToolBar();
    void BuildSidePane();
    void Unload();
    // Whether the document shown was read from that file as it is now.
    bool Shows(const QString &path) const;
    void UpdatePageControls();
    void PageNumberEntered();
    void ZoomChosen(int index);
    void PrintRange(int first, int last, bool shrinkToFit, int copies);

    QPdfDocument Doc;
    QString Source;
    // The file read and its stamp when it was read.
    QString ShownFile;
    QString ShownStamp;
    QString Layout = QStringLiteral("DontCare");
    QString PaneMode = QStringLiteral("none");
    QString ViewMode = QStringLiteral("Fit");
    bool ScrollBars = true;
    std::unique_ptr<QPrinter> PrintTarget;

    QToolBar *Tools = nullptr;
    QAction *PreviousAction = nullptr;
    QAction *NextAction = nullptr;
    QLineEdit *PageEdit = nullptr;
    QLabel *PageTotal = nullptr;
    QComboBox *ZoomBox = nullptr;
    QSplitter *Splitter = nullptr;
    QStackedWidget *Pane = nullptr;
    QTreeView *Bookmarks = nullptr;
    QListView *Thumbnails = nullptr;
    QPdfBookmarkModel *BookmarkModel = nullptr;
    TPdfThumbnailModel *ThumbnailModel = nullptr;
    TPdfPageView *View = nullptr;
};

} // namespace tarvello
