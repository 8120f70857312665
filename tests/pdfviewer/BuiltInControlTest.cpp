#include "PdfTestSupport.h"
#include "support/FileOpenCounter.h"
#include "support/TestPdfFiles.h"

#include "pdfcontrol/BuiltInPdfControl.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfcontrol/PdfPreparedPages.h"
#include "pdfhost/ClassFactory.h"
#include "pdfhost/Registry.h"
#include "pdfviewer/NewPdfDisplayer.h"
#include "pdfviewer/OldPdfDisplayer.h"
#include "pdfviewer/PdfViewer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPdfDocument>
#include <QPointer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tarvello::test {
namespace {

// A colour is "the page's" when each channel is within a small distance, as
// rendering and anti-aliasing shift colours a little.
bool Near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

// The real document control, registered the way the program does, through the
// viewer in the generation named by the test's parameter.
class RealControl : public ::testing::TestWithParam<const char *> {
protected:
    RealControl() : RegistryScope(Registry), FactoryScope(Factory)
    {
        RegisterBuiltInPdfControl();
        if (QString::fromLatin1(GetParam()) == "old") {
            Registry.SetValue("\\MIME\\Database\\Content Type\\application/pdf", "CLSID",
                              QString::fromLatin1(BuiltInOldClassId));
        }
        Parent.resize(500, 400);
        Viewer = new TPdfViewer(&Parent);
        Viewer->SetAlign(alClient);
        Parent.show();
        Song = Dir.filePath("song.pdf");
        WriteColouredPdf(Song, 5);
    }

    TPdfDocumentControl *Control() const
    {
        return qobject_cast<TPdfDocumentControl *>(Viewer->GetDispatch());
    }
    QColor ColourAt(int page) const
    {
        TPdfPageView *view = Control()->PageView();
        const QImage shot = view->viewport()->grab().toImage();
        const QRect rect = view->PageRect(page - 1);
        return shot.pixelColor(rect.topLeft() + QPoint(rect.width() / 8, rect.height() / 8));
    }

