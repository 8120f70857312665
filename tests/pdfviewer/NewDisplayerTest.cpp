#include "FakeControl.h"
#include "PdfTestSupport.h"
#include "support/TestPdfFiles.h"

#include "pdfviewer/NewPdfDisplayer.h"
#include "pdfviewer/OldPdfDisplayer.h"
#include "pdfviewer/PdfViewer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace tarvello::test {
namespace {

// The newer generation with a reader that opens a window of its own (version 8
// and later), stood in for by a fake top-level window.
class NewGenerationReader : public ::testing::Test {
protected:
    NewGenerationReader()
    {
        Setup.Script.Versions = QStringLiteral("Reader=9.5.1,Plugin=9.0");
        Reader = std::make_unique<TFakeWindow>(QStringLiteral("AcrobatSDIWindow"));
        Reader->setGeometry(100, 100, 500, 400);
        Parent.resize(400, 300);
        Viewer = new TPdfViewer(&Parent);
        Parent.show();
        for (const char *name : {"a.pdf", "b.pdf", "c.pdf"}) {
            Files << Dir.filePath(QString::fromLatin1(name));
            WriteBytes(Files.last(), "x");
        }
    }

    TNewPdfDisplayer *Displayer() const
    {
        return dynamic_cast<TNewPdfDisplayer *>(Viewer->CurrentDisplayer());
    }
    std::size_t Closes() const { return Reader->CloseTimes.size(); }

    TFakeControlSetup Setup;
    std::unique_ptr<TFakeWindow> Reader;
    QTemporaryDir Dir;
    QStringList Files;
    QWidget Parent;
    TPdfViewer *Viewer;
};

TEST_F(NewGenerationReader, ReaderWindowIsHiddenAndClosedAfterEachRelease)
{
    Viewer->SetFileName(Files[0]);
    ASSERT_NE(Displayer(), nullptr);
    EXPECT_EQ(Displayer()->ReaderWindow(), Reader.get());
    EXPECT_EQ(Reader->pos(), QPoint(-100, -100));
    EXPECT_LE(Reader->width(), 1);

    Viewer->SetShowPrintDialog(false);
    Viewer->Print();
    // The close request is timed, not sent at once.
    QCoreApplication::processEvents();
    EXPECT_EQ(Closes(), 0u);
    EXPECT_TRUE(Displayer()->IsClosePending());
    ASSERT_TRUE(RunEventsUntil([&] { return Closes() == 1; }));
    EXPECT_FALSE(Displayer()->IsClosePending());
    EXPECT_TRUE(Viewer->IsOpen());

    // Close waits for its own timed close request; the handle is kept, so the
    // same window is asked again.
    Viewer->Close();
    EXPECT_FALSE(Viewer->IsOpen());
    ASSERT_TRUE(RunEventsUntil([&] { return Closes() == 2; }));
    RunEventsFor(250);
    EXPECT_EQ(Closes(), 2u);
}

TEST_F(NewGenerationReader, ReleaseWhilePendingLetsThePendingRequestStand)
{
    Viewer->SetFileName(Files[0]);
    Viewer->SetShowPrintDialog(false);
    Viewer->Print();
    Viewer->Print();
    Viewer->Close();
    ASSERT_TRUE(RunEventsUntil([&] { return Closes() == 1; }));
    RunEventsFor(250);
    EXPECT_EQ(Closes(), 1u);

    // A viewer destroyed with a close pending still sends it, and no timer of
    // the freed displayer fires afterwards.
    Viewer->SetFileName(Files[1]);
    Viewer->Print();
    delete Viewer;
    ASSERT_TRUE(RunEventsUntil([&] { return Closes() == 2; }));
    RunEventsFor(250);
    EXPECT_EQ(Closes(), 2u);
}

TEST_F(NewGenerationReader, MissingReaderWindowFailsTheOpen)
{
    Reader.reset();
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(Files[0]); }), "Can't open file\r\n" + Files[0]);
    EXPECT_FALSE(Viewer->IsOpen());
    EXPECT_EQ(Setup.Script.Alive, 0);
}

