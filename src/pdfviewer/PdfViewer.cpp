#include "pdfviewer/PdfViewer.h"

#include "pdfhost/Automation.h"
#include "pdfhost/DocumentPreparation.h"
#include "pdfhost/Registry.h"
#include "pdfhost/ScrollingDocument.h"
#include "pdfviewer/NewPdfDisplayer.h"
#include "pdfviewer/OldPdfDisplayer.h"
#include "pdfviewer/PdfError.h"
#include "pdfviewer/ReaderVersion.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace tarvello {

namespace {

const QString ContentTypeKey = QStringLiteral("\\MIME\\Database\\Content Type\\application/pdf");

bool HasDirectoryPart(const QString &name)
{
    return name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char(':')) ||
           name.contains(QLatin1Char('/'));
}

bool IsUrl(const QString &name)
{
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        return false;
    }
    static const QStringList schemes = {QStringLiteral("HTTP"), QStringLiteral("HTTPS"),
                                        QStringLiteral("FTP"), QStringLiteral("MAILTO")};
    return schemes.contains(name.left(colon).toUpper());
}

} // namespace

TPdfViewer::TPdfViewer(QWidget *parent) : QWidget(parent)
{
    resize(300, 300);
    WatchParent(parent);
}

TPdfViewer::~TPdfViewer()
{
    Destroying = true;
    DeferredFileName.reset();
    if (!Closing) {
        ReleaseDisplayer();
    }
}

QString TPdfViewer::About() const
{
    return QStringLiteral("TPdfViewer - PDF viewer component, version 1.1");
}

void TPdfViewer::SetCopies(int value)
{
    if (value < 1) {
        throw PdfError(QString::fromLatin1(pdfmsg::InvalidCopies), QString::number(value));
    }
    CopiesValue = value;
}

void TPdfViewer::SetEndPage(int value)
{
    EndPageValue = value < 0 ? 0 : value;
}

void TPdfViewer::SetStartPage(int value)
{
    StartPageValue = value < 1 ? 1 : value;
}

void TPdfViewer::SetFitMode(TPdfFitMode value)
{
    FitModeValue = value;
    if (IsOpen()) {
        AutomationCall(GetDispatch(), QStringLiteral("SetViewScroll"),
                       {FitModeName(value), QVariant(qint32(0))});
    }
}

void TPdfViewer::SetLayoutMode(TPdfLayoutMode value)
{
    LayoutModeValue = value;
    if (IsOpen()) {
        AutomationCall(GetDispatch(), QStringLiteral("SetLayoutMode"), {LayoutModeName(value)});
    }
}

void TPdfViewer::SetPageMode(TPdfPageMode value)
{
    PageModeValue = value;
    if (IsOpen()) {
        AutomationCall(GetDispatch(), QStringLiteral("SetPageMode"), {PageModeName(value)});
    }
}

void TPdfViewer::SetShowScrollBars(bool value)
{
    ShowScrollBarsValue = value;
    if (IsOpen()) {
        AutomationCall(GetDispatch(), QStringLiteral("SetShowScrollBars"), {value});
    }
}

void TPdfViewer::SetShowToolBar(bool value)
{
    ShowToolBarValue = value;
    if (IsOpen()) {
        AutomationCall(GetDispatch(), QStringLiteral("SetShowToolbar"), {value});
    }
}

void TPdfViewer::SetFileName(const QString &value)
{
    if (Closing) {
        // The event loop is running inside a Close that waits for the control;
        // the displayer must not be touched now. The newest name is taken up as
        // soon as that wait ends.
        DeferredFileName = value;
        return;
    }
    if (IsOpen() && LoadInPlace(value)) {
        return;
    }
    QString name = value;
    if (IsOpen()) {
        ReleaseDisplayer();
        if (DeferredFileName) {
            name = *std::exchange(DeferredFileName, std::nullopt);
        }
    }
    name = CompletedFileName(name);
    FileNameValue = name;
    if (name.isEmpty()) {
        return;
    }
    // Only a regular file counts: a folder cannot be shown, and a pipe or a
    // device could block the control for good.
    if (!IsUrl(name) && !QFileInfo(name).isFile()) {
        throw PdfError(QString::fromLatin1(pdfmsg::FileNotFound), name);
    }
    if (AutoOpenValue) {
        Open();
    }
}

QString TPdfViewer::CompletedFileName(const QString &name)
{
    if (!name.isEmpty() && !HasDirectoryPart(name)) {
        return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    }
    return name;
}

