#pragma once

#include <QString>

#include <exception>

namespace tarvello {

// The title of every box the program shows, its error box included.
inline QString ApplicationTitle()
{
    return QStringLiteral("Tarvello");
}

// The text an escaped exception shows in the error box.
QString ErrorMessageOf(std::exception_ptr error);

// The text the error box shows for an error message: a full stop is added when
// the last character sorts after '.', so "File not found" reads "File not found."
// while "Done!" or "(3)" stay as they are.
QString ErrorBoxText(const QString &message);

// An error about slot `slot`'s prompt, as the stage shows it: "Slot 15
// (song.pdf /PAGE 2 ): '2 ' is not a valid integer value."
QString StageErrorText(int slot, const QString &stored, std::exception_ptr error);

} // namespace tarvello
