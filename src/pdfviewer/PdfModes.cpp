#include "pdfviewer/PdfModes.h"

#include <array>

namespace tarvello {

namespace {

template <std::size_t N> QString NameAt(const std::array<const char *, N> &names, unsigned index)
{
    // A value outside the enumeration (a cast from a damaged setting) falls back
    // to the first entry rather than reading past the table.
    return QString::fromLatin1(index < N ? names[index] : names[0]);
}

} // namespace

QString FitModeName(TPdfFitMode mode)
{
    static constexpr std::array<const char *, 6> names = {"Fit",  "FitH",  "FitV",
                                                          "FitB", "FitBH", "FitBV"};
    return NameAt(names, mode);
}

QString LayoutModeName(TPdfLayoutMode mode)
{
    static constexpr std::array<const char *, 5> names = {"DontCare", "SinglePage", "OneColumn",
                                                          "TwoColumnLeft", "TwoColumnRight"};
    return NameAt(names, mode);
}

QString PageModeName(TPdfPageMode mode)
{
    static constexpr std::array<const char *, 3> names = {"none", "bookmarks", "thumbs"};
    return NameAt(names, mode);
}

} // namespace tarvello
