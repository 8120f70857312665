#pragma once

#include "show/ShowFile.h"
#include "show/ShowList.h"

#include <QObject>
#include <QString>

#include <optional>

namespace tarvello {

class TIniFile;
class TShow;

// The shows of the repertoire and the one open in the show: its slots are
// held by the TShow every page works on, the others wait in their files (the
// first show in the settings file) until they are opened. Opening a show
// reads its file, so a long list costs nothing at start-up.
class TShowBank : public QObject {
    Q_OBJECT

public:
    explicit TShowBank(TShow &show, QObject *parent = nullptr);

    // The folder of the settings file: show files are named relative to it.
    void SetFolder(const QString &folder) { Folder = folder; }
    // The folder of the show a new user starts from (the demo an installed
    // program offers): a show file not yet in `Folder` is read from there,
    // and written to `Folder` from then on.
    void SetStartingFolder(const QString &folder) { StartingFolder = folder; }
    const QString &FolderPath() const { return Folder; }

    const TShowList &List() const { return Shows; }
    int Current() const { return CurrentNumber; }
    const TShowEntry &CurrentEntry() const;
    QString PathOf(const TShowEntry &entry) const;

    // The list as the settings file keeps it; the show open is the settings
    // file's own until Open() is called.
    void ReadList(const TIniFile &file, QStringList &errors);
    void WriteList(TIniFile &file) const;

    // Puts the slots of show `number` into the show. Whatever the show held
    // must have been saved before. A show not in the list, or whose file is
    // missing or damaged, throws TError and leaves the show as it was.
    void Open(int number);

    // The slots of the settings file's show, whether open or not.
    TShowContents SettingsFileContents() const;
    // The file of the show open and its bytes; nothing while the settings
    // file's show is open (the settings file holds it).
    std::optional<QString> OpenFilePath() const;
    QByteArray OpenFileBytes() const;

    // The operator's changes to the list; each throws TError with the reason
    // and changes nothing when refused. A new show gets the lowest free
    // number and a file of its own at once; it starts empty or as a copy of
    // the show open. Removing a show keeps its file in `keptFolder`, where the
    // operator may take it back from; the show open cannot be removed.
    int Add(const QString &name, bool copyOpen);
    void Remove(int number, const QString &keptFolder);
    void Rename(int number, const QString &name);
    void Renumber(int number, int newNumber);

signals:
    // The list or the open show changed: what is stored changed with it.
    void ListChanged();
    void Opened(int number);

private:
    TShowContents OpenContents() const;
    QString PathToRead(const TShowEntry &entry) const;
    void Replace(const TShowContents &contents);

    TShow &Live;
    TShowList Shows;
    QString Folder;
    QString StartingFolder;
    int CurrentNumber = 0;
    // The settings file's show while another one is open.
    std::optional<TShowContents> SettingsShow;
};

} // namespace tarvello
