#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

// Loads RTF the way the lyric view does: the bytes go to a real file, which is
// read back and handed to the reader.
class RtfReaderTest : public ::testing::Test {
protected:
    QTextDocument &load(const QByteArray &rtf)
    {
        const QString path = Folder.filePath(QStringLiteral("sheet%1.rtf").arg(++Files));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(rtf);
        out.close();
        QFile in(path);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        ReadRtf(in.readAll(), Document);
        return Document;
    }

    QString text() const { return Document.toPlainText(); }

    QStringList blocks() const
    {
        QStringList result;
        for (QTextBlock block = Document.begin(); block.isValid(); block = block.next())
            result.append(block.text());
        return result;
    }

    // The format of the first character of the first place that shows `word`.
    QTextCharFormat formatOf(const QString &word)
    {
        const QTextCursor found = Document.find(word, 0, QTextDocument::FindCaseSensitively);
        EXPECT_FALSE(found.isNull()) << word.toStdString() << " is not in the document";
        QTextCursor at(&Document);
        at.setPosition(found.selectionStart() + 1);
        return at.charFormat();
    }

    QTextBlockFormat blockFormatOf(const QString &word) const
    {
        return Document.find(word).blockFormat();
    }

    QTemporaryDir Folder;
    QTextDocument Document;
    int Files = 0;
};

QByteArray Hex(const QByteArray &bytes)
{
    return bytes.toHex();
}

