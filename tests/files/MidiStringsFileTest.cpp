#include "files/MidiStringsFile.h"
#include "core/TarvelloError.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvello {

namespace testfiles {
// Shared with the text file tests (TextFileTest.cpp).
QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);
QString ErrorOf(const std::function<void()> &action);
} // namespace testfiles

namespace {

using testfiles::ErrorOf;
using testfiles::ReadBytes;
using testfiles::WriteBytes;

QStringList BareMarkers()
{
    QStringList lines;
    for (int slot = 0; slot < SlotCount; ++slot) {
        lines << QStringLiteral("Edit %1").arg(slot);
    }
    return lines;
}

QByteArray CrLfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8() + "\r\n";
    }
    return bytes;
}

TEST(MidiStringsSection, WritesOneMarkerPerSlotFollowedByItsStrings)
{
    TMidiStringLists lists;
    lists[0] = QStringList{"never written"};
    lists[RowOfSlot(1)] = QStringList{"F0 7E 7F 09 01 F7", ""};
    lists[RowOfSlot(122)] = QStringList{"C0 05"};
    QStringList expected = BareMarkers();
    expected.insert(2, "F0 7E 7F 09 01 F7");
    expected.insert(3, "");
    expected << "C0 05";
    EXPECT_EQ(MidiStringsSectionLines(lists), expected);
    EXPECT_EQ(MidiStringsSectionLines(TMidiStringLists{}), BareMarkers());
}

TEST(MidiStringsSection, ReadsByMarkerCountAndAppends)
{
    // The numbers on the markers are not looked at; lines ahead of the first
    // marker go to list 0, which belongs to no slot.
    TMidiStringLists lists;
    lists[RowOfSlot(0)] = QStringList{"B0 07 64"};
    TLineReader reader(QStringList{"stray", "Edit 5", "C0 01", "", "Edit 3", "Edit 9", "C0 03"});
    EXPECT_EQ(ReadMidiStringsSection(reader, lists), 0);
    EXPECT_EQ(lists[0], QStringList{"stray"});
    EXPECT_EQ(lists[RowOfSlot(0)], (QStringList{"B0 07 64", "C0 01", ""}));
    EXPECT_TRUE(lists[RowOfSlot(1)].isEmpty());
    EXPECT_EQ(lists[RowOfSlot(2)], QStringList{"C0 03"});
    for (int slot = 3; slot < SlotCount; ++slot) {
        EXPECT_TRUE(lists[RowOfSlot(slot)].isEmpty()) << slot;
    }
}

TEST(MidiStringsSection, LinesAfterA124thMarkerAreDropped)
{
    QStringList lines = BareMarkers();
    lines << "C0 7F"; // slot 122
    lines << "Edit 123"
          << "lost"
          << "Edit 124"
          << "lost too";
    TLineReader reader(lines);
    TMidiStringLists lists;
    EXPECT_EQ(ReadMidiStringsSection(reader, lists), 4);
    EXPECT_EQ(lists[RowOfSlot(122)], QStringList{"C0 7F"});
}

TEST(MidiStringsSection, StringsThatLookLikeMarkersComeBackInTheirOwnSlots)
{
    TMidiStringLists lists;
    lists[RowOfSlot(0)] = QStringList{"Edit 5", "F0 01 F7"};
    lists[RowOfSlot(1)] = QStringList{"\\Edit 5", "\\\\Edit 12", "\\"};
    lists[RowOfSlot(2)] =
        QStringList{"Edit",    "Edit ",   "Edit 5x", "EditMe",           "xEdit 3",
                    " Edit 3", "Edit 3 ", "edit 3",  "F0 45 64 69 74 F7"};
    lists[RowOfSlot(3)] = QStringList{"Edit 0", "", "Edit 122"};
    lists[RowOfSlot(122)] = QStringList{"Edit 99999999999999999999"};

    QTemporaryDir dir;
    const QString path = dir.filePath("MidiStrings.txt");
    WriteMidiStringsFile(path, lists);
    const QStringList stored = ReadTextFile(path);
    EXPECT_EQ(stored.mid(1, 2), (QStringList{"\\Edit 5", "F0 01 F7"}));
    EXPECT_EQ(stored.mid(4, 3), (QStringList{"\\\\Edit 5", "\\\\\\Edit 12", "\\"}));
    EXPECT_EQ(stored.mid(8, 9), lists[RowOfSlot(2)]) << "lines that are no marker stay as typed";

    TMidiStringLists read;
    ReadMidiStringsFile(path, read);
    for (int row = 0; row < MidiStringListCount; ++row) {
        EXPECT_EQ(read[row], row == 0 ? QStringList{} : lists[row]) << "row " << row;
    }
}

