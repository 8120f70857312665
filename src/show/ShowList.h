#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tarvello {

class TIniFile;

// Show numbers as MIDI carries them: Bank Select MSB * 128 + LSB.
inline constexpr int LastShowNumber = 16383;

// One show of the list: its own number, its name, and the file that holds its
// slots, relative to the settings file's folder. The show with no file of its
// own is the one the settings file holds (the show every installation had
// before there were several).
struct TShowEntry {
    int Number = 0;
    QString Name;
    QString File;

    bool InSettingsFile() const { return File.isEmpty(); }
};

// The shows, in the order of their numbers. A show keeps its number whatever
// happens to the others; no two shows share one. Every change that would
// break that is refused with a TError that says why, and changes nothing.
class TShowList {
public:
    // A list of the one show the settings file holds, numbered 0.
    TShowList();

    const std::vector<TShowEntry> &Entries() const { return Shows; }
    int Count() const { return int(Shows.size()); }
    const TShowEntry *Find(int number) const;
    bool Has(int number) const { return Find(number) != nullptr; }
    // The next and previous show by number, none beyond either end.
    std::optional<int> After(int number) const;
    std::optional<int> Before(int number) const;
    // The lowest number no show has.
    int FreeNumber() const;

    void Add(const TShowEntry &entry);
    // The show in the settings file is never removed.
    TShowEntry Remove(int number);
    void Rename(int number, const QString &name);
    void Renumber(int number, int newNumber);

    // Entries of the stored list that could not be taken (a number twice, no
    // number, a second show in the settings file). They are written back as
    // they were, so a list damaged by hand loses nothing.
    const QStringList &Refused() const { return RefusedEntries; }

    // The list as the settings file keeps it, in section "Shows": "Count",
    // then "Show 1" ... "Show n", each "number;file;name". Without the
    // section the list is the one show of the settings file. What cannot be
    // taken is said in `errors`, one line each.
    void Read(const TIniFile &file, QStringList &errors);
    // Writes the section, "Current" with it. A list that is still the
    // settings file's one show unnamed writes nothing: that file stays as it
    // was.
    void Write(TIniFile &file, int current) const;
    // The show that was current when the list was written.
    static int StoredCurrent(const TIniFile &file);

private:
    static void CheckNumber(int number);
    std::vector<TShowEntry>::iterator Place(int number);

    std::vector<TShowEntry> Shows;
    QStringList RefusedEntries;
};

// A show number as the operator reads it: from 0, or from 1 as most
// instruments print their programs.
QString ShowNumberText(int number, bool fromOne);
// "Show 2: Ballads" ("Show 2" for a show with no name).
QString ShowTitle(const TShowEntry &entry, bool fromOne);

} // namespace tarvello
