#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace tarvello {

// Reads an integer as the settings file stores them: signed decimal, or
// hexadecimal after "$" or "0x"/"0X" (an optional sign may stand before either).
// Hexadecimal takes up to 32 bits and wraps into a signed value, so colours such
// as $FFFFFFFF read as -1, their 32-bit pattern; decimal must fit a signed
// 32-bit integer. Anything else, the empty text included, is no number.
std::optional<int> ParseProfileInteger(QStringView text);

// The settings file: an INI file read and written by the profile rules.
//
// Reading: section and key names match without regard to case; lines, names and
// values are trimmed of blanks; a value in a pair of matching double or single
// quotes comes back without them; lines starting with ";" are comments; a line
// without "=" is no key; the first of duplicate sections or keys wins; CR LF, CR
// and LF all end a line. Text is UTF-8 when valid, else Windows-1252 (UTF-16
// with a byte-order mark is read too). Any bytes give some result.
//
// Writing: a written key replaces its own line and leaves every other line as
// it is; a new key goes after the last key of its section, a new section at the
// end of the file, in the order first written. Lines end in CR LF; the file is
// UTF-8 without byte-order mark. No value is cut or changed on the way through:
// a value with blanks at either end, or one that starts and ends with the same
// quote character, is written inside double quotes so that it reads back as it
// was. A line break (or control-Z) in a value cannot live on one line and is
// stored as a blank, so it can never turn the rest of the value into a key or a
// section of its own.
//
// Writes collect in memory; UpdateFile() stores them all at once, atomically
// (a temporary file beside the target renamed over it), so a save that is
// interrupted or fails leaves the old file whole. While nothing is pending, the
// object follows the file on disk: a read or the first write after a save sees
// the file as it stands then, so a save merges into what the file holds, as
// the platform's profile functions do.
class TIniFile {
public:
    explicit TIniFile(QString fileName);
    // A file that starts from another: while `fileName` does not exist, reads
    // see what `startingPoint` holds (a show that someone put in place for the
    // user), and the first save stores all of it, with the writes, in
    // `fileName`. The starting point is never written; one that cannot be read
    // is as good as none.
    TIniFile(QString fileName, QString startingPoint);

    const QString &FileName() const { return Path; }

    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // Decimal or hexadecimal as ParseProfileInteger reads it; the default when
    // the key is absent or holds no number.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // An integer as above, true when not zero; the default when absent or no number.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    bool ValueExists(const QString &section, const QString &key) const;
    bool SectionExists(const QString &section) const;

    // Throw TError for a section or key name that cannot be written as one
    // (empty, or holding a line break, "=" in a key or "]" in a section).
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    // Stored as "1" or "0".
    void WriteBool(const QString &section, const QString &key, bool value);

    bool Modified() const { return Dirty; }

    // Stores the pending writes. Throws TError "Unable to write to <path>" when the
    // file cannot be written; the writes then stay pending and the old file whole.
    // An existing file that could not be read is not replaced (what it holds
    // would be lost), which fails the same way.
    void UpdateFile();

    // The bytes UpdateFile would store.
    QByteArray Contents() const;

    // The line a key and its value are written as (quoted where the value
    // would not read back as it is), for files laid out by hand in the same
    // rules.
    static QString KeyValueLine(const QString &key, const QString &value);

private:
    enum class TLineKind { Other, Section, Key };
    struct TLine {
        QString Text; // the line as read or written, without its line end
        TLineKind Kind = TLineKind::Other;
        QString Name;  // section or key name, trimmed
        QString Value; // key value as read: trimmed, enclosing quotes removed
    };
    struct TStamp {
        bool Exists = false;
        qint64 Size = -1;
        QDateTime Modified;
        bool operator==(const TStamp &) const = default;
    };

    static TLine ParseLine(const QString &text);
    static TLine KeyLine(const QString &key, const QString &value);
    void SyncWithDisk() const;
    // Replaces the lines with those of a file; false when it cannot be read.
    bool ReadLines(const QString &path) const;
    TStamp DiskStamp() const;
    qsizetype FindSection(const QString &section) const;
    // Index of the key's line, or -1; `sectionIndex` is FindSection's result.
    qsizetype FindKey(qsizetype sectionIndex, const QString &key) const;
    const TLine *FindValue(const QString &section, const QString &key) const;

    QString Path;
    QString StartingPoint;
    mutable std::vector<TLine> Lines;
    mutable TStamp LoadedStamp;
    mutable bool Loaded = false;
    mutable bool Unreadable = false;
    bool Dirty = false;
};

} // namespace tarvello
