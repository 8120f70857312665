#include "pdfviewer/PdfError.h"

namespace tarvello {

QString ComposePdfErrorText(const QString &message, const QString &detail)
{
    if (detail.isEmpty()) {
        return message;
    }
    return message + QStringLiteral("\r\n") + detail;
}

TError PdfError(const QString &message, const QString &detail)
{
    return TError(ComposePdfErrorText(message, detail));
}

} // namespace tarvello
