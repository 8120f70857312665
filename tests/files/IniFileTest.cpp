#include "files/IniFile.h"
#include "core/TarvelloError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <sys/resource.h>

namespace tarvello {

namespace testfiles {
// Shared with the text file tests (TextFileTest.cpp).
bool WriteProtect(const QString &path);
void LiftWriteProtection(const QString &path);
QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);
QString ErrorOf(const std::function<void()> &action);
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    rlimit Saved{};
    void (*PreviousHandler)(int) = nullptr;
};
} // namespace testfiles

namespace {

using testfiles::ErrorOf;
using testfiles::ReadBytes;
using testfiles::WriteBytes;

class IniFileTest : public ::testing::Test {
protected:
    QString Path() const { return Dir.filePath("Tarvello.INI"); }
    QTemporaryDir Dir;
};

TEST_F(IniFileTest, ReadsByTheProfileRules)
{
    WriteBytes(Path(), "\xEF\xBB\xBF"
                       "[MidiDevices]\r\n"
                       "  Input =  In A  \r\n"
                       "Output=\"  Out B  \"\r"
                       "Channel='7'\n"
                       "; Controller=5\r\n"
                       "Controller\r\n"
                       "Empty=\r\n"
                       "Odd=\"half\r\n"
                       "Mixed=\"a'\r\n"
                       "[ Font ]\r\n"
                       "Name=Arial=Bold\r\n"
                       "name=second wins nothing\r\n"
                       "[mididevices]\r\n"
                       "Later=ignored: the first of duplicate sections wins\r\n");
    const TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("MIDIDEVICES", "input", "-"), "In A");
    EXPECT_EQ(ini.ReadString("MidiDevices", "Output", "-"), "  Out B  ");
    EXPECT_EQ(ini.ReadString("MidiDevices", "Channel", "-"), "7");
    EXPECT_EQ(ini.ReadString("MidiDevices", "Controller", "102"), "102")
        << "neither a comment nor a line without '=' is a key";
    EXPECT_TRUE(ini.ValueExists("MidiDevices", "Empty"));
    EXPECT_EQ(ini.ReadString("MidiDevices", "Empty", "-"), "");
    EXPECT_EQ(ini.ReadString("MidiDevices", "Odd", "-"), "\"half");
    EXPECT_EQ(ini.ReadString("MidiDevices", "Mixed", "-"), "\"a'");
    EXPECT_EQ(ini.ReadString("font", "NAME", "-"), "Arial=Bold");
    EXPECT_FALSE(ini.ValueExists("MidiDevices", "Later"));
    EXPECT_FALSE(ini.SectionExists("Screen"));
    EXPECT_EQ(ini.ReadString("Screen", "Top", "default"), "default");

    EXPECT_EQ(TIniFile(Dir.filePath("absent.INI")).ReadInteger("Screen", "Top", 203), 203);
}

