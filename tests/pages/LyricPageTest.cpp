#include "pages/LyricPage.h"

#include "core/SlotTypes.h"
#include "core/TarvelloError.h"
#include "pages/PromptPreparer.h"
#include "pages/RichTextFile.h"
#include "pdfcontrol/BuiltInPdfControl.h"
#include "support/FindControl.h"
#include "support/TestPdfFiles.h"
#include "support/Wait.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

class LyricPage : public testing::Test {
protected:
    // Before the page makes its PDF viewer.
    static void SetUpTestSuite() { RegisterBuiltInPdfControl(); }

    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        Page.resize(400, 300);
        Page.show();
        QApplication::processEvents();
    }

    // A file in the folder, as the prompt engine resolves it.
    TPromptFile Write(const QString &name, const QByteArray &bytes,
                      TPromptKind kind = TPromptKind::RichText)
    {
        QFile file(Folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return File(kind, name);
    }

    TPromptFile File(TPromptKind kind, const QString &name, int page = 1) const
    {
        TPromptFile file;
        file.Kind = kind;
        file.Reference = name;
        file.Path = Folder.filePath(name);
        file.Page = page;
        file.Stored = name;
        return file;
    }

    QString Shown() const { return Text->toPlainText(); }

    bool Bold(const QString &word) const
    {
        QTextCursor cursor(Text->document());
        cursor.setPosition(int(Shown().indexOf(word)) + 1);
        return cursor.charFormat().fontWeight() == QFont::Bold;
    }

    QTemporaryDir Folder;
    TLyricPage Page;
    QTextEdit *Text = test::Control<QTextEdit>(&Page, "reLyric");
    QSignalSpy Lines{&Page, &TLyricPage::LineButtonsEnabledChanged};
};

