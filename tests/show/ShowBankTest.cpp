#include "show/ShowBank.h"

#include "core/TarvelloError.h"
#include "files/IniFile.h"
#include "show/Show.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvello {
namespace {

std::vector<int> Numbers(const TShowList &list)
{
    std::vector<int> numbers;
    for (const TShowEntry &entry : list.Entries()) {
        numbers.push_back(entry.Number);
    }
    return numbers;
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A show keeps its number whatever happens to the others; a number is never
// shared, and what is refused changes nothing.
TEST(ShowList, NumbersAreTheShowsOwn)
{
    TShowList list;
    list.Add({2, QStringLiteral("Ballads"), QStringLiteral("b.ini")});
    list.Add({3, QStringLiteral("Covers"), QStringLiteral("c.ini")});
    EXPECT_EQ(list.FreeNumber(), 1);
    list.Add({1, QStringLiteral("Between"), QStringLiteral("x.ini")});
    EXPECT_EQ(Numbers(list), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.Find(2)->Name, QStringLiteral("Ballads"));
    EXPECT_THROW(list.Add({3, QStringLiteral("Twice"), QStringLiteral("t.ini")}), TError);
    EXPECT_THROW(list.Add({16384, QStringLiteral("Far"), QStringLiteral("f.ini")}), TError);
    EXPECT_THROW(list.Renumber(1, 3), TError);
    EXPECT_THROW(list.Remove(0), TError) << "the settings file's show stays";
    list.Renumber(1, 7);
    list.Remove(2);
    EXPECT_EQ(Numbers(list), (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(list.After(3), 7);
    EXPECT_EQ(list.Before(3), 0);
    EXPECT_EQ(list.After(7), std::nullopt);
    EXPECT_EQ(ShowTitle(*list.Find(3), true), QStringLiteral("Show 4: Covers"));
}

// The list in the settings file: an old file has none and stays as it was;
// a damaged list keeps every entry it cannot take, and says why.
TEST(ShowList, TheStoredListLosesNothing)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tarvello.INI"));
    WriteBytes(path, "[Files]\r\nNames 1=a.txt\r\n");
    {
        TIniFile file(path);
        QStringList errors;
        TShowList list;
        list.Read(file, errors);
        EXPECT_EQ(Numbers(list), (std::vector<int>{0}));
        list.Write(file, 0);
        EXPECT_FALSE(file.Modified()) << "a file of one show gains no section";
    }
    WriteBytes(path, "[Shows]\r\nCount=5\r\nShow 1=2;shows/two.ini;Two; with a semicolon\r\n"
                     "Show 2=2;shows/again.ini;Again\r\nShow 3=x;y;z\r\nShow 4=0;;Home\r\n"
                     "Show 5=5;shows/five.ini;Five\r\nCurrent=5\r\n");
    TIniFile file(path);
    QStringList errors;
    TShowList list;
    list.Read(file, errors);
    EXPECT_EQ(Numbers(list), (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(list.Find(2)->Name, QStringLiteral("Two; with a semicolon"));
    EXPECT_EQ(errors.size(), 2) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("earlier show"))) << errors[0].toStdString();
    EXPECT_EQ(TShowList::StoredCurrent(file), 5);
    list.Write(file, 2);
    file.UpdateFile();
    TShowList again;
    QStringList moreErrors;
    again.Read(TIniFile(path), moreErrors);
    EXPECT_EQ(Numbers(again), (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(again.Refused(), (QStringList{QStringLiteral("2;shows/again.ini;Again"),
                                            QStringLiteral("x;y;z")}));
}

// Opening a show puts its slots in the show and keeps the settings file's
// own for its file; a show file that is missing or damaged is refused with
// its name, and the open show stays as it was.
TEST(ShowBank, OpensShowsFromTheirFilesAndRefusesDamagedOnes)
{
    QTemporaryDir folder;
    TShow show;
    TShowBank bank(show);
    bank.SetFolder(folder.path());
    show.SetLine(5, QStringLiteral("home five"));
    show.SetMidiStrings(5, {QStringLiteral("C0 05")});
    const int copy = bank.Add(QStringLiteral("Copy"), true);
    const int empty = bank.Add(QStringLiteral("Empty"), false);
    EXPECT_EQ(copy, 1);
    EXPECT_EQ(empty, 2);

    bank.Open(copy);
    EXPECT_EQ(show.Line(5), QStringLiteral("home five"));
    show.SetLine(5, QStringLiteral("=[Lines] \"quoted\" "));
    show.SetMidiStrings(7, {QStringLiteral("[MidiStrings]"), QStringLiteral("Edit 3")});
    // What the window writes for the open show, read back whole.
    WriteBytes(*bank.OpenFilePath(), bank.OpenFileBytes());
    bank.Open(0);
    EXPECT_EQ(show.Line(5), QStringLiteral("home five"));
    bank.Open(copy);
    EXPECT_EQ(show.Line(5), QStringLiteral("=[Lines] \"quoted\" "));
    EXPECT_EQ(show.MidiStrings(7), (QStringList{QStringLiteral("[MidiStrings]"),
                                                QStringLiteral("Edit 3")}));
    EXPECT_EQ(bank.SettingsFileContents().Lines[5], QStringLiteral("home five"));

    // Random bytes, a missing file, a show not in the list.
    QByteArray noise(4000, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    WriteBytes(bank.PathOf(*bank.List().Find(empty)), noise);
    try {
        bank.Open(empty);
        ADD_FAILURE() << "random bytes opened as a show";
    } catch (const TError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("no show file")));
    }
    QFile::remove(bank.PathOf(*bank.List().Find(empty)));
    EXPECT_THROW(bank.Open(empty), TError);
    EXPECT_THROW(bank.Open(9), TError);
    EXPECT_EQ(bank.Current(), copy);
    EXPECT_EQ(show.Line(5), QStringLiteral("=[Lines] \"quoted\" "));

    // The open show is not removed; another one's file is kept aside.
    EXPECT_THROW(bank.Remove(copy, folder.filePath(QStringLiteral("backups"))), TError);
    bank.Open(0);
    const QString copyFile = bank.PathOf(*bank.List().Find(copy));
    bank.Remove(copy, folder.filePath(QStringLiteral("backups")));
    EXPECT_FALSE(QFile::exists(copyFile));
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("backups"))).entryList(QDir::Files).size(), 1);
}

} // namespace
} // namespace tarvello
