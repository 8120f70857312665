#pragma once

// The program-wide list of MIDI output devices: thru echo, the selecting
// message and the slots' MIDI strings all leave through it.

#include "midi/MidiDevices.h"

#include <QBuffer>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvello {

class TMidiOutput : public TMidiDevices {
public:
    // Enumerates the system's output devices. Throws TError when a name query fails.
    explicit TMidiOutput(std::shared_ptr<TMidiSystem> system);
    // Closes what is still open, quietly.
    ~TMidiOutput() override;

    void Open(int DeviceIndex) override;
    void Close(int DeviceIndex) override;

    // Sends Status + Data1 * 256 + Data2 * 65536, opening a closed device first.
    // Safe on the MIDI input thread (thru) while the window's thread opens or
    // closes devices. An index outside the list throws "List index out of bounds (%d)".
    void SendShortMessage(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                          std::uint8_t Data2);
    // Sends the whole stream as one long message; the device must be open (a
    // closed one gives the system's invalid-handle error). The stream is rewound.
    void SendLongMessage(int DeviceIndex, QBuffer &Stream);
    // Sends one MIDI string as one long message. A line that is not a MIDI string
    // (a comment) and a line without a byte in it are skipped without error.
    void SendHexString(int DeviceIndex, const QString &Text);

    // Renumbers under the lock of the entries, so that a thru echo never
    // opens a device by an index of the old list.
    QStringList Refresh() override;

protected:
    void SystemRescan() override;
    unsigned SystemCount() override;
    TMidiResult SystemName(unsigned deviceId, QString &name) override;
    bool SystemConnected(TMidiHandle handle) override;
    void Renumber(const QStringList &names, const std::vector<int> &continued) override;

private:
    // Guards the entries' handles: an open on the input thread (thru) must never
    // race a close on the window's thread. Recursive because a short message
    // opens its device.
    std::recursive_mutex EntryLock;
    // Devices that could not be closed when they went away.
    std::vector<TMidiHandle> Retired;
};

// Replaces the stream's contents with the bytes of a MIDI string and rewinds it.
void HexToBytes(const QString &Text, QBuffer &Stream);

} // namespace tarvello
