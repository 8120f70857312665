#include "prompt/NavigationLabels.h"

#include "prompt/MidiSettings.h"

#include <cstdint>

namespace tarvello {

QString NavigationHex(int value)
{
    return QString::number(static_cast<std::uint32_t>(value), 16)
        .toUpper()
        .rightJustified(2, QLatin1Char('0'));
}

TNavigationLabels NavigationLabelTexts(int messageType, int channel, int controller, bool textLine)
{
    const int status = messageType + channel;
    const bool patchMode = messageType == PatchMessageType;
    // "S, 126   (hh, 7E)" or, for a controller, "S, C, 126   (hh, hh, 7E)".
    const auto message = [&](int value) {
        QString decimal = QString::number(status);
        QString hex = NavigationHex(status);
        if (!patchMode) {
            decimal += QStringLiteral(", ") + QString::number(controller);
            hex += QStringLiteral(", ") + NavigationHex(controller);
        }
        return decimal + QStringLiteral(", ") + QString::number(value) + QStringLiteral("   (") +
               hex + QStringLiteral(", ") + NavigationHex(value) + QLatin1Char(')');
    };

    TNavigationLabels labels;
    labels.NextItem = QStringLiteral("Next Prompt - ") + message(126);
    labels.PreviousItem = QStringLiteral("Prev Prompt - ") + message(127);
    if (!textLine) {
        labels.NextPage = QStringLiteral("Page Down - ") + message(124);
        labels.PrevPage = QStringLiteral("Page Up      - ") + message(125);
    }
    return labels;
}

} // namespace tarvello
