#include "pdfcontrol/PdfDocumentControl.h"

#include "core/TarvelloError.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfcontrol/PdfPrinting.h"
#include "pdfcontrol/PdfThumbnailModel.h"
#include "pdfhost/PagePictures.h"
#include "pdfhost/WindowServices.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPdfBookmarkModel>
#include <QPrintDialog>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvello {

namespace {

// "C:\x.pdf" or "/a:b.pdf" hold a colon but are no URL: a scheme is two or more
// letters, digits, "+", "-" or "." starting with a letter.
QString SchemeOf(const QString &source)
{
    const qsizetype colon = source.indexOf(QLatin1Char(':'));
    if (colon < 2 || !source.at(0).isLetter()) {
        return {};
    }
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = source.at(i);
        if (!c.isLetterOrNumber() && c != QLatin1Char('+') && c != QLatin1Char('-') &&
            c != QLatin1Char('.')) {
            return {};
        }
    }
    return source.left(colon).toLower();
}

QString LoadErrorText(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::IncorrectPassword:
        return QStringLiteral("The document is protected by a password");
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QStringLiteral("The document's protection is not supported");
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("The document could not be read");
    case QPdfDocument::Error::InvalidFileFormat:
        return QStringLiteral("The file is not a readable PDF document");
    default:
        return QStringLiteral("The document could not be loaded");
    }
}

struct TZoomChoice {
    const char *Label;
    TPageFit Fit;
    double Percent;
};

constexpr TZoomChoice ZoomChoices[] = {
    {"Fit page", TPageFit::Page, 0},     {"Fit width", TPageFit::Width, 0},
    {"Fit height", TPageFit::Height, 0}, {"50%", TPageFit::Custom, 50},
    {"75%", TPageFit::Custom, 75},       {"100%", TPageFit::Custom, 100},
    {"125%", TPageFit::Custom, 125},     {"150%", TPageFit::Custom, 150},
    {"200%", TPageFit::Custom, 200},     {"400%", TPageFit::Custom, 400},
};

} // namespace

TPdfDocumentControl::TPdfDocumentControl(QWidget *parent) : QWidget(parent)
{
    View = new TPdfPageView(this);
    BuildToolBar();
    BuildSidePane();

    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->addWidget(Pane);
    Splitter->addWidget(View);
    Splitter->setStretchFactor(1, 1);
    Splitter->setCollapsible(1, false);
    Pane->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Tools);
    layout->addWidget(Splitter, 1);

    connect(View, &TPdfPageView::CurrentPageChanged, this,
            &TPdfDocumentControl::UpdatePageControls);
    setFocusProxy(View);
    UpdatePageControls();
}

