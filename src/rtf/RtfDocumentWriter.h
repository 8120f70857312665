#pragma once

#include "rtf/RtfFormat.h"

#include <QImage>
#include <QString>
#include <QTextCursor>

class QTextDocument;
class QTextTable;

namespace tarvello {

// Builds the QTextDocument as the parser walks the RTF. Text of one format is
// gathered and inserted in one go, because a QTextCursor insertion per character
// is what makes naive readers slow on long lyric sheets.
class TRtfDocumentWriter {
public:
    TRtfDocumentWriter(QTextDocument &document, const TRtfTables &tables);
    ~TRtfDocumentWriter();
    TRtfDocumentWriter(const TRtfDocumentWriter &) = delete;
    TRtfDocumentWriter &operator=(const TRtfDocumentWriter &) = delete;

    void appendText(QStringView text, const TRtfCharState &chars, const TRtfParaState &para);
    void endParagraph(const TRtfCharState &chars, const TRtfParaState &para);
    void endCell(const TRtfCharState &chars, const TRtfParaState &para);
    void endRow();
    // Tables inside tables are laid out inside the outer cell: their cells are
    // separated by tabs and their rows by paragraphs.
    void endNestedCell();
    void endNestedRow(const TRtfCharState &chars, const TRtfParaState &para);
    // Column boundaries (\cellxN, twips) of the row being defined.
    void defineRow();
    void defineCell(int rightBoundary);
    void insertImage(const QImage &image, double width, double height, const TRtfCharState &chars,
                     const TRtfParaState &para);
    // Ends the document: the last paragraph takes its properties, and the empty
    // paragraph after the final \par is dropped.
    void finish(const TRtfCharState &chars, const TRtfParaState &para);

private:
    void flush();
    QTextCharFormat charFormat(const TRtfCharState &chars);
    void place(const TRtfParaState &para);
    void enterCell();
    void leaveTable();
    void dropEmptyBlock();
    void closeBlock(const TRtfCharState &chars, const TRtfParaState &para);

    QTextDocument &Document;
    const TRtfTables &Tables;
    QTextCursor Cursor;

    QString Run;
    TRtfCharState RunChars;
    QTextCharFormat RunFormat;
    TRtfCharState FormatFor; // the state RunFormat was made from
    bool HaveFormat = false;
    bool PendingNestSeparator = false;

    QTextTable *Table = nullptr;
    int Row = 0;
    int Column = 0;
    int CursorRow = -1;
    int CursorColumn = -1;
    bool RowEnded = false;
    std::vector<int> RowCells;   // boundaries of the row being defined
    std::vector<int> TableCells; // boundaries the open table was made with
    int ImageCount = 0;
};

} // namespace tarvello
