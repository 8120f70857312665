#include "MainLyricFixture.h"

#include "core/TarvelloError.h"
#include "pages/LyricPage.h"
#include "pdfcontrol/BuiltInPdfControl.h"
#include "pdfcontrol/PdfDocumentControl.h"
#include "pdfviewer/PdfViewer.h"
#include "widgets/KeyValueGrid.h"
#include "widgets/WebBrowserView.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace tarvello::test {
namespace {

TEST_F(TLyricTest, TextFilesShowWithTheirSlotLine)
{
    TWebBrowserView *browser = Find<TWebBrowserView>("webFileBrowser");
    Write(QStringLiteral("notes.TXT"), "Verse one\r\nChorus\r\n");
    Slot(3, QStringLiteral("notes.TXT"));
    SelectValue(3);
    EXPECT_EQ(LyricPage()->ViewKind(), lvRichText);
    EXPECT_TRUE(LyricText()->isVisibleTo(Window.get()));
    EXPECT_FALSE(browser->isVisibleTo(Window.get()));
    EXPECT_FALSE(browser->IsCreated());
    EXPECT_EQ(Shown(), QStringLiteral("3 - notes.TXT\nVerse one\nChorus\n"));
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 3 Item:3 notes.TXT"));
    // Shown once: the list click it caused finds it shown.
    EXPECT_EQ(Lines, (QList<bool>{true}));

    // Names starting with "page" in a folder starting with "page".
    QDir(Folder.path()).mkdir(QStringLiteral("Pages"));
    const QString pages = Write(QStringLiteral("Pages/page2.txt"), "Second page");
    Slot(5, pages);
    SelectValue(5);
    EXPECT_EQ(Shown(), QStringLiteral("5 - ") + pages + QStringLiteral("\nSecond page"));

    // Windows-1252 text, an odd file name, numbers suppressed.
    const QString odd = QStringLiteral("Söng #1 [live] 100% & 'more'.txt");
    Write(odd, "caf\xe9 cr\xe8me");
    Slot(4, odd);
    Find<QCheckBox>("cbSuppressNum")->setChecked(true);
    SelectValue(4);
    EXPECT_EQ(Shown(), QStringLiteral("café crème"));
}

TEST_F(TLyricTest, RtfFilesShowAsRichText)
{
    Write(QStringLiteral("lyrics.rtf"),
          "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Plain {\\b Loud} "
          "line\\par Second\\par}");
    Slot(5, QStringLiteral("lyrics.rtf /PAGE 2"));
    SelectValue(5);
    EXPECT_EQ(LyricPage()->ViewKind(), lvRichText);
    const QTextDocument *document = LyricText()->document();
    // The first line quotes the slot as stored, page suffix included.
    EXPECT_EQ(document->firstBlock().text(), QStringLiteral("5 - lyrics.rtf /PAGE 2"));
    EXPECT_TRUE(Shown().contains(QStringLiteral("Plain Loud line")));
    EXPECT_TRUE(Shown().contains(QStringLiteral("Second")));
    const int at = int(Shown().indexOf(QStringLiteral("Loud")));
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(at + 1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_FALSE(Shown().contains(QStringLiteral("rtf1")));
}

TEST_F(TLyricTest, PicturesNamedForTheRichTextViewShowAsPictures)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    picture.save(Folder.filePath(QStringLiteral("scan.png")));
    Slot(6, QStringLiteral("scan.png"));
    Find<QCheckBox>("cbSuppressNum")->setChecked(true);
    SelectValue(6);
    EXPECT_EQ(LyricPage()->ViewKind(), lvRichText);
    EXPECT_EQ(Shown(), QString(QChar::ObjectReplacementCharacter));
}

TEST_F(TLyricTest, BadFilesNeverStopTheShow)
{
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator random(7);
    for (char &byte : noise) {
        byte = char(random.bounded(256));
    }
    Write(QStringLiteral("noise.bin"), noise);
    Slot(1, QStringLiteral("noise.bin"));
    SelectValue(1);
    EXPECT_TRUE(Shown().startsWith(QStringLiteral("1 - noise.bin\n")));

    // A cut-off RTF still shows what it holds.
    Write(QStringLiteral("cut.rtf"), "{\\rtf1{{{{{\\b deep {\\pict\\pngblip 89504e47");
    Slot(2, QStringLiteral("cut.rtf"));
    SelectValue(2);
    EXPECT_TRUE(Shown().contains(QStringLiteral("deep")));

    // A file that opens but cannot be read is an error, not an empty prompt.
    Slot(4, QStringLiteral("/proc/self/mem"));
    SelectValue(4);
    EXPECT_TRUE(Shown().startsWith(QStringLiteral("Slot 4 (/proc/self/mem): ")));
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty());

