#include "show/ShowList.h"

#include "core/TarvelloError.h"
#include "files/IniFile.h"

#include <algorithm>

namespace tarvello {
namespace {

const QString Section = QStringLiteral("Shows");
// An entry's fields; the name comes last and may hold the separator itself.
constexpr QChar Separator = u';';

// The entries the section holds: "Count", or for a list written by hand
// without it, the entries up to the first one missing.
int StoredCount(const TIniFile &file)
{
    const QString count = QStringLiteral("Count");
    if (file.ValueExists(Section, count)) {
        return std::clamp(file.ReadInteger(Section, count, 0), 0, LastShowNumber + 1);
    }
    int k = 0;
    while (k <= LastShowNumber && file.ValueExists(Section, QStringLiteral("Show %1").arg(k + 1))) {
        ++k;
    }
    return k;
}

} // namespace

TShowList::TShowList() : Shows{TShowEntry{}} {}

void TShowList::CheckNumber(int number)
{
    if (number < 0 || number > LastShowNumber) {
        throw TError(QStringLiteral("A show number is from 0 to %1, not %2")
                         .arg(LastShowNumber)
                         .arg(number));
    }
}

std::vector<TShowEntry>::iterator TShowList::Place(int number)
{
    return std::lower_bound(Shows.begin(), Shows.end(), number,
                            [](const TShowEntry &entry, int n) { return entry.Number < n; });
}

const TShowEntry *TShowList::Find(int number) const
{
    const auto found = std::lower_bound(
        Shows.begin(), Shows.end(), number,
        [](const TShowEntry &entry, int n) { return entry.Number < n; });
    return found != Shows.end() && found->Number == number ? &*found : nullptr;
}

std::optional<int> TShowList::After(int number) const
{
    for (const TShowEntry &entry : Shows) {
        if (entry.Number > number) {
            return entry.Number;
        }
    }
    return std::nullopt;
}

std::optional<int> TShowList::Before(int number) const
{
    std::optional<int> before;
    for (const TShowEntry &entry : Shows) {
        if (entry.Number >= number) {
            break;
        }
        before = entry.Number;
    }
    return before;
}

int TShowList::FreeNumber() const
{
    int free = 0;
    for (const TShowEntry &entry : Shows) {
        if (entry.Number != free) {
            break;
        }
        ++free;
    }
    if (free > LastShowNumber) {
        throw TError(QStringLiteral("Every show number is taken"));
    }
    return free;
}

void TShowList::Add(const TShowEntry &entry)
{
    CheckNumber(entry.Number);
    if (Has(entry.Number)) {
        throw TError(QStringLiteral("There is a show %1 already (%2)")
                         .arg(entry.Number)
                         .arg(Find(entry.Number)->Name));
    }
    if (entry.InSettingsFile()) {
        throw TError(QStringLiteral("Show %1 has no file of its own").arg(entry.Number));
    }
    Shows.insert(Place(entry.Number), entry);
}

TShowEntry TShowList::Remove(int number)
{
    const auto place = Place(number);
    if (place == Shows.end() || place->Number != number) {
        throw TError(QStringLiteral("There is no show %1").arg(number));
    }
    if (place->InSettingsFile()) {
        throw TError(QStringLiteral("Show %1 is kept in the settings file and cannot be removed")
                         .arg(number));
    }
    TShowEntry removed = *place;
    Shows.erase(place);
    return removed;
}

void TShowList::Rename(int number, const QString &name)
{
    const auto place = Place(number);
    if (place == Shows.end() || place->Number != number) {
        throw TError(QStringLiteral("There is no show %1").arg(number));
    }
    // One line of the settings file: a line break would end the entry.
    QString single = name;
    single.replace(u'\r', u' ').replace(u'\n', u' ');
    place->Name = single.trimmed();
}

void TShowList::Renumber(int number, int newNumber)
{
    CheckNumber(newNumber);
    if (number == newNumber) {
        return;
    }
    const auto place = Place(number);
    if (place == Shows.end() || place->Number != number) {
        throw TError(QStringLiteral("There is no show %1").arg(number));
    }
    if (const TShowEntry *other = Find(newNumber)) {
        throw TError(QStringLiteral("Show number %1 is taken by \"%2\"")
                         .arg(newNumber)
                         .arg(other->Name));
    }
    TShowEntry moved = *place;
    moved.Number = newNumber;
    Shows.erase(place);
    Shows.insert(Place(newNumber), moved);
}

void TShowList::Read(const TIniFile &file, QStringList &errors)
{
    Shows = {TShowEntry{}};
    RefusedEntries.clear();
    if (!file.SectionExists(Section)) {
        return;
    }
    std::vector<TShowEntry> read;
    bool settingsShow = false;
    const int count = StoredCount(file);
    for (int i = 1; i <= count; ++i) {
        const QString key = QStringLiteral("Show %1").arg(i);
        const QString value = file.ReadString(Section, key, QString());
        if (value.isEmpty()) {
            continue;
        }
        const qsizetype first = value.indexOf(Separator);
        const qsizetype second = first < 0 ? -1 : value.indexOf(Separator, first + 1);
        bool isNumber = false;
        TShowEntry entry;
        entry.Number = value.left(first < 0 ? value.size() : first).trimmed().toInt(&isNumber);
        if (second >= 0) {
            entry.File = value.mid(first + 1, second - first - 1).trimmed();
            entry.Name = value.mid(second + 1).trimmed();
        } else if (first >= 0) {
            entry.File = value.mid(first + 1).trimmed();
        }
        QString refusal;
        if (!isNumber || entry.Number < 0 || entry.Number > LastShowNumber) {
            refusal = QStringLiteral("has no show number from 0 to %1").arg(LastShowNumber);
        } else if (std::any_of(read.begin(), read.end(),
                               [&entry](const TShowEntry &e) { return e.Number == entry.Number; })) {
            refusal = QStringLiteral("has number %1, which an earlier show has").arg(entry.Number);
        } else if (entry.InSettingsFile() && settingsShow) {
            refusal = QStringLiteral("names no show file");
        }
        if (!refusal.isEmpty()) {
            errors << QStringLiteral("Show list entry \"%1=%2\" %3: it is left out")
                          .arg(key, value, refusal);
            RefusedEntries << value;
            continue;
        }
        settingsShow = settingsShow || entry.InSettingsFile();
        read.push_back(entry);
    }
    // The show the settings file holds is always there, at 0 when the list
    // forgot it and 0 is free.
    if (!settingsShow) {
        TShowEntry home;
        while (std::any_of(read.begin(), read.end(),
                           [&home](const TShowEntry &e) { return e.Number == home.Number; })) {
            ++home.Number;
        }
        read.push_back(home);
    }
    std::sort(read.begin(), read.end(),
              [](const TShowEntry &a, const TShowEntry &b) { return a.Number < b.Number; });
    Shows = std::move(read);
}

void TShowList::Write(TIniFile &file, int current) const
{
    const bool plain = Shows.size() == 1 && Shows[0].InSettingsFile() && Shows[0].Number == 0 &&
                       Shows[0].Name.isEmpty() && RefusedEntries.isEmpty();
    if (plain && !file.SectionExists(Section)) {
        return;
    }
    int i = 0;
    const auto write = [&file, &i](const QString &value) {
        file.WriteString(Section, QStringLiteral("Show %1").arg(++i), value);
    };
    for (const TShowEntry &entry : Shows) {
        write(QString::number(entry.Number) + Separator + entry.File + Separator + entry.Name);
    }
    for (const QString &refused : RefusedEntries) {
        write(refused);
    }
    // Entries of a longer list written before are emptied, so none of them
    // comes back.
    const int before = StoredCount(file);
    for (int k = i + 1; k <= before; ++k) {
        file.WriteString(Section, QStringLiteral("Show %1").arg(k), QString());
    }
    file.WriteInteger(Section, QStringLiteral("Count"), i);
    file.WriteInteger(Section, QStringLiteral("Current"), current);
}

int TShowList::StoredCurrent(const TIniFile &file)
{
    return file.ReadInteger(Section, QStringLiteral("Current"), 0);
}

QString ShowNumberText(int number, bool fromOne)
{
    return QString::number(fromOne ? number + 1 : number);
}

QString ShowTitle(const TShowEntry &entry, bool fromOne)
{
    const QString number = QStringLiteral("Show ") + ShowNumberText(entry.Number, fromOne);
    return entry.Name.isEmpty() ? number : number + QStringLiteral(": ") + entry.Name;
}

} // namespace tarvello
