#pragma once

// The seam between the device lists and the operating system's MIDI services.
// It keeps the shape of the classic multimedia MIDI functions the lists were
// designed around: numbered devices, open with a callback and instance data,
// receive buffers lent to the driver and handed back through the callback,
// result codes with 0 for success and a text for every code.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace tarvello {

// Result of every call; 0 is success.
using TMidiResult = unsigned int;

namespace MidiResult {
inline constexpr TMidiResult NoError = 0;
inline constexpr TMidiResult Error = 1;         // unspecified failure
inline constexpr TMidiResult BadDeviceId = 2;   // device number out of range
inline constexpr TMidiResult NotEnabled = 3;    // driver failed to enable
inline constexpr TMidiResult Allocated = 4;     // device already in use
inline constexpr TMidiResult InvalidHandle = 5; // handle is not an open device
inline constexpr TMidiResult NoDriver = 6;      // no MIDI system available
inline constexpr TMidiResult NoMemory = 7;
inline constexpr TMidiResult NotSupported = 8;
inline constexpr TMidiResult BadErrorNumber = 9; // asked for the text of an unknown code
inline constexpr TMidiResult InvalidFlag = 10;
inline constexpr TMidiResult InvalidParameter = 11;
inline constexpr TMidiResult HandleBusy = 12;
inline constexpr TMidiResult Unprepared = 64;   // header not prepared
inline constexpr TMidiResult StillPlaying = 65; // buffer still lent to the driver
inline constexpr TMidiResult NotReady = 67;     // output busy, try again
inline constexpr TMidiResult NoDevice = 68;     // the port has gone away
} // namespace MidiResult

// The system's text for a result code, or an empty string for an unknown code.
// Shared by the back-ends so every system words its failures alike.
QString MidiResultText(TMidiResult code);

// Messages the input callback receives.
namespace MidiInMessage {
inline constexpr unsigned Open = 961;
inline constexpr unsigned Close = 962;
inline constexpr unsigned Data = 963;     // param1: packed short message, param2: ms since start
inline constexpr unsigned LongData = 964; // param1: the TMidiHeader handed back, param2: ms
inline constexpr unsigned Error = 965;
inline constexpr unsigned LongError = 966;
} // namespace MidiInMessage

// An open device, 0 for none.
using TMidiHandle = std::uintptr_t;

// Header flags.
namespace MidiHeaderFlag {
inline constexpr std::uint32_t Done = 0x1;     // last buffer of a system-exclusive message
inline constexpr std::uint32_t Prepared = 0x2; // set by PrepareHeader, cleared by UnprepareHeader
inline constexpr std::uint32_t InQueue = 0x4;  // lent to the driver
} // namespace MidiHeaderFlag

// A buffer lent to the driver (input) or handed to it (output).
struct TMidiHeader {
    std::uint8_t *Data = nullptr;   // the caller's memory
    std::uint32_t BufferLength = 0; // its size in bytes
    std::uint32_t BytesRecorded = 0;
    std::uint32_t Flags = 0;
    std::uintptr_t User = 0; // free for the caller
};

// Called on the driver's thread (and for Open, Close and Reset on the caller's).
// It must not throw.
using TMidiInProc = void (*)(TMidiHandle handle, unsigned message, std::uintptr_t instance,
                             std::uintptr_t param1, std::uintptr_t param2);

// The operating system's MIDI services. Device numbers count from 0 in the order
// of a list that is made on the first count or name query and made anew only by
// InRescan or OutRescan, so that a number means the same device until then.
// Handles do not depend on the numbering: an open device keeps its handle
// whatever becomes of its number.
class TMidiSystem {
public:
    virtual ~TMidiSystem() = default;

    // Makes the list of input (output) devices anew from the devices present now.
    virtual void InRescan() = 0;
    virtual void OutRescan() = 0;
    // Whether the device behind an open handle is still there and still
    // connected to it: false from the moment it went away (unplugged, switched
    // off, its program ended), even when a device of that name has come back
    // since, and for a handle that is not open.
    virtual bool InConnected(TMidiHandle handle) = 0;
    virtual bool OutConnected(TMidiHandle handle) = 0;
    // Whether there was a MIDI system to list devices from when the lists
    // were last made (for the real one: the ALSA sequencer or a JACK server).
    // Without one the lists are empty; InRescan and OutRescan look again.
    virtual bool SystemPresent() = 0;
    // Has notify called, on a thread of the system's, whenever devices may
    // have come or gone; notify must return at once. False when the system
    // cannot tell (then the caller looks for itself). An empty function ends
    // the calls: once this returns, none is running or will come.
    virtual bool WatchDevices(std::function<void()> notify) = 0;

    virtual unsigned InGetNumDevs() = 0;
    virtual TMidiResult InGetDevName(unsigned deviceId, QString &name) = 0;
    virtual TMidiResult InOpen(TMidiHandle &handle, unsigned deviceId, TMidiInProc callback,
                               std::uintptr_t instance) = 0;
    virtual TMidiResult InPrepareHeader(TMidiHandle handle, TMidiHeader *header) = 0;
    virtual TMidiResult InUnprepareHeader(TMidiHandle handle, TMidiHeader *header) = 0;
    virtual TMidiResult InAddBuffer(TMidiHandle handle, TMidiHeader *header) = 0;
    virtual TMidiResult InStart(TMidiHandle handle) = 0;
    virtual TMidiResult InStop(TMidiHandle handle) = 0;
    // Stops input and hands every lent buffer back through the callback with a
    // recorded count of 0, on the calling thread.
    virtual TMidiResult InReset(TMidiHandle handle) = 0;
    // Fails with StillPlaying while buffers are lent. No callback runs after it returns.
    virtual TMidiResult InClose(TMidiHandle handle) = 0;
    // Writes the text of code into text; fails with BadErrorNumber for an unknown code.
    virtual TMidiResult InGetErrorText(TMidiResult code, QString &text) = 0;

    virtual unsigned OutGetNumDevs() = 0;
    virtual TMidiResult OutGetDevName(unsigned deviceId, QString &name) = 0;
    virtual TMidiResult OutOpen(TMidiHandle &handle, unsigned deviceId) = 0;
    virtual TMidiResult OutClose(TMidiHandle handle) = 0;
    // Status in bits 0-7, first data byte in 8-15, second in 16-23; as many bytes
    // go out as the status calls for.
    virtual TMidiResult OutShortMsg(TMidiHandle handle, std::uint32_t packed) = 0;
    virtual TMidiResult OutPrepareHeader(TMidiHandle handle, TMidiHeader *header) = 0;
    // The bytes are copied before the call returns; the caller's buffer may go at once.
    virtual TMidiResult OutLongMsg(TMidiHandle handle, TMidiHeader *header) = 0;
    virtual TMidiResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader *header) = 0;
};

// The MIDI system the device lists use. The first call without a prior
// SetMidiSystem makes the real one (TRtMidiSystem, choosing ALSA or JACK).
std::shared_ptr<TMidiSystem> MidiSystem();

// Chooses the MIDI system before the device lists are made (tests pass their
// fake here, the program may pass a TRtMidiSystem bound to one API). Throws
// TError while the lists exist; ReleaseMidiDevices first.
void SetMidiSystem(std::shared_ptr<TMidiSystem> system);

// Lets go of the chosen system, so the next MidiSystem() makes the default one.
// Called by ReleaseMidiDevices.
void ResetMidiSystem();

} // namespace tarvello
