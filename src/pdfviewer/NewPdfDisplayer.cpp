#include "pdfviewer/NewPdfDisplayer.h"

#include "pdfhost/Automation.h"
#include "pdfviewer/AcroPdf.h"
#include "pdfviewer/PdfError.h"
#include "pdfviewer/PdfViewer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>

namespace tarvello {

TNewPdfDisplayer::~TNewPdfDisplayer()
{
    if (CloseTimer) {
        // A close was still pending: send it now rather than leave a timer that
        // would outlive this displayer.
        CloseTimer->stop();
        CloseTimer.reset();
        PostCloseRequest(ReaderWnd.data());
    }
    if (AcroControl) {
        TAcroPDF *control = AcroControl.data();
        AcroControl.clear();
        control->hide();
        control->setParent(nullptr);
        delete control;
    }
}

void TNewPdfDisplayer::Release(bool wait)
{
    if (!ReaderWindowFound) {
        return;
    }
    // One pending close at a time: a release while one is pending lets it stand
    // (it closes the same window) and, when asked to wait, waits for it.
    if (!CloseTimer) {
        CloseTimer = std::make_unique<QTimer>();
        CloseTimer->setInterval(CloseDelayMs);
        QObject::connect(CloseTimer.get(), &QTimer::timeout, CloseTimer.get(),
                         [this] { CloseReaderWindow(); });
        CloseTimer->start();
    }
    while (wait && CloseTimer) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void TNewPdfDisplayer::CloseReaderWindow()
{
    if (!CloseTimer) {
        return;
    }
    CloseTimer->stop();
    PostCloseRequest(ReaderWnd.data());
    // The timer is inside its own timeout signal here: let the event loop free it.
    CloseTimer.release()->deleteLater();
}

void TNewPdfDisplayer::Resize()
{
    if (!AcroControl) {
        return;
    }
    AcroControl->setGeometry(0, 0, Viewer().width(), Viewer().height());
    if (Viewer().CanTakeFocus()) {
        PostFocusRequest(&Viewer());
        PostFocusRequest(AcroControl.data());
    }
}

QObject *TNewPdfDisplayer::GetDispatch()
{
    return AcroControl ? AcroControl->ControlInterface() : nullptr;
}

void TNewPdfDisplayer::CreateControl()
{
    AcroControl = new TAcroPDF(&Viewer());
    AcroControl->show();
}

void TNewPdfDisplayer::Display()
{
    Resize();
    if (Viewer().ReaderMajorVersion() >= 8) {
        TWindowHandle reader = FindTopLevelWindow(QStringLiteral("AcrobatSDIWindow"));
        if (!reader) {
            throw PdfError(QString::fromLatin1(pdfmsg::InternalError),
                           QStringLiteral("TNewPdfDisplayer.Display"));
        }
        ReaderWnd = reader;
        ReaderWindowFound = true;
        MoveWindow(reader, -100, -100, 0, 0, true);
    }
}

TWindowHandle TNewPdfDisplayer::FindPageNumberEdit()
{
    if (Viewer().ReaderMajorVersion() < 8) {
        return FindPageNumberEditByTitle();
    }
    int skip = 2;
    return FindWindowByClass(&Viewer(), QStringLiteral("Edit"), skip);
}

bool TNewPdfDisplayer::CanLoadInPlace()
{
    return !ReaderWindowFound && !CloseTimer &&
           AutomationHasMethod(GetDispatch(), QStringLiteral("LoadFile"));
}

void TNewPdfDisplayer::LoadInPlace(const QString &fileName)
{
    if (!AutomationCall(GetDispatch(), QStringLiteral("LoadFile"), {fileName}).toBool()) {
        throw PdfError(QString::fromLatin1(pdfmsg::CantOpenFile), fileName);
    }
}

void TNewPdfDisplayer::PaintTo(QPainter &canvas)
{
    if (AcroControl) {
        AcroControl->PaintTo(canvas, QPoint(0, 0));
    }
}

} // namespace tarvello