TEST_F(IniFileTest, IntegersAndBooleansInDecimalAndBothHexForms)
{
    EXPECT_EQ(ParseProfileInteger(u"102"), 102);
    EXPECT_EQ(ParseProfileInteger(u"-32"), -32);
    EXPECT_EQ(ParseProfileInteger(u"+5"), 5);
    EXPECT_EQ(ParseProfileInteger(u"$FF"), 255);
    EXPECT_EQ(ParseProfileInteger(u"0xff"), 255);
    EXPECT_EQ(ParseProfileInteger(u"0X0FFFFFFF"), 268435455);
    EXPECT_EQ(ParseProfileInteger(u"$FFFFFFFF"), -1);
    EXPECT_EQ(ParseProfileInteger(u"-$10"), -16);
    EXPECT_EQ(ParseProfileInteger(u"-2147483648"), std::numeric_limits<int>::min());
    for (const char16_t *bad : {u"", u"red", u"$", u"0x", u"12a", u"1 2", u"2147483648",
                                u"$100000000", u"-", u"0x-1", u"yes"}) {
        EXPECT_EQ(ParseProfileInteger(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
    }

    WriteBytes(Path(), "[Display]\nColour= $FF \nLyricColour=red\n"
                       "[Setting]\nMidiThru=2\nMidiOut=yes\nTouchPad=0\nSuppressNumber=0x1\n");
    const TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Display", "Colour", 13564364), 255);
    EXPECT_EQ(ini.ReadInteger("Display", "LyricColour", 8454143), 8454143);
    EXPECT_TRUE(ini.ReadBool("Setting", "MidiThru", false));
    EXPECT_FALSE(ini.ReadBool("Setting", "Midiout", false));
    EXPECT_FALSE(ini.ReadBool("Setting", "TouchPad", true));
    EXPECT_TRUE(ini.ReadBool("Setting", "SuppressNumber", false));
    EXPECT_TRUE(ini.ReadBool("Setting", "PdfScrollbar", true));
}

TEST_F(IniFileTest, NewFileLayoutIsExact)
{
    TIniFile app(Dir.filePath("app.INI"));
    app.WriteString("App", "key", "");
    app.UpdateFile();
    EXPECT_EQ(ReadBytes(app.FileName()), QByteArray("[App]\r\nkey=\r\n"));

    TIniFile ini(Path());
    ini.WriteString("MidiDevices", "Input", "In A");
    ini.WriteString("MidiDevices", "Channel", "1");
    ini.WriteInteger("MidiDevices", "Controller", 102);
    ini.WriteInteger("Display", "Colour", 13564364);
    ini.WriteInteger("Font", "Height", -32);
    ini.WriteBool("Setting", "MidiThru", true);
    ini.WriteBool("Setting", "MidiOut", false);
    // Sections keep the order in which they were first written.
    ini.WriteInteger("Display", "LyricColour", 8454143);
    EXPECT_FALSE(QFile::exists(Path())) << "nothing is stored before UpdateFile";
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[MidiDevices]\r\nInput=In A\r\nChannel=1\r\n"
                                            "Controller=102\r\n[Display]\r\nColour=13564364\r\n"
                                            "LyricColour=8454143\r\n[Font]\r\nHeight=-32\r\n"
                                            "[Setting]\r\nMidiThru=1\r\nMidiOut=0\r\n"));
}

TEST_F(IniFileTest, AWrittenKeyReplacesOnlyItsOwnLine)
{
    const QByteArray before = "; Tarvello settings, edited by hand\r\n"
                              "[Setting]\r\n"
                              "  Midiout = 0\r\n"
                              "DisplayType=1\r\n"
                              "\r\n"
                              "; the slots\r\n"
                              "[Lines]\r\n"
                              "Text 1=  \"Intro\"  \r\n"
                              "Text 1=duplicate, never read\r\n"
                              "junk line\r\n";
    WriteBytes(Path(), before);
    TIniFile ini(Path());
    EXPECT_FALSE(ini.ReadBool("Setting", "MidiOut", true));
    ini.WriteBool("Setting", "MidiOut", true);
    ini.WriteString("Setting", "MidiThru", "1");
    ini.WriteString("Lines", "Text 1", "Intro");
    ini.WriteString("Lines", "Text 2", "Verse");
    ini.WriteString("Files", "Names 1", "a.pdf");
    EXPECT_EQ(ini.ReadString("Lines", "Text 2", "-"), "Verse") << "pending writes are read";
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), QByteArray("; Tarvello settings, edited by hand\r\n"
                                            "[Setting]\r\n"
                                            "MidiOut=1\r\n"
                                            "DisplayType=1\r\n"
                                            "MidiThru=1\r\n"
                                            "\r\n"
                                            "; the slots\r\n"
                                            "[Lines]\r\n"
                                            "Text 1=Intro\r\n"
                                            "Text 1=duplicate, never read\r\n"
                                            "Text 2=Verse\r\n"
                                            "junk line\r\n"
                                            "[Files]\r\n"
                                            "Names 1=a.pdf\r\n"));
}

TEST_F(IniFileTest, EveryValueComesBackExactly)
{
    const QStringList values{
        QString(3000, QLatin1Char('x')) + QStringLiteral("end"),
        "   three blanks first",
        "trailing blanks   ",
        "\tTab",
        "\"quoted\"",
        "'single'",
        "\"",
        "'",
        "\"\"",
        "\"open only",
        "=starts with equals",
        "; not a comment",
        "[not a section]",
        u"Ünïcødé ♪ – “quotes”"_qs,
        "",
    };
    {
        TIniFile ini(Path());
        for (int i = 0; i < values.size(); ++i) {
            ini.WriteString("Lines", QStringLiteral("Text %1").arg(i + 1), values[i]);
        }
        ini.UpdateFile();
    }
    const TIniFile ini(Path());
    for (int i = 0; i < values.size(); ++i) {
        EXPECT_EQ(ini.ReadString("Lines", QStringLiteral("Text %1").arg(i + 1), "-"), values[i]);
    }
    // Plain values stay plain, so other readers of the file see them as before.
    EXPECT_TRUE(ReadBytes(Path()).contains("\r\nText 11==starts with equals\r\n"));
    EXPECT_TRUE(ReadBytes(Path()).contains("\r\nText 2=\"   three blanks first\"\r\n"));
}

