#include "pdfviewer/OldPdfDisplayer.h"

#include "core/TarvelloError.h"
#include "pdfhost/OleContainer.h"
#include "pdfviewer/PdfViewer.h"

#include <QPainter>

namespace tarvello {

TOldPdfDisplayer::~TOldPdfDisplayer()
{
    if (OleContainer) {
        OleContainer->DestroyObject();
        delete OleContainer.data();
    }
}

// The container keeps the object at the viewer's size, and the older control
// leaves no window of its own behind: there is nothing to release.
void TOldPdfDisplayer::Release(bool) {}

QObject *TOldPdfDisplayer::GetDispatch()
{
    return OleContainer ? OleContainer->OleObject() : nullptr;
}

void TOldPdfDisplayer::CreateControl()
{
    OleContainer = new TOleContainer(&Viewer());
    OleContainer->SetFillParent(true);
    OleContainer->CreateObject(TPdfViewer::FindReaderProgID());
    OleContainer->Run();
}

void TOldPdfDisplayer::Display()
{
    if (!OleContainer) {
        throw TError(QStringLiteral("No object in the container"));
    }
    OleContainer->DoVerb(TOleContainer::VerbShow);
}

void TOldPdfDisplayer::PaintTo(QPainter &canvas)
{
    if (OleContainer) {
        OleContainer->PaintTo(canvas, QPoint(0, 0));
    }
}

} // namespace tarvello
