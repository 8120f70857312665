#pragma once

#include <QColor>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextOption>

#include <unordered_map>
#include <vector>

namespace tarvello {

// One entry of a document's font table.
struct TRtfFont {
    QString name;
    int charset = -1; // \fcharsetN, -1 when the table gives none
    int codePage = 0; // \cpgN, 0 when the table gives none
    QFont::StyleHint hint = QFont::AnyStyle;
};

// The character properties that RTF groups save and restore. Values the document
// never set stay "unset" so the view's own font and colours show through.
struct TRtfCharState {
    enum Script : signed char { Normal, Super, Sub };

    int font = -1;       // index into the font table, -1 for the document default
    int halfPoints = -1; // \fsN
    int foreground = -1; // colour table index, -1 (or auto) for the view's colour
    int background = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;
    Script script = Normal;
    int link = -1; // index of the hyperlink target the text belongs to

    bool operator==(const TRtfCharState &) const = default;
};

// Paragraph properties, also saved and restored with groups. Lengths in twips.
struct TRtfParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; // \slN: >0 at least, <0 exactly, 0 automatic
    bool lineMultiple = false;
    bool inTable = false;
    int nestLevel = 1; // \itapN
    // Tab stops (\txN) with their kind (\tqr, \tqc, \tqdec before them): chord
    // sheets line chords up with tabs.
    std::vector<QTextOption::Tab> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;

    bool operator==(const TRtfParaState &) const = default;
};

// The tables a document defines once and its properties refer to by number.
struct TRtfTables {
    std::unordered_map<int, TRtfFont> fonts; // keyed by \fN
    std::vector<QColor> colours;             // invalid for "auto"
    std::vector<QString> links;              // hyperlink targets

    const TRtfFont *font(int number) const;
    QColor colour(int index) const;
};

// Pixels of the view for a length in twips (1/1440 inch at 96 pixels per inch).
inline double TwipsToPixels(int twips)
{
    return twips / 15.0;
}

QTextCharFormat RtfCharFormat(const TRtfCharState &state, const TRtfTables &tables);
QTextBlockFormat RtfBlockFormat(const TRtfParaState &state);

} // namespace tarvello
