#include "files/TextFile.h"
#include "core/TarvelloError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <ostream>
#include <sys/resource.h>

namespace tarvello {

namespace testfiles {

// Makes a file or folder refuse writes. Permission bits do not stop root (as
// the test machines run), so the immutable attribute is set as well when the
// bits alone did not do it. Returns false when neither works here.
bool WriteProtect(const QString &path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup);
    const auto refusesWrites = [&] {
        if (QFileInfo(path).isDir()) {
            QFile probe(QDir(path).filePath(QStringLiteral(".probe")));
            const bool created = probe.open(QIODevice::WriteOnly);
            probe.remove();
            return !created;
        }
        QFile probe(path);
        return !probe.open(QIODevice::WriteOnly | QIODevice::Append);
    };
    if (refusesWrites()) {
        return true;
    }
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path});
    return refusesWrites();
}

void LiftWriteProtection(const QString &path)
{
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Lets this process write files only up to `bytes` long, the way a full disk
// stops a save part-way; the write then fails instead of raising SIGXFSZ.
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

TFileSizeLimit::TFileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &Saved);
    PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = Saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, PreviousHandler);
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const TError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace testfiles

namespace {

using testfiles::ErrorOf;
using testfiles::ReadBytes;
using testfiles::WriteBytes;

TEST(TextFileLines, EndAtLineFeedsWithLoneCarriageReturnsEndingTheText)
{
    EXPECT_EQ(SplitTextLines("one\r\ntwo\nthree"), (QStringList{"one", "two", "three"}));
    // The text after a lone CR up to the next LF is not part of any line, so a
    // stray CR never moves the lines after it.
    EXPECT_EQ(SplitTextLines("a\rhidden\nb\r\r\nc\r"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(SplitTextLines("\r\n\r\nx\r\n"), (QStringList{"", "", "x"}));
    EXPECT_EQ(SplitTextLines("x\n"), QStringList{"x"});
    EXPECT_TRUE(SplitTextLines("").isEmpty());
}

TEST(TextFileLines, ControlZEndsTheFileAndBytesAfterItDoNotChangeTheDecoding)
{
    EXPECT_EQ(SplitTextLines("kept\r\nalso\x1Agone\r\nnever\r\n"), (QStringList{"kept", "also"}));
    // Invalid UTF-8 after the end mark must not turn "é" into Windows-1252 text.
    EXPECT_EQ(SplitTextLines("caf\xC3\xA9\r\n\x1A\xFF\xFE junk"), QStringList{u"café"_qs});
    EXPECT_TRUE(SplitTextLines("\x1A"
                               "everything")
                    .isEmpty());
}

TEST(TextFileLines, ReadingPastTheEndGivesEmptyLines)
{
    TLineReader reader(QStringList{"only"});
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "only");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), QString());
    EXPECT_EQ(reader.ReadLine(), QString());
    EXPECT_EQ(reader.Position(), 1);
}

