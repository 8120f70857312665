#include "FakeControl.h"
#include "PdfTestSupport.h"
#include "support/TestPdfFiles.h"

#include "pdfviewer/NewPdfDisplayer.h"
#include "pdfviewer/OldPdfDisplayer.h"
#include "pdfviewer/PdfViewer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

class ViewerWithFakeControl : public ::testing::Test {
protected:
    explicit ViewerWithFakeControl(const QString &progId = QStringLiteral("AcroPDF.PDF.1"))
        : Setup(progId)
    {
        Parent.resize(400, 300);
        Viewer = new TPdfViewer(&Parent);
        Parent.show();
        Song = Dir.filePath(QStringLiteral("song.pdf"));
        WriteBytes(Song, "not read by the fake control");
    }

    QStringList Calls() const { return Setup.Script.Calls; }

    TFakeControlSetup Setup;
    QTemporaryDir Dir;
    QWidget Parent;
    TPdfViewer *Viewer;
    QString Song;
};

TEST_F(ViewerWithFakeControl, PropertiesStartAsDocumentedAndKeepTheirRanges)
{
    EXPECT_TRUE(Viewer->About().contains(QStringLiteral("PDF viewer")));
    EXPECT_TRUE(Viewer->About().contains(QStringLiteral("1.1")));
    Viewer->SetAbout(QStringLiteral("changed"));
    EXPECT_FALSE(Viewer->About().contains(QStringLiteral("changed")));
    EXPECT_TRUE(Viewer->AutoOpen());
    EXPECT_EQ(Viewer->Copies(), 1);
    EXPECT_EQ(Viewer->EndPage(), 0);
    EXPECT_EQ(Viewer->StartPage(), 1);
    EXPECT_TRUE(Viewer->FileName().isEmpty());
    EXPECT_EQ(Viewer->FitMode(), vmFit);
    EXPECT_EQ(Viewer->LayoutMode(), lmDontCare);
    EXPECT_EQ(Viewer->PageMode(), pmStandard);
    EXPECT_TRUE(Viewer->ShowPrintDialog());
    EXPECT_TRUE(Viewer->ShowScrollBars());
    EXPECT_TRUE(Viewer->ShowToolBar());
    EXPECT_TRUE(Viewer->ShrinkToMargins());
    EXPECT_EQ(Viewer->size(), QSize(300, 300));
    EXPECT_FALSE(Viewer->IsOpen());

    Viewer->SetStartPage(0);
    EXPECT_EQ(Viewer->StartPage(), 1);
    Viewer->SetStartPage(-7);
    EXPECT_EQ(Viewer->StartPage(), 1);
    Viewer->SetEndPage(-1);
    EXPECT_EQ(Viewer->EndPage(), 0);
    Viewer->SetCopies(3);
    EXPECT_EQ(ErrorOf([&] { Viewer->SetCopies(0); }), "Invalid number of copies\r\n0");
    EXPECT_EQ(ErrorOf([&] { Viewer->SetCopies(-2); }), "Invalid number of copies\r\n-2");
    EXPECT_EQ(Viewer->Copies(), 3);
    // Nothing is sent while closed.
    Viewer->SetFitMode(vmFitHorz);
    Viewer->SetShowToolBar(false);
    EXPECT_TRUE(Calls().isEmpty());
}

TEST_F(ViewerWithFakeControl, FileNamesAreCompletedCheckedAndUrlsPassedOn)
{
    const QString bare = QStringLiteral("no-such-song-here.pdf");
    const QString completed = QCoreApplication::applicationDirPath() + "/" + bare;
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(bare); }), "File not found\r\n" + completed);
    EXPECT_EQ(Viewer->FileName(), completed);
    EXPECT_FALSE(Viewer->IsOpen());

    // A drive letter without a backslash is a directory part: not completed.
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName("C:song.pdf"); }), "File not found\r\nC:song.pdf");
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(Dir.path()); }), "File not found\r\n" + Dir.path());

    for (const QString &url :
         {QStringLiteral("hTTp://example.com/a.pdf"), QStringLiteral("HTTPS://example.com/b.pdf"),
          QStringLiteral("ftp://example.com/c.pdf"), QStringLiteral("mailto:band@example.com")}) {
        Viewer->SetFileName(url);
        EXPECT_TRUE(Viewer->IsOpen()) << url.toStdString();
        EXPECT_EQ(Calls().filter(QStringLiteral("Src(")).last(), "Src(" + url + ")");
    }
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName("gopher://example.com/d.pdf"); }),
              "File not found\r\ngopher://example.com/d.pdf");
    EXPECT_FALSE(Viewer->IsOpen());
}

