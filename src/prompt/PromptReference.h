#pragma once

#include "core/Version.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace tarvello {

// A file table value taken apart: the file name or web address, and the page
// its optional "/PAGE n" suffix asks for (1 without a suffix).
struct TPromptReference {
    QString Reference;
    int Page = 1;
};

// Splits off the page suffix. "/PAGE" is found in any letter case; the one
// character after it is a separator whatever it is, and the rest is the page
// number, leading blanks allowed. Throws TError "'%s' is not a valid integer
// value" when the rest is not a number.
//
// Paths here are written with '/', so a folder or file whose name starts with
// "page" looks like a suffix too: the last "/PAGE" is the one that counts, and
// when no number follows it a stored text that names an existing file (as
// isFile answers) is that file without a suffix.
TPromptReference ParsePromptReference(const QString &stored,
                                      const std::function<bool(const QString &)> &isFile = {});

// Anything with "//" in it is a web address and is never looked for on disk.
bool IsWebAddress(const QString &reference);

enum class TFileView { RichText, Browser, Pdf };

// A kind of file the Lyric page shows: the name the file chooser gives it, the
// view that takes it and the extensions it goes by (lower case, no dot).
struct TShownFileKind {
    QString Title;
    TFileView View;
    QStringList Extensions;
};

// Every kind the Lyric page shows, in the order the chooser offers them: text
// and RTF, PDF, HTML, the browser's pictures (JPG, GIF, BMP), then the
// pictures the rich-text view shows by what the file holds (every format Qt
// reads here: PNG, ".jpeg" and more). The browser's and the PDF viewer's
// extensions are all FileViewForName goes by.
const std::vector<TShownFileKind> &ShownFileKinds();

// Which viewer takes an existing file, judged only by the last characters of
// its name: "JPG", "GIF", "BMP", "HTM" and "HTML" go to the browser, "PDF" to
// the PDF viewer, everything else (text and RTF included) to the rich-text
// view. "photo.jpeg" ends in "PEG" and so is not a picture for the browser.
TFileView FileViewForName(const QString &name);

// The caption every selection starts with, for MIDI and other callers alike.
QString SelectionCaption(bool patchMode, int controller, int value);

// A slot shown with its number: "12 - Bridge".
QString NumberedLine(const QString &key, const QString &text);

} // namespace tarvello