    TRegistry Registry;
    TClassFactory Factory;
    TScopedRegistry RegistryScope;
    TScopedClassFactory FactoryScope;
    QTemporaryDir Dir;
    QWidget Parent;
    TPdfViewer *Viewer;
    QString Song;
};

TEST_P(RealControl, OpensAtAPageAndTurnsPagesWithinTheDocument)
{
    Viewer->SetFileName(Song);
    Viewer->SetCurrentPage(3);
    ASSERT_NE(Control(), nullptr);
    const bool old = QString::fromLatin1(GetParam()) == "old";
    EXPECT_EQ(dynamic_cast<TOldPdfDisplayer *>(Viewer->CurrentDisplayer()) != nullptr, old);
    EXPECT_EQ(Control()->PageCount(), 5);
    EXPECT_EQ(Control()->CurrentPage(), 3);
    EXPECT_TRUE(Near(ColourAt(3), PageColour(3)));
    EXPECT_EQ(Control()->PageNumberEdit()->text(), "3");

    Viewer->GoToNextPage();
    Viewer->GoToNextPage();
    Viewer->GoToNextPage();
    EXPECT_EQ(Control()->CurrentPage(), 5);
    EXPECT_TRUE(Near(ColourAt(5), PageColour(5)));
    Viewer->GoToPreviousPage();
    EXPECT_EQ(Control()->CurrentPage(), 4);
    Viewer->SetCurrentPage(0);
    EXPECT_EQ(Control()->CurrentPage(), 1);
    Viewer->GoToPreviousPage();
    EXPECT_EQ(Control()->CurrentPage(), 1);
    Viewer->SetCurrentPage(99);
    EXPECT_EQ(Control()->CurrentPage(), 5);

    // The page number typed in the tool bar moves there too.
    Control()->PageNumberEdit()->setText("2");
    emit Control()->PageNumberEdit()->returnPressed();
    EXPECT_EQ(Control()->CurrentPage(), 2);
    // The control is where tools look for its page number box.
    EXPECT_EQ(Viewer->CurrentDisplayer()->FindPageNumberEdit(), Control()->PageNumberEdit());
    EXPECT_LT(Viewer->ReaderMajorVersion(), 8);
    EXPECT_TRUE(Control()->GetVersions().startsWith("TarvelloPdfControl=1.1,QtPdf="));
}

TEST_P(RealControl, EachViewSettingShows)
{
    Viewer->SetFileName(Song);
    TPdfPageView *view = Control()->PageView();
    const QSize room = view->viewport()->size();

    Viewer->SetFitMode(vmFitHorz);
    EXPECT_EQ(view->PageRect(0).width(), room.width());
    Viewer->SetFitMode(vmFitBoxVert);
    EXPECT_EQ(view->PageRect(0).height(), view->viewport()->height());
    Viewer->SetFitMode(vmFit);
    EXPECT_TRUE(view->viewport()->rect().contains(view->PageRect(0)));

    Viewer->SetLayoutMode(lmTwoColumnLeft);
    EXPECT_EQ(view->PageRect(0).top(), view->PageRect(1).top());
    EXPECT_LT(view->PageRect(0).right(), view->PageRect(1).left());
    Viewer->SetLayoutMode(lmTwoColumnRight);
    EXPECT_EQ(view->PageRect(1).top(), view->PageRect(2).top());
    EXPECT_LT(view->PageRect(1).right(), view->PageRect(2).left());
    EXPECT_LT(view->PageRect(0).bottom(), view->PageRect(1).top());
    Viewer->GoToNextPage();
    EXPECT_EQ(Control()->CurrentPage(), 2);
    Viewer->SetLayoutMode(lmOneColumn);
    EXPECT_EQ(view->PageRect(1).left(), view->PageRect(2).left());
    EXPECT_LT(view->PageRect(1).bottom(), view->PageRect(2).top());
    Viewer->SetLayoutMode(lmSinglePage);
    EXPECT_TRUE(view->PageRect(0).isEmpty());
    EXPECT_FALSE(view->PageRect(1).isEmpty());

    Viewer->SetPageMode(pmThumbs);
    EXPECT_TRUE(Control()->ThumbnailsView()->isVisibleTo(Control()));
    QAbstractItemModel *thumbs = Control()->ThumbnailsView()->model();
    EXPECT_EQ(thumbs->rowCount(), 5);
    const QImage picture =
        thumbs->data(thumbs->index(3, 0), Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_TRUE(Near(picture.pixelColor(4, 4), PageColour(4)));
    emit Control()->ThumbnailsView()->clicked(thumbs->index(4, 0));
    EXPECT_EQ(Control()->CurrentPage(), 5);
    Viewer->SetPageMode(pmStandard);
    EXPECT_FALSE(Control()->SidePane()->isVisibleTo(Control()));

    Viewer->SetShowScrollBars(false);
    EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    Viewer->SetShowScrollBars(true);
    EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    Viewer->SetShowToolBar(false);
    EXPECT_FALSE(Control()->ToolBar()->isVisibleTo(Control()));
    Viewer->SetShowToolBar(true);
    EXPECT_TRUE(Control()->ToolBar()->isVisibleTo(Control()));
}

TEST_P(RealControl, BookmarksPaneJumpsToTheEntrysPage)
{
    const QString outlined = Dir.filePath("outlined.pdf");
    WriteBytes(outlined, PdfWithOutline());
    Viewer->SetPageMode(pmBookmarks);
    Viewer->SetFileName(outlined);
    QTreeView *tree = Control()->BookmarksView();
    EXPECT_TRUE(tree->isVisibleTo(Control()));
    QAbstractItemModel *model = tree->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(1, 0).data().toString(), "Chorus");
    emit tree->clicked(model->index(1, 0));
    EXPECT_EQ(Control()->CurrentPage(), 2);
    emit tree->clicked(model->index(0, 0));
    EXPECT_EQ(Control()->CurrentPage(), 1);
}

TEST_P(RealControl, PrintsCopiesOfAPageRangeToFile)
{
    Viewer->SetFileName(Song);
    Control()->Printer().setOutputFileName(Dir.filePath("out.pdf"));
    QStringList jobs;
    QObject::connect(Control(), &TPdfDocumentControl::PrintJobFinished, [&](int sheets) {
        EXPECT_EQ(sheets, 2);
        jobs << Dir.filePath(QStringLiteral("job%1.pdf").arg(jobs.size() + 1));
        QFile::rename(Dir.filePath("out.pdf"), jobs.last());
    });
    Viewer->SetShowPrintDialog(false);
    Viewer->SetCopies(2);
    Viewer->SetStartPage(2);
    Viewer->SetEndPage(3);
    Viewer->Print();
    ASSERT_EQ(jobs.size(), 2);
    for (const QString &job : jobs) {
        QPdfDocument printed;
        ASSERT_EQ(printed.load(job), QPdfDocument::Error::None);
        ASSERT_EQ(printed.pageCount(), 2);
        for (int sheet = 0; sheet < 2; ++sheet) {
            const QImage image = printed.render(sheet, QSize(200, 280));
            EXPECT_TRUE(Near(image.pixelColor(100, 50), PageColour(sheet + 2))) << sheet;
        }
    }
    // The document stays shown after printing.
    EXPECT_TRUE(Viewer->IsOpen());
    Viewer->SetStartPage(7);
    EXPECT_FALSE(ErrorOf([&] { Viewer->Print(); }).isEmpty());
}

TEST_P(RealControl, BadFilesAreRefusedAndLeaveTheViewerClosed)
{
    QByteArray real;
    {
        WriteColouredPdf(Dir.filePath("whole.pdf"), 3);
        QFile whole(Dir.filePath("whole.pdf"));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        real = whole.readAll();
    }
    QByteArray noise(4096, '\0');
    QRandomGenerator generator(1234);
    for (char &byte : noise) {
        byte = static_cast<char>(generator.bounded(256));
    }
    const QList<std::pair<QString, QByteArray>> files = {
        {"damaged.pdf", real.left(real.size() / 3) + QByteArray(500, 'x')},
        {"locked.pdf", PasswordProtectedPdf()},
        {"lyrics.pdf", "Verse 1\nThe night is young\n"},
        {"empty.pdf", QByteArray()},
        {"nopages.pdf", ZeroPagePdf()},
        {"noise.pdf", noise},
        {"header-only.pdf", "%PDF-1.7\n"},
    };
    for (const auto &[name, bytes] : files) {
        const QString path = Dir.filePath(name);
        WriteBytes(path, bytes);
        EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(path); }), "Can't open file\r\n" + path)
            << name.toStdString();
        EXPECT_FALSE(Viewer->IsOpen());
    }
    // A remote address is not fetched by this control.
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName("https://example.invalid/song.pdf"); }),
              "Can't open file\r\nhttps://example.invalid/song.pdf");
    // And a good file opens after all that.
    Viewer->SetFileName(Song);
    EXPECT_EQ(Control()->PageCount(), 5);
}

