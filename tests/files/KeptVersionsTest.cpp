#include "files/KeptVersions.h"
#include "files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(KeptVersionsTest, AChangingWriteKeepsTheVersionBeforeAndTheDayFirstOfTheLastSevenDays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Tarvello.INI"));
    const QString backups = dir.filePath(QStringLiteral("backups"));
    const QDate first(2026, 3, 1);
    const auto write = [&](const QByteArray &bytes, const QDate &day) {
        const bool changes = KeepVersionsBefore(path, bytes, backups, day);
        SaveFileAtomically(path, bytes);
        return changes;
    };

    // Nothing there yet: nothing to keep.
    EXPECT_TRUE(write("start", first));
    EXPECT_FALSE(QFileInfo::exists(PreviousVersionPath(path)));
    EXPECT_FALSE(QFileInfo::exists(backups));
    // What the file holds already changes nothing, and keeps nothing.
    EXPECT_FALSE(write("start", first));
    EXPECT_FALSE(QFileInfo::exists(PreviousVersionPath(path)));

    // Nine evenings of two edits each: the .bak is always the version before;
    // each day's copy is the show as that day found it; the newest seven stay.
    QByteArray before = "start";
    for (int day = 0; day < 9; ++day) {
        for (int edit = 0; edit < 2; ++edit) {
            const QByteArray bytes =
                QByteArray("day ") + QByteArray::number(day) + " edit " + QByteArray::number(edit);
            EXPECT_TRUE(write(bytes, first.addDays(day)));
            EXPECT_EQ(Bytes(PreviousVersionPath(path)), before);
            before = bytes;
        }
    }
    QFile notes(QDir(backups).filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    write("day 9", first.addDays(9));
    QStringList expected;
    for (int day = 3; day <= 9; ++day) {
        expected << QFileInfo(DailyCopyPath(path, backups, first.addDays(day))).fileName();
    }
    expected << QStringLiteral("notes.txt");
    EXPECT_EQ(QDir(backups).entryList(QDir::Files, QDir::Name), expected)
        << "seven days kept, the operator's own file left alone";
    EXPECT_EQ(expected.first(), QStringLiteral("Tarvello-2026-03-04.INI"));
    EXPECT_EQ(Bytes(DailyCopyPath(path, backups, first.addDays(9))), "day 8 edit 1");
    EXPECT_EQ(Bytes(DailyCopyPath(path, backups, first.addDays(4))), "day 3 edit 1");
}

} // namespace
} // namespace tarvello
