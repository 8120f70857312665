#pragma once

#include <QString>

class QTextEdit;

namespace tarvello {

// Loads a prompt file into the rich-text view: RTF as rich text, a picture as
// the picture, anything else as text (UTF-8, or Windows-1252 where it is not
// valid UTF-8). Only the first 2 MB of a huge file are read. Throws TError when
// the file cannot be read.
void LoadIntoRichText(QTextEdit &view, const QString &path);

// Puts a plain first line, in the view's own font, above what the view shows.
void InsertFirstLine(QTextEdit &view, const QString &line);

} // namespace tarvello
