#include "rtf/RtfReader.h"

#include "rtf/RtfParser.h"

#include <QTextDocument>

namespace tarvello {

namespace {

QByteArrayView WithoutByteOrderMark(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    return view;
}

} // namespace

bool LooksLikeRtf(const QByteArray &bytes)
{
    QByteArrayView view = WithoutByteOrderMark(bytes);
    qsizetype start = 0;
    while (start < view.size() && (view[start] == ' ' || view[start] == '\t' ||
                                   view[start] == '\r' || view[start] == '\n'))
        ++start;
    return view.sliced(start).startsWith("{\\rtf");
}

void ReadRtf(const QByteArray &rtf, QTextDocument &document)
{
    // Loading is not an edit the user could undo, and recording it costs time.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    {
        TRtfParser parser(WithoutByteOrderMark(rtf), document);
        parser.run();
    }
    document.setUndoRedoEnabled(undo);
}

} // namespace tarvello