// The newer generation takes the next song into the control it has; a file
// it refuses closes the viewer as a first opening would.
TEST_P(RealControl, TheNextDocumentGoesIntoTheOpenControl)
{
    const bool old = QString::fromLatin1(GetParam()) == "old";
    const QString next = Dir.filePath("next.pdf");
    WriteColouredPdf(next, 2);
    Viewer->SetShowToolBar(false);
    Viewer->SetFileName(Song);
    Viewer->SetCurrentPage(4);
    // Watched: a control made after the first one went may take its address.
    const QPointer<TPdfDocumentControl> first = Control();
    ASSERT_NE(first, nullptr);

    Viewer->SetFileName(next);
    EXPECT_EQ(first && Control() == first, !old);
    EXPECT_EQ(Viewer->FileName(), next);
    EXPECT_EQ(Control()->PageCount(), 2);
    EXPECT_EQ(Control()->CurrentPage(), 1);
    EXPECT_TRUE(Near(ColourAt(1), PageColour(1)));
    EXPECT_FALSE(Control()->ToolBar()->isVisibleTo(Control()));

    const QString damaged = Dir.filePath("damaged.pdf");
    WriteBytes(damaged, "%PDF-1.7\n");
    EXPECT_EQ(ErrorOf([&] { Viewer->SetFileName(damaged); }), "Can't open file\r\n" + damaged);
    EXPECT_FALSE(Viewer->IsOpen());
    Viewer->SetFileName(Song);
    EXPECT_EQ(Control()->PageCount(), 5);
}

// The next slot of a song often names another page of the document shown: the
// stage's own prefetch thread renders that page, so the file is opened by the
// stage's two documents and by nothing else. Going there opens nothing (the
// older generation makes a new control, with its two) and renders nothing on
// the window's thread; a file changed meanwhile is read again.
TEST_P(RealControl, APageOfTheShownDocumentIsMadeReadyWithoutOpeningItAgain)
{
    const bool old = QString::fromLatin1(GetParam()) == "old";
    Viewer->SetShowToolBar(false);
    TPdfPreparedPages &prepared = TPdfPreparedPages::Instance();
    TFileOpenCounter counter(Song);
    Viewer->SetFileName(Song);
    Viewer->SetCurrentPage(1);
    Viewer->PrepareDocuments({Song}, {4}, Viewer->size());
    Control()->PageView()->viewport()->repaint();
    ASSERT_TRUE(RunEventsUntil([&prepared] { return !prepared.Busy(); }));
    Control()->PageView()->WaitForPrefetchIdle();
    EXPECT_EQ(counter.Opens(), 2);

    const int rendered = Control()->PageView()->PagesRenderedHere();
    Viewer->SetFileName(Song);
    Viewer->SetCurrentPage(4);
    TPdfPageView *view = Control()->PageView();
    view->viewport()->repaint();
    EXPECT_EQ(view->PagesRenderedHere(), old ? 0 : rendered);
    EXPECT_TRUE(Near(ColourAt(4), PageColour(4)));
    view->WaitForPrefetchIdle();
    EXPECT_EQ(counter.Opens(), old ? 4 : 2);

    WriteColouredPdf(Song, 5, QPageSize(QPageSize::A5), 1);
    QFile touched(Song);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    touched.close();
    Viewer->SetFileName(Song);
    Viewer->SetCurrentPage(4);
    EXPECT_TRUE(Near(ColourAt(4), PageColour(5)));
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, RealControl, ::testing::Values("old", "new"));

TEST(RealControlFiles, LocalFileUrlsAreLoaded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a b.pdf");
    WriteColouredPdf(path, 2);
    TPdfDocumentControl control;
    control.SetSrc(QUrl::fromLocalFile(path).toString());
    EXPECT_EQ(control.PageCount(), 2);
    EXPECT_EQ(ErrorOf([&] { control.SetSrc(dir.path()); }), "No such document: " + dir.path());
    EXPECT_EQ(control.PageCount(), 0);
    // Commands on an empty control do nothing harmful.
    control.GoToNextPage();
    control.SetCurrentPage(3);
    EXPECT_EQ(control.CurrentPage(), 0);
    EXPECT_FALSE(ErrorOf([&] { control.PrintAllFit(true); }).isEmpty());
}

} // namespace
} // namespace tarvello::test
