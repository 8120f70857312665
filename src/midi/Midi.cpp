#include "midi/Midi.h"

#include "midi/RtMidiSystem.h"

#include "core/TarvelloError.h"

#include <atomic>
#include <mutex>

namespace tarvello {

namespace {

std::mutex ListsMutex;
std::shared_ptr<TMidiSystem> ChosenSystem;
std::unique_ptr<TMidiInput> InputList;
std::unique_ptr<TMidiOutput> OutputList;
// Read by the input callback without the mutex: the list's lifetime is bounded
// by its open devices, and it closes them before it goes.
std::atomic<TMidiInput *> CallbackInput{nullptr};

std::shared_ptr<TMidiSystem> SystemLocked()
{
    if (!ChosenSystem) {
        ChosenSystem = std::make_shared<TRtMidiSystem>();
    }
    return ChosenSystem;
}

} // namespace

std::shared_ptr<TMidiSystem> MidiSystem()
{
    std::lock_guard lock(ListsMutex);
    return SystemLocked();
}

void SetMidiSystem(std::shared_ptr<TMidiSystem> system)
{
    std::lock_guard lock(ListsMutex);
    if (InputList || OutputList) {
        throw TError(
            QStringLiteral("The MIDI system cannot be changed while the device lists exist"));
    }
    ChosenSystem = std::move(system);
}

void ResetMidiSystem()
{
    std::lock_guard lock(ListsMutex);
    ChosenSystem.reset();
}

TMidiInput &MidiInput()
{
    std::lock_guard lock(ListsMutex);
    if (!InputList) {
        InputList = std::make_unique<TMidiInput>(SystemLocked());
        CallbackInput.store(InputList.get());
    }
    return *InputList;
}

TMidiOutput &MidiOutput()
{
    std::lock_guard lock(ListsMutex);
    if (!OutputList) {
        OutputList = std::make_unique<TMidiOutput>(SystemLocked());
    }
    return *OutputList;
}

TMidiInput *ExistingMidiInput() noexcept
{
    return CallbackInput.load();
}

void ReleaseMidiDevices()
{
    std::unique_ptr<TMidiInput> input;
    std::unique_ptr<TMidiOutput> output;
    {
        std::lock_guard lock(ListsMutex);
        input = std::move(InputList);
        output = std::move(OutputList);
    }
    // The input list closes its devices first, while the callback can still
    // find it: the buffers handed back on close go to the right list.
    input.reset();
    CallbackInput.store(nullptr);
    output.reset();
    std::lock_guard lock(ListsMutex);
    ChosenSystem.reset();
}

} // namespace tarvello
