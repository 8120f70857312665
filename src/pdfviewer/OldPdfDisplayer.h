#pragma once

#include "pdfviewer/PdfDisplayer.h"

#include "pdfhost/OleContainer.h"

#include <QPointer>

namespace tarvello {

// The older generation: the control is an embedded document object in a
// container that fills the viewer.
class TOldPdfDisplayer : public TPdfDisplayer {
public:
    using TPdfDisplayer::TPdfDisplayer;
    ~TOldPdfDisplayer() override;

    void Release(bool wait) override;
    QObject *GetDispatch() override;
    void CreateControl() override;
    void Display() override;
    void PaintTo(QPainter &canvas) override;

    TOleContainer *Container() const { return OleContainer.data(); }

private:
    QPointer<TOleContainer> OleContainer;
};

} // namespace tarvello
