#pragma once

#include <QColor>
#include <QtGlobal>

namespace tarvello {

// Colours are kept as the settings file stores them: 0x00BBGGRR.
inline QColor ColourOfColourValue(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline constexpr quint32 DisplayLabelColour = 13564364;  // light green
inline constexpr quint32 LyricViewColour = 8454143;      // light yellow
inline constexpr quint32 LinesGridColour = 13631193;     // pale green
inline constexpr quint32 SidePanelColour = 16718362;     // blue
inline constexpr quint32 ChannelListColour = 16766660;   // light blue
inline constexpr quint32 ControllerListColour = 9948159; // light orange

} // namespace tarvello
