#include "midi/MidiTransport.h"

namespace tarvello {

bool IsOwnMidiPort(const std::string &portName, const std::string &clientName)
{
    const std::string client = portName.substr(0, portName.find(':'));
    if (client == clientName) {
        return true;
    }
    const std::size_t length = clientName.size();
    if (client.size() > length + 1 && client.compare(0, length, clientName) == 0 &&
        client[length] == '-') {
        return client.find_first_not_of("0123456789", length + 1) == std::string::npos;
    }
    return false;
}

std::ptrdiff_t TMidiTransport::FindPort(const std::vector<std::string> &names,
                                        const TMidiPortName &port) const
{
    std::ptrdiff_t byName = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == port.System) {
            return static_cast<std::ptrdiff_t>(i);
        }
        if (byName < 0 && DeviceName(names[i]) == port.Name) {
            byName = static_cast<std::ptrdiff_t>(i);
        }
    }
    return byName;
}

} // namespace tarvello
