#pragma once

class QPdfDocument;
class QPrinter;

namespace tarvello {

// Prints pages `first` to `last` (from 0, both included) as one job, each page
// centred in the printable area. With `shrinkToFit` a page larger than that area
// is scaled down to fit it; otherwise pages print at their own size and what
// lies outside the area is cut off. `copies` repeats the range in the same job.
// Raises a TError when the range holds no page of the document or the printer
// cannot be started; returns the number of sheets printed.
int PrintDocumentPages(QPdfDocument &document, QPrinter &printer, int first, int last,
                       bool shrinkToFit, int copies = 1);

// Pages are rendered for the printer at no more than this resolution: enough for
// sheet music and lyrics, and a page image stays a few tens of megabytes.
inline constexpr int PrintRenderDpiLimit = 300;

} // namespace tarvello
