#include "main/MainWindow.h"

#include "core/TarvelloError.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/WebBrowserView.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QImageReader>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "pdfviewer/PdfViewer.h"
#include "rtf/RtfReader.h"

namespace tarvello {
namespace {

// More than this is no prompt anybody reads on stage; the rest of a huge file
// stays unread rather than freezing the show while it is laid out.
constexpr qint64 MaxShownBytes = 2 * 1024 * 1024;

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252 as files made
// on Windows are.
QString DecodeShownText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder windows(QStringLiteral("windows-1252").toLatin1().constData());
    if (windows.isValid()) {
        return windows(bytes);
    }
    return QString::fromLatin1(bytes);
}

} // namespace

void TfMain::createPdfViewer()
{
    PdfViewer = Named(new TPdfViewer(tsLyric), "PdfViewer");
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
    static_cast<QGridLayout *>(tsLyric->layout())->addWidget(PdfViewer, 0, 0);
}

void TfMain::ShowOnlyView(TLyricViewKind kind)
{
    LyricView = kind;
    reLyric->setVisible(kind == lvRichText);
    webFileBrowser->setVisible(kind == lvBrowser);
    PdfViewer->setVisible(kind == lvPdf);
}

void TfMain::RunViewCommand(int value)
{
    const bool down = value == LineDownValue || value == PageDownValue;
    const bool line = value == LineDownValue || value == LineUpValue;
    switch (LyricView) {
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

void TfMain::LoadIntoRichText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw TError(QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    QByteArray bytes = file.read(MaxShownBytes);
    if (file.error() != QFileDevice::NoError) {
        throw TError(QStringLiteral("Cannot read file \"%1\". %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const bool cut = !file.atEnd();

    if (LooksLikeRtf(bytes)) {
        ReadRtf(bytes, *reLyric->document());
        reLyric->moveCursor(QTextCursor::Start);
        return;
    }

    // A picture that lands here (PNG, or a JPEG named ".jpeg") is shown as
    // the picture, not as its bytes.
    QBuffer buffer(&bytes);
    QImageReader pictures(&buffer);
    if (pictures.canRead()) {
        const QImage picture = pictures.read();
        if (!picture.isNull()) {
            const QUrl name(QStringLiteral("tarvello-picture:shown"));
            reLyric->document()->addResource(QTextDocument::ImageResource, name, picture);
            QTextImageFormat format;
            format.setName(name.toString());
            const int room = std::max(32, reLyric->viewport()->width() - 16);
            if (picture.width() > room) {
                format.setWidth(room);
                format.setHeight(double(picture.height()) * room / picture.width());
            }
            QTextCursor cursor(reLyric->document());
            cursor.insertImage(format);
            reLyric->moveCursor(QTextCursor::Start);
            return;
        }
    }

    QString text = DecodeShownText(bytes);
    if (cut) {
        text += QStringLiteral("\n\n[Only the first %1 MB of this file are shown.]")
                    .arg(MaxShownBytes / (1024 * 1024));
    }
    reLyric->setPlainText(text);
}

void TfMain::InsertFirstLine(const QString &line)
{
    QTextDocument *document = reLyric->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::Start);
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    cursor.setBlockFormat(QTextBlockFormat());
    QTextCharFormat plain;
    plain.setFont(document->defaultFont());
    cursor.insertText(line, plain);
    reLyric->moveCursor(QTextCursor::Start);
}

void TfMain::ShowInBrowser(const QString &path)
{
    ShowOnlyView(lvBrowser);
    webFileBrowser->Navigate(path);
}

void TfMain::ShowPdf(const QString &path, int page)
{
    reLyric->hide();
    webFileBrowser->hide();
    PdfViewer->show();
    PdfViewer->SetFileName(path);
    PdfViewer->SetCurrentPage(page);
    emit LineButtonsEnabledChanged(false);
    LyricView = lvPdf;
}

} // namespace tarvello
