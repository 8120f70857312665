#pragma once

#include <QString>

namespace tarvello {

// The target of a field instruction when it is a HYPERLINK: its address, with
// "#name" added for a place in the document (\l); empty for any other field.
QString RtfHyperlinkTarget(const QString &instruction);

} // namespace tarvello
