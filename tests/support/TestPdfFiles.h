#pragma once

#include <QByteArray>
#include <QColor>
#include <QPageSize>
#include <QString>

#include <vector>

namespace tarvello::test {

// The colour page n (from 1) of WriteColouredPdf is filled with, so that a test
// can tell pages apart in a rendering or a printout.
QColor PageColour(int page);

// A real PDF written with QPdfWriter: `pages` pages of the given size, each
// filled with PageColour(n) and showing "Page n" in large type.
// With `colourShift`, page n takes the colour of page n + colourShift.
void WriteColouredPdf(const QString &path, int pages,
                      const QPageSize &size = QPageSize(QPageSize::A5), int colourShift = 0);

// A PDF put together object by object (numbered from 1), with a correct
// cross-reference table; `trailerExtra` is added inside the trailer dictionary
// after "/Root 1 0 R".
QByteArray BuildRawPdf(const std::vector<QByteArray> &objects,
                       const QByteArray &trailerExtra = QByteArray());

QByteArray ZeroPagePdf();
// Two pages and an outline with the entries "Verse" (page 1) and "Chorus" (page 2).
QByteArray PdfWithOutline();
// One page, protected by the standard security handler with the user password
// "secret" (RC4, 40 bits), so that it cannot be opened without it.
QByteArray PasswordProtectedPdf();

void WriteBytes(const QString &path, const QByteArray &bytes);

} // namespace tarvello::test