TEST(MidiStringsFile, FilesWithBareMarkersReadAsBefore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MidiStrings.txt");
    QStringList lines = BareMarkers();
    lines.insert(2, "F0 7E 7F 09 01 F7");
    lines.insert(3, "C0 10");
    WriteBytes(path, CrLfLines(lines));
    TMidiStringLists lists;
    ReadMidiStringsFile(path, lists);
    EXPECT_EQ(lists[RowOfSlot(1)], (QStringList{"F0 7E 7F 09 01 F7", "C0 10"}));
    WriteMidiStringsFile(path, lists);
    EXPECT_EQ(ReadBytes(path), CrLfLines(lines))
        << "a file without look-alikes is kept byte for byte";
}

TEST(MidiStringsFile, AMissingOrUnwritableFileChangesNothing)
{
    QTemporaryDir dir;
    TMidiStringLists lists;
    lists[RowOfSlot(4)] = QStringList{"C0 04"};
    const TMidiStringLists before = lists;
    EXPECT_EQ(ErrorOf([&] { ReadMidiStringsFile(dir.filePath("MidiStrings.txt"), lists); }),
              "File not found");
    EXPECT_EQ(ErrorOf([&] { ReadFileListFile(dir.filePath("show.txt"), lists); }),
              "File not found");
    EXPECT_EQ(lists, before);
    EXPECT_EQ(ErrorOf([&] { WriteMidiStringsFile(dir.filePath("gone/MidiStrings.txt"), lists); }),
              "Invalid filename");
}

// The save is killed part-way (the file size limit's signal ends the process
// while it writes): the MIDI strings of the last show are still there, whole.
TEST(MidiStringsFile, ASaveKilledPartWayLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MidiStrings.txt");
    TMidiStringLists old;
    old[RowOfSlot(0)] = QStringList{"C0 01"};
    WriteMidiStringsFile(path, old);
    const QByteArray oldBytes = ReadBytes(path);

    TMidiStringLists big;
    for (int slot = 0; slot < SlotCount; ++slot) {
        big[RowOfSlot(slot)] = QStringList(50, QStringLiteral("F0 43 10 4C 00 00 7E 00 F7"));
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 8192;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL);
        try {
            WriteMidiStringsFile(path, big);
        } catch (...) {
        }
        _exit(0);
    }
    // A forked child of a threaded process could in principle hang; never wait forever.
    int status = 0;
    pid_t done = 0;
    for (int tick = 0; tick < 3000 && done == 0; ++tick) {
        done = waitpid(child, &status, WNOHANG);
        if (done == 0) {
            usleep(10000);
        }
    }
    if (done == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "the saving process did not finish";
    }
    ASSERT_EQ(done, child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not cut off";
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(ReadBytes(path), oldBytes);
    TMidiStringLists read;
    ReadMidiStringsFile(path, read);
    EXPECT_EQ(read, old);
}

TEST(ListFile, AnEmptyPromptListIs247Lines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("songs.txt");
    WriteListFile(path, TSlotValues{}, TMidiStringLists{});
    const QStringList expected = QStringList(124, QString()) + BareMarkers();
    ASSERT_EQ(expected.size(), 247);
    EXPECT_EQ(ReadBytes(path), CrLfLines(expected));
}