QPrinter &TPdfDocumentControl::Printer()
{
    if (!PrintTarget) {
        PrintTarget = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *PrintTarget;
}

TPdfDocumentControl::~TPdfDocumentControl()
{
    // The views let go of the document before it is closed.
    View->SetDocument(nullptr);
    ThumbnailModel->SetDocument(nullptr);
    BookmarkModel->setDocument(nullptr);
}

void TPdfDocumentControl::BuildToolBar()
{
    Tools = new QToolBar(this);
    Tools->setMovable(false);
    PreviousAction = Tools->addAction(style()->standardIcon(QStyle::SP_ArrowUp),
                                      QStringLiteral("Previous page"));
    connect(PreviousAction, &QAction::triggered, this, &TPdfDocumentControl::GoToPreviousPage);
    NextAction =
        Tools->addAction(style()->standardIcon(QStyle::SP_ArrowDown), QStringLiteral("Next page"));
    connect(NextAction, &QAction::triggered, this, &TPdfDocumentControl::GoToNextPage);

    // The page number box sits in a window titled "AVPageNumView", its first
    // child an edit of class "Edit", where tools that look for it expect it.
    auto *pageBox = new QWidget(Tools);
    pageBox->setWindowTitle(QStringLiteral("AVPageNumView"));
    auto *pageLayout = new QHBoxLayout(pageBox);
    pageLayout->setContentsMargins(4, 0, 4, 0);
    PageEdit = new QLineEdit(pageBox);
    SetWindowClassName(PageEdit, QStringLiteral("Edit"));
    PageEdit->setValidator(new QIntValidator(1, 1, PageEdit));
    PageEdit->setFixedWidth(PageEdit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                            12);
    PageEdit->setAlignment(Qt::AlignRight);
    PageTotal = new QLabel(pageBox);
    pageLayout->addWidget(PageEdit);
    pageLayout->addWidget(PageTotal);
    Tools->addWidget(pageBox);
    connect(PageEdit, &QLineEdit::returnPressed, this, &TPdfDocumentControl::PageNumberEntered);

    Tools->addSeparator();
    QAction *zoomOut = Tools->addAction(QStringLiteral("\u2212"));
    zoomOut->setToolTip(QStringLiteral("Zoom out"));
    connect(zoomOut, &QAction::triggered, this, [this] { View->ZoomBy(1 / 1.25); });
    QAction *zoomIn = Tools->addAction(QStringLiteral("+"));
    zoomIn->setToolTip(QStringLiteral("Zoom in"));
    connect(zoomIn, &QAction::triggered, this, [this] { View->ZoomBy(1.25); });
    ZoomBox = new QComboBox(Tools);
    for (const TZoomChoice &choice : ZoomChoices) {
        ZoomBox->addItem(QString::fromUtf8(choice.Label));
    }
    Tools->addWidget(ZoomBox);
    connect(ZoomBox, &QComboBox::activated, this, &TPdfDocumentControl::ZoomChosen);
}

void TPdfDocumentControl::BuildSidePane()
{
    Pane = new QStackedWidget(this);
    BookmarkModel = new QPdfBookmarkModel(this);
    BookmarkModel->setDocument(&Doc);
    Bookmarks = new QTreeView(Pane);
    Bookmarks->setModel(BookmarkModel);
    Bookmarks->setHeaderHidden(true);
    Bookmarks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto jumpToBookmark = [this](const QModelIndex &index) {
        const QVariant page = index.data(int(QPdfBookmarkModel::Role::Page));
        if (page.isValid()) {
            View->SetCurrentPage(page.toInt());
        }
    };
    connect(Bookmarks, &QTreeView::clicked, this, jumpToBookmark);
    connect(Bookmarks, &QTreeView::activated, this, jumpToBookmark);

    ThumbnailModel = new TPdfThumbnailModel(this);
    Thumbnails = new QListView(Pane);
    Thumbnails->setModel(ThumbnailModel);
    Thumbnails->setViewMode(QListView::IconMode);
    Thumbnails->setFlow(QListView::TopToBottom);
    Thumbnails->setWrapping(false);
    Thumbnails->setMovement(QListView::Static);
    Thumbnails->setResizeMode(QListView::Adjust);
    Thumbnails->setIconSize(
        QSize(TPdfThumbnailModel::ThumbnailWidth, TPdfThumbnailModel::ThumbnailWidth * 4));
    Thumbnails->setSpacing(4);
    auto jumpToThumbnail = [this](const QModelIndex &index) { View->SetCurrentPage(index.row()); };
    connect(Thumbnails, &QListView::clicked, this, jumpToThumbnail);
    connect(Thumbnails, &QListView::activated, this, jumpToThumbnail);

    Pane->addWidget(Bookmarks);
    Pane->addWidget(Thumbnails);
    Pane->setMinimumWidth(TPdfThumbnailModel::ThumbnailWidth + 40);
}

QWidget *TPdfDocumentControl::SidePane() const
{
    return Pane;
}

void TPdfDocumentControl::Unload()
{
    View->SetDocument(nullptr);
    ThumbnailModel->SetDocument(nullptr);
    Doc.close();
    Source.clear();
    ShownFile.clear();
    ShownStamp.clear();
    UpdatePageControls();
}

bool TPdfDocumentControl::Shows(const QString &path) const
{
    return !Source.isEmpty() && !ShownStamp.isEmpty() &&
           QFileInfo(path).absoluteFilePath() == ShownFile && FileStamp(path) == ShownStamp;
}

void TPdfDocumentControl::SetSrc(const QString &source)
{
    QString path = source;
    const QString scheme = SchemeOf(source);
    if (scheme == QLatin1String("file")) {
        path = QUrl(source).toLocalFile();
    }
    const bool local = scheme.isEmpty() || scheme == QLatin1String("file");
    // The file shown, unchanged since it was read: the document is kept with
    // the pages rendered of it, and shown from its first page as if read anew.
    // A song's slots often name pages of one document.
    if (local && !path.isEmpty() && Shows(path)) {
        Source = source;
        View->ShowFromStart();
        return;
    }
    Unload();
    if (source.isEmpty()) {
        return;
    }
    if (!local) {
        throw TError(
            QStringLiteral("Only documents on this computer can be shown: %1").arg(source));
    }
    if (!QFileInfo(path).isFile()) {
        throw TError(QStringLiteral("No such document: %1").arg(path));
    }
    // Taken before the file is read: a change while it is read shows as one
    // the next time it is asked for.
    const QString stamp = FileStamp(path);
    const QPdfDocument::Error error = Doc.load(path);
    if (error != QPdfDocument::Error::None || Doc.status() != QPdfDocument::Status::Ready) {
        Doc.close();
        throw TError(LoadErrorText(error));
    }
    if (Doc.pageCount() < 1) {
        Doc.close();
        throw TError(QStringLiteral("The document has no pages"));
    }
    Source = source;
    ShownFile = QFileInfo(path).absoluteFilePath();
    ShownStamp = stamp;
    View->SetDocument(&Doc, path);
    ThumbnailModel->SetDocument(&Doc);
    PageEdit->setValidator(new QIntValidator(1, Doc.pageCount(), PageEdit));
    UpdatePageControls();
    emit DocumentOpened(path);
}

bool TPdfDocumentControl::LoadFile(const QString &source)
{
    SetSrc(source);
    return !Source.isEmpty();
}

QString TPdfDocumentControl::GetVersions() const
{
    return QStringLiteral("%1=%2,QtPdf=%3")
        .arg(QString::fromLatin1(ControlName), QString::fromLatin1(ControlVersion),
             QString::fromLatin1(qVersion()));
}

void TPdfDocumentControl::SetLayoutMode(const QString &layout)
{
    static const struct {
        const char *Name;
        TPageArrangement Arrangement;
    } layouts[] = {
        // Left to the control: one page at a time is what a stage needs.
        {"DontCare", TPageArrangement::SinglePage},
        {"SinglePage", TPageArrangement::SinglePage},
        {"OneColumn", TPageArrangement::OneColumn},
        {"TwoColumnLeft", TPageArrangement::TwoColumnLeft},
        {"TwoColumnRight", TPageArrangement::TwoColumnRight},
    };
    for (const auto &entry : layouts) {
        if (layout.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0) {
            Layout = QString::fromLatin1(entry.Name);
            View->SetArrangement(entry.Arrangement);
            return;
        }
    }
    throw TError(QStringLiteral("Unknown page layout '%1'").arg(layout));
}

void TPdfDocumentControl::SetPageMode(const QString &mode)
{
    if (mode.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        PaneMode = QStringLiteral("none");
        Pane->hide();
    } else if (mode.compare(QLatin1String("bookmarks"), Qt::CaseInsensitive) == 0) {
        PaneMode = QStringLiteral("bookmarks");
        Pane->setCurrentWidget(Bookmarks);
        Bookmarks->expandAll();
        Pane->show();
    } else if (mode.compare(QLatin1String("thumbs"), Qt::CaseInsensitive) == 0) {
        PaneMode = QStringLiteral("thumbs");
        Pane->setCurrentWidget(Thumbnails);
        Pane->show();
    } else {
        throw TError(QStringLiteral("Unknown page mode '%1'").arg(mode));
    }
}

void TPdfDocumentControl::SetShowScrollBars(bool show)
{
    ScrollBars = show;
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    View->setHorizontalScrollBarPolicy(policy);
    View->setVerticalScrollBarPolicy(policy);
}

void TPdfDocumentControl::SetShowToolbar(bool show)
{
    Tools->setVisible(show);
}

void TPdfDocumentControl::SetViewScroll(const QString &mode, int offset)
{
    // The bounding-box modes fit the page box: the control does not measure
    // the content of a page.
    static const struct {
        const char *Name;
        TPageFit Fit;
    } modes[] = {
        {"Fit", TPageFit::Page},  {"FitH", TPageFit::Width},  {"FitV", TPageFit::Height},
        {"FitB", TPageFit::Page}, {"FitBH", TPageFit::Width}, {"FitBV", TPageFit::Height},
    };
    for (const auto &entry : modes) {
        if (mode.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0) {
            ViewMode = QString::fromLatin1(entry.Name);
            View->SetFit(entry.Fit);
            View->SetViewOffset(offset);
            ZoomBox->setCurrentIndex(entry.Fit == TPageFit::Width    ? 1
                                     : entry.Fit == TPageFit::Height ? 2
                                                                     : 0);
            return;
        }
    }
    throw TError(QStringLiteral("Unknown view mode '%1'").arg(mode));
}

void TPdfDocumentControl::GoToNextPage()
{
    View->NextPage();
}

void TPdfDocumentControl::GoToPreviousPage()
{
    View->PreviousPage();
}

void TPdfDocumentControl::GoToFirstPage()
{
    View->SetCurrentPage(0);
}

void TPdfDocumentControl::GoToLastPage()
{
    View->SetCurrentPage(View->PageCount() - 1);
}

void TPdfDocumentControl::SetCurrentPage(int page)
{
    View->SetCurrentPage(page - 1);
}

int TPdfDocumentControl::CurrentPage() const
{
    return View->PageCount() > 0 ? View->CurrentPage() + 1 : 0;
}

int TPdfDocumentControl::PageCount() const
{
    return View->PageCount();
}

void TPdfDocumentControl::PrintWithDialog()
{
    const int count = PageCount();
    if (count == 0) {
        throw TError(QStringLiteral("There is no document to print"));
    }
    QPrintDialog dialog(&Printer(), this);
    dialog.setMinMax(1, count);
    dialog.setFromTo(1, count);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    int first = 0;
    int last = count - 1;
    switch (Printer().printRange()) {
    case QPrinter::PageRange:
        first = std::clamp(Printer().fromPage(), 1, count) - 1;
        last = std::clamp(Printer().toPage(), first + 1, count) - 1;
        break;
    case QPrinter::CurrentPage:
        first = last = View->CurrentPage();
        break;
    default:
        break;
    }
    // Where the print system does not make the copies itself, the job repeats
    // the pages.
    const int copies = Printer().supportsMultipleCopies() ? 1 : Printer().copyCount();
    PrintRange(first, last, true, copies);
}

void TPdfDocumentControl::PrintAllFit(bool shrinkToFit)
{
    PrintRange(0, PageCount() - 1, shrinkToFit, 1);
}

void TPdfDocumentControl::PrintPagesFit(int firstPage, int lastPage, bool shrinkToFit)
{
    // A last page of 0 means "to the end"; a range reaching past the end stops
    // there.
    const int count = PageCount();
    const int first = std::max(1, firstPage);
    const int last = lastPage <= 0 ? count : std::min(lastPage, count);
    PrintRange(first - 1, last - 1, shrinkToFit, 1);
}

void TPdfDocumentControl::PrintRange(int first, int last, bool shrinkToFit, int copies)
{
    const int sheets = PrintDocumentPages(Doc, Printer(), first, last, shrinkToFit, copies);
    emit PrintJobFinished(sheets);
}

void TPdfDocumentControl::UpdatePageControls()
{
    const int count = PageCount();
    const int current = CurrentPage();
    PageEdit->setText(count > 0 ? QString::number(current) : QString());
    PageEdit->setEnabled(count > 0);
    PageTotal->setText(QStringLiteral("/ %1").arg(count));
    PreviousAction->setEnabled(count > 0 && current > 1);
    NextAction->setEnabled(count > 0 && View->PageCount() > 0 &&
                           RowOfPage(View->Arrangement(), View->CurrentPage()) + 1 <
                               RowCount(View->Arrangement(), count));
    if (count > 0 && ThumbnailModel->rowCount() == count) {
        Thumbnails->setCurrentIndex(ThumbnailModel->index(current - 1));
    }
}

void TPdfDocumentControl::PageNumberEntered()
{
    bool ok = false;
    const int page = PageEdit->text().toInt(&ok);
    if (ok) {
        SetCurrentPage(page);
    }
    UpdatePageControls();
}

void TPdfDocumentControl::ZoomChosen(int index)
{
    if (index < 0 || index >= int(std::size(ZoomChoices))) {
        return;
    }
    const TZoomChoice &choice = ZoomChoices[index];
    if (choice.Fit == TPageFit::Custom) {
        View->SetZoom(choice.Percent / 100.0 * logicalDpiX() / 72.0);
    } else {
        View->SetFit(choice.Fit);
    }
}

QScrollBar *TPdfDocumentControl::PageScrollBar() const
{
    return View ? View->verticalScrollBar() : nullptr;
}

} // namespace tarvello
