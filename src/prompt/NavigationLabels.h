#pragma once

#include <QString>

namespace tarvello {

// The texts of the four labels in the settings page's navy panel: the exact
// MIDI message that makes the prompter step forward and back and page down and
// up with the settings as they stand.
struct TNavigationLabels {
    QString NextItem;
    QString PreviousItem;
    QString NextPage;
    QString PrevPage;
};

// messageType is PatchMessageType or ControllerMessageType, channel 0..15,
// controller 0..127 or -1 when none is chosen. With a text line on show
// there is no paging, so the two page labels are empty.
TNavigationLabels NavigationLabelTexts(int messageType, int channel, int controller, bool textLine);

// Upper-case hexadecimal with at least two digits; a negative number is shown
// as its 32-bit pattern (-1 is FFFFFFFF).
QString NavigationHex(int value);

} // namespace tarvello
