#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;
class QTextEdit;

namespace tarvello {

// A prompt file's bytes as read for showing: at most the first 2 MB.
struct TPromptFileBytes {
    QByteArray Bytes;
    bool Cut = false; // the file goes on beyond the bytes read
};

// Reads a prompt file for the rich-text view; safe on any thread. Throws
// TError when the file cannot be read.
TPromptFileBytes ReadPromptFile(const QString &path);

// How often ReadPromptFile has read the file at `path` since the program
// started (all files when `path` is empty). For the tests, which count that a
// file shown from memory is not read again.
int PromptFileReads(const QString &path = QString());

// What the bytes hold, for the rich-text view.
enum class TPromptFileKind { Rtf, Picture, Text };
TPromptFileKind PromptFileKindOf(const QByteArray &bytes);

// Fills a document with RTF or text bytes (not a picture), as the rich-text
// view shows them; safe on any thread for a document that lives there.
void BuildPromptDocument(QTextDocument &document, const TPromptFileBytes &file);

// Loads a prompt file into the rich-text view: RTF as rich text, a picture as
// the picture, anything else as text (UTF-8, or Windows-1252 where it is not
// valid UTF-8). Only the first 2 MB of a huge file are read. Throws TError when
// the file cannot be read.
void LoadIntoRichText(QTextEdit &view, const QString &path);

// Puts a plain first line, in the view's own font, above what the view shows.
void InsertFirstLine(QTextEdit &view, const QString &line);
// The same for a document the view is yet to show, in its default font.
void InsertFirstLine(QTextDocument &document, const QString &line);

} // namespace tarvello
