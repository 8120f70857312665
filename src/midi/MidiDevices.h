#pragma once

// The common base of the program-wide MIDI input and output device lists.
// A device is named by its index in its list. The list keeps its numbering
// until Refresh lists the devices present anew; an open device keeps its
// handle across that, under its new index.

#include "midi/MidiSystem.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

namespace tarvello {

// Device names, each with the handle of the open device or 0 when closed.
class TDeviceList {
public:
    int Count() const noexcept { return static_cast<int>(Entries.size()); }
    bool IsEmpty() const noexcept { return Entries.empty(); }
    QStringList Names() const;
    // These throw TError "List index out of bounds (%d)" for an index outside the list.
    const QString &Name(int index) const;
    TMidiHandle Handle(int index) const;
    void SetHandle(int index, TMidiHandle handle);
    // The first index whose name equals name without regard to case, or -1.
    int IndexOf(const QString &name) const;

    void Append(const QString &name, TMidiHandle handle = 0);

private:
    void CheckIndex(int index) const;

    struct TEntry {
        QString Name;
        TMidiHandle Handle = 0;
    };
    std::vector<TEntry> Entries;
};

class TMidiDevices {
public:
    virtual ~TMidiDevices();
    TMidiDevices(const TMidiDevices &) = delete;
    TMidiDevices &operator=(const TMidiDevices &) = delete;

    // Opening an open device and closing a closed one do nothing. Both throw
    // TError with the system's text when a driver call fails, and the
    // out-of-bounds error for an unknown index.
    virtual void Open(int DeviceIndex) = 0;
    virtual void Close(int DeviceIndex) = 0;

    // Stores result in LastResult; a failure becomes a TError carrying the
    // system's text for the code, or "MIDI system error <code>" when the system
    // has no text for it.
    void CheckResult(TMidiResult result);
    // The handle of the device (0 when closed); throws TError
    // "<class>: Device index out of bounds! (<index>)" for an unknown index.
    TMidiHandle DeviceHandle(int DeviceIndex) const;

    // Lists the devices present now, in the system's new numbering. An open
    // device that is still there keeps its handle under its new index; one
    // that went away, or lost its connection, is closed quietly (a device
    // that has gone cannot be asked for anything). Gives the names of the
    // devices closed that way. Never throws: a name the system cannot give
    // ends the new list there.
    virtual QStringList Refresh();
    // The index of the open device, -1 when none is open (the first, should
    // several be).
    int OpenIndex() const;

    const QString &ClassName() const noexcept { return Name; }
    TMidiResult LastResult() const noexcept { return Result.load(); }
    TMidiSystem &System() const noexcept { return *SystemPtr; }

    // The devices in the system's numbering: entry i is system device i.
    TDeviceList Devices;

protected:
    TMidiDevices(QString className, std::shared_ptr<TMidiSystem> system);

    // The system's calls of the list's direction.
    virtual void SystemRescan() = 0;
    virtual unsigned SystemCount() = 0;
    virtual TMidiResult SystemName(unsigned deviceId, QString &name) = 0;
    virtual bool SystemConnected(TMidiHandle handle) = 0;
    // The names of the devices in the system's current numbering. A name
    // query that fails throws TError when `strict` (the list is being made),
    // and otherwise ends the names there.
    QStringList SystemNames(bool strict);
    // Puts the new list in place: entry i of names continues the old entry
    // continued[i] (with its handle), or is a closed new one when that is -1.
    // Old entries that are still open but continued by none could not be
    // closed; the list must keep what the system may still use of them.
    virtual void Renumber(const QStringList &names, const std::vector<int> &continued) = 0;

private:
    const QString Name;
    const std::shared_ptr<TMidiSystem> SystemPtr;
    std::atomic<TMidiResult> Result{MidiResult::NoError};
};

} // namespace tarvello
