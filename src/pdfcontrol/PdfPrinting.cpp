#include "pdfcontrol/PdfPrinting.h"

#include "core/TarvelloError.h"

#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace tarvello {

namespace {

QRectF PlacePage(QSizeF pagePixels, QSizeF area, bool shrinkToFit)
{
    double scale = 1.0;
    if (shrinkToFit && (pagePixels.width() > area.width() || pagePixels.height() > area.height())) {
        scale = std::min(area.width() / pagePixels.width(), area.height() / pagePixels.height());
    }
    const QSizeF size = pagePixels * scale;
    return QRectF(QPointF((area.width() - size.width()) / 2, (area.height() - size.height()) / 2),
                  size);
}

} // namespace

int PrintDocumentPages(QPdfDocument &document, QPrinter &printer, int first, int last,
                       bool shrinkToFit, int copies)
{
    const int count = document.status() == QPdfDocument::Status::Ready ? document.pageCount() : 0;
    if (count == 0 || first < 0 || last >= count || first > last) {
        throw TError(QStringLiteral("The pages to print are not in the document (pages %1 to %2 "
                                    "of %3)")
                         .arg(first + 1)
                         .arg(last + 1)
                         .arg(count));
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw TError(QStringLiteral("The printer could not be started"));
    }
    const double resolution = printer.resolution();
    const QSizeF area = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    const double renderScale = std::min(1.0, PrintRenderDpiLimit / resolution);
    int sheets = 0;
    for (int copy = 0; copy < std::max(1, copies); ++copy) {
        for (int page = first; page <= last; ++page) {
            if (sheets > 0 && !printer.newPage()) {
                painter.end();
                throw TError(QStringLiteral("The printer did not take a new page"));
            }
            const QSizeF pagePixels = document.pagePointSize(page) * (resolution / 72.0);
            const QRectF target = PlacePage(pagePixels, area, shrinkToFit);
            const QSize imageSize(std::max(1, int(std::lround(target.width() * renderScale))),
                                  std::max(1, int(std::lround(target.height() * renderScale))));
            QImage image(imageSize, QImage::Format_RGB32);
            image.fill(Qt::white);
            const QImage rendered = document.render(page, imageSize);
            if (!rendered.isNull()) {
                QPainter onto(&image);
                onto.drawImage(0, 0, rendered);
            }
            painter.drawImage(target, image);
            ++sheets;
        }
    }
    painter.end();
    return sheets;
}

} // namespace tarvello