bool TPdfViewer::LoadInPlace(const QString &value)
{
    const QString name = CompletedFileName(value);
    if (!AutoOpenValue || name.isEmpty() || IsUrl(name) || !QFileInfo(name).isFile() ||
        !ParentShowing() || !Displayer->CanLoadInPlace()) {
        return false;
    }
    // Going from one song to the next keeps the control, its windows and its
    // render thread: only the document changes. The view settings are sent
    // again, as a newly opened document would have them.
    FileNameValue = name;
    try {
        Displayer->LoadInPlace(name);
        SendViewSettings();
        Displayer->Resize();
    } catch (...) {
        ReleaseDisplayer();
        throw PdfError(QString::fromLatin1(pdfmsg::CantOpenFile), name);
    }
    return true;
}

void TPdfViewer::SendViewSettings()
{
    SetLayoutMode(LayoutModeValue);
    SetPageMode(PageModeValue);
    SetShowScrollBars(ShowScrollBarsValue);
    SetShowToolBar(ShowToolBarValue);
    SetFitMode(FitModeValue);
}

void TPdfViewer::Open()
{
    if (FileNameValue.isEmpty()) {
        throw PdfError(QString::fromLatin1(pdfmsg::FileNameNotAssigned));
    }
    if (Displayer || !ParentShowing()) {
        return;
    }

    // A hidden viewer is loaded while shown just left of its parent's client
    // area, so that the control gets a real window, and then put back.
    const bool wasHidden = isHidden();
    const TPdfAlign savedAlign = AlignValue;
    const int savedLeft = x();
    auto restorePlacement = [&] {
        if (wasHidden) {
            AlignValue = savedAlign;
            move(savedLeft, y());
            hide();
            ApplyAlign();
        }
    };
    if (wasHidden) {
        AlignValue = alNone;
        move(-(width() + 1), y());
        show();
    }

    try {
        Displayer = MakeDisplayer(FindReaderProgID());
    } catch (...) {
        restorePlacement();
        throw;
    }

    try {
        Displayer->CreateControl();
        AutomationSetProperty(GetDispatch(), QStringLiteral("Src"), FileNameValue);
        SendViewSettings();
        Displayer->Display();
        restorePlacement();
    } catch (...) {
        Displayer.reset();
        restorePlacement();
        throw PdfError(QString::fromLatin1(pdfmsg::CantOpenFile), FileNameValue);
    }
}

void TPdfViewer::Close()
{
    if (Closing) {
        // Reached from the event loop of a waiting Close: that one finishes it.
        return;
    }
    ReleaseDisplayer();
    if (DeferredFileName && !Destroying) {
        SetFileName(*std::exchange(DeferredFileName, std::nullopt));
    }
}

void TPdfViewer::ReleaseDisplayer()
{
    if (!Displayer) {
        return;
    }
    Closing = true;
    try {
        Displayer->Release(true);
    } catch (...) {
        Displayer.reset();
        Closing = false;
        throw;
    }
    Displayer.reset();
    Closing = false;
}

void TPdfViewer::EnsureOpen()
{
    if (Displayer) {
        return;
    }
    if (!ParentShowing()) {
        throw PdfError(QString::fromLatin1(pdfmsg::NotOnVisibleControl));
    }
    Open();
    if (!Displayer) {
        throw PdfError(QString::fromLatin1(pdfmsg::CantOpenFile), FileNameValue);
    }
}

void TPdfViewer::GoToNextPage()
{
    EnsureOpen();
    AutomationCall(GetDispatch(), QStringLiteral("GoToNextPage"));
}

void TPdfViewer::GoToPreviousPage()
{
    EnsureOpen();
    AutomationCall(GetDispatch(), QStringLiteral("GoToPreviousPage"));
}

void TPdfViewer::SetCurrentPage(int page)
{
    EnsureOpen();
    AutomationCall(GetDispatch(), QStringLiteral("SetCurrentPage"), {QVariant(qint32(page))});
}

void TPdfViewer::Print()
{
    EnsureOpen();
    if (ShowPrintDialogValue) {
        AutomationCall(GetDispatch(), QStringLiteral("PrintWithDialog"));
    } else {
        for (int copy = 0; copy < CopiesValue; ++copy) {
            if (StartPageValue > 1 || EndPageValue > 0) {
                AutomationCall(GetDispatch(), QStringLiteral("PrintPagesFit"),
                               {QVariant(qint32(StartPageValue)), QVariant(qint32(EndPageValue)),
                                ShrinkToMarginsValue});
            } else {
                AutomationCall(GetDispatch(), QStringLiteral("PrintAllFit"),
                               {ShrinkToMarginsValue});
            }
        }
    }
    if (Displayer) {
        Displayer->Release(false);
    }
}

QObject *TPdfViewer::GetDispatch() const
{
    return Displayer ? Displayer->GetDispatch() : nullptr;
}

int TPdfViewer::CurrentPage() const
{
    QObject *control = GetDispatch();
    return control ? AutomationCall(control, QStringLiteral("CurrentPage")).toInt() : 0;
}