    // A huge file shows its beginning only.
    QByteArray huge;
    huge.reserve(3 * 1024 * 1024);
    while (huge.size() < 3 * 1024 * 1024) {
        huge += "la la la la la la la la la la la la la la la la la la la la la la\n";
    }
    Write(QStringLiteral("huge.txt"), huge);
    Slot(3, QStringLiteral("huge.txt"));
    SelectValue(3);
    EXPECT_TRUE(Shown().endsWith(QStringLiteral("[Only the first 2 MB of this file are shown.]")));
    EXPECT_LT(Shown().size(), 2 * 1024 * 1024 + 200);
}

TEST_F(TLyricTest, MissingFilesShowTheirSlotAndReference)
{
    Slot(3, QStringLiteral("C:\\Songs\\intro.txt"));
    SelectValue(3);
    EXPECT_EQ(Shown(), QStringLiteral("3 - C:\\Songs\\intro.txt"));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 3 Item:3"));
    EXPECT_EQ(LyricPage()->ViewKind(), lvRichText);

    // A folder is no file.
    QDir(Folder.path()).mkdir(QStringLiteral("folder.txt"));
    Slot(4, QStringLiteral("folder.txt /PAGE 3"));
    SelectValue(4);
    EXPECT_EQ(Shown(), QStringLiteral("4 - folder.txt"));

    SelectValue(7);
    EXPECT_EQ(Shown(), QStringLiteral("7 - "));
    Find<QCheckBox>("cbSuppressNum")->setChecked(true);
    SelectValue(3);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(TLyricTest, InvalidPageIsSaidOnStageAndTheSlotIsSelected)
{
    Write(QStringLiteral("a.txt"), "A");
    Slot(2, QStringLiteral("a.txt"));
    Slot(8, QStringLiteral("a.txt /PAGE 4 "));
    SelectValue(2);
    ASSERT_EQ(FileGrid()->Row(), 3);
    SelectValue(8);
    EXPECT_TRUE(Dialogs.MessageTexts().isEmpty());
    EXPECT_EQ(Shown(), QStringLiteral("Slot 8 (a.txt /PAGE 4 ): '4 ' is not a valid integer value."));
    EXPECT_EQ(FileGrid()->Row(), 9);
    EXPECT_EQ(CurrentSlot(), 8);
}

TEST_F(TLyricTest, RichTextScrollsByLinesAndPages)
{
    QByteArray text;
    for (int line = 0; line < 400; ++line) {
        text += "line " + QByteArray::number(line) + "\n";
    }
    Write(QStringLiteral("long.txt"), text);
    Slot(9, QStringLiteral("long.txt"));
    SelectValue(9);
    QApplication::processEvents();
    QScrollBar *bar = LyricText()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 3 * bar->pageStep());
    EXPECT_EQ(bar->value(), 0);
    SelectValue(122);
    EXPECT_EQ(bar->value(), bar->singleStep());
    SelectValue(124);
    EXPECT_EQ(bar->value(), bar->singleStep() + bar->pageStep());
    SelectValue(125);
    SelectValue(123);
    EXPECT_EQ(bar->value(), 0);
    // The commands neither reload nor move to another slot.
    EXPECT_EQ(CurrentSlot(), 9);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 123 Item:9 long.txt"));
}

