#include "rtf/RtfDocumentWriter.h"

#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace tarvello {

namespace {

// Rows with more cells than this are hostile or broken; the rest of such a row
// goes into its last cell rather than into thousands of columns.
constexpr int MaxColumns = 64;

QTextTableFormat TableFormat(const std::vector<int> &boundaries)
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setAlignment(Qt::AlignLeft);

    QList<QTextLength> widths;
    int previous = 0;
    for (const int boundary : boundaries) {
        if (boundary <= previous)
            return format; // boundaries out of order: let Qt size the columns
        widths.append(QTextLength(QTextLength::FixedLength, TwipsToPixels(boundary - previous)));
        previous = boundary;
    }
    if (!widths.isEmpty())
        format.setColumnWidthConstraints(widths);
    return format;
}

} // namespace

TRtfDocumentWriter::TRtfDocumentWriter(QTextDocument &document, const TRtfTables &tables)
    : Document(document), Tables(tables), Cursor(&document)
{
    Cursor.beginEditBlock();
}

TRtfDocumentWriter::~TRtfDocumentWriter()
{
    if (!Cursor.isNull())
        Cursor.endEditBlock();
}

QTextCharFormat TRtfDocumentWriter::charFormat(const TRtfCharState &chars)
{
    if (!HaveFormat || !(FormatFor == chars)) {
        RunFormat = RtfCharFormat(chars, Tables);
        FormatFor = chars;
        HaveFormat = true;
    }
    return RunFormat;
}

void TRtfDocumentWriter::flush()
{
    if (Run.isEmpty())
        return;
    Cursor.insertText(Run, charFormat(RunChars));
    Run.clear();
}

void TRtfDocumentWriter::appendText(QStringView text, const TRtfCharState &chars,
                                    const TRtfParaState &para)
{
    place(para);
    if (!Run.isEmpty() && !(chars == RunChars))
        flush();
    RunChars = chars;
    if (PendingNestSeparator) {
        Run.append(QLatin1Char('\t'));
        PendingNestSeparator = false;
    }
    Run.append(text);
}

void TRtfDocumentWriter::closeBlock(const TRtfCharState &chars, const TRtfParaState &para)
{
    flush();
    Cursor.setBlockFormat(RtfBlockFormat(para));
    // The paragraph mark's format gives an empty line the height of its text.
    Cursor.setBlockCharFormat(charFormat(chars));
}

void TRtfDocumentWriter::endParagraph(const TRtfCharState &chars, const TRtfParaState &para)
{
    place(para);
    closeBlock(chars, para);
    PendingNestSeparator = false;
    Cursor.insertBlock(RtfBlockFormat(para), charFormat(chars));
}

void TRtfDocumentWriter::place(const TRtfParaState &para)
{
    if (para.inTable) {
        if (!Table) {
            flush();
            // Qt puts a table after the cursor's paragraph; an empty paragraph
            // that the last \par opened would stay behind as a stray blank line.
            dropEmptyBlock();
            const int columns = std::clamp(static_cast<int>(RowCells.size()), 1, MaxColumns);
            TableCells = RowCells;
            Table = Cursor.insertTable(1, columns, TableFormat(TableCells));
            Row = 0;
            Column = 0;
            CursorRow = 0;
            CursorColumn = 0;
            RowEnded = false;
        }
        enterCell();
    } else if (Table) {
        leaveTable();
    }
}

void TRtfDocumentWriter::enterCell()
{
    if (RowEnded) {
        flush();
        Table->appendRows(1);
        ++Row;
        Column = 0;
        RowEnded = false;
    }
    if (Column >= Table->columns()) {
        if (Table->columns() < MaxColumns) {
            flush();
            Table->appendColumns(std::min(Column + 1, MaxColumns) - Table->columns());
            // The row definition no longer matches the cells; let Qt share the width.
            QTextTableFormat format = Table->format();
            format.clearColumnWidthConstraints();
            Table->setFormat(format);
        }
        Column = std::min(Column, Table->columns() - 1);
    }
    if (Row != CursorRow || Column != CursorColumn) {
        flush();
        Cursor = Table->cellAt(Row, Column).lastCursorPosition();
        CursorRow = Row;
        CursorColumn = Column;
    }
}

void TRtfDocumentWriter::dropEmptyBlock()
{
    const QTextBlock block = Cursor.block();
    if (block.length() != 1 || !block.previous().isValid())
        return;
    // Only merge with a paragraph of the same frame: never into a table before it.
    QTextCursor previous(block.previous());
    if (!previous.currentTable() && previous.currentFrame() == Cursor.currentFrame())
        Cursor.deletePreviousChar();
}

void TRtfDocumentWriter::leaveTable()
{
    flush();
    Cursor.setPosition(Table->lastPosition() + 1);
    Table = nullptr;
    CursorRow = -1;
    CursorColumn = -1;
    PendingNestSeparator = false;
}

void TRtfDocumentWriter::endCell(const TRtfCharState &chars, const TRtfParaState &para)
{
    // A \cell outside \intbl still ends a cell: the writer of the file meant a table.
    TRtfParaState inCell = para;
    inCell.inTable = true;
    place(inCell);
    closeBlock(chars, inCell);
    PendingNestSeparator = false;
    ++Column;
}

void TRtfDocumentWriter::endRow()
{
    if (!Table)
        return;
    flush();
    RowEnded = true;
    Column = 0;
    PendingNestSeparator = false;
}

void TRtfDocumentWriter::endNestedCell()
{
    PendingNestSeparator = true;
}

void TRtfDocumentWriter::endNestedRow(const TRtfCharState &chars, const TRtfParaState &para)
{
    PendingNestSeparator = false;
    TRtfParaState inCell = para;
    inCell.inTable = true;
    endParagraph(chars, inCell);
}

void TRtfDocumentWriter::defineRow()
{
    RowCells.clear();
}

void TRtfDocumentWriter::defineCell(int rightBoundary)
{
    if (RowCells.size() < static_cast<size_t>(MaxColumns))
        RowCells.push_back(rightBoundary);
}

void TRtfDocumentWriter::insertImage(const QImage &image, double width, double height,
                                     const TRtfCharState &chars, const TRtfParaState &para)
{
    place(para);
    flush();
    const QUrl name(QStringLiteral("rtfimage:%1").arg(++ImageCount));
    Document.addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.merge(charFormat(chars));
    format.setName(name.toString());
    format.setWidth(width);
    format.setHeight(height);
    Cursor.insertImage(format);
}

void TRtfDocumentWriter::finish(const TRtfCharState &chars, const TRtfParaState &para)
{
    if (Table)
        leaveTable();
    closeBlock(chars, para);
    // The final \par ends the last paragraph; it does not start another.
    dropEmptyBlock();
    Cursor.endEditBlock();
    Cursor = QTextCursor();
}

} // namespace tarvello
