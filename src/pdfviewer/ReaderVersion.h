#pragma once

#include <QString>
#include <QtGlobal>

namespace tarvello {

// Reads the reader's major version out of a "GetVersions" answer, a list of
// "name=version" entries separated by commas: the greatest integer part found,
// kept in 8 bits, or `known` when no entry beats it. Entries that cannot be read
// are skipped.
quint8 ParseReaderMajorVersion(const QString &versions, quint8 known = 0);

} // namespace tarvello
