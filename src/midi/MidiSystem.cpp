#include "midi/MidiSystem.h"

namespace tarvello {

QString MidiResultText(TMidiResult code)
{
    switch (code) {
    case MidiResult::NoError:
        return QStringLiteral("The MIDI operation completed successfully.");
    case MidiResult::Error:
        return QStringLiteral("The MIDI system reported an unspecified error.");
    case MidiResult::BadDeviceId:
        return QStringLiteral("The MIDI device number is out of range.");
    case MidiResult::NotEnabled:
        return QStringLiteral("The MIDI driver could not be enabled.");
    case MidiResult::Allocated:
        return QStringLiteral("The MIDI device is already in use by another program.");
    case MidiResult::InvalidHandle:
        return QStringLiteral("The MIDI device is not open.");
    case MidiResult::NoDriver:
        return QStringLiteral("No MIDI system is available (neither the ALSA sequencer nor a JACK "
                              "server could be reached).");
    case MidiResult::NoMemory:
        return QStringLiteral("There is not enough memory for the MIDI operation.");
    case MidiResult::NotSupported:
        return QStringLiteral("The MIDI device does not support this operation.");
    case MidiResult::BadErrorNumber:
        return QStringLiteral("The MIDI error number is unknown.");
    case MidiResult::InvalidFlag:
        return QStringLiteral("An invalid flag was passed to the MIDI system.");
    case MidiResult::InvalidParameter:
        return QStringLiteral("An invalid parameter was passed to the MIDI system.");
    case MidiResult::HandleBusy:
        return QStringLiteral("The MIDI device is busy with another thread's request.");
    case MidiResult::Unprepared:
        return QStringLiteral("The MIDI buffer has not been prepared.");
    case MidiResult::StillPlaying:
        return QStringLiteral("MIDI buffers are still in use by the device.");
    case MidiResult::NotReady:
        return QStringLiteral("The MIDI device is busy; try again.");
    case MidiResult::NoDevice:
        return QStringLiteral("The MIDI port was not found. The device may have been unplugged "
                              "or switched off.");
    default:
        return {};
    }
}

} // namespace tarvello