TEST_F(ViewerWithFakeControl, OpenSendsTheStoredSettingsInOrderAndSettersSendAtOnce)
{
    Viewer->SetLayoutMode(lmSinglePage);
    Viewer->SetPageMode(pmThumbs);
    Viewer->SetShowScrollBars(false);
    Viewer->SetFitMode(vmFitHorz);
    Viewer->SetFileName(Song);
    ASSERT_TRUE(Viewer->IsOpen());
    EXPECT_EQ(Calls(),
              QStringList({"Src(" + Song + ")", "SetLayoutMode(SinglePage)", "SetPageMode(thumbs)",
                           "SetShowScrollBars(0)", "SetShowToolbar(-1)", "SetViewScroll(FitH,0)",
                           "GetVersions()"}));

    Setup.Script.Calls.clear();
    Viewer->SetFitMode(vmFitBoxVert);
    Viewer->SetLayoutMode(lmTwoColumnRight);
    Viewer->SetPageMode(pmBookmarks);
    Viewer->SetShowToolBar(false);
    Viewer->GoToNextPage();
    Viewer->GoToPreviousPage();
    Viewer->SetCurrentPage(999);
    EXPECT_EQ(Calls(), QStringList({"SetViewScroll(FitBV,0)", "SetLayoutMode(TwoColumnRight)",
                                    "SetPageMode(bookmarks)", "SetShowToolbar(0)", "GoToNextPage()",
                                    "GoToPreviousPage()", "SetCurrentPage(999)"}));

    // Assigning the same name reloads; the known reader version is not asked again.
    Setup.Script.Calls.clear();
    Viewer->SetFileName(Song);
    EXPECT_EQ(Setup.Script.Created, 2);
    EXPECT_EQ(Setup.Script.Alive, 1);
    EXPECT_FALSE(Calls().contains("GetVersions()"));
}

TEST_F(ViewerWithFakeControl, ClosingAndDeferredOpening)
{
    Viewer->SetFileName(Song);
    Viewer->SetFileName(QString());
    EXPECT_FALSE(Viewer->IsOpen());
    EXPECT_EQ(Setup.Script.Alive, 0);
    EXPECT_EQ(ErrorOf([&] { Viewer->GoToNextPage(); }), "FileName property not assigned");
    EXPECT_EQ(ErrorOf([&] { Viewer->Open(); }), "FileName property not assigned");

    Viewer->SetAutoOpen(false);
    Viewer->SetFileName(Song);
    EXPECT_FALSE(Viewer->IsOpen());
    Viewer->Print();
    EXPECT_TRUE(Viewer->IsOpen());
    EXPECT_EQ(Calls().last(), "PrintWithDialog()");

    // A viewer on a hidden page, or on no parent at all, cannot open.
    Viewer->Close();
    Parent.hide();
    EXPECT_NO_THROW(Viewer->Open());
    EXPECT_FALSE(Viewer->IsOpen());
    const QString notPlaced = "Can't open PDF document: viewer must be placed on a visible control";
    EXPECT_EQ(ErrorOf([&] { Viewer->GoToPreviousPage(); }), notPlaced);
    TPdfViewer orphan;
    orphan.SetAutoOpen(false);
    orphan.SetFileName(Song);
    EXPECT_EQ(ErrorOf([&] { orphan.SetCurrentPage(2); }), notPlaced);
    EXPECT_EQ(ErrorOf([&] { orphan.Print(); }), notPlaced);
}

TEST_F(ViewerWithFakeControl, HiddenViewerLoadsOffScreenAndGoesBack)
{
    Viewer->SetAlign(alClient);
    Viewer->hide();
    ASSERT_EQ(Viewer->geometry(), Parent.rect());
    QRect duringLoad;
    bool visibleDuringLoad = false;
    TPdfAlign alignDuringLoad = alClient;
    Setup.Script.OnSrc = [&] {
        duringLoad = Viewer->geometry();
        visibleDuringLoad = Viewer->isVisible();
        alignDuringLoad = Viewer->Align();
    };
    Viewer->SetFileName(Song);
    ASSERT_TRUE(Viewer->IsOpen());
    EXPECT_TRUE(visibleDuringLoad);
    EXPECT_EQ(alignDuringLoad, alNone);
    EXPECT_EQ(duringLoad.right(), -2); // wholly left of the parent's client area
    EXPECT_FALSE(Viewer->isVisible());
    EXPECT_EQ(Viewer->Align(), alClient);
    EXPECT_EQ(Viewer->geometry(), Parent.rect());

    // A failing load leaves the viewer closed, hidden and in its place too.
    Setup.Script.FailOn = QStringLiteral("SetPageMode");
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(Song); }), "Can't open file\r\n" + Song);
    EXPECT_FALSE(Viewer->IsOpen());
    EXPECT_EQ(Setup.Script.Alive, 0);
    EXPECT_FALSE(Viewer->isVisible());
    EXPECT_EQ(Viewer->geometry(), Parent.rect());
}

