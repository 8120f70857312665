#include "midi/MidiOutput.h"

#include "midi/MidiString.h"

#include <utility>

namespace tarvello {

TMidiOutput::TMidiOutput(std::shared_ptr<TMidiSystem> system)
    : TMidiDevices(QStringLiteral("TMidiOutput"), std::move(system))
{
    const unsigned count = System().OutGetNumDevs();
    for (unsigned i = 0; i < count; ++i) {
        QString name;
        CheckResult(System().OutGetDevName(i, name));
        Devices.Append(name);
    }
}

TMidiOutput::~TMidiOutput()
{
    for (int i = 0; i < Devices.Count(); ++i) {
        try {
            Close(i);
        } catch (...) {
            // Nothing can be reported at this point.
        }
    }
}

void TMidiOutput::Open(int DeviceIndex)
{
    std::lock_guard lock(EntryLock);
    if (DeviceHandle(DeviceIndex) != 0) {
        return;
    }
    TMidiHandle handle = 0;
    CheckResult(System().OutOpen(handle, static_cast<unsigned>(DeviceIndex)));
    Devices.SetHandle(DeviceIndex, handle);
}

void TMidiOutput::Close(int DeviceIndex)
{
    std::lock_guard lock(EntryLock);
    const TMidiHandle handle = DeviceHandle(DeviceIndex);
    if (handle == 0) {
        return;
    }
    CheckResult(System().OutClose(handle));
    Devices.SetHandle(DeviceIndex, 0);
}

void TMidiOutput::SendShortMessage(int DeviceIndex, std::uint8_t Status, std::uint8_t Data1,
                                   std::uint8_t Data2)
{
    std::lock_guard lock(EntryLock);
    if (Devices.Handle(DeviceIndex) == 0) {
        Open(DeviceIndex);
    }
    const std::uint32_t packed =
        std::uint32_t{Status} | std::uint32_t{Data1} << 8 | std::uint32_t{Data2} << 16;
    CheckResult(System().OutShortMsg(DeviceHandle(DeviceIndex), packed));
}

void TMidiOutput::SendLongMessage(int DeviceIndex, QBuffer &Stream)
{
    std::lock_guard lock(EntryLock);
    Stream.seek(0);
    TMidiHeader header;
    header.Data = reinterpret_cast<std::uint8_t *>(Stream.buffer().data());
    header.BufferLength = static_cast<std::uint32_t>(Stream.buffer().size());
    header.Flags = 0;
    CheckResult(System().OutPrepareHeader(DeviceHandle(DeviceIndex), &header));
    CheckResult(System().OutLongMsg(DeviceHandle(DeviceIndex), &header));
    CheckResult(System().OutUnprepareHeader(DeviceHandle(DeviceIndex), &header));
}

void TMidiOutput::SendHexString(int DeviceIndex, const QString &Text)
{
    if (!IsSendableMidiString(Text)) {
        return;
    }
    QBuffer stream;
    HexToBytes(Text, stream);
    SendLongMessage(DeviceIndex, stream);
}

void HexToBytes(const QString &Text, QBuffer &Stream)
{
    if (Stream.isOpen()) {
        Stream.close();
    }
    Stream.setData(HexToBytes(QStringView(Text)));
    Stream.open(QIODevice::ReadWrite);
}

} // namespace tarvello
