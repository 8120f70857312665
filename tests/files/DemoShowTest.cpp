// The demo show under demo/ is what a newcomer sees first: these tests keep its
// files consistent with each other and with the formats the program reads.

#include "core/SlotTypes.h"
#include "files/IniFile.h"
#include "files/MidiStringsFile.h"
#include "files/TextFile.h"
#include "midi/MidiString.h"
#include "rtf/RtfReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPdfDocument>
#include <QRect>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace tarvello {

namespace {

QDir DemoDir()
{
    return QDir(QStringLiteral(TARVELLO_SOURCE_DIR "/demo"));
}

QByteArray DemoBytes(const QString &name)
{
    QFile file(DemoDir().filePath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString() << " is missing";
    return file.readAll();
}

// Every line ends in CR LF, the last one included, and there is no lone CR or LF.
::testing::AssertionResult HasCrLfLines(const QByteArray &bytes)
{
    if (bytes.isEmpty() || !bytes.endsWith("\r\n")) {
        return ::testing::AssertionFailure() << "does not end with CR LF";
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return ::testing::AssertionFailure() << "starts with a byte-order mark";
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool loneCr = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
        const bool loneLf = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
        if (loneCr || loneLf) {
            return ::testing::AssertionFailure() << "lone line end at byte " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

struct TSlotFile {
    int Key = 0;
    QString Name; // without its page suffix
    int Page = 1;
};

// The file name of a slot and the page its "/PAGE n" suffix asks for: the one
// character after "/PAGE" is skipped, the rest is the page number.
std::optional<TSlotFile> SplitPageSuffix(int key, const QString &stored)
{
    TSlotFile file{key, stored, 1};
    const qsizetype at = stored.toUpper().indexOf(QStringLiteral("/PAGE"));
    if (at >= 0) {
        bool ok = false;
        file.Page = stored.mid(at + 6).toInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
        file.Name = stored.left(at).trimmed();
    }
    return file;
}

bool EndsWithAny(const QString &name, std::initializer_list<const char *> endings)
{
    for (const char *ending : endings) {
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

// Reads every key of the settings file in the order the program saves them,
// each with the program's default, and hands it to `write`, so that writing
// them into an empty file must give the same bytes as the file holds.
void ForEachSavedKey(
    const TIniFile &ini,
    const std::function<void(const QString &, const QString &, const QString &)> &write)
{
    auto text = [&](const char *section, const QString &key, const QString &defaultValue) {
        write(section, key, ini.ReadString(section, key, defaultValue));
    };
    auto integer = [&](const char *section, const char *key, int defaultValue) {
        write(section, key, QString::number(ini.ReadInteger(section, key, defaultValue)));
    };
    auto boolean = [&](const char *key) {
        write("Setting", key, ini.ReadBool("Setting", key, false) ? "1" : "0");
    };
    text("MidiDevices", "Channel", "1");
    text("MidiDevices", "Controller", "102");
    integer("Display", "Colour", 13564364);
    text("Font", "Name", "MS Sans Serif");
    integer("Font", "Color", 268435455);
    integer("Font", "Height", -32);
    integer("Font", "Size", 24);
    integer("Screen", "Top", 203);
    integer("Screen", "Height", 503);
    integer("Screen", "Left", 372);
    integer("Screen", "Width", 851);
    integer("TouchPad", "Top", 203);
    integer("TouchPad", "Left", 372);
    text("TextFiles", "Last Dir", "./");
    for (const char *key :
         {"SuppressNumber", "MidiThru", "MidiOut", "MidiStringOut", "TouchPad", "PdfScrollbar"}) {
        boolean(key);
    }
    integer("Setting", "MidiMessage", 0);
    integer("Setting", "DisplayType", 0);
    integer("Display", "LyricColour", 8454143);
    for (int n = 1; n <= SlotCount; ++n) {
        text("Files", QStringLiteral("Names %1").arg(n), QString());
    }
    for (int n = 1; n <= SlotCount; ++n) {
        text("Lines", QStringLiteral("Text %1").arg(n), QString());
    }
    // "Stage": page-turner keys, full screen, autoscroll.
    write("Stage", "PedalKeys", ini.ReadBool("Stage", "PedalKeys", false) ? "1" : "0");
    write("Stage", "FullScreen", ini.ReadBool("Stage", "FullScreen", false) ? "1" : "0");
    text("Stage", "Screen", QString());
    write("Stage", "AutoScroll", ini.ReadBool("Stage", "AutoScroll", false) ? "1" : "0");
    integer("Stage", "ScrollSeconds", 180);
    // "Band": the key is left out of the demo on purpose.
    write("Band", "Enabled", ini.ReadBool("Band", "Enabled", false) ? "1" : "0");
    integer("Band", "Port", 8750);
    // "Shows": the demo's three shows, as the list is written.
    for (int n = 1; n <= 3; ++n) {
        text("Shows", QStringLiteral("Show %1").arg(n), QString());
    }
    integer("Shows", "Count", 0);
    integer("Shows", "Current", 0);
}

class DemoShow : public ::testing::Test {
protected:
    DemoShow() : Settings(DemoDir().filePath(QStringLiteral("Tarvello.INI"))) {}

    // The files the slots name, with the slots' keys; web addresses apart.
    std::vector<TSlotFile> SlotFiles(QStringList *webAddresses = nullptr) const
    {
        std::vector<TSlotFile> files;
        for (int n = 1; n <= SlotCount; ++n) {
            const QString stored =
                Settings.ReadString("Files", QStringLiteral("Names %1").arg(n), {});
            if (stored.isEmpty()) {
                continue;
            }
            if (stored.contains(QStringLiteral("//"))) {
                if (webAddresses) {
                    webAddresses->append(stored);
                }
                continue;
            }
            const auto file = SplitPageSuffix(SlotOfRow(n), stored);
            EXPECT_TRUE(file.has_value()) << "bad page suffix: " << stored.toStdString();
            if (file) {
                files.push_back(*file);
            }
        }
        return files;
    }

    TIniFile Settings;
};

TEST_F(DemoShow, SettingsFileReadsExactlyLikeOneTheProgramSaved)
{
    const QByteArray bytes = DemoBytes(QStringLiteral("Tarvello.INI"));
    EXPECT_TRUE(HasCrLfLines(bytes));

    // A device name belongs to one machine; on another the program would open
    // nothing, and the first save would keep the stranger's name.
    EXPECT_FALSE(Settings.ValueExists("MidiDevices", "Input"));
    EXPECT_FALSE(Settings.ValueExists("MidiDevices", "Output"));

    // Every key, all 123 slots of both tables included, in the order and the
    // spelling of a save into a new file: a missing or extra key, a quoted
    // value or a section out of place changes the bytes.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TIniFile saved(folder.filePath(QStringLiteral("Tarvello.INI")));
    int keys = 0;
    ForEachSavedKey(Settings,
                    [&](const QString &section, const QString &key, const QString &value) {
                        saved.WriteString(section, key, value);
                        ++keys;
                    });
    EXPECT_EQ(keys, 23 + 2 * SlotCount + 5 + 2 + 5); // "Stage", "Band", "Shows"
    EXPECT_EQ(saved.Contents(), bytes);

    // The newcomer lands on the Lyric page with the Nav Pad, and MIDI output
    // stays off until devices are chosen, so that a machine without MIDI
    // ports does not answer every step with an error box.
    EXPECT_EQ(Settings.ReadInteger("Setting", "DisplayType", 0), 1);
    EXPECT_TRUE(Settings.ReadBool("Setting", "TouchPad", false));
    EXPECT_FALSE(Settings.ReadBool("Setting", "MidiOut", false));
    EXPECT_FALSE(Settings.ReadBool("Setting", "MidiStringOut", false));
    // The arrow keys step through it; full screen is the newcomer's choice.
    EXPECT_TRUE(Settings.ReadBool("Stage", "PedalKeys", false));
    EXPECT_FALSE(Settings.ReadBool("Stage", "FullScreen", false));
    // Autoscroll is on, so the newcomer sees the files move by themselves.
    EXPECT_TRUE(Settings.ReadBool("Stage", "AutoScroll", false));
    // Band screens are there to be found, off, and without a key that every
    // band would share.
    EXPECT_FALSE(Settings.ReadBool("Band", "Enabled", true));
    EXPECT_FALSE(Settings.ValueExists("Band", "Key"));

    // Both windows fit a small 1366 x 768 screen, side by side, so the pad
    // does not hide the top left of the prompt.
    const QRect window(Settings.ReadInteger("Screen", "Left", 372),
                       Settings.ReadInteger("Screen", "Top", 203),
                       Settings.ReadInteger("Screen", "Width", 851),
                       Settings.ReadInteger("Screen", "Height", 503));
    const QRect pad(Settings.ReadInteger("TouchPad", "Left", 372),
                    Settings.ReadInteger("TouchPad", "Top", 203), 180, 150);
    const QRect screen(0, 0, 1366, 768);
    EXPECT_TRUE(screen.contains(window));
    EXPECT_TRUE(screen.contains(pad));
    EXPECT_FALSE(window.intersects(pad));
}

TEST_F(DemoShow, EverySlotShowsAFileOfTheShowAndEveryKindOfDisplayIsThere)
{
    QStringList webAddresses;
    const std::vector<TSlotFile> files = SlotFiles(&webAddresses);
    ASSERT_FALSE(files.empty());

    bool plainText = false, rtf = false, picture = false, html = false, pdfLaterPage = false;
    for (const TSlotFile &file : files) {
        SCOPED_TRACE("slot " + std::to_string(file.Key) + ": " + file.Name.toStdString());
        // The program runs the show with demo/ as its current directory.
        EXPECT_TRUE(QFileInfo(file.Name).isRelative());
        EXPECT_FALSE(QDir::cleanPath(file.Name).startsWith(QStringLiteral("..")));
        const QString path = DemoDir().filePath(file.Name);
        ASSERT_TRUE(QFileInfo(path).isFile());

        // The set list on the Display page names every song of the show.
        EXPECT_FALSE(
            Settings.ReadString("Lines", QStringLiteral("Text %1").arg(RowOfSlot(file.Key)), {})
                .trimmed()
                .isEmpty());

        if (EndsWithAny(file.Name, {"PDF"})) {
            QPdfDocument document;
            ASSERT_EQ(document.load(path), QPdfDocument::Error::None);
            EXPECT_GE(document.pageCount(), 4);
            EXPECT_LE(file.Page, document.pageCount());
            pdfLaterPage = pdfLaterPage || file.Page > 1;
        } else if (EndsWithAny(file.Name, {"JPG", "GIF", "BMP"})) {
            EXPECT_FALSE(QImage(path).isNull());
            picture = true;
        } else if (EndsWithAny(file.Name, {"HTM", "HTML"})) {
            html = true;
        } else {
            const bool isRtf = LooksLikeRtf(DemoBytes(file.Name));
            EXPECT_EQ(isRtf, file.Name.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive));
            (isRtf ? rtf : plainText) = true;
        }
    }
    EXPECT_TRUE(plainText);
    EXPECT_TRUE(rtf);
    EXPECT_TRUE(picture);
    EXPECT_TRUE(html);
    EXPECT_TRUE(pdfLaterPage);
    ASSERT_FALSE(webAddresses.isEmpty());
    for (const QString &address : webAddresses) {
        EXPECT_TRUE(address.startsWith(QStringLiteral("https://"))) << address.toStdString();
    }
}

TEST_F(DemoShow, LyricSheetsAreFormattedRtf)
{
    int sheets = 0;
    for (const TSlotFile &file : SlotFiles()) {
        if (!file.Name.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive)) {
            continue;
        }
        SCOPED_TRACE(file.Name.toStdString());
        ++sheets;
        const QByteArray bytes = DemoBytes(file.Name);
        ASSERT_TRUE(LooksLikeRtf(bytes));
        QTextDocument document;
        ReadRtf(bytes, document);

        QTextBlock title = document.begin();
        while (title.isValid() && title.text().trimmed().isEmpty()) {
            title = title.next();
        }
        ASSERT_TRUE(title.isValid());
        EXPECT_TRUE(title.blockFormat().alignment() & Qt::AlignHCenter);

        bool bold = false, italic = false;
        QSet<QRgb> colours;
        QSet<qreal> sizes;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (it.fragment().text().trimmed().isEmpty()) {
                    continue;
                }
                bold = bold || format.fontWeight() >= QFont::Bold;
                italic = italic || format.fontItalic();
                colours.insert(format.foreground().color().rgb());
                sizes.insert(format.fontPointSize());
            }
        }
        EXPECT_TRUE(bold);
        EXPECT_TRUE(italic);
        EXPECT_GE(colours.size(), 3);
        EXPECT_GE(sizes.size(), 3);
        // The accented letter of the code page comes through as itself.
        EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("caf\u00e9")));
    }
    EXPECT_GE(sheets, 1);
}

TEST_F(DemoShow, PagesNeedNothingFromOutsideAndFilesStaySmall)
{
    const QRegularExpression attribute(QStringLiteral("\\b(src|href)\\s*=\\s*\"([^\"]*)\""));
    const QRegularExpression anchor(QStringLiteral("\\bid\\s*=\\s*\"([^\"]*)\""));
    int pages = 0;
    QDirIterator it(DemoDir().path(), QDir::Files);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        SCOPED_TRACE(info.fileName().toStdString());
        // The demo is cloned with the sources; nothing in it should weigh much.
        EXPECT_LT(info.size(), 200 * 1024);

        if (EndsWithAny(info.fileName(), {"JPG", "PNG", "GIF", "BMP"})) {
            EXPECT_FALSE(QImage(info.filePath()).isNull());
        }
        if (!EndsWithAny(info.fileName(), {"HTM", "HTML"})) {
            continue;
        }
        ++pages;
        const QString html = DecodeText(DemoBytes(info.fileName()));
        QSet<QString> ids;
        for (auto match = anchor.globalMatch(html); match.hasNext();) {
            ids.insert(match.next().captured(1));
        }
        // Pictures and links are files beside the page or places in it: on
        // stage there may be no network.
        for (auto match = attribute.globalMatch(html); match.hasNext();) {
            const auto found = match.next();
            const QString target = found.captured(2);
            SCOPED_TRACE(target.toStdString());
            EXPECT_FALSE(target.contains(QStringLiteral("//")));
            if (target.startsWith(QLatin1Char('#'))) {
                EXPECT_TRUE(ids.contains(target.mid(1)));
            } else {
                EXPECT_TRUE(QFileInfo(DemoDir().filePath(target)).isFile());
            }
        }
    }
    EXPECT_GE(pages, 2);
    // The page F1 opens is looked for in the show's folder.
    EXPECT_TRUE(
        QFileInfo(DemoDir().filePath(QStringLiteral("TarvelloGettingStarted.html"))).isFile());
}