TEST_F(IniFileTest, ALineBreakInAValueCannotForgeKeysOrSections)
{
    {
        TIniFile ini(Path());
        ini.WriteString("Lines", "Text 1", "Song\r\n[MidiDevices]\nInput=evil\rx");
        ini.WriteString("Lines", "Text 2", "next");
        ini.UpdateFile();
    }
    const TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("Lines", "Text 1", "-"), "Song [MidiDevices] Input=evil x");
    EXPECT_EQ(ini.ReadString("Lines", "Text 2", "-"), "next");
    EXPECT_FALSE(ini.SectionExists("MidiDevices"));
    EXPECT_THROW(TIniFile(Path()).WriteString("Lines", "Text=1", "x"), TError);
    EXPECT_THROW(TIniFile(Path()).WriteString("Li]nes", "Text 1", "x"), TError);
}

TEST_F(IniFileTest, Windows1252FileIsReadAndRewrittenAsUtf8)
{
    WriteBytes(Path(), "[Lines]\r\nText 1=Caf\xE9 \x93Live\x94\r\n");
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadString("Lines", "Text 1", "-"), u"Café “Live”"_qs);
    ini.WriteString("Lines", "Text 2", u"Ü"_qs);
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()),
              QByteArray("[Lines]\r\nText 1=Caf\xC3\xA9 \xE2\x80\x9CLive\xE2\x80\x9D\r\n"
                         "Text 2=\xC3\x9C\r\n"));

    // Saved as UTF-8 with a mark by an editor, then one line typed on Windows:
    // the other lines keep their UTF-8 and the mark does not end up in a name.
    WriteBytes(Path(), "\xEF\xBB\xBF[Lines]\r\nText 1=\xC3\x9C"
                       "ber\r\nText 2=Caf\xE9\r\n");
    TIniFile edited(Path());
    EXPECT_EQ(edited.ReadString("Lines", "Text 1", "-"), u"Über"_qs);
    EXPECT_EQ(edited.ReadString("Lines", "Text 2", "-"), u"Café"_qs);
    edited.WriteString("Lines", "Text 3", "new");
    edited.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), QByteArray("[Lines]\r\nText 1=\xC3\x9C"
                                            "ber\r\nText 2=Caf\xC3\xA9\r\nText 3=new\r\n"));
}

TEST_F(IniFileTest, FollowsTheFileOnDiskWhileNothingIsPending)
{
    TIniFile ini(Path());
    ini.WriteString("Setting", "MidiThru", "1");
    ini.UpdateFile();
    // Someone edits the file while the program runs; the next save merges into it.
    WriteBytes(Path(), "[Setting]\r\nMidiThru=1\r\nDisplayType=1\r\n[Extra]\r\nMine=kept\r\n");
    EXPECT_EQ(ini.ReadInteger("Setting", "DisplayType", 0), 1);
    ini.WriteString("Setting", "MidiThru", "0");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()),
              "[Setting]\r\nMidiThru=0\r\nDisplayType=1\r\n[Extra]\r\nMine=kept\r\n");
}

TEST_F(IniFileTest, AStartingPointIsReadUntilTheFileIsSavedAndNeverWritten)
{
    const QString show = Dir.filePath("installed.INI");
    const QByteArray installed = "; the band's show\r\n[Lines]\r\nText 1=Opening number\r\n";
    WriteBytes(show, installed);
    TIniFile ini(Path(), show);
    EXPECT_EQ(ini.ReadString("Lines", "Text 1", "-"), "Opening number");
    ini.WriteString("Lines", "Text 2", "Encore");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), installed + "Text 2=Encore\r\n") << "kept whole, comment too";
    EXPECT_EQ(ReadBytes(show), installed);
    // Once saved the file is the user's own, whatever the starting point says.
    WriteBytes(show, "[Lines]\r\nText 1=Changed\r\n");
    EXPECT_EQ(TIniFile(Path(), show).ReadString("Lines", "Text 1", "-"), "Opening number");

    // One that cannot be read (here a folder) starts afresh and saves all the same.
    QFile::remove(Path());
    TIniFile fresh(Path(), Dir.path());
    EXPECT_EQ(fresh.ReadString("Lines", "Text 1", "-"), "-");
    fresh.WriteString("Lines", "Text 1", "Mine");
    fresh.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), "[Lines]\r\nText 1=Mine\r\n");
}