QByteArray ImageBytes(const char *format, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(RtfDetectionTest, RecognisesRtfAfterBlanksAndByteOrderMark)
{
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi hello}"));
    EXPECT_TRUE(LooksLikeRtf("  \r\n\t{\\rtf1}"));
    EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF{\\rtf1}"));
    EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF \n{\\rtf"));
    EXPECT_FALSE(LooksLikeRtf(""));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf("Verse 1\n{\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("{ \\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("{\\RTF1}"));
    EXPECT_FALSE(LooksLikeRtf(QByteArray("\0{\\rtf1}", 8)));
}

TEST_F(RtfReaderTest, DecodesEscapesThroughTheCodePageOfTheFontInUse)
{
    load("{\\rtf1\\ansi caf\\'e9 \\'93quoted\\'94}");
    EXPECT_EQ(text(), QString::fromUtf8("café “quoted”"));

    load("{\\rtf1\\ansi\\ansicpg1250 \\'b9\\'ea}");
    EXPECT_EQ(text(), QString::fromUtf8("ąę"));

    load("{\\rtf1\\pc \\'f1\\'f2\\'f3}");
    EXPECT_EQ(text(), QString::fromUtf8("±≥≤"));

    // The font's charset wins over the document's code page, and switching
    // fonts mid-word switches code pages.
    load("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial "
         "Cyr;}{\\f2\\fcharset128 MS Mincho;}}\\f0 \\'e0\\f1 \\'e0\\f2 \\'82\\'a0\\f0 .}");
    EXPECT_EQ(text(), QString::fromUtf8("àаあ."));

    // Text without \f decodes with the default font's charset.
    load("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset238 Arial CE;}}\\'b9}");
    EXPECT_EQ(text(), QString::fromUtf8("ą"));

    // Symbol fonts hold glyphs, not letters: their bullet is a bullet.
    load("{\\rtf1{\\fonttbl{\\f3 Symbol;}}{\\f3 \\'b7}\\tab Item}");
    EXPECT_EQ(text(), QString::fromUtf8("•\tItem"));
}

TEST_F(RtfReaderTest, ReadsUnicodeEscapesAndSkipsTheirFallbacks)
{
    load("{\\rtf1\\ansi \\u8216\\'93hi\\u8217?\\u-3913?\\u945a}");
    EXPECT_EQ(text(), QString::fromUtf8("‘hi’") + QChar(0xF0B7) + QString::fromUtf8("α"));

    load("{\\rtf1 {\\uc2\\u228\\'e8a}b\\uc0\\u233 c}");
    EXPECT_EQ(text(), QString::fromUtf8("äbéc"));

    // A fallback never reaches past the end of its group.
    load("{\\rtf1 {\\uc3\\u228 x}yz}");
    EXPECT_EQ(text(), QString::fromUtf8("äyz"));

    // Characters outside the basic plane come as two escapes.
    load("{\\rtf1\\uc1 \\u-10179?\\u-9047? \\u9731?}");
    EXPECT_EQ(text(), QString::fromUtf8("💩 ☃"));

    load("{\\rtf1 a\\~b\\-c\\_d\\emdash e\\endash f\\{\\}\\\\\\bullet\\ldblquote q\\rdblquote}");
    // Raw block text: plain text export would turn the no-break space into a blank.
    EXPECT_EQ(Document.begin().text(), QString::fromUtf8("a\u00A0b\u00ADc\u2011d—e–f{}\\•“q”"));

    // \upr carries ANSI text and its Unicode twin: only the twin shows.
    load("{\\rtf1 {\\upr{ansi ?}{\\*\\ud{\\u8364?}}}}");
    EXPECT_EQ(text(), QString::fromUtf8("€"));
}

TEST_F(RtfReaderTest, AppliesCharacterFormattingPerGroup)
{
    load("{\\rtf1{\\fonttbl{\\f0\\froman Times;}{\\f1\\fmodern Courier;}}"
         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
         "plain {\\b bold {\\i both}} {\\ul under\\ulnone  gone} {\\strike struck} "
         "\\b heavy\\b0  light {\\f1\\fs40 big} {\\cf1\\highlight2 red} {\\cf0 auto} "
         "{\\super up}{\\sub down} {\\b\\i\\plain reset} {\\v hidden}shown {\\scaps sc}}");

    EXPECT_EQ(text(),
              QStringLiteral("plain bold both under gone struck heavy light big red auto updown "
                             "reset shown sc"));
    EXPECT_EQ(formatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatOf("bold").fontItalic());
    EXPECT_EQ(formatOf("both").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf("both").fontItalic());
    EXPECT_TRUE(formatOf("under").fontUnderline());
    EXPECT_FALSE(formatOf("gone").fontUnderline());
    EXPECT_TRUE(formatOf("struck").fontStrikeOut());
    EXPECT_EQ(formatOf("heavy").fontWeight(), QFont::Bold);
    EXPECT_NE(formatOf("light").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf("big").fontFamilies().toStringList(), QStringList{"Courier"});
    EXPECT_EQ(formatOf("big").fontStyleHint(), QFont::TypeWriter);
    EXPECT_DOUBLE_EQ(formatOf("big").fontPointSize(), 20.0);
    EXPECT_EQ(formatOf("red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf("red").background().color(), QColor(0, 0, 255));
    // The colour table's empty first entry is "auto": the view's own colour.
    EXPECT_FALSE(formatOf("auto").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf("up").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatOf("down").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_NE(formatOf("reset").fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatOf("reset").fontItalic());
    EXPECT_EQ(formatOf("sc").fontCapitalization(), QFont::SmallCaps);

    // Text the file leaves unstyled takes the view's font.
    const QTextCharFormat plain = formatOf("plain");
    EXPECT_FALSE(plain.hasProperty(QTextFormat::FontFamilies));
    EXPECT_FALSE(plain.hasProperty(QTextFormat::FontPointSize));
    EXPECT_FALSE(plain.hasProperty(QTextFormat::FontWeight));

    // \cf0 is the table's first colour when it has one; \highlight0 never highlights.
    load("{\\rtf1{\\colortbl\\red9\\green9\\blue9;}{\\cf0\\highlight0 dark}}");
    EXPECT_EQ(formatOf("dark").foreground().color(), QColor(9, 9, 9));
    EXPECT_FALSE(formatOf("dark").hasProperty(QTextFormat::BackgroundBrush));
}

TEST_F(RtfReaderTest, BuildsParagraphsWithBreaksTabsAndProperties)
{
    load("{\\rtf1\\pard\\qc Chorus\\par\\pard\\li720\\ri360\\fi-360\\sb120\\sa240 Verse one\\line "
         "next line\\tab end\\par\\par\\pard\\qr right\\par\\pard\\qj just\\par}");
    EXPECT_EQ(blocks(), (QStringList{"Chorus", QString::fromUtf8("Verse one\u2028next line\tend"),
                                     "", "right", "just"}));
    EXPECT_EQ(blockFormatOf("Chorus").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlockFormat verse = blockFormatOf("Verse");
    EXPECT_DOUBLE_EQ(verse.leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(verse.rightMargin(), 24.0);
    EXPECT_DOUBLE_EQ(verse.textIndent(), -24.0);
    EXPECT_DOUBLE_EQ(verse.topMargin(), 8.0);
    EXPECT_DOUBLE_EQ(verse.bottomMargin(), 16.0);
    EXPECT_EQ(blockFormatOf("right").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(blockFormatOf("just").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);

    // Properties set late in a paragraph hold for all of it; \pard resets them.
    load("{\\rtf1 first \\qc half\\par second\\par\\pard third}");
    EXPECT_EQ(blockFormatOf("first").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(blockFormatOf("second").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(blockFormatOf("third").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    // Tab stops line chords up over the words.
    load("{\\rtf1\\pard\\tx720\\tqr\\tx4320 Am\\tab G\\par\\pard plain\\par}");
    const QList<QTextOption::Tab> tabs = blockFormatOf("Am").tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 48.0);
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, 288.0);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
    EXPECT_TRUE(blockFormatOf("plain").tabPositions().isEmpty());

    // A backslash before a line end is a paragraph mark; blanks at line starts stay.
    load("{\\rtf1\\ansi\n  ONE\\\n  TWO\\\r\n}");
    EXPECT_EQ(blocks(), (QStringList{"  ONE", "  TWO"}));

    // Line ends in the file are not text, and an empty paragraph keeps its size.
    load("{\\rtf1 a\r\nb\\par{\\fs48\\par}c}");
    EXPECT_EQ(blocks(), (QStringList{"ab", "", "c"}));
    EXPECT_DOUBLE_EQ(Document.findBlockByNumber(1).charFormat().fontPointSize(), 24.0);
}

TEST_F(RtfReaderTest, SkipsDestinationsThatAreNotStageText)
{
    load("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1{\\*\\panose 0}Times;}}"
         "{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title Secret title}{\\author Someone}}{\\header Page header}"
         "{\\footer Page footer}{\\*\\generator Writer 1.0;}{\\*\\unknownthing hidden}"
         "{\\*\\listtable{\\list{\\listlevel x}}}Verse\\footnote{\\footnote A note} "
         "{\\*\\bkmkstart b1}marked{\\*\\bkmkend b1} {\\nonshppict{\\pict\\wmetafile8 0102}}"
         " \\unknownword42 known \\*\\alone end}");
    EXPECT_EQ(text(), QStringLiteral("Verse marked  known end"));
    EXPECT_EQ(formatOf("Verse").fontFamilies().toStringList(), QStringList());
}

TEST_F(RtfReaderTest, KeepsListNumbersWrittenForReadersWithoutLists)
{
    // Word writes each list item's number or bullet as plain text beside the list
    // definitions, for readers like this one that do not number lists themselves.
    load("{\\rtf1{\\fonttbl{\\f3\\fcharset2 Symbol;}}{\\*\\listtable{\\list x}}"
         "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb \\'b7}}{\\pntext\\f3 \\'b7\\tab}One\\par"
         "{\\listtext 2.\\tab}Two\\par}");
    EXPECT_EQ(blocks(), (QStringList{QString::fromUtf8("•\tOne"), QStringLiteral("2.\tTwo")}));
}

TEST_F(RtfReaderTest, ShowsHyperlinksAsTheirText)
{
    load("{\\rtf1 See {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/set\" \\\\o \"tip\"}}"
         "{\\fldrslt{\\ul\\cf1 the set list}}} and {\\field{\\*\\fldinst { HYPERLINK \\\\l "
         "\"coda\" }}{\\fldrslt{the coda}}} and {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}.}");
    EXPECT_EQ(text(), QStringLiteral("See the set list and the coda and 3."));
    EXPECT_TRUE(formatOf("set list").isAnchor());
    EXPECT_EQ(formatOf("set list").anchorHref(), QStringLiteral("https://example.org/set"));
    EXPECT_TRUE(formatOf("set list").fontUnderline());
    EXPECT_EQ(formatOf("coda").anchorHref(), QStringLiteral("#coda"));
    EXPECT_FALSE(formatOf(" and").isAnchor());
    EXPECT_FALSE(formatOf("3").isAnchor());
}

TEST_F(RtfReaderTest, ReadsTablesAsRowsOfCells)
{
    load("{\\rtf1 Set list\\par\\trowd\\cellx2000\\cellx6000\\pard\\intbl Song\\cell\\pard"
         "\\intbl Key\\cell\\row\\trowd\\cellx2000\\cellx6000\\pard\\intbl Intro\\par "
         "riff\\cell\\pard\\intbl {\\b E}\\cell\\row\\pard After\\par}");
    QTextCursor cursor(&Document);
    cursor.movePosition(QTextCursor::NextBlock);
    QTextTable *table = cursor.currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    const auto cellText = [&](int row, int column) {
        QTextCursor c = table->cellAt(row, column).firstCursorPosition();
        c.setPosition(table->cellAt(row, column).lastCursorPosition().position(),
                      QTextCursor::KeepAnchor);
        return c.selectedText();
    };
    EXPECT_EQ(cellText(0, 0), QStringLiteral("Song"));
    EXPECT_EQ(cellText(0, 1), QStringLiteral("Key"));
    EXPECT_EQ(cellText(1, 0), QString(QStringLiteral("Intro") + QChar::ParagraphSeparator +
                                      QStringLiteral("riff")));
    EXPECT_EQ(cellText(1, 1), QStringLiteral("E"));
    EXPECT_EQ(formatOf("E").fontWeight(), QFont::Bold);
    EXPECT_EQ(blocks().first(), QStringLiteral("Set list"));
    EXPECT_EQ(blocks().last(), QStringLiteral("After"));
    EXPECT_EQ(Document.find("After").currentTable(), nullptr);

    // More cells than boundaries: the row grows instead of losing text.
    load("{\\rtf1\\trowd\\cellx9000\\pard\\intbl A\\cell\\pard\\intbl B\\cell\\pard\\intbl C"
         "\\cell\\row}");
    table = Document.find("A").currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(Document.find("C").currentTable(), table);

    // A table inside a cell is laid out inside that cell; its fallback text is not.
    load("{\\rtf1\\trowd\\cellx5000\\pard\\intbl\\itap2 X\\nestcell Y\\nestcell"
         "{\\*\\nesttableprops\\trowd\\cellx2000\\cellx4000\\nestrow}{\\nonesttables X Y\\par}"
         "\\pard\\intbl\\itap1 Outer\\cell\\row\\pard After\\par}");
    table = Document.find("Outer").currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 1);
    EXPECT_EQ(table->columns(), 1);
    EXPECT_EQ(Document.find("X").currentTable(), table);
    EXPECT_TRUE(text().contains(QStringLiteral("X\tY")));
    EXPECT_EQ(text().count(QLatin1Char('X')), 1);
}

TEST_F(RtfReaderTest, EmbedsPngAndJpegPicturesAtTheirGoalSize)
{
    const QByteArray png = ImageBytes("PNG", QSize(40, 20));
    const QByteArray jpeg = ImageBytes("JPG", QSize(30, 30));
    QByteArray hexLines = Hex(png);
    for (qsizetype i = 64; i < hexLines.size(); i += 65)
        hexLines.insert(i, "\r\n");
    load("{\\rtf1 before {\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600\n" + hexLines +
         "} middle {\\*\\shppict{\\pict\\jpegblip\\picscalex50\\picscaley200\\bin" +
         QByteArray::number(jpeg.size()) + " " + jpeg +
         "}}{\\nonshppict{\\pict\\wmetafile8 00}}"
         " after}");
    EXPECT_EQ(text().remove(QChar::ObjectReplacementCharacter),
              QStringLiteral("before  middle  after"));

    std::vector<QTextImageFormat> images;
    for (QTextBlock::iterator it = Document.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            images.push_back(it.fragment().charFormat().toImageFormat());
    }
    ASSERT_EQ(images.size(), 2u);
    EXPECT_DOUBLE_EQ(images[0].width(), 80.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 40.0);
    EXPECT_DOUBLE_EQ(images[1].width(), 15.0);
    EXPECT_DOUBLE_EQ(images[1].height(), 60.0);
    const QImage first =
        Document.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    EXPECT_EQ(first.size(), QSize(40, 20));
    EXPECT_EQ(QColor(first.pixel(5, 5)), QColor(Qt::red));
    const QImage second =
        Document.resource(QTextDocument::ImageResource, QUrl(images[1].name())).value<QImage>();
    EXPECT_EQ(second.size(), QSize(30, 30));

    // A picture cut short or damaged is left out; the text around it stays.
    load("{\\rtf1 one {\\pict\\pngblip " + Hex(png.left(png.size() / 3)) +
         "} two {\\pict"
         "\\jpegblip zz0g} three {\\pict\\pngblip " +
         Hex(png).left(201) + "}}");
    EXPECT_EQ(text().remove(QChar::ObjectReplacementCharacter), QStringLiteral("one  two  three "));
}

TEST_F(RtfReaderTest, ReplacesTheDocumentAndKeepsItsSettings)
{
    Document.setUndoRedoEnabled(true);
    QFont stage(QStringLiteral("DejaVu Sans"), 40);
    Document.setDefaultFont(stage);
    load("{\\rtf1 first sheet\\par more}");
    load("{\\rtf1 second}");
    EXPECT_EQ(text(), QStringLiteral("second"));
    EXPECT_EQ(Document.blockCount(), 1);
    EXPECT_TRUE(Document.isUndoRedoEnabled());
    EXPECT_FALSE(Document.isUndoAvailable());
    EXPECT_EQ(Document.defaultFont(), stage);
}

TEST_F(RtfReaderTest, SurvivesMalformedStructure)
{
    // A closing brace too many does not end the sheet early.
    load("{\\rtf1 one}} two {\\b three}");
    EXPECT_EQ(text(), QStringLiteral("one two three"));

    // Groups never closed: the text is all there.
    load("{\\rtf1 {\\b open {\\i deeper");
    EXPECT_EQ(text(), QStringLiteral("open deeper"));

    // Nesting far beyond any real file.
    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + " end}";
    load(deep);
    EXPECT_EQ(text(), QStringLiteral("startdeep end"));

    // A hostile 10,000-letter word, a number too long for any integer, a \bin
    // counting past the end of the file and a broken \' escape.
    load("{\\rtf1\\" + QByteArray(10000, 'A') +
         "1 hello \\fs99999999999999999999 big "
         "\\'zzbroken\\'4}");
    EXPECT_EQ(text(), QStringLiteral("hello big zzbroken4"));
    load("{\\rtf1 before\\bin999999999 raw{}\\bytes");
    EXPECT_EQ(text(), QStringLiteral("before"));

    // Padding after the last brace is not text, but real text is kept.
    load(QByteArray("{\\rtf1 body}\r\n \0\0", 18));
    EXPECT_EQ(text(), QStringLiteral("body"));
    load("");
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(Document.blockCount(), 1);
}

} // namespace
} // namespace tarvello
