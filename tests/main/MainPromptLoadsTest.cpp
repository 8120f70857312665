// Each file shown is read once, and the slots next to it are read before they
// are asked for: the counts of reads and of PDF documents opened say so.

#include "MainLyricFixture.h"

#include "pages/LyricPage.h"
#include "pages/PromptPreparer.h"
#include "pages/RichTextFile.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfcontrol/PdfPageView.h"
#include "pdfcontrol/PdfPreparedPages.h"
#include "pdfhost/ClassFactory.h"
#include "pdfhost/ClassIds.h"
#include "pdfviewer/PdfViewer.h"
#include "support/TestPdfFiles.h"

#include <QDateTime>
#include <QPdfDocument>
#include <QTextBlock>
#include <QTextCursor>

namespace tarvello::test {
namespace {

class TPromptLoadsTest : public TLyricTest {
protected:
    void SetUp() override
    {
        TLyricTest::SetUp();
        // Every document a PDF control made from here on opens is counted,
        // whether into a new control or into the open one.
        TClassFactory::Current().RegisterClass(
            QString::fromLatin1(AcroPdfClassId), QString::fromLatin1(BuiltInNewProgId),
            [this](QWidget *parent) {
                auto *control = new TPdfDocumentControl(parent);
                QObject::connect(control, &TPdfDocumentControl::DocumentOpened,
                                 [this](const QString &) { ++PdfDocumentsOpened; });
                return control;
            });
    }

    void TearDown() override
    {
        TLyricTest::TearDown();
        RegisterBuiltInPdfControl();
    }

    int Reads(const QString &name) const
    {
        return PromptFileReads(QFileInfo(Folder.filePath(name)).absoluteFilePath());
    }

    bool Settled() const
    {
        const TLyricPage *page = Find<TLyricPage>("tsLyric");
        return WaitFor([page] { return !page->Preparing(); });
    }

    int PdfDocumentsOpened = 0;
};

TEST_F(TPromptLoadsTest, TheListClickAfterASelectionLoadsNothingAgain)
{
    Write(QStringLiteral("ballad.rtf"), "{\\rtf1\\ansi Slow {\\b and} low\\par}");
    WritePdf(Folder.filePath(QStringLiteral("chart.pdf")), 3);
    Slot(10, QStringLiteral("ballad.rtf"));
    Slot(20, QStringLiteral("chart.pdf /PAGE 2"));

    SelectValue(10);
    EXPECT_EQ(Reads(QStringLiteral("ballad.rtf")), 1);
    EXPECT_EQ(Shown(), QStringLiteral("10 - ballad.rtf\nSlow and low"));
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 10 Item:10 ballad.rtf"));
    EXPECT_EQ(Lines, (QList<bool>{true}));
    EXPECT_EQ(SelectionMidiSent, 1);

    SelectValue(19);
    SelectValue(126);
    EXPECT_EQ(PdfDocumentsOpened, 1);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 20 Item:20 chart.pdf"));
    auto *control =
        qobject_cast<TPdfDocumentControl *>(Find<TPdfViewer>("PdfViewer")->GetDispatch());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->CurrentPage(), 2);
    EXPECT_EQ(SelectionMidiSent, 3);

    // The same slot chosen again is shown again from its file, from the top.
    SelectValue(10);
    SelectValue(10);
    EXPECT_EQ(Reads(QStringLiteral("ballad.rtf")), 3);
    EXPECT_EQ(SelectionMidiSent, 4);
}

TEST_F(TPromptLoadsTest, TheNextAndPreviousSlotsAreReadyBeforeTheyAreAskedFor)
{
    Write(QStringLiteral("two.rtf"), "{\\rtf1\\ansi Two {\\b bold}\\par}");
    Write(QStringLiteral("three.txt"), "Three, as it was");
    Write(QStringLiteral("four.rtf"), "{\\rtf1\\ansi Four {\\b loud} line\\par}");
    Slot(2, QStringLiteral("two.rtf"));
    Slot(3, QStringLiteral("three.txt"));
    Slot(4, QStringLiteral("four.rtf"));
    Slot(5, QStringLiteral("https://example.org/"));

    SelectValue(3);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Reads(QStringLiteral("two.rtf")), 1);
    EXPECT_EQ(Reads(QStringLiteral("four.rtf")), 1);

