#pragma once

#include "pdfhost/WindowServices.h"

#include <QString>

class QObject;
class QPainter;

namespace tarvello {

class TPdfViewer;

// The back-end through which one viewer hosts its document control for one open
// document. The viewer makes one per Open and frees it at Close.
class TPdfDisplayer {
public:
    explicit TPdfDisplayer(TPdfViewer &viewer);
    virtual ~TPdfDisplayer();
    TPdfDisplayer(const TPdfDisplayer &) = delete;
    TPdfDisplayer &operator=(const TPdfDisplayer &) = delete;

    // Lets go of the document; with `wait`, returns only when that is done,
    // running the event loop meanwhile.
    virtual void Release(bool wait) = 0;
    virtual void Resize();
    // The control's automation interface.
    virtual QObject *GetDispatch() = 0;
    virtual void CreateControl() = 0;
    virtual void Display() = 0;
    // The edit box in which the control shows the page number, or nullptr.
    virtual TWindowHandle FindPageNumberEdit();
    virtual void PaintTo(QPainter &canvas) = 0;
    // Whether the hosted control can load another local file in place, and
    // does so; a control that cannot is released and a new one made instead.
    virtual bool CanLoadInPlace();
    virtual void LoadInPlace(const QString &fileName);

    // Depth-first walks from `start`: the window, then its following siblings
    // with everything below them, then its first child with its siblings.
    static TWindowHandle FindWindowByText(TWindowHandle start, const QString &text);
    // The match after skipping `skip` earlier matches; the counter is shared by
    // the whole walk and counts down as matches are passed.
    static TWindowHandle FindWindowByClass(TWindowHandle start, const QString &className,
                                           int &skip);

    TPdfViewer &Viewer() const { return Owner; }

protected:
    TWindowHandle FindPageNumberEditByTitle();

private:
    TPdfViewer &Owner;
};

} // namespace tarvello
