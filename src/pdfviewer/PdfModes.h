#pragma once

#include <QString>
#include <QtGlobal>

namespace tarvello {

// How the page is fitted into the window; the names follow the PDF destination
// types of the same meaning.
enum TPdfFitMode : quint8 { vmFit, vmFitHorz, vmFitVert, vmFitBoth, vmFitBoxHorz, vmFitBoxVert };

enum TPdfLayoutMode : quint8 {
    lmDontCare,
    lmSinglePage,
    lmOneColumn,
    lmTwoColumnLeft,
    lmTwoColumnRight
};

enum TPdfPageMode : quint8 { pmStandard, pmBookmarks, pmThumbs };

// The strings the document control understands for each value.
QString FitModeName(TPdfFitMode mode);
QString LayoutModeName(TPdfLayoutMode mode);
QString PageModeName(TPdfPageMode mode);

} // namespace tarvello