// Each kind of file ends in its view, the line and page commands act on that
// view, and the neighbours made ready are shown without a read.
TEST_F(LyricPage, ShowsEachFileInItsViewWithItsCommandsAndPreparedNeighbours)
{
    QByteArray longText;
    for (int line = 0; line < 300; ++line) {
        longText += "line " + QByteArray::number(line) + "\n";
    }
    Page.Show(QStringLiteral("3"), QStringLiteral("notes.txt"),
              Write(QStringLiteral("notes.txt"), longText), true);
    QApplication::processEvents();
    EXPECT_EQ(Page.ViewKind(), lvRichText);
    EXPECT_TRUE(Shown().startsWith(QStringLiteral("3 - notes.txt\nline 0\nline 1\n")));
    QScrollBar *bar = Text->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 2 * bar->pageStep());
    Page.Command(LineDownValue);
    EXPECT_EQ(bar->value(), bar->singleStep());
    Page.Command(PageDownValue);
    EXPECT_EQ(bar->value(), bar->singleStep() + bar->pageStep());
    EXPECT_GT(Page.TextScrollFraction(), 0.0);
    Page.Command(PageUpValue);
    Page.Command(LineUpValue);
    EXPECT_EQ(Page.TextScrollFraction(), 0.0);

    // RTF as rich text, its first line the slot as stored.
    Page.Show(QStringLiteral("5"), QStringLiteral("lyrics.rtf /PAGE 2"),
              Write(QStringLiteral("lyrics.rtf"), "{\\rtf1\\ansi Plain {\\b Loud} line\\par}"),
              true);
    EXPECT_EQ(Page.ViewKind(), lvRichText);
    EXPECT_EQ(Shown(), QStringLiteral("5 - lyrics.rtf /PAGE 2\nPlain Loud line"));
    EXPECT_TRUE(Bold(QStringLiteral("Loud")));

    // A PDF opens at its page; it has pages, not lines.
    test::WriteColouredPdf(Folder.filePath(QStringLiteral("chart.pdf")), 4);
    Page.Show(QStringLiteral("7"), QStringLiteral("chart.pdf /PAGE 2"),
              File(TPromptKind::Pdf, QStringLiteral("chart.pdf"), 2), true);
    EXPECT_EQ(Page.ViewKind(), lvPdf);
    EXPECT_FALSE(Text->isVisible());
    EXPECT_EQ(Page.PdfPageCount(), 4);
    EXPECT_EQ(Page.PdfPage(), 2);
    Page.Command(PageDownValue);
    Page.Command(LineDownValue);
    Page.Command(LineUpValue);
    EXPECT_EQ(Page.PdfPage(), 3);
    EXPECT_EQ(Lines.size(), 4);
    EXPECT_EQ(Lines.last().at(0).toBool(), false) << "no line buttons on a PDF";

    // A page suffix that is no number: the error, and the PDF stays as it was.
    TPromptFile bad = File(TPromptKind::BadPage, QStringLiteral("chart.pdf"));
    bad.Error = QStringLiteral("'x' is not a valid integer value.");
    try {
        Page.Show(QStringLiteral("8"), QStringLiteral("chart.pdf /PAGE x"), bad, true);
        ADD_FAILURE() << "a bad page is shown";
    } catch (const TError &error) {
        EXPECT_EQ(error.message(), bad.Error);
    }
    EXPECT_EQ(Page.ViewKind(), lvPdf);
    EXPECT_EQ(Page.PdfPage(), 3);

    // A missing file: the slot and its reference, numbered or nothing at all.
    Page.Show(QStringLiteral("9"), QStringLiteral("gone.txt"),
              File(TPromptKind::None, QStringLiteral("gone.txt")), true);
    EXPECT_EQ(Page.ViewKind(), lvRichText);
    EXPECT_TRUE(Text->isVisible());
    EXPECT_EQ(Shown(), QStringLiteral("9 - gone.txt"));
    EXPECT_EQ(Lines.last().at(0).toBool(), true);
    Page.Show(QStringLiteral("9"), QStringLiteral("gone.txt"),
              File(TPromptKind::None, QStringLiteral("gone.txt")), false);
    EXPECT_TRUE(Shown().isEmpty());

    // A neighbour made ready in the background is shown from memory, exactly
    // as from its file; one changed on disk since is read again.
    TPromptFile two = Write(QStringLiteral("two.rtf"), "{\\rtf1\\ansi Two {\\b bold}\\par}");
    two.Slot = 2;
    const TPromptFile three = Write(QStringLiteral("three.txt"), "Three, as it was");
    const TPromptFile photo = Write(QStringLiteral("photo.png"), "not read", TPromptKind::Browser);
    Page.PrepareNeighbours({two, photo, three}, true);
    ASSERT_TRUE(test::WaitFor([this] { return !Page.Preparing(); }));
    EXPECT_EQ(PromptFileReads(two.Path), 1);
    EXPECT_EQ(PromptFileReads(three.Path), 1);
    EXPECT_EQ(PromptFileReads(photo.Path), 0) << "pictures are left to the browser";

    Page.Show(QStringLiteral("2"), QStringLiteral("two.rtf"), two, true);
    EXPECT_EQ(PromptFileReads(two.Path), 1);
    EXPECT_EQ(Shown(), QStringLiteral("2 - two.rtf\nTwo bold"));
    EXPECT_EQ(Text->document()->firstBlock().charFormat().font().family(), Text->font().family());
    EXPECT_TRUE(Bold(QStringLiteral("bold")));

    // One made ready before the font changed is read again, in the new font.
    TPromptFile four = Write(QStringLiteral("four.rtf"), "{\\rtf1\\ansi Four\\par}");
    four.Slot = 4;
    Page.PrepareNeighbours({four}, true);
    ASSERT_TRUE(test::WaitFor([this] { return !Page.Preparing(); }));
    QFont bigger = Text->font();
    bigger.setPointSize(bigger.pointSize() + 9);
    Page.SetPromptFont(bigger);
    Page.Show(QStringLiteral("4"), QStringLiteral("four.rtf"), four, true);
    EXPECT_EQ(PromptFileReads(four.Path), 2);
    EXPECT_EQ(Shown(), QStringLiteral("4 - four.rtf\nFour"));
    QTextCursor firstLine(Text->document());
    firstLine.setPosition(1);
    EXPECT_EQ(firstLine.charFormat().font().pointSize(), bigger.pointSize());

    QFile changed(three.Path);
    ASSERT_TRUE(changed.open(QIODevice::WriteOnly));
    changed.write("Three, rewritten at the soundcheck");
    changed.close();
    Page.Show(QStringLiteral("3"), QStringLiteral("three.txt"), three, false);
    EXPECT_EQ(PromptFileReads(three.Path), 2);
    EXPECT_EQ(Shown(), QStringLiteral("Three, rewritten at the soundcheck"));
}

} // namespace
} // namespace tarvello
