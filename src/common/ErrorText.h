#pragma once

#include <QString>

namespace tarvello {

// The text the error box shows for an error message: a full stop is added when
// the last character sorts after '.', so "File not found" reads "File not found."
// while "Done!" or "(3)" stay as they are.
QString ErrorBoxText(const QString &message);

}  // namespace tarvello
