#include "pdfviewer/ReaderVersion.h"
#include "pdfviewer/PdfError.h"
#include "pdfviewer/PdfModes.h"

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

TEST(ReaderVersion, ReadsEntriesByNameAndSkipsUnreadableOnes)
{
    EXPECT_EQ(ParseReaderMajorVersion(""), 0);
    EXPECT_EQ(ParseReaderMajorVersion("Reader=8.1.2"), 8);
    EXPECT_EQ(ParseReaderMajorVersion("A=7.0,B=11.0.3,C=9"), 11);
    // Not an integer before the first ".", no "=", empty entries: skipped.
    EXPECT_EQ(ParseReaderMajorVersion("A=x.1,B,,C= 5a,D=6"), 6);
    EXPECT_EQ(ParseReaderMajorVersion("A=,B=.5"), 0);
    // A name is looked up again: a later duplicate reads the first one's value.
    EXPECT_EQ(ParseReaderMajorVersion("Reader=7,reader=10"), 7);
    // Nothing beats what is known already.
    EXPECT_EQ(ParseReaderMajorVersion("Reader=7", 9), 9);
    EXPECT_EQ(ParseReaderMajorVersion("Reader=-3"), 0);
}

TEST(PdfModes, NamesSentForEachValue)
{
    EXPECT_EQ(FitModeName(vmFit), "Fit");
    EXPECT_EQ(FitModeName(vmFitHorz), "FitH");
    EXPECT_EQ(FitModeName(vmFitVert), "FitV");
    EXPECT_EQ(FitModeName(vmFitBoth), "FitB");
    EXPECT_EQ(FitModeName(vmFitBoxHorz), "FitBH");
    EXPECT_EQ(FitModeName(vmFitBoxVert), "FitBV");
    EXPECT_EQ(LayoutModeName(lmDontCare), "DontCare");
    EXPECT_EQ(LayoutModeName(lmTwoColumnLeft), "TwoColumnLeft");
    EXPECT_EQ(LayoutModeName(lmTwoColumnRight), "TwoColumnRight");
    EXPECT_EQ(PageModeName(pmStandard), "none");
    EXPECT_EQ(PageModeName(pmBookmarks), "bookmarks");
    EXPECT_EQ(PageModeName(pmThumbs), "thumbs");
    // A damaged value does not read past the table.
    EXPECT_EQ(FitModeName(static_cast<TPdfFitMode>(200)), "Fit");

    EXPECT_EQ(ComposePdfErrorText("Can't open file", "a.pdf"), "Can't open file\r\na.pdf");
    EXPECT_EQ(ComposePdfErrorText("Internal error"), "Internal error");
}

} // namespace
} // namespace tarvello::test