TEST_F(DemoShow, MidiStringsFileIsWrittenBackAsShippedAndHoldsSendableStrings)
{
    const QString path = DemoDir().filePath(QStringLiteral("MidiStrings.txt"));
    const QByteArray bytes = DemoBytes(QStringLiteral("MidiStrings.txt"));
    EXPECT_TRUE(HasCrLfLines(bytes));

    const QStringList lines = SplitTextLines(bytes);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), IsMidiStringsMarker), SlotCount);

    TMidiStringLists lists;
    ReadMidiStringsFile(path, lists);
    EXPECT_TRUE(lists[0].isEmpty());
    // Closing the program writes the file back: a run that changes nothing
    // leaves it exactly as it came.
    EXPECT_EQ(EncodeTextLines(MidiStringsSectionLines(lists)), bytes);

    int comments = 0, strings = 0;
    const QRegularExpression pairs(QStringLiteral("^[0-9A-Fa-f]{2}( [0-9A-Fa-f]{2})*$"));
    for (int key = 0; key < SlotCount; ++key) {
        const QStringList &slot = lists[RowOfSlot(key)];
        if (slot.isEmpty()) {
            continue;
        }
        SCOPED_TRACE("slot " + std::to_string(key));
        // Strings belong to a slot that the show uses.
        EXPECT_FALSE(
            Settings.ReadString("Files", QStringLiteral("Names %1").arg(RowOfSlot(key)), {})
                .isEmpty());
        for (const QString &line : slot) {
            SCOPED_TRACE(line.toStdString());
            if (!IsMidiStringText(line)) {
                ++comments;
                continue;
            }
            // As the editor asks: two hex digits a byte, and each line starts
            // with a status byte; a system-exclusive line is complete.
            ++strings;
            EXPECT_TRUE(pairs.match(line).hasMatch());
            const QByteArray midi = HexToBytes(line);
            ASSERT_FALSE(midi.isEmpty());
            EXPECT_GE(quint8(midi[0]), 0x80);
            if (quint8(midi[0]) == 0xF0) {
                EXPECT_EQ(quint8(midi.back()), 0xF7);
            }
        }
    }
    EXPECT_GE(comments, 1);
    EXPECT_GE(strings, 3);
}

} // namespace

} // namespace tarvello
