#pragma once

// A MIDI system for tests: named devices, input delivered from its own thread,
// everything sent recorded, and any call made to fail with a chosen code.

#include "midi/MidiInputPort.h"
#include "midi/MidiSystem.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
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
        unsigned DeviceId = 0;
        bool Long = false;
        std::uint32_t Packed = 0; // short messages
        QByteArray Bytes;         // long messages, copied when sent
    };
    std::vector<TSent> Sent() const;

    // Queues one transport event (any bytes) for input device deviceId; the
    // delivery thread hands it to the open device as the real back-end would.
    void Deliver(unsigned deviceId, const QByteArray &event);
    // Waits until every queued event has been delivered.
    void WaitForDelivery();
    std::thread::id DeliveryThreadId() const { return Worker.get_id(); }

    bool IsInputOpen(unsigned deviceId) const;
    bool IsOutputOpen(unsigned deviceId) const;

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
        unsigned DeviceId;
        std::shared_ptr<TMidiInputPort> Port;
    };
    TMidiResult Enter(const QString &function, int deviceId = -1);
    std::shared_ptr<TMidiInputPort> FindIn(TMidiHandle handle) const;
    int OutDevice(TMidiHandle handle) const;
    void Run();

    const QStringList InputNames;
    const QStringList OutputNames;

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
    std::map<TMidiHandle, unsigned> Outputs;
    TMidiHandle NextHandle = 0x100;

    std::condition_variable QueueChanged;
    std::deque<std::pair<unsigned, QByteArray>> Queue;
    bool Busy = false;
    bool Quit = false;
    std::thread Worker;
};

} // namespace tarvello::test
