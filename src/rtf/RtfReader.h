#pragma once

#include <QByteArray>

class QTextDocument;

namespace tarvello {

// True when the bytes hold RTF: "{\rtf" after an optional UTF-8 byte-order mark
// and blanks.
bool LooksLikeRtf(const QByteArray &bytes);

// Replaces the document's content with the RTF's text, formatting, tables and
// pictures. Any bytes give a document; text the RTF leaves unstyled takes the
// document's default font, so the view's font shows through.
void ReadRtf(const QByteArray &rtf, QTextDocument &document);

} // namespace tarvello
