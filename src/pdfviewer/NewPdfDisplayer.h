#pragma once

#include "pdfviewer/PdfDisplayer.h"

#include "pdfviewer/AcroPdf.h"

#include <QPointer>
#include <QTimer>

#include <memory>

namespace tarvello {

// The newer generation: the control is a child window sized to the viewer.
// From reader version 8 on, the reader also opens a top-level window of its own,
// which is kept out of sight and closed shortly after each release.
class TNewPdfDisplayer : public TPdfDisplayer {
public:
    static constexpr int CloseDelayMs = 100;

    using TPdfDisplayer::TPdfDisplayer;
    ~TNewPdfDisplayer() override;

    void Release(bool wait) override;
    void Resize() override;
    QObject *GetDispatch() override;
    void CreateControl() override;
    void Display() override;
    TWindowHandle FindPageNumberEdit() override;
    void PaintTo(QPainter &canvas) override;
    // A control offering LoadFile takes the next document in place, unless a
    // reader window of its own has to be closed with each document.
    bool CanLoadInPlace() override;
    void LoadInPlace(const QString &fileName) override;

    TAcroPDF *Control() const { return AcroControl.data(); }
    TWindowHandle ReaderWindow() const { return ReaderWnd.data(); }
    bool IsClosePending() const { return CloseTimer != nullptr; }

private:
    void CloseReaderWindow();

    QPointer<TAcroPDF> AcroControl;
    std::unique_ptr<QTimer> CloseTimer;
    // Never cleared once found; a guarded pointer so that a reader window that
    // went away meanwhile is simply not sent anything.
    QPointer<QWidget> ReaderWnd;
    bool ReaderWindowFound = false;
};

} // namespace tarvello