TEST_F(TLyricTest, PdfFilesOpenAtTheirPageAndPageOnCommand)
{
    TPdfViewer *viewer = Find<TPdfViewer>("PdfViewer");
    const QString path = WritePdf(Folder.filePath(QStringLiteral("chart.PDF")), 4);
    Slot(5, QStringLiteral("chart.PDF /PAGE 2"));
    SelectValue(5);
    EXPECT_EQ(LyricPage()->ViewKind(), lvPdf);
    EXPECT_TRUE(viewer->isVisibleTo(Window.get()));
    EXPECT_FALSE(LyricText()->isVisibleTo(Window.get()));
    // Handed over with its full path, not as the bare name the slot holds.
    EXPECT_EQ(viewer->FileName(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 5 Item:5 chart.PDF"));
    EXPECT_EQ(Lines, (QList<bool>{true, false}));
    auto *control = qobject_cast<TPdfDocumentControl *>(viewer->GetDispatch());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->CurrentPage(), 2);

    SelectValue(124);
    EXPECT_EQ(control->CurrentPage(), 3);
    EXPECT_EQ(Window->windowTitle(),
              QStringLiteral("Tarvello v1.4.0 - Midi Patch 124 Item:5 chart.PDF /PAGE 2"));
    SelectValue(123);
    SelectValue(122);
    EXPECT_EQ(control->CurrentPage(), 3);
    SelectValue(125);
    SelectValue(125);
    EXPECT_EQ(control->CurrentPage(), 1);

    // The next slot that is no PDF brings the rich-text view back.
    Slot(6, QStringLiteral("gone.txt"));
    SelectValue(6);
    EXPECT_EQ(LyricPage()->ViewKind(), lvRichText);
    EXPECT_FALSE(viewer->isVisibleTo(Window.get()));
    EXPECT_TRUE(LyricText()->isVisibleTo(Window.get()));
}

// A two-button pedal through a set: Page Dn runs on from the end of a song into
// the next, Page Up back from the top of one to the end of the one before.
TEST_F(TLyricTest, APageTurnerRunsOnIntoTheNextSongWhenAsked)
{
    QByteArray text;
    for (int line = 0; line < 200; ++line) {
        text += "line " + QByteArray::number(line) + "\n";
    }
    Slot(4, Write(QStringLiteral("long.txt"), text));
    Slot(5, WritePdf(Folder.filePath(QStringLiteral("chart.pdf")), 3));
    Slot(6, Write(QStringLiteral("short.txt"), "Fits on the page"));
    Find<QCheckBox>("cbPageTurnerContinues")->setChecked(true);
    SelectValue(4);
    QScrollBar *bar = LyricText()->verticalScrollBar();
    for (int press = 0; press < 50 && bar->value() < bar->maximum(); ++press) {
        SelectValue(124);
    }
    ASSERT_EQ(CurrentSlot(), 4);
    ASSERT_EQ(bar->value(), bar->maximum());
    SelectValue(124);
    EXPECT_EQ(CurrentSlot(), 5);
    EXPECT_EQ(LyricPage()->PdfPage(), 1);
    SelectValue(124);
    SelectValue(124);
    EXPECT_EQ(LyricPage()->PdfPage(), 3);
    SelectValue(124);
    EXPECT_EQ(CurrentSlot(), 6);

    SelectValue(125);
    EXPECT_EQ(CurrentSlot(), 5);
    EXPECT_EQ(LyricPage()->PdfPage(), 3) << "back to the end of the song before";
    SelectValue(125);
    SelectValue(125);
    SelectValue(125);
    EXPECT_EQ(CurrentSlot(), 4);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // Off, Page Dn at the end stays put.
    Find<QCheckBox>("cbPageTurnerContinues")->setChecked(false);
    SelectValue(124);
    EXPECT_EQ(CurrentSlot(), 4);
}

TEST_F(TLyricTest, BrowserTakesPicturesHtmlAndWebAddresses)
{
    TWebBrowserView *browser = Find<TWebBrowserView>("webFileBrowser");
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(Folder.filePath(QStringLiteral("photo.Jpg")), "JPG");
    Write(QStringLiteral("index.htm"),
          "<html><head><title>htm</title></head><body>A</body></html>");
    QByteArray tall = "<html><head><title>html</title></head><body>";
    for (int i = 0; i < 300; ++i) {
        tall += "<p>line " + QByteArray::number(i) + "</p>";
    }
    Write(QStringLiteral("index.html"), tall + "</body></html>");
    Slot(10, QStringLiteral("index.htm"));
    Slot(11, QStringLiteral("photo.Jpg"));
    Slot(12, QStringLiteral("index.html"));
    Slot(13, QStringLiteral("https://example.invalid/score /PAGE 3"));

    EXPECT_FALSE(browser->IsCreated());
    SelectValue(10);
    ASSERT_TRUE(browser->IsCreated());
    QWebEngineView *view = browser->EnsureBrowser();
    EXPECT_EQ(LyricPage()->ViewKind(), lvBrowser);
    EXPECT_TRUE(browser->isVisibleTo(Window.get()));
    EXPECT_FALSE(LyricText()->isVisibleTo(Window.get()));
    EXPECT_TRUE(Loaded(view, QUrl::fromLocalFile(Folder.filePath(QStringLiteral("index.htm"))),
                       QStringLiteral("htm")));

    SelectValue(11);
    EXPECT_EQ(LyricPage()->ViewKind(), lvBrowser);
    EXPECT_TRUE(
        WaitFor([&] { return view->url() == QUrl::fromLocalFile(Folder.filePath("photo.Jpg")); }));

    SelectValue(12);
    ASSERT_TRUE(Loaded(view, QUrl::fromLocalFile(Folder.filePath(QStringLiteral("index.html"))),
                       QStringLiteral("html")));
    const auto scrollY = [view] {
        double y = -1;
        bool done = false;
        view->page()->runJavaScript(QStringLiteral("window.scrollY"), [&](const QVariant &v) {
            y = v.toDouble();
            done = true;
        });
        WaitFor([&] { return done; }, 5000);
        return y;
    };
    EXPECT_EQ(scrollY(), 0.0);
    SelectValue(124);
    EXPECT_TRUE(WaitFor([&] { return scrollY() > 100; }, 5000));
    SelectValue(125);
    EXPECT_TRUE(WaitFor([&] { return scrollY() == 0.0; }, 5000));
    SelectValue(122);
    EXPECT_TRUE(WaitFor([&] { return scrollY() == 40.0; }, 5000));

    // A web address is navigated to as it stands, page suffix removed, with
    // no file check and no reference in the caption.
    SelectValue(13);
    EXPECT_EQ(LyricPage()->ViewKind(), lvBrowser);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Tarvello v1.4.0 - Midi Patch 13 Item:13"));
    EXPECT_TRUE(WaitFor([&] { return view->url().host() == QStringLiteral("example.invalid"); }));
    EXPECT_EQ(view->url().path(), QStringLiteral("/score"));
}

} // namespace
} // namespace tarvello::test
