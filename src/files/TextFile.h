#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>

namespace tarvello {

// Plain text files as the program reads and writes them: prompt lists, file
// lists and the MIDI strings file.
//
// Reading: a line ends at a line feed; its text ends at the first carriage
// return or line feed, and whatever follows a lone carriage return up to the
// next line feed is skipped (so a stray CR inside a value can never shift the
// lines after it). A byte 26 (control-Z) ends the file. Each line is decoded as
// UTF-8 when it is valid UTF-8, otherwise as Windows-1252 (lines typed on
// Windows); a UTF-8 byte-order mark is dropped, never read as text.
//
// Writing: UTF-8 without byte-order mark, every line ended by CR LF, written to a
// temporary file beside the target and renamed over it, so an interrupted save
// leaves the old file whole.
//
// Failures throw TError with the file error texts the operator knows: "File not
// found", "Invalid filename", "File access denied" or "I/O error N" (N is the
// system's error number).

// Decodes file bytes line by line: UTF-8 where a line is valid UTF-8, else
// Windows-1252; a UTF-8 byte-order mark is dropped. Line breaks are kept.
QString DecodeText(const QByteArray &bytes);

// Windows-1252 to Unicode; the five bytes the code page leaves undefined map to
// the control characters of the same number, as Windows itself maps them.
QString DecodeWindows1252(const QByteArray &bytes);

// Splits file bytes into lines by the reading rules above and decodes them.
QStringList SplitTextLines(const QByteArray &bytes);

// Reads the whole file at `path` into lines. Throws TError when it cannot be opened.
QStringList ReadTextFile(const QString &path);

// What WriteTextFile stores for one line: a line break or a control-Z inside a
// line would split it or end the file early on reading, so each CR, LF, CR LF or
// control-Z in it is stored as one blank and the lines after it keep their place.
QString StorableLine(const QString &line);

// The bytes WriteTextFile stores for `lines`.
QByteArray EncodeTextLines(const QStringList &lines);

// Writes `lines` to `path` atomically. Throws TError when the file cannot be
// created or written; the old file is then left as it was.
void WriteTextFile(const QString &path, const QStringList &lines);

// Writes `bytes` to `path` atomically (the common step of every save of the
// program). An existing file that may not be written is refused with "File
// access denied" rather than replaced. Throws TError on failure.
void SaveFileAtomically(const QString &path, const QByteArray &bytes);

// The file error text for a failed open of `path` with the system error `errorNumber`.
QString FileErrorText(const QString &path, int errorNumber);

// Hands out the lines of a file one at a time; reading past the last line gives
// empty lines and no error, as a text file does.
class TLineReader {
public:
    explicit TLineReader(QStringList lines) : Lines(std::move(lines)) {}

    QString ReadLine();
    bool AtEnd() const { return Next >= Lines.size(); }
    // Index of the line the next ReadLine returns (0 for the first).
    qsizetype Position() const { return Next; }

private:
    QStringList Lines;
    qsizetype Next = 0;
};

} // namespace tarvello