TEST(TextFileDecoding, Utf8WhenValidElseWindows1252)
{
    EXPECT_EQ(DecodeText("Caf\xC3\xA9 \xE2\x99\xAA"), u"Café ♪"_qs);
    EXPECT_EQ(DecodeText("\xEF\xBB\xBFwith mark"), u"with mark"_qs);
    // One invalid sequence makes its line Windows-1252, as typed on Windows...
    EXPECT_EQ(DecodeText("Caf\xE9 \x80 \x93quoted\x94 \xC3\xA9"), u"Café € “quoted” Ã©"_qs);
    // ...and only its line: the mark and the UTF-8 lines around it stay as meant.
    EXPECT_EQ(SplitTextLines("\xEF\xBB\xBF\xC3\x9C\r\nCaf\xE9\r\n\xE2\x99\xAA\rx\n\xC3\xA9"),
              (QStringList{u"Ü"_qs, u"Café"_qs, u"♪"_qs, u"é"_qs}));
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\x93Live\x94\r\n\xC3\xA9"), u"“Live”\r\né"_qs);
    // The five bytes Windows-1252 leaves undefined keep their numbers.
    EXPECT_EQ(DecodeWindows1252("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D"_qs);
    EXPECT_EQ(DecodeWindows1252(QByteArray("a\0b", 3)), QString(u"a\0b"_qs));
    // Notepad's "Unicode" files carry a UTF-16 byte-order mark.
    EXPECT_EQ(SplitTextLines(QByteArray("\xFF\xFEh\0i\0\r\0\n\0x\0", 12)),
              (QStringList{"hi", "x"}));
}

TEST(TextFileWriting, StoresUtf8WithCrLfAndReadsBackTheSameLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    const QStringList lines{"", u"Café ♪"_qs, "  blanks kept  ", "last"};
    WriteTextFile(path, lines);
    EXPECT_EQ(ReadBytes(path),
              QByteArray("\r\nCaf\xC3\xA9 \xE2\x99\xAA\r\n  blanks kept  \r\nlast\r\n"));
    EXPECT_EQ(ReadTextFile(path), lines);

    // Writing again replaces the file whole, and an empty list leaves it empty.
    WriteTextFile(path, {"x"});
    EXPECT_EQ(ReadBytes(path), QByteArray("x\r\n"));
    WriteTextFile(path, {});
    EXPECT_EQ(ReadBytes(path), QByteArray());
    EXPECT_TRUE(ReadTextFile(path).isEmpty());
}

TEST(TextFileWriting, LineBreaksInsideALineCannotShiftTheLinesAfterIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    WriteTextFile(path, {"one\r\ntwo", "a\nb\rc", "stop\x1Ahere", "after"});
    EXPECT_EQ(ReadTextFile(path), (QStringList{"one two", "a b c", "stop here", "after"}));
}

TEST(TextFileErrors, OpeningFailuresCarryThePlatformTexts)
{
    QTemporaryDir dir;
    EXPECT_EQ(ErrorOf([&] { ReadTextFile(dir.filePath("missing.txt")); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { ReadTextFile(dir.filePath("no/such/folder/x.txt")); }),
              "Invalid filename");
    EXPECT_EQ(ErrorOf([&] { ReadTextFile(QString()); }), "Invalid filename");
    EXPECT_EQ(ErrorOf([&] { WriteTextFile(dir.filePath("no/folder/x.txt"), {"a"}); }),
              "Invalid filename");
    QDir(dir.path()).mkdir("folder");
    EXPECT_EQ(ErrorOf([&] { ReadTextFile(dir.filePath("folder")); }), "File access denied");
    EXPECT_EQ(ErrorOf([&] { WriteTextFile(dir.filePath("folder"), {"a"}); }), "File access denied");
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());

    EXPECT_EQ(FileErrorText("/x", ENOSPC), QStringLiteral("I/O error %1").arg(ENOSPC));
    EXPECT_EQ(FileErrorText("/x", EROFS), "File access denied");
}

TEST(TextFileErrors, WriteProtectedTargetsAreRefusedAndKeptAsTheyWere)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    QDir(dir.path()).mkdir("locked");
    const QString inLockedFolder = QDir(folder).filePath("MidiStrings.txt");
    WriteBytes(inLockedFolder, "old\r\n");
    const QString lockedFile = dir.filePath("locked.txt");
    WriteBytes(lockedFile, "kept\r\n");
    if (!testfiles::WriteProtect(folder) || !testfiles::WriteProtect(lockedFile)) {
        testfiles::LiftWriteProtection(folder);
        testfiles::LiftWriteProtection(lockedFile);
        GTEST_SKIP() << "this file system cannot write-protect files";
    }
    const QString folderError = ErrorOf([&] { WriteTextFile(inLockedFolder, {"new"}); });
    const QString fileError = ErrorOf([&] { WriteTextFile(lockedFile, {"new"}); });
    testfiles::LiftWriteProtection(folder);
    testfiles::LiftWriteProtection(lockedFile);

    EXPECT_EQ(folderError, "File access denied");
    EXPECT_EQ(fileError, "File access denied");
    EXPECT_EQ(ReadBytes(inLockedFolder), "old\r\n");
    EXPECT_EQ(ReadBytes(lockedFile), "kept\r\n");
}

TEST(TextFileErrors, ASaveThatFailsPartWayLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    // Both a save smaller than Qt's write buffer (cut at its final flush) and
    // a larger one (cut while writing).
    for (const int lineCount : {300, 2000}) {
        WriteBytes(path, "the old show\r\n");
        const QStringList big(lineCount, QStringLiteral("a line long enough to pass the limit"));
        QString error;
        {
            testfiles::TFileSizeLimit limit(4096);
            error = ErrorOf([&] { WriteTextFile(path, big); });
        }
        EXPECT_EQ(error, QStringLiteral("I/O error %1").arg(EFBIG)) << lineCount;
        EXPECT_EQ(ReadBytes(path), "the old show\r\n") << lineCount;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"})
            << "no temporary file is left behind";

        WriteTextFile(path, big);
        EXPECT_EQ(ReadTextFile(path), big);
    }
}

} // namespace
} // namespace tarvello
