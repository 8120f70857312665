#include "show/ShowBank.h"

#include "core/TarvelloError.h"
#include "files/TextFile.h"
#include "show/Show.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace tarvello {

TShowBank::TShowBank(TShow &show, QObject *parent) : QObject(parent), Live(show) {}

const TShowEntry &TShowBank::CurrentEntry() const
{
    // The open show is always in the list: removing it is refused.
    return *Shows.Find(CurrentNumber);
}

QString TShowBank::PathOf(const TShowEntry &entry) const
{
    return QDir::cleanPath(QDir(Folder).absoluteFilePath(entry.File));
}

void TShowBank::ReadList(const TIniFile &file, QStringList &errors)
{
    Shows.Read(file, errors);
    SettingsShow.reset();
    for (const TShowEntry &entry : Shows.Entries()) {
        if (entry.InSettingsFile()) {
            CurrentNumber = entry.Number;
        }
    }
}

void TShowBank::WriteList(TIniFile &file) const
{
    Shows.Write(file, CurrentNumber);
}

TShowContents TShowBank::OpenContents() const
{
    TShowContents contents;
    contents.Lines = Live.Texts(TSlotField::Line);
    contents.Files = Live.Texts(TSlotField::File);
    contents.Strings = Live.MidiStringLists();
    return contents;
}

void TShowBank::Replace(const TShowContents &contents)
{
    Live.SetTexts(TSlotField::Line, contents.Lines);
    Live.SetTexts(TSlotField::File, contents.Files);
    Live.SetMidiStringLists(contents.Strings);
}

void TShowBank::Open(int number)
{
    const TShowEntry *entry = Shows.Find(number);
    if (!entry) {
        throw TError(QStringLiteral("No show %1").arg(number));
    }
    if (number == CurrentNumber) {
        return;
    }
    // Read before anything changes: a damaged file leaves the open show.
    TShowContents incoming =
        entry->InSettingsFile() ? *SettingsShow : ReadShowFile(PathToRead(*entry));
    if (CurrentEntry().InSettingsFile()) {
        SettingsShow = OpenContents();
    }
    Replace(incoming);
    if (entry->InSettingsFile()) {
        SettingsShow.reset();
    }
    CurrentNumber = number;
    emit Opened(number);
    emit ListChanged();
}

QString TShowBank::PathToRead(const TShowEntry &entry) const
{
    const QString path = PathOf(entry);
    if (StartingFolder.isEmpty() || QFileInfo::exists(path)) {
        return path;
    }
    const QString starting = QDir::cleanPath(QDir(StartingFolder).absoluteFilePath(entry.File));
    return QFileInfo::exists(starting) ? starting : path;
}

TShowContents TShowBank::SettingsFileContents() const
{
    return SettingsShow ? *SettingsShow : OpenContents();
}

std::optional<QString> TShowBank::OpenFilePath() const
{
    const TShowEntry &entry = CurrentEntry();
    if (entry.InSettingsFile()) {
        return std::nullopt;
    }
    return PathOf(entry);
}

QByteArray TShowBank::OpenFileBytes() const
{
    const TShowEntry &entry = CurrentEntry();
    return ShowFileBytes({entry.Name, entry.Number}, OpenContents());
}

int TShowBank::Add(const QString &name, bool copyOpen)
{
    TShowEntry entry;
    entry.Number = Shows.FreeNumber();
    entry.Name = name;
    // The file keeps the name it is made with, whatever number the show
    // gets later; one left by a removed show is never reused.
    const QDir folder(Folder);
    for (int k = 0;; ++k) {
        entry.File = QStringLiteral("shows/show-%1%2.ini")
                         .arg(entry.Number)
                         .arg(k == 0 ? QString() : QStringLiteral("-%1").arg(k));
        if (!QFileInfo::exists(folder.absoluteFilePath(entry.File))) {
            break;
        }
    }
    TShowList list = Shows;
    list.Add(entry);
    QDir().mkpath(QFileInfo(PathOf(entry)).absolutePath());
    const TShowContents contents = copyOpen ? OpenContents() : TShowContents{};
    SaveFileAtomically(PathOf(entry), ShowFileBytes({entry.Name, entry.Number}, contents));
    Shows = list;
    emit ListChanged();
    return entry.Number;
}

void TShowBank::Remove(int number, const QString &keptFolder)
{
    if (number == CurrentNumber) {
        throw TError(
            QStringLiteral("Show %1 is open: open another show before removing it").arg(number));
    }
    TShowList list = Shows;
    const TShowEntry removed = list.Remove(number);
    const QString path = PathOf(removed);
    if (QFileInfo::exists(path)) {
        QDir().mkpath(keptFolder);
        const QString kept = QDir(keptFolder).filePath(
            QStringLiteral("%1.removed-%2")
                .arg(QFileInfo(path).fileName(),
                     QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
        if (!QFile::rename(path, kept)) {
            throw TError(QStringLiteral("Unable to move %1 to %2").arg(path, kept));
        }
    }
    Shows = list;
    emit ListChanged();
}

void TShowBank::Rename(int number, const QString &name)
{
    Shows.Rename(number, name);
    emit ListChanged();
}

void TShowBank::Renumber(int number, int newNumber)
{
    Shows.Renumber(number, newNumber);
    if (number == CurrentNumber) {
        CurrentNumber = newNumber;
    }
    emit ListChanged();
}

} // namespace tarvello
