#include "support/FakeMidiSystem.h"

#include <utility>

namespace tarvello::test {

TFakeMidiSystem::TFakeMidiSystem(QStringList inputs, QStringList outputs)
    : PresentInputs(inputs), PresentOutputs(outputs), InputNames(std::move(inputs)),
      OutputNames(std::move(outputs)), Worker([this] { Run(); })
{
}

TFakeMidiSystem::~TFakeMidiSystem()
{
    {
        std::lock_guard lock(Mutex);
        Quit = true;
    }
    QueueChanged.notify_all();
    Worker.join();
}

void TFakeMidiSystem::FailCall(const QString &function, TMidiResult code, int times)
{
    std::lock_guard lock(Mutex);
    Faults.insert(function, TFault{code, times});
}

void TFakeMidiSystem::SetErrorTextAvailable(bool available)
{
    std::lock_guard lock(Mutex);
    ErrorTextAvailable = available;
}

QStringList TFakeMidiSystem::Calls() const
{
    std::lock_guard lock(Mutex);
    return CallLog;
}

void TFakeMidiSystem::ClearCalls()
{
    std::lock_guard lock(Mutex);
    CallLog.clear();
}

std::vector<TFakeMidiSystem::TSent> TFakeMidiSystem::Sent() const
{
    std::lock_guard lock(Mutex);
    return SentMessages;
}

void TFakeMidiSystem::Deliver(unsigned deviceId, const QByteArray &event)
{
    QString name;
    {
        std::lock_guard lock(Mutex);
        name = InputNames.value(static_cast<qsizetype>(deviceId));
    }
    if (!name.isEmpty()) {
        DeliverTo(name, event);
    }
}

void TFakeMidiSystem::DeliverTo(const QString &name, const QByteArray &event)
{
    {
        std::lock_guard lock(Mutex);
        Queue.push_back(TQueued{name, event});
    }
    QueueChanged.notify_all();
}

void TFakeMidiSystem::AnnounceLocked()
{
    if (Announcing) {
        Queue.push_back(TQueued{});
        QueueChanged.notify_all();
    }
}

void TFakeMidiSystem::AddInput(const QString &name)
{
    std::lock_guard lock(Mutex);
    PresentInputs.append(name);
    AnnounceLocked();
}

void TFakeMidiSystem::RemoveInput(const QString &name)
{
    std::lock_guard lock(Mutex);
    PresentInputs.removeAll(name);
    for (auto &[handle, input] : Inputs) {
        if (input.Name == name) {
            input.Connected = false;
        }
    }
    AnnounceLocked();
}

void TFakeMidiSystem::AddOutput(const QString &name)
{
    std::lock_guard lock(Mutex);
    PresentOutputs.append(name);
    AnnounceLocked();
}

void TFakeMidiSystem::RemoveOutput(const QString &name)
{
    std::lock_guard lock(Mutex);
    PresentOutputs.removeAll(name);
    for (auto &[handle, output] : Outputs) {
        if (output.Name == name) {
            output.Connected = false;
        }
    }
    AnnounceLocked();
}

void TFakeMidiSystem::SetAnnouncing(bool announcing)
{
    std::lock_guard lock(Mutex);
    Announcing = announcing;
}

void TFakeMidiSystem::SetSystemPresent(bool present)
{
    std::lock_guard lock(Mutex);
    SystemThere = present;
    if (!present) {
        InputNames.clear();
        OutputNames.clear();
        SystemListed = false;
    }
}

bool TFakeMidiSystem::SystemPresent()
{
    std::lock_guard lock(Mutex);
    return SystemListed;
}

bool TFakeMidiSystem::Watched() const
{
    std::lock_guard lock(NotifyMutex);
    return static_cast<bool>(Notify);
}

bool TFakeMidiSystem::WatchDevices(std::function<void()> notify)
{
    Enter(QStringLiteral("WatchDevices"));
    {
        std::lock_guard lock(Mutex);
        if (notify && (!Announcing || !SystemThere)) {
            return false;
        }
    }
    std::lock_guard lock(NotifyMutex);
    Notify = std::move(notify);
    return static_cast<bool>(Notify);
}

void TFakeMidiSystem::InRescan()
{
    Enter(QStringLiteral("InRescan"));
    std::lock_guard lock(Mutex);
    InputNames = SystemThere ? PresentInputs : QStringList();
    SystemListed = SystemThere;
}

void TFakeMidiSystem::OutRescan()
{
    Enter(QStringLiteral("OutRescan"));
    std::lock_guard lock(Mutex);
    OutputNames = SystemThere ? PresentOutputs : QStringList();
    SystemListed = SystemThere;
}

bool TFakeMidiSystem::InConnected(TMidiHandle handle)
{
    std::lock_guard lock(Mutex);
    const auto it = Inputs.find(handle);
    return it != Inputs.end() && it->second.Connected;
}

bool TFakeMidiSystem::OutConnected(TMidiHandle handle)
{
    std::lock_guard lock(Mutex);
    const TOutput *output = OutDeviceLocked(handle);
    return output != nullptr && output->Connected;
}

void TFakeMidiSystem::WaitForDelivery()
{
    std::unique_lock lock(Mutex);
    QueueChanged.wait(lock, [this] { return Queue.empty() && !Busy; });
}

void TFakeMidiSystem::Run()
{
    std::unique_lock lock(Mutex);
    for (;;) {
        QueueChanged.wait(lock, [this] { return Quit || !Queue.empty(); });
        if (Quit) {
            return;
        }
        const TQueued item = std::move(Queue.front());
        Queue.pop_front();
        std::shared_ptr<TMidiInputPort> port;
        for (const auto &[handle, input] : Inputs) {
            if (input.Connected && input.Name == item.Device) {
                port = input.Port;
            }
        }
        Busy = true;
        lock.unlock();
        if (item.Device.isEmpty()) {
            std::lock_guard notifying(NotifyMutex);
            if (Notify) {
                Notify();
            }
        } else if (port) {
            port->DeliverEvent(reinterpret_cast<const std::uint8_t *>(item.Bytes.constData()),
                               static_cast<std::size_t>(item.Bytes.size()));
        }
        lock.lock();
        Busy = false;
        QueueChanged.notify_all();
    }
}

bool TFakeMidiSystem::IsInputOpen(unsigned deviceId) const
{
    QString name;
    {
        std::lock_guard lock(Mutex);
        name = InputNames.value(static_cast<qsizetype>(deviceId));
    }
    return !name.isEmpty() && IsInputOpen(name);
}

bool TFakeMidiSystem::IsOutputOpen(unsigned deviceId) const
{
    QString name;
    {
        std::lock_guard lock(Mutex);
        name = OutputNames.value(static_cast<qsizetype>(deviceId));
    }
    return !name.isEmpty() && IsOutputOpen(name);
}

bool TFakeMidiSystem::IsInputOpen(const QString &name) const
{
    std::lock_guard lock(Mutex);
    for (const auto &[handle, input] : Inputs) {
        if (input.Name == name && input.Connected) {
            return true;
        }
    }
    return false;
}

bool TFakeMidiSystem::IsOutputOpen(const QString &name) const
{
    std::lock_guard lock(Mutex);
    for (const auto &[handle, output] : Outputs) {
        if (output.Name == name && output.Connected) {
            return true;
        }
    }
    return false;
}

TMidiResult TFakeMidiSystem::Enter(const QString &function, int deviceId)
{
    std::lock_guard lock(Mutex);
    CallLog.append(deviceId < 0 ? function : QStringLiteral("%1 %2").arg(function).arg(deviceId));
    const auto it = Faults.find(function);
    if (it == Faults.end()) {
        return MidiResult::NoError;
    }
    const TMidiResult code = it->Code;
    if (it->Times > 0 && --it->Times == 0) {
        Faults.erase(it);
    }
    return code;
}

std::shared_ptr<TMidiInputPort> TFakeMidiSystem::FindIn(TMidiHandle handle) const
{
    std::lock_guard lock(Mutex);
    const auto it = Inputs.find(handle);
    return it == Inputs.end() ? nullptr : it->second.Port;
}

const TFakeMidiSystem::TOutput *TFakeMidiSystem::OutDeviceLocked(TMidiHandle handle) const
{
    const auto it = Outputs.find(handle);
    return it == Outputs.end() ? nullptr : &it->second;
}

unsigned TFakeMidiSystem::InGetNumDevs()
{
    Enter(QStringLiteral("InGetNumDevs"));
    std::lock_guard lock(Mutex);
    return static_cast<unsigned>(InputNames.size());
}

TMidiResult TFakeMidiSystem::InGetDevName(unsigned deviceId, QString &name)
{
    if (const auto r = Enter(QStringLiteral("InGetDevName"), static_cast<int>(deviceId))) {
        return r;
    }
    std::lock_guard lock(Mutex);
    if (deviceId >= static_cast<unsigned>(InputNames.size())) {
        return MidiResult::BadDeviceId;
    }
    name = InputNames[static_cast<int>(deviceId)];
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::InOpen(TMidiHandle &handle, unsigned deviceId, TMidiInProc callback,
                                    std::uintptr_t instance)
{
    if (const auto r = Enter(QStringLiteral("InOpen"), static_cast<int>(deviceId))) {
        return r;
    }
    std::shared_ptr<TMidiInputPort> port;
    {
        std::lock_guard lock(Mutex);
        if (deviceId >= static_cast<unsigned>(InputNames.size())) {
            return MidiResult::BadDeviceId;
        }
        const QString name = InputNames[static_cast<int>(deviceId)];
        if (!PresentInputs.contains(name)) {
            return MidiResult::NoDevice;
        }
        handle = NextHandle++;
        port = std::make_shared<TMidiInputPort>(handle, callback, instance);
        Inputs.emplace(handle, TInput{name, port});
    }
    port->NotifyOpen();
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::InPrepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    if (const auto r = Enter(QStringLiteral("InPrepareHeader"))) {
        return r;
    }
    return FindIn(handle) ? PrepareMidiHeader(header) : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::InUnprepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    if (const auto r = Enter(QStringLiteral("InUnprepareHeader"))) {
        return r;
    }
    return FindIn(handle) ? UnprepareMidiHeader(header) : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::InAddBuffer(TMidiHandle handle, TMidiHeader *header)
{
    if (const auto r = Enter(QStringLiteral("InAddBuffer"))) {
        return r;
    }
    const auto port = FindIn(handle);
    return port ? port->AddBuffer(header) : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::InStart(TMidiHandle handle)
{
    if (const auto r = Enter(QStringLiteral("InStart"))) {
        return r;
    }
    const auto port = FindIn(handle);
    return port ? port->Start() : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::InStop(TMidiHandle handle)
{
    if (const auto r = Enter(QStringLiteral("InStop"))) {
        return r;
    }
    const auto port = FindIn(handle);
    return port ? port->Stop() : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::InReset(TMidiHandle handle)
{
    if (const auto r = Enter(QStringLiteral("InReset"))) {
        return r;
    }
    const auto port = FindIn(handle);
    return port ? port->Reset() : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::InClose(TMidiHandle handle)
{
    if (const auto r = Enter(QStringLiteral("InClose"))) {
        return r;
    }
    std::shared_ptr<TMidiInputPort> port;
    {
        std::lock_guard lock(Mutex);
        const auto it = Inputs.find(handle);
        if (it == Inputs.end()) {
            return MidiResult::InvalidHandle;
        }
        if (it->second.Port->HasBuffers()) {
            return MidiResult::StillPlaying;
        }
        port = it->second.Port;
        Inputs.erase(it);
    }
    port->Stop();
    port->NotifyClose();
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::InGetErrorText(TMidiResult code, QString &text)
{
    if (const auto r = Enter(QStringLiteral("InGetErrorText"))) {
        return r;
    }
    bool available;
    {
        std::lock_guard lock(Mutex);
        available = ErrorTextAvailable;
    }
    const QString known = MidiResultText(code);
    if (!available || known.isEmpty()) {
        return MidiResult::BadErrorNumber;
    }
    text = known;
    return MidiResult::NoError;
}

unsigned TFakeMidiSystem::OutGetNumDevs()
{
    Enter(QStringLiteral("OutGetNumDevs"));
    std::lock_guard lock(Mutex);
    return static_cast<unsigned>(OutputNames.size());
}

TMidiResult TFakeMidiSystem::OutGetDevName(unsigned deviceId, QString &name)
{
    if (const auto r = Enter(QStringLiteral("OutGetDevName"), static_cast<int>(deviceId))) {
        return r;
    }
    std::lock_guard lock(Mutex);
    if (deviceId >= static_cast<unsigned>(OutputNames.size())) {
        return MidiResult::BadDeviceId;
    }
    name = OutputNames[static_cast<int>(deviceId)];
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::OutOpen(TMidiHandle &handle, unsigned deviceId)
{
    if (const auto r = Enter(QStringLiteral("OutOpen"), static_cast<int>(deviceId))) {
        return r;
    }
    std::lock_guard lock(Mutex);
    if (deviceId >= static_cast<unsigned>(OutputNames.size())) {
        return MidiResult::BadDeviceId;
    }
    const QString name = OutputNames[static_cast<int>(deviceId)];
    if (!PresentOutputs.contains(name)) {
        return MidiResult::NoDevice;
    }
    handle = NextHandle++;
    Outputs.emplace(handle, TOutput{deviceId, name});
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::OutClose(TMidiHandle handle)
{
    if (const auto r = Enter(QStringLiteral("OutClose"))) {
        return r;
    }
    std::lock_guard lock(Mutex);
    return Outputs.erase(handle) != 0 ? MidiResult::NoError : MidiResult::InvalidHandle;
}

TMidiResult TFakeMidiSystem::OutShortMsg(TMidiHandle handle, std::uint32_t packed)
{
    if (const auto r = Enter(QStringLiteral("OutShortMsg"))) {
        return r;
    }
    std::lock_guard lock(Mutex);
    const TOutput *output = OutDeviceLocked(handle);
    if (output == nullptr) {
        return MidiResult::InvalidHandle;
    }
    if (output->Connected) {
        SentMessages.push_back(TSent{output->DeviceId, output->Name, false, packed, {}});
    }
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::OutPrepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    if (const auto r = Enter(QStringLiteral("OutPrepareHeader"))) {
        return r;
    }
    {
        std::lock_guard lock(Mutex);
        if (OutDeviceLocked(handle) == nullptr) {
            return MidiResult::InvalidHandle;
        }
    }
    if (header == nullptr || header->Data == nullptr || header->BufferLength == 0) {
        return MidiResult::InvalidParameter;
    }
    return PrepareMidiHeader(header);
}

TMidiResult TFakeMidiSystem::OutLongMsg(TMidiHandle handle, TMidiHeader *header)
{
    if (const auto r = Enter(QStringLiteral("OutLongMsg"))) {
        return r;
    }
    std::lock_guard lock(Mutex);
    const TOutput *output = OutDeviceLocked(handle);
    if (output == nullptr) {
        return MidiResult::InvalidHandle;
    }
    if (header == nullptr || !(header->Flags & MidiHeaderFlag::Prepared)) {
        return MidiResult::Unprepared;
    }
    if (output->Connected) {
        SentMessages.push_back(TSent{output->DeviceId, output->Name, true, 0,
                                     QByteArray(reinterpret_cast<const char *>(header->Data),
                                                static_cast<qsizetype>(header->BufferLength))});
    }
    header->Flags |= MidiHeaderFlag::Done;
    return MidiResult::NoError;
}

TMidiResult TFakeMidiSystem::OutUnprepareHeader(TMidiHandle handle, TMidiHeader *header)
{
    if (const auto r = Enter(QStringLiteral("OutUnprepareHeader"))) {
        return r;
    }
    bool open;
    {
        std::lock_guard lock(Mutex);
        open = OutDeviceLocked(handle) != nullptr;
    }
    return open ? UnprepareMidiHeader(header) : MidiResult::InvalidHandle;
}

} // namespace tarvello::test
