#pragma once

#include <QSize>
#include <QString>

#include <vector>

namespace tarvello {

// How a document will be shown: the room its view has, in logical pixels,
// and the view settings as the automation calls name them ("Fit", "FitH";
// "SinglePage", "OneColumn").
struct TDocumentView {
    QSize Viewport;
    QString Fit;
    QString Layout;
    double PixelRatio = 1.0;
};

// One document to have ready: its file and the page (from 1) it opens at.
struct TDocumentToPrepare {
    QString Path;
    int Page = 1;
};

// Documents made ready before they are shown: the installed document control
// renders the pages that will be asked for next while the show stands still,
// so that opening one of them paints at once. The host only asks; a control
// that cannot prepare anything installs nothing.
class TDocumentPreparation {
public:
    virtual ~TDocumentPreparation() = default;
    // Replaces what was asked for before: work for documents no longer in
    // the list is dropped.
    virtual void Prepare(const std::vector<TDocumentToPrepare> &documents,
                         const TDocumentView &view) = 0;

    // The one installed, or nullptr. Not owned.
    static TDocumentPreparation *Current();
    static void Install(TDocumentPreparation *preparation);
};

} // namespace tarvello
