#include "prompt/PromptReference.h"
#include "prompt/ControllerNames.h"

#include "core/TarvelloError.h"

#include <gtest/gtest.h>

namespace tarvello {
namespace {

QString InvalidPageError(const QString &stored)
{
    try {
        ParsePromptReference(stored);
    } catch (const TError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

TEST(PromptReference, PageSuffixIsFoundInAnyCaseAfterOneSeparator)
{
    TPromptReference plain = ParsePromptReference(QStringLiteral("C:\\Songs\\five.pdf"));
    EXPECT_EQ(plain.Reference, QStringLiteral("C:\\Songs\\five.pdf"));
    EXPECT_EQ(plain.Page, 1);

    TPromptReference upper = ParsePromptReference(QStringLiteral("song.pdf /PAGE 4"));
    EXPECT_EQ(upper.Reference, QStringLiteral("song.pdf"));
    EXPECT_EQ(upper.Page, 4);
    EXPECT_EQ(ParsePromptReference(QStringLiteral("song.pdf /page 4")).Page, 4);
    // The one character after the marker is always skipped.
    TPromptReference glued = ParsePromptReference(QStringLiteral("song.pdf/PAGE123"));
    EXPECT_EQ(glued.Reference, QStringLiteral("song.pdf"));
    EXPECT_EQ(glued.Page, 23);
    EXPECT_EQ(ParsePromptReference(QStringLiteral("  a b.pdf  /Page:   12")).Page, 12);
    EXPECT_EQ(ParsePromptReference(QStringLiteral("  a b.pdf  /Page:   12")).Reference,
              QStringLiteral("a b.pdf"));
    // Web addresses are taken apart the same way.
    TPromptReference web = ParsePromptReference(QStringLiteral("https://example.org/score/page 2"));
    EXPECT_EQ(web.Reference, QStringLiteral("https://example.org/score"));
    EXPECT_EQ(web.Page, 2);
    // Upper-casing "ß" would make the text longer; the number is still found.
    EXPECT_EQ(ParsePromptReference(QStringLiteral("Straße.pdf /PAGE 7")).Page, 7);
}

TEST(PromptReference, PageTextThatIsNoIntegerIsAnError)
{
    EXPECT_EQ(InvalidPageError(QStringLiteral("song.pdf /PAGE 4 ")),
              QStringLiteral("'4 ' is not a valid integer value"));
    EXPECT_EQ(InvalidPageError(QStringLiteral("song.pdf /PAGE")),
              QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(InvalidPageError(QStringLiteral("song.pdf /PAGE ")),
              QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(InvalidPageError(QStringLiteral("song.pdf /PAGE four")),
              QStringLiteral("'four' is not a valid integer value"));
    EXPECT_EQ(InvalidPageError(QStringLiteral("song.pdf /PAGE 99999999999")),
              QStringLiteral("'99999999999' is not a valid integer value"));
    EXPECT_EQ(InvalidPageError(QStringLiteral("/pages/intro.txt")),
              QStringLiteral("'/intro.txt' is not a valid integer value"));
}

TEST(PromptReference, FoldersNamedPageAreNoSuffix)
{
    const auto exists = [](const QString &name) {
        return name == QStringLiteral("/home/band/Pages/page1.txt");
    };
    TPromptReference file =
        ParsePromptReference(QStringLiteral("/home/band/Pages/page1.txt"), exists);
    EXPECT_EQ(file.Reference, QStringLiteral("/home/band/Pages/page1.txt"));
    EXPECT_EQ(file.Page, 1);
    // The last marker is the suffix, whatever folders come before it.
    TPromptReference suffixed =
        ParsePromptReference(QStringLiteral("/home/band/pages/set.pdf /PAGE 3"), exists);
    EXPECT_EQ(suffixed.Reference, QStringLiteral("/home/band/pages/set.pdf"));
    EXPECT_EQ(suffixed.Page, 3);
    // A bad number after a file that does not exist is still an error.
    EXPECT_THROW(ParsePromptReference(QStringLiteral("/home/band/pages/set.pdf /PAGE 3 "), exists),
                 TError);
}

TEST(PromptReference, ViewIsChosenByTheEndOfTheName)
{
    EXPECT_EQ(FileViewForName(QStringLiteral("notes.TXT")), TFileView::RichText);
    EXPECT_EQ(FileViewForName(QStringLiteral("lyrics.rtf")), TFileView::RichText);
    EXPECT_EQ(FileViewForName(QStringLiteral("scan.png")), TFileView::RichText);
    EXPECT_EQ(FileViewForName(QStringLiteral("photo.jpeg")), TFileView::RichText);
    EXPECT_EQ(FileViewForName(QStringLiteral("photo.Jpg")), TFileView::Browser);
    EXPECT_EQ(FileViewForName(QStringLiteral("anim.gif")), TFileView::Browser);
    EXPECT_EQ(FileViewForName(QStringLiteral("old.bmp")), TFileView::Browser);
    EXPECT_EQ(FileViewForName(QStringLiteral("index.htm")), TFileView::Browser);
    EXPECT_EQ(FileViewForName(QStringLiteral("index.html")), TFileView::Browser);
    // No dot is needed: only the last characters count.
    EXPECT_EQ(FileViewForName(QStringLiteral("scorePDF")), TFileView::Pdf);
    EXPECT_EQ(FileViewForName(QStringLiteral("chart.PDF")), TFileView::Pdf);
    EXPECT_TRUE(IsWebAddress(QStringLiteral("http://example.org")));
    EXPECT_TRUE(IsWebAddress(QStringLiteral("file:///tmp/a.html")));
    EXPECT_FALSE(IsWebAddress(QStringLiteral("/tmp/a.html")));
}

TEST(PromptReference, SelectionCaptions)
{
    EXPECT_EQ(SelectionCaption(true, 7, 5), QStringLiteral("Tarvello v1.4.0 - Midi Patch 5"));
    EXPECT_EQ(SelectionCaption(false, 102, 17),
              QStringLiteral("Tarvello v1.4.0 - Midi Controller 102 Value 17"));
    EXPECT_EQ(SelectionCaption(false, -1, 127),
              QStringLiteral("Tarvello v1.4.0 - Midi Controller -1 Value 127"));
    EXPECT_EQ(NumberedLine(QStringLiteral("12"), QString()), QStringLiteral("12 - "));
}

TEST(ControllerNames, OneItemPerControllerNamedOrBare)
{
    const QStringList items = ControllerItems();
    ASSERT_EQ(items.size(), 128);
    EXPECT_EQ(items.at(0), QStringLiteral("0   Bank Select (coarse)"));
    EXPECT_EQ(items.at(3), QStringLiteral("3"));
    EXPECT_EQ(items.at(10), QStringLiteral("10  Pan position (coarse)"));
    EXPECT_EQ(items.at(66), QStringLiteral("66  Sustenuto Pedal (on/off)"));
    EXPECT_EQ(items.at(100), QStringLiteral("100 Registered Parameter (fine)"));
    EXPECT_EQ(items.at(127), QStringLiteral("127 Poly Operation"));
    int bare = 0;
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_TRUE(items.at(i).startsWith(QString::number(i))) << i;
        bare += items.at(i) == QString::number(i);
    }
    EXPECT_EQ(bare, 61);
}

} // namespace
} // namespace tarvello
