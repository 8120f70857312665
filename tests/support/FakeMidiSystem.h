#pragma once

// A MIDI system for tests: named devices that can come and go, input and
// announcements delivered from its own thread, everything sent recorded, and
// any call made to fail with a chosen code.

#include "midi/MidiInputPort.h"
#include "midi/MidiSystem.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tarvello::test {

class TFakeMidiSystem : public TMidiSystem {
public:
    TFakeMidiSystem(QStringList inputs, QStringList outputs);
    ~TFakeMidiSystem() override;

    // The next `times` calls of the named function (e.g. "InAddBuffer") return
    // code; times < 0 fails every call from now on.
    void FailCall(const QString &function, TMidiResult code, int times = 1);
    // Whether InGetErrorText knows the codes (false: it fails for every code).
    void SetErrorTextAvailable(bool available);

    // Every call made, in order, as "Function" or "Function <device number>".
    QStringList Calls() const;
    void ClearCalls();

    struct TSent {
        unsigned DeviceId = 0; // its number when it was opened
        QString Name;
        bool Long = false;
        std::uint32_t Packed = 0; // short messages
        QByteArray Bytes;         // long messages, copied when sent
    };
    std::vector<TSent> Sent() const;

    // Queues one transport event (any bytes) for input device deviceId (its
    // number in the list as it is now); the delivery thread hands it to the
    // open device as the real back-end would.
    void Deliver(unsigned deviceId, const QByteArray &event);
    // The same for the device of that name.
    void DeliverTo(const QString &name, const QByteArray &event);
    // Waits until every queued event and announcement has been delivered.
    void WaitForDelivery();
    std::thread::id DeliveryThreadId() const { return Worker.get_id(); }

    // Devices that come (at the end of the system's list) and go. A device
    // that goes leaves its open handles connected to nothing: they stay open,
    // receive nothing, and what is sent to them is lost. Each change is
    // announced from the delivery thread while announcing.
    void AddInput(const QString &name);
    void RemoveInput(const QString &name);
    void AddOutput(const QString &name);
    void RemoveOutput(const QString &name);
    // Whether WatchDevices takes a function (a system that announces) or
    // refuses (one that must be looked at). On by default.
    void SetAnnouncing(bool announcing);
    // Whether something watches the devices now.
    bool Watched() const;
    // No MIDI system at all (false): the lists are empty from now on, opening
    // fails and nothing announces. Back (true): the next rescan lists the
    // devices present.
    void SetSystemPresent(bool present);

    // By the device's number in the list as it is now, or by its name: open
    // and still connected (a port whose device has gone does not count).
    bool IsInputOpen(unsigned deviceId) const;
    bool IsOutputOpen(unsigned deviceId) const;
    bool IsInputOpen(const QString &name) const;
    bool IsOutputOpen(const QString &name) const;

    void InRescan() override;
    void OutRescan() override;
    bool InConnected(TMidiHandle handle) override;
    bool OutConnected(TMidiHandle handle) override;
    bool SystemPresent() override;
    bool WatchDevices(std::function<void()> notify) override;

    unsigned InGetNumDevs() override;
    TMidiResult InGetDevName(unsigned deviceId, QString &name) override;
    TMidiResult InOpen(TMidiHandle &handle, unsigned deviceId, TMidiInProc callback,
                       std::uintptr_t instance) override;
    TMidiResult InPrepareHeader(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult InUnprepareHeader(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult InAddBuffer(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult InStart(TMidiHandle handle) override;
    TMidiResult InStop(TMidiHandle handle) override;
    TMidiResult InReset(TMidiHandle handle) override;
    TMidiResult InClose(TMidiHandle handle) override;
    TMidiResult InGetErrorText(TMidiResult code, QString &text) override;

    unsigned OutGetNumDevs() override;
    TMidiResult OutGetDevName(unsigned deviceId, QString &name) override;
    TMidiResult OutOpen(TMidiHandle &handle, unsigned deviceId) override;
    TMidiResult OutClose(TMidiHandle handle) override;
    TMidiResult OutShortMsg(TMidiHandle handle, std::uint32_t packed) override;
    TMidiResult OutPrepareHeader(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult OutLongMsg(TMidiHandle handle, TMidiHeader *header) override;
    TMidiResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader *header) override;

private:
    struct TInput {
        QString Name;
        std::shared_ptr<TMidiInputPort> Port;
        bool Connected = true;
    };
    struct TOutput {
        unsigned DeviceId;
        QString Name;
        bool Connected = true;
    };
    struct TQueued {
        QString Device; // empty: an announcement
        QByteArray Bytes;
    };
    TMidiResult Enter(const QString &function, int deviceId = -1);
    std::shared_ptr<TMidiInputPort> FindIn(TMidiHandle handle) const;
    const TOutput *OutDeviceLocked(TMidiHandle handle) const;
    void AnnounceLocked();
    void Run();

    // The devices present now, and the lists the numbers count in.
    QStringList PresentInputs;
    QStringList PresentOutputs;
    QStringList InputNames;
    QStringList OutputNames;
    bool Announcing = true;
    bool SystemThere = true;
    bool SystemListed = true; // SystemThere at the last listing
    mutable std::mutex NotifyMutex; // held while Notify runs
    std::function<void()> Notify;

    mutable std::mutex Mutex;
    QStringList CallLog;
    struct TFault {
        TMidiResult Code;
        int Times;
    };
    QHash<QString, TFault> Faults;
    bool ErrorTextAvailable = true;
    std::vector<TSent> SentMessages;
    std::map<TMidiHandle, TInput> Inputs;
    std::map<TMidiHandle, TOutput> Outputs;
    TMidiHandle NextHandle = 0x100;

    std::condition_variable QueueChanged;
    std::deque<TQueued> Queue;
    bool Busy = false;
    bool Quit = false;
    std::thread Worker;
};

} // namespace tarvello::test