    // Next: shown from memory, exactly as from the file.
    SelectValue(126);
    EXPECT_EQ(Reads(QStringLiteral("four.rtf")), 1);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 4 Item:4 four.rtf"));
    EXPECT_EQ(Shown(), QStringLiteral("4 - four.rtf\nFour loud line"));
    QTextDocument *document = LyricText()->document();
    EXPECT_EQ(document->firstBlock().charFormat().font().family(), LyricText()->font().family());
    QTextCursor cursor(document);
    cursor.setPosition(int(Shown().indexOf(QStringLiteral("loud"))) + 1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    // Nothing is made ready for a web address; three is wanted again.
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Reads(QStringLiteral("three.txt")), 2);

    // A file changed on disk after it was made ready is read again.
    const QString three = Write(QStringLiteral("three.txt"), "Three, rewritten at the soundcheck");
    QFile touched(three);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    touched.close();
    SelectValue(127);
    EXPECT_EQ(Reads(QStringLiteral("three.txt")), 3);
    EXPECT_EQ(Shown(), QStringLiteral("3 - three.txt\nThree, rewritten at the soundcheck"));

    // Previous again, to the one made ready while three was shown.
    ASSERT_TRUE(Settled());
    const int twoReads = Reads(QStringLiteral("two.rtf"));
    SelectValue(127);
    EXPECT_EQ(Reads(QStringLiteral("two.rtf")), twoReads);
    EXPECT_EQ(Shown(), QStringLiteral("2 - two.rtf\nTwo bold"));
}

TEST_F(TPromptLoadsTest, APdfNextInTheShowOpensOnItsPageRenderedAhead)
{
    Write(QStringLiteral("intro.txt"), "Count in");
    const QString chart = Folder.filePath(QStringLiteral("chart.pdf"));
    WriteColouredPdf(chart, 3);
    Slot(7, QStringLiteral("intro.txt"));
    Slot(8, QStringLiteral("chart.pdf /PAGE 2"));
    TPdfPreparedPages &prepared = TPdfPreparedPages::Instance();
    struct TShown {
        int Taken;    // pages the view took from those rendered ahead
        int Rendered; // pages the view rendered on its own thread
        QImage Page;  // what it painted for page 2
    };
    const auto open = [&](int slot) {
        SelectValue(slot);
        auto *control =
            qobject_cast<TPdfDocumentControl *>(Find<TPdfViewer>("PdfViewer")->GetDispatch());
        EXPECT_NE(control, nullptr);
        if (control == nullptr) {
            return TShown{};
        }
        EXPECT_EQ(control->CurrentPage(), 2);
        TPdfPageView *view = control->PageView();
        const int taken = view->PagesTakenPrepared();
        const int rendered = view->PagesRenderedHere();
        view->viewport()->repaint();
        const QImage *page = view->Cache().Find(1, view->PagePixelSize(1));
        return TShown{view->PagesTakenPrepared() - taken, view->PagesRenderedHere() - rendered,
                      page ? *page : QImage()};
    };

    const int rendered = prepared.Rendered();
    SelectValue(7);
    ASSERT_TRUE(Settled() && WaitFor([&prepared] { return !prepared.Busy(); }));
    EXPECT_EQ(prepared.Rendered(), rendered + 1);
    const TShown first = open(8);
    EXPECT_EQ(first.Taken, 1);
    EXPECT_EQ(first.Rendered, 0);

    // Changed on disk after it was rendered: the view renders the new page.
    SelectValue(7);
    ASSERT_TRUE(Settled() && WaitFor([&prepared] { return !prepared.Busy(); }));
    // Its second page now in the third one's colour.
    WriteColouredPdf(chart, 4, QPageSize(QPageSize::A5), 1);
    QFile touched(chart);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    touched.close();
    const TShown changed = open(8);
    EXPECT_EQ(changed.Taken, 0);
    QPdfDocument document;
    ASSERT_EQ(document.load(chart), QPdfDocument::Error::None);
    ASSERT_FALSE(changed.Page.isNull());
    EXPECT_NE(changed.Page.convertToFormat(QImage::Format_RGB32),
              first.Page.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(changed.Page.convertToFormat(QImage::Format_RGB32),
              document.render(1, changed.Page.size()).convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace tarvello::test