TEST(ListFile, ASavedListOpensWithEverySlotAndItsMidiStrings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("show.txt");
    TSlotValues values;
    for (int slot = 0; slot < SlotCount; ++slot) {
        values[slot] = QStringLiteral("Song %1").arg(slot);
    }
    values[5] = QString();
    values[6] = "  spaced  ";
    values[7] = "Edit 3"; // a slot value is never a marker: it is read by position
    TMidiStringLists lists;
    lists[RowOfSlot(0)] = QStringList{"C0 00", "Edit 1"};
    lists[RowOfSlot(122)] = QStringList{"C0 7A"};
    WriteListFile(path, values, lists);

    EXPECT_EQ(ReadPromptListFile(path), values);
    TMidiStringLists read;
    EXPECT_EQ(ReadFileListFile(path, read), values);
    EXPECT_EQ(read[RowOfSlot(0)], lists[RowOfSlot(0)]);
    EXPECT_EQ(read[RowOfSlot(122)], lists[RowOfSlot(122)]);
    // Opening the same file list again appends: each slot's strings are doubled.
    ReadFileListFile(path, read);
    EXPECT_EQ(read[RowOfSlot(0)], (QStringList{"C0 00", "Edit 1", "C0 00", "Edit 1"}));
    EXPECT_EQ(read[RowOfSlot(122)], (QStringList{"C0 7A", "C0 7A"}));
    EXPECT_TRUE(read[0].isEmpty());
}

TEST(ListFile, APlainTextFileOfTenTitlesFillsNineSlots)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("titles.txt");
    QByteArray bytes;
    for (int title = 1; title <= 10; ++title) {
        bytes += "Title " + QByteArray::number(title) + "\n";
    }
    WriteBytes(path, bytes);
    const TSlotValues values = ReadPromptListFile(path);
    for (int slot = 0; slot < SlotCount; ++slot) {
        EXPECT_EQ(values[slot], slot < 9 ? QStringLiteral("Title %1").arg(slot + 2) : QString())
            << slot;
    }
    TMidiStringLists lists;
    ReadFileListFile(path, lists);
    EXPECT_EQ(lists, TMidiStringLists{}) << "a short file has no MIDI strings section";
}

TEST(ListFile, SaveNamesGetTxtOnlyWhenTheFileNameHasNoFullStop)
{
    EXPECT_EQ(CompleteListFileName("/home/band/Lists/songs"), "/home/band/Lists/songs.txt");
    EXPECT_EQ(CompleteListFileName("/home/band/Lists/songs.txt"), "/home/band/Lists/songs.txt");
    EXPECT_EQ(CompleteListFileName("/home/band/Lists/songs.TXT"), "/home/band/Lists/songs.TXT");
    EXPECT_EQ(CompleteListFileName("/home/band/Lists/set.2"), "/home/band/Lists/set.2");
    EXPECT_EQ(CompleteListFileName("/home/j.smith/Lists/songs"), "/home/j.smith/Lists/songs.txt");
    EXPECT_EQ(CompleteListFileName("./songs"), "./songs.txt");
}

// Random input never breaks the reader: every line lands in exactly one list or
// is counted as dropped, and there are always the 123 slot lists and list 0.
TEST(MidiStringsSection, RandomInputIsReadWithoutLoss)
{
    std::mt19937 random(7122026);
    static const QByteArray pieces[] = {"Edit ", "Edit", "\\",   "7",        "12", "\r", "\n",
                                        "\r\n",  "\x1A", "\xFF", "\xC3\xA9", " ",  "F0", "C0 05"};
    QTemporaryDir dir;
    const QString path = dir.filePath("MidiStrings.txt");
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes;
        const int count = std::uniform_int_distribution(0, 2000)(random);
        for (int i = 0; i < count; ++i) {
            if (random() % 4 == 0) {
                bytes.append(static_cast<char>(random() % 256));
            } else {
                bytes.append(pieces[random() % std::size(pieces)]);
            }
        }
        WriteBytes(path, bytes);
        const QStringList lines = ReadTextFile(path);
        TLineReader reader(lines);
        TMidiStringLists lists;
        const qsizetype dropped = ReadMidiStringsSection(reader, lists);
        qsizetype kept = 0;
        for (const QStringList &list : lists) {
            kept += list.size();
        }
        const qsizetype markers = std::count_if(lines.cbegin(), lines.cend(), IsMidiStringsMarker);
        EXPECT_EQ(kept + std::min<qsizetype>(markers, SlotCount) + dropped, lines.size())
            << "round " << round;

        // Whatever was read is written and read back unchanged.
        lists[0].clear();
        WriteMidiStringsFile(path, lists);
        TMidiStringLists again;
        ReadMidiStringsFile(path, again);
        EXPECT_EQ(again, lists) << "round " << round;
    }
}

} // namespace
} // namespace tarvello