TEST_F(IniFileTest, AFailedSaveReportsThePathAndKeepsTheOldFileAndThePendingWrites)
{
    const QString folder = Dir.filePath("program");
    QDir(Dir.path()).mkdir("program");
    const QString path = QDir(folder).filePath("Tarvello.INI");
    WriteBytes(path, "[Lines]\r\nText 1=old\r\n");
    TIniFile ini(path);
    ini.WriteString("Lines", "Text 1", "new");
    if (!testfiles::WriteProtect(folder)) {
        testfiles::LiftWriteProtection(folder);
        GTEST_SKIP() << "this file system cannot write-protect a folder";
    }
    const QString error = ErrorOf([&] { ini.UpdateFile(); });
    testfiles::LiftWriteProtection(folder);
    EXPECT_EQ(error, "Unable to write to " + path);
    EXPECT_EQ(ReadBytes(path), "[Lines]\r\nText 1=old\r\n");
    EXPECT_TRUE(ini.Modified());
    ini.UpdateFile();
    EXPECT_EQ(TIniFile(path).ReadString("Lines", "Text 1", "-"), "new");
}

TEST_F(IniFileTest, ASaveCutShortLeavesTheOldFileWhole)
{
    WriteBytes(Path(), "[Lines]\r\nText 1=the old show\r\n");
    TIniFile ini(Path());
    for (int n = 1; n <= 123; ++n) {
        ini.WriteString("Lines", QStringLiteral("Text %1").arg(n), QString(100, QLatin1Char('y')));
    }
    QString error;
    {
        testfiles::TFileSizeLimit limit(2048);
        error = ErrorOf([&] { ini.UpdateFile(); });
    }
    EXPECT_EQ(error, "Unable to write to " + Path());
    EXPECT_EQ(ReadBytes(Path()), "[Lines]\r\nText 1=the old show\r\n");
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"Tarvello.INI"});
}

// Any bytes read as some settings file; writing one key then changes that key
// only, and all 123 slots of both tables can always be read.
TEST_F(IniFileTest, RandomFilesNeverBreakReadingOrWriting)
{
    static const QByteArray pieces[] = {"[",       "]",
                                        "=",       "\r",
                                        "\n",      "\r\n",
                                        ";",       "\"",
                                        "'",       " ",
                                        "\t",      "\x1A",
                                        "\xFF",    "\xC3",
                                        "\xE9",    "$",
                                        "0x",      "Lines",
                                        "Files",   "Text 7",
                                        "Names 7", "[Lines]",
                                        "[Files]", "Text 7=",
                                        "7",       QByteArray(1, '\0')};
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        const int count = std::uniform_int_distribution(0, 200)(random);
        for (int i = 0; i < count; ++i) {
            if (random() % 3 == 0) {
                bytes.append(static_cast<char>(random() % 256));
            } else {
                bytes.append(pieces[random() % std::size(pieces)]);
            }
        }
        WriteBytes(Path(), bytes);
        const QString where = QStringLiteral("round %1").arg(round);

        TIniFile ini(Path());
        QStringList before;
        for (int n = 1; n <= 123; ++n) {
            before << ini.ReadString("Lines", QStringLiteral("Text %1").arg(n), QString());
            before << ini.ReadString("Files", QStringLiteral("Names %1").arg(n), QString());
            ini.ReadInteger("Lines", QStringLiteral("Text %1").arg(n), 0);
        }
        ASSERT_EQ(before.size(), 246) << where.toStdString();

        ini.WriteString("Lines", "Text 7", "written");
        ini.UpdateFile();
        const TIniFile reread(Path());
        for (int n = 1; n <= 123; ++n) {
            const QString lines = reread.ReadString("Lines", QStringLiteral("Text %1").arg(n), {});
            const QString files = reread.ReadString("Files", QStringLiteral("Names %1").arg(n), {});
            EXPECT_EQ(lines, n == 7 ? QStringLiteral("written") : before[2 * (n - 1)])
                << where.toStdString() << " Text " << n;
            EXPECT_EQ(files, before[2 * (n - 1) + 1]) << where.toStdString() << " Names " << n;
        }
    }
}

} // namespace
} // namespace tarvello