TEST_F(ViewerWithFakeControl, PrintUsesDialogOrCopiesOfTheRange)
{
    Viewer->SetFileName(Song);
    Setup.Script.Calls.clear();
    Viewer->SetShowPrintDialog(false);
    Viewer->SetCopies(2);
    Viewer->Print();
    EXPECT_EQ(Calls(), QStringList({"PrintAllFit(-1)", "PrintAllFit(-1)"}));

    Setup.Script.Calls.clear();
    Viewer->SetCopies(1);
    Viewer->SetStartPage(3);
    Viewer->SetShrinkToMargins(false);
    Viewer->Print();
    Viewer->SetStartPage(1);
    Viewer->SetEndPage(2);
    Viewer->Print();
    EXPECT_EQ(Calls(), QStringList({"PrintPagesFit(3,0,0)", "PrintPagesFit(1,2,0)"}));
    // The document stays loaded after printing.
    EXPECT_TRUE(Viewer->IsOpen());
}

TEST_F(ViewerWithFakeControl, ControlErrorsOutsideOpenReachTheCallerAndTheViewerStaysOpen)
{
    Viewer->SetFileName(Song);
    Setup.Script.FailOn = QStringLiteral("GoToNextPage");
    EXPECT_EQ(ErrorOf([&] { Viewer->GoToNextPage(); }), "The control refused GoToNextPage");
    EXPECT_TRUE(Viewer->IsOpen());
}

TEST_F(ViewerWithFakeControl, RegistryDecidesTheGeneration)
{
    struct TCase {
        QString ProgId;
        const char *Expected; // "old", "new" or an error text
    };
    const TCase cases[] = {
        {"PDF.PdfCtrl.5", "old"},
        {"pdf", "old"},
        {"AcroPDF.PDF.1", "new"},
        {"acropdf.pdf.1", "new"},
        {"AcroExch.Document", "Adobe Reader version not supported"},
        {"PDFX.Other", "Adobe Reader version not supported"},
    };
    for (const TCase &c : cases) {
        Setup.RegisterProgId(c.ProgId);
        const QString error = ErrorOf([&] { Viewer->SetFileName(Song); });
        TPdfDisplayer *displayer = Viewer->CurrentDisplayer();
        if (QString(c.Expected) == "old") {
            EXPECT_NE(dynamic_cast<TOldPdfDisplayer *>(displayer), nullptr)
                << c.ProgId.toStdString();
        } else if (QString(c.Expected) == "new") {
            EXPECT_NE(dynamic_cast<TNewPdfDisplayer *>(displayer), nullptr)
                << c.ProgId.toStdString();
        } else {
            EXPECT_EQ(error, c.Expected) << c.ProgId.toStdString();
            EXPECT_FALSE(Viewer->IsOpen());
        }
    }

    Setup.Registry.RemoveKey(QStringLiteral("\\CLSID"));
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(Song); }), "Adobe Reader not found");
    Setup.Registry.Clear();
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(Song); }), "Adobe Reader not found");
    EXPECT_FALSE(Viewer->IsOpen());
}

TEST_F(ViewerWithFakeControl, ReaderVersionIsTheGreatestReadableMajorNumberAskedUntilKnown)
{
    Setup.Script.Versions = QStringLiteral("no version here");
    Viewer->SetFileName(Song);
    EXPECT_EQ(Viewer->ReaderMajorVersion(), 0);
    EXPECT_EQ(Calls().count("GetVersions()"), 2);
    Setup.Script.Versions = QStringLiteral("Reader=7.0.5,Plugin=9.1,Odd=x.2,Bare,Lib=8");
    EXPECT_EQ(Viewer->ReaderMajorVersion(), 9);
    Setup.Script.Versions = QStringLiteral("Reader=12.0");
    EXPECT_EQ(Viewer->ReaderMajorVersion(), 9);
    EXPECT_EQ(Calls().count("GetVersions()"), 3);
}

} // namespace
} // namespace tarvello::test
