// Each file shown is read once, and the slots next to it are read before they
// are asked for: the counts of reads and of PDF controls made say so.

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

#include <QDateTime>
#include <QTextBlock>
#include <QTextCursor>

namespace tarvello::test {
namespace {

class TPromptLoadsTest : public TLyricTest {
protected:
    void SetUp() override
    {
        TLyricTest::SetUp();
        // Every PDF control made from here on is counted.
        TClassFactory::Current().RegisterClass(
            QString::fromLatin1(AcroPdfClassId), QString::fromLatin1(BuiltInNewProgId),
            [this](QWidget *parent) {
                ++PdfControlsMade;
                return new TPdfDocumentControl(parent);
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
        const TPromptPreparer &preparer = Find<TLyricPage>("tsLyric")->Preparation();
        return WaitFor([&preparer] { return !preparer.Busy(); });
    }

    int PdfControlsMade = 0;
};

TEST_F(TPromptLoadsTest, TheListClickAfterASelectionLoadsNothingAgain)
{
    Write(QStringLiteral("ballad.rtf"), "{\\rtf1\\ansi Slow {\\b and} low\\par}");
    WritePdf(Folder.filePath(QStringLiteral("chart.pdf")), 3);
    Slot(10, QStringLiteral("ballad.rtf"));
    Slot(20, QStringLiteral("chart.pdf /PAGE 2"));

    Window->ActOnValue(10);
    EXPECT_EQ(Reads(QStringLiteral("ballad.rtf")), 1);
    EXPECT_EQ(Shown(), QStringLiteral("10 - ballad.rtf\nSlow and low"));
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 10 Item:10 ballad.rtf"));
    EXPECT_EQ(Lines, (QList<bool>{true}));
    EXPECT_EQ(SelectionMidiSent, 1);

    Window->ActOnValue(19);
    Window->ActOnValue(126);
    EXPECT_EQ(PdfControlsMade, 1);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 20 Item:20 chart.pdf"));
    auto *control =
        qobject_cast<TPdfDocumentControl *>(Find<TPdfViewer>("PdfViewer")->GetDispatch());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->CurrentPage(), 2);
    EXPECT_EQ(SelectionMidiSent, 3);

    // The same slot chosen again is shown again from its file, from the top.
    Window->ActOnValue(10);
    Window->ActOnValue(10);
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

    Window->ActOnValue(3);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Reads(QStringLiteral("two.rtf")), 1);
    EXPECT_EQ(Reads(QStringLiteral("four.rtf")), 1);

    // Next: shown from memory, exactly as from the file.
    Window->ActOnValue(126);
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
    Window->ActOnValue(127);
    EXPECT_EQ(Reads(QStringLiteral("three.txt")), 3);
    EXPECT_EQ(Shown(), QStringLiteral("3 - three.txt\nThree, rewritten at the soundcheck"));

    // Previous again, to the one made ready while three was shown.
    ASSERT_TRUE(Settled());
    const int twoReads = Reads(QStringLiteral("two.rtf"));
    Window->ActOnValue(127);
    EXPECT_EQ(Reads(QStringLiteral("two.rtf")), twoReads);
    EXPECT_EQ(Shown(), QStringLiteral("2 - two.rtf\nTwo bold"));
}

TEST_F(TPromptLoadsTest, APdfNextInTheShowOpensOnItsPageRenderedAhead)
{
    Write(QStringLiteral("intro.txt"), "Count in");
    const QString chart = WritePdf(Folder.filePath(QStringLiteral("chart.pdf")), 3);
    Slot(7, QStringLiteral("intro.txt"));
    Slot(8, QStringLiteral("chart.pdf /PAGE 2"));
    TPdfPreparedPages &prepared = TPdfPreparedPages::Instance();
    const QString path = QFileInfo(chart).absoluteFilePath();
    // Whether the page the view opens on was there before it opened, at the
    // very size the view shows it.
    const auto openedOnAPreparedPage = [&](int slot) {
        Window->ActOnValue(slot);
        auto *control =
            qobject_cast<TPdfDocumentControl *>(Find<TPdfViewer>("PdfViewer")->GetDispatch());
        EXPECT_NE(control, nullptr);
        if (control == nullptr) {
            return false;
        }
        EXPECT_EQ(control->CurrentPage(), 2);
        const bool ready = prepared.Find(path, 1, control->PageView()->PagePixelSize(1)).has_value();
        control->PageView()->viewport()->repaint();
        return ready && control->PageView()->PagesRenderedHere() == 0;
    };

    const int rendered = prepared.Rendered();
    Window->ActOnValue(7);
    ASSERT_TRUE(WaitFor([&prepared] { return !prepared.Busy(); }));
    EXPECT_EQ(prepared.Rendered(), rendered + 1);
    EXPECT_TRUE(openedOnAPreparedPage(8));

    // Changed on disk after it was rendered: not shown from what was rendered.
    Window->ActOnValue(7);
    ASSERT_TRUE(WaitFor([&prepared] { return !prepared.Busy(); }));
    WritePdf(chart, 4);
    QFile touched(chart);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    touched.close();
    EXPECT_FALSE(openedOnAPreparedPage(8));
}

} // namespace
} // namespace tarvello::test
