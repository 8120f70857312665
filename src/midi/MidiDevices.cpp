#include "midi/MidiDevices.h"

#include "core/TarvelloError.h"

#include <utility>

namespace tarvello {

QStringList TDeviceList::Names() const
{
    QStringList names;
    names.reserve(Count());
    for (const TEntry &entry : Entries) {
        names.append(entry.Name);
    }
    return names;
}

void TDeviceList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) {
        throw TError(QStringLiteral("List index out of bounds (%1)").arg(index));
    }
}

const QString &TDeviceList::Name(int index) const
{
    CheckIndex(index);
    return Entries[static_cast<std::size_t>(index)].Name;
}

TMidiHandle TDeviceList::Handle(int index) const
{
    CheckIndex(index);
    return Entries[static_cast<std::size_t>(index)].Handle;
}

void TDeviceList::SetHandle(int index, TMidiHandle handle)
{
    CheckIndex(index);
    Entries[static_cast<std::size_t>(index)].Handle = handle;
}

int TDeviceList::IndexOf(const QString &name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (Entries[static_cast<std::size_t>(i)].Name.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void TDeviceList::Append(const QString &name, TMidiHandle handle)
{
    Entries.push_back(TEntry{name, handle});
}

TMidiDevices::TMidiDevices(QString className, std::shared_ptr<TMidiSystem> system)
    : Name(std::move(className)), SystemPtr(std::move(system))
{
    if (!SystemPtr) {
        throw TError(QStringLiteral("%1: no MIDI system").arg(Name));
    }
}

TMidiDevices::~TMidiDevices() = default;

void TMidiDevices::CheckResult(TMidiResult result)
{
    Result.store(result);
    if (result == MidiResult::NoError) {
        return;
    }
    // Output codes are worded by the input text function too: the codes share
    // one table.
    QString text;
    if (SystemPtr->InGetErrorText(result, text) == MidiResult::NoError && !text.isEmpty()) {
        throw TError(text);
    }
    // A failure without a text is still a failure: going on would attach a
    // handle that does not exist or report a message as sent.
    throw TError(QStringLiteral("MIDI system error %1").arg(result));
}

QStringList TMidiDevices::SystemNames(bool strict)
{
    QStringList names;
    const unsigned count = SystemCount();
    for (unsigned i = 0; i < count; ++i) {
        QString name;
        const TMidiResult result = SystemName(i, name);
        if (result != MidiResult::NoError) {
            if (strict) {
                CheckResult(result);
            }
            break;
        }
        names.append(name);
    }
    return names;
}

QStringList TMidiDevices::Refresh()
{
    QStringList names;
    try {
        SystemRescan();
        names = SystemNames(false);
    } catch (...) {
        // Nothing listed: every device is taken for gone.
    }
    QStringList closed;
    for (int i = 0; i < Devices.Count(); ++i) {
        const TMidiHandle handle = Devices.Handle(i);
        if (handle == 0) {
            continue;
        }
        bool connected = false;
        try {
            connected = names.contains(Devices.Name(i)) && SystemConnected(handle);
        } catch (...) {
        }
        if (!connected) {
            closed.append(Devices.Name(i));
            try {
                Close(i);
            } catch (...) {
                // The device has gone: what it says on the way out is of no use.
            }
        }
    }
    // An open device continues under the first new entry of its name.
    std::vector<int> continued(static_cast<std::size_t>(names.size()), -1);
    std::vector<bool> taken(static_cast<std::size_t>(Devices.Count()), false);
    for (qsizetype j = 0; j < names.size(); ++j) {
        for (int i = 0; i < Devices.Count(); ++i) {
            if (!taken[std::size_t(i)] && Devices.Handle(i) != 0 && Devices.Name(i) == names[j]) {
                continued[std::size_t(j)] = i;
                taken[std::size_t(i)] = true;
                break;
            }
        }
    }
    Renumber(names, continued);
    return closed;
}

int TMidiDevices::OpenIndex() const
{
    for (int i = 0; i < Devices.Count(); ++i) {
        if (Devices.Handle(i) != 0) {
            return i;
        }
    }
    return -1;
}

TMidiHandle TMidiDevices::DeviceHandle(int DeviceIndex) const
{
    if (DeviceIndex < 0 || DeviceIndex >= Devices.Count()) {
        throw TError(
            QStringLiteral("%1: Device index out of bounds! (%2)").arg(Name).arg(DeviceIndex));
    }
    return Devices.Handle(DeviceIndex);
}

} // namespace tarvello