TEST_F(NewGenerationReader, OlderReadersAndTheOlderGenerationLeaveTopLevelWindowsAlone)
{
    for (const QString &versions : {QStringLiteral("Reader=7.0"), QStringLiteral("garbled")}) {
        TFakeControlSetup setup;
        setup.Script.Versions = versions;
        TPdfViewer viewer(&Parent);
        viewer.SetShowPrintDialog(false);
        viewer.SetFileName(Files[0]);
        ASSERT_TRUE(viewer.IsOpen());
        viewer.Print();
        EXPECT_FALSE(dynamic_cast<TNewPdfDisplayer *>(viewer.CurrentDisplayer())->IsClosePending());
        viewer.Close();
    }
    TFakeControlSetup old(QStringLiteral("PDF.PdfCtrl.5"));
    old.Script.Versions = QStringLiteral("Reader=9.0");
    TPdfViewer viewer(&Parent);
    viewer.show();
    viewer.SetShowPrintDialog(false);
    viewer.SetFileName(Files[0]);
    auto *displayer = dynamic_cast<TOldPdfDisplayer *>(viewer.CurrentDisplayer());
    ASSERT_NE(displayer, nullptr);
    EXPECT_EQ(displayer->Container()->geometry(), viewer.rect());
    viewer.resize(180, 120);
    EXPECT_EQ(displayer->Container()->geometry(), viewer.rect());
    viewer.Print();
    viewer.Close();
    RunEventsFor(250);
    EXPECT_EQ(Closes(), 0u);
    EXPECT_EQ(Reader->geometry(), QRect(100, 100, 500, 400));
}

TEST_F(NewGenerationReader, ControlFollowsTheViewerAndTakesTheFocus)
{
    QApplication::setActiveWindow(&Parent);
    Viewer->SetFileName(Files[0]);
    TAcroPDF *control = Displayer()->Control();
    EXPECT_EQ(control->geometry(), Viewer->rect());
    Viewer->resize(250, 180);
    EXPECT_EQ(control->geometry(), QRect(0, 0, 250, 180));
    ASSERT_TRUE(RunEventsUntil([&] { return control->Control()->hasFocus(); }));

    // Only an open viewer that is showing takes the focus.
    EXPECT_TRUE(Viewer->CanTakeFocus());
    Parent.hide();
    EXPECT_FALSE(Viewer->CanTakeFocus());
    Parent.show();
    Viewer->Close();
    EXPECT_FALSE(Viewer->CanTakeFocus());
}

TEST_F(NewGenerationReader, NamesAssignedWhileCloseWaitsAreTakenUpAfterIt)
{
    Viewer->SetFileName(Files[0]);
    // Another prompt arrives from the event loop that Close runs while waiting.
    QTimer::singleShot(20, &Parent, [&] { Viewer->SetFileName(Files[1]); });
    Viewer->Close();
    ASSERT_TRUE(Viewer->IsOpen());
    EXPECT_EQ(Viewer->FileName(), Files[1]);
    EXPECT_EQ(Setup.Script.Alive, 1);

    // The newest name wins over the one whose assignment was waiting.
    Setup.Script.Calls.clear();
    QTimer::singleShot(20, &Parent, [&] { Viewer->SetFileName(Files[0]); });
    Viewer->SetFileName(Files[2]);
    EXPECT_EQ(Viewer->FileName(), Files[0]);
    EXPECT_EQ(Setup.Script.Calls.filter("Src(").join(' '), "Src(" + Files[0] + ")");
    EXPECT_EQ(Setup.Script.Alive, 1);
    ASSERT_TRUE(RunEventsUntil([&] { return Closes() == 2; }));
}

} // namespace
} // namespace tarvello::test