int TPdfViewer::PageCount() const
{
    QObject *control = GetDispatch();
    return control ? AutomationCall(control, QStringLiteral("PageCount")).toInt() : 0;
}

quint8 TPdfViewer::ReaderMajorVersion()
{
    if (ReaderVersion != 0) {
        return ReaderVersion;
    }
    const QString versions =
        AutomationCall(GetDispatch(), QStringLiteral("GetVersions")).toString();
    ReaderVersion = ParseReaderMajorVersion(versions, ReaderVersion);
    return ReaderVersion;
}

bool TPdfViewer::CanTakeFocus() const
{
    return IsOpen() && isVisible() && !Destroying;
}

QString TPdfViewer::FindReaderProgID()
{
    const TRegistry &registry = TRegistry::Current();
    if (!registry.KeyExists(ContentTypeKey)) {
        throw PdfError(QString::fromLatin1(pdfmsg::ReaderNotFound));
    }
    const QString classId =
        registry.Value(ContentTypeKey, QStringLiteral("CLSID")).value_or(QString());
    const QString progIdKey = QStringLiteral("\\CLSID\\") + classId + QStringLiteral("\\ProgID");
    if (!registry.KeyExists(progIdKey)) {
        throw PdfError(QString::fromLatin1(pdfmsg::ReaderNotFound));
    }
    return registry.Value(progIdKey, QString()).value_or(QString());
}

std::unique_ptr<TPdfDisplayer> TPdfViewer::MakeDisplayer(const QString &progId)
{
    const QString generation = progId.section(QLatin1Char('.'), 0, 0);
    if (generation.compare(QLatin1String("PDF"), Qt::CaseInsensitive) == 0) {
        return std::make_unique<TOldPdfDisplayer>(*this);
    }
    if (generation.compare(QLatin1String("AcroPDF"), Qt::CaseInsensitive) == 0) {
        return std::make_unique<TNewPdfDisplayer>(*this);
    }
    throw PdfError(QString::fromLatin1(pdfmsg::VersionNotSupported));
}

void TPdfViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (Displayer) {
        Displayer->Resize();
    }
}

bool TPdfViewer::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        WatchParent(parentWidget());
    }
    return QWidget::event(event);
}

void TPdfViewer::SetAlign(TPdfAlign value)
{
    AlignValue = value;
    ApplyAlign();
}

void TPdfViewer::WatchParent(QWidget *parent)
{
    if (WatchedParent == parent) {
        return;
    }
    if (WatchedParent) {
        WatchedParent->removeEventFilter(this);
    }
    WatchedParent = parent;
    if (parent) {
        parent->installEventFilter(this);
    }
    ApplyAlign();
}

bool TPdfViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == WatchedParent && event->type() == QEvent::Resize) {
        ApplyAlign();
    }
    return QWidget::eventFilter(watched, event);
}

bool TPdfViewer::ParentShowing() const
{
    const QWidget *parent = parentWidget();
    return parent && parent->isVisible();
}

void TPdfViewer::ApplyAlign()
{
    const QWidget *parent = parentWidget();
    if (!parent || AlignValue == alNone) {
        return;
    }
    const QRect area = parent->contentsRect();
    switch (AlignValue) {
    case alTop:
        setGeometry(area.left(), area.top(), area.width(), height());
        break;
    case alBottom:
        setGeometry(area.left(), area.bottom() + 1 - height(), area.width(), height());
        break;
    case alLeft:
        setGeometry(area.left(), area.top(), width(), area.height());
        break;
    case alRight:
        setGeometry(area.right() + 1 - width(), area.top(), width(), area.height());
        break;
    case alClient:
        setGeometry(area);
        break;
    case alNone:
        break;
    }
}

void TPdfViewer::PrepareDocuments(const QStringList &files, const QList<int> &pages,
                                  QSize room) const
{
    TDocumentPreparation *preparation = TDocumentPreparation::Current();
    if (preparation == nullptr) {
        return;
    }
    std::vector<TDocumentToPrepare> documents;
    for (qsizetype i = 0; i < files.size() && i < pages.size(); ++i) {
        documents.push_back({files[i], pages[i]});
    }
    // Shown without tool bar or side pane, the control's pages have the room
    // the viewer has.
    const bool bare = !ShowToolBarValue && PageModeValue == pmStandard;
    preparation->Prepare(bare ? documents : std::vector<TDocumentToPrepare>{},
                         {room, FitModeName(FitModeValue), LayoutModeName(LayoutModeValue),
                          devicePixelRatioF()});
}

QScrollBar *TPdfViewer::ScrollBar() const
{
    if (!IsOpen()) {
        return nullptr;
    }
    const auto *scrolling = dynamic_cast<const TScrollingDocument *>(GetDispatch());
    return scrolling ? scrolling->PageScrollBar() : nullptr;
}

} // namespace tarvello
