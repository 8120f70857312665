#pragma once

#include "core/TarvelloError.h"

#include <QString>

namespace tarvello {

// The viewer's errors carry a fixed message and, for some, a detail such as the
// file name: the text raised is the message alone, or the message, CR LF and the
// detail.
QString ComposePdfErrorText(const QString &message, const QString &detail = QString());
TError PdfError(const QString &message, const QString &detail = QString());

// The fixed messages, word for word as the operator sees them.
namespace pdfmsg {
inline constexpr const char *ReaderNotFound = "Adobe Reader not found";
inline constexpr const char *VersionNotSupported = "Adobe Reader version not supported";
inline constexpr const char *FileNameNotAssigned = "FileName property not assigned";
inline constexpr const char *CantOpenFile = "Can't open file";
inline constexpr const char *NotOnVisibleControl =
    "Can't open PDF document: viewer must be placed on a visible control";
inline constexpr const char *FileNotFound = "File not found";
inline constexpr const char *InvalidCopies = "Invalid number of copies";
inline constexpr const char *InternalError = "Internal error";
} // namespace pdfmsg

} // namespace tarvello
