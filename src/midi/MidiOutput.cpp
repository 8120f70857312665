#include "midi/MidiOutput.h"

#include "midi/MidiString.h"

#include <utility>

namespace tarvello {

TMidiOutput::TMidiOutput(std::shared_ptr<TMidiSystem> system)
    : TMidiDevices(QStringLiteral("TMidiOutput"), std::move(system))
{
    const QStringList names = SystemNames(true);
    Renumber(names, std::vector<int>(static_cast<std::size_t>(names.size()), -1));
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
    for (const TMidiHandle handle : Retired) {
        System().OutClose(handle);
    }
}

QStringList TMidiOutput::Refresh()
{
    std::lock_guard lock(EntryLock);
    return TMidiDevices::Refresh();
}

void TMidiOutput::SystemRescan()
{
    System().OutRescan();
}

unsigned TMidiOutput::SystemCount()
{
    return System().OutGetNumDevs();
}

TMidiResult TMidiOutput::SystemName(unsigned deviceId, QString &name)
{
    return System().OutGetDevName(deviceId, name);
}

bool TMidiOutput::SystemConnected(TMidiHandle handle)
{
    return System().OutConnected(handle);
}

void TMidiOutput::Renumber(const QStringList &names, const std::vector<int> &continued)
{
    std::lock_guard lock(EntryLock);
    TDeviceList devices;
    std::vector<bool> kept(static_cast<std::size_t>(Devices.Count()), false);
    for (qsizetype j = 0; j < names.size(); ++j) {
        const int from = continued[std::size_t(j)];
        devices.Append(names[j], from >= 0 ? Devices.Handle(from) : 0);
        if (from >= 0) {
            kept[std::size_t(from)] = true;
        }
    }
    for (int i = 0; i < Devices.Count(); ++i) {
        if (!kept[std::size_t(i)] && Devices.Handle(i) != 0) {
            Retired.push_back(Devices.Handle(i));
        }
    }
    Devices = std::move(devices);
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
